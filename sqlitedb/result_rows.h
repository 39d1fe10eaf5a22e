// ResultRows, a query result's rows held compactly: in memory, past a bound on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tabulor {

// The rows of a query result as program text, held compactly: the cells of a run of rows
// share one buffer, each cell its length (and whether it was cut) followed by its bytes.
// Once the runs in memory pass a bound, further runs move to a temporary database of our
// own and are read back by number, so a result of any length takes little memory.
//
// Threads: one thread at a time, reads included: cell() and isCut() may read a run back
// into a cache. The temporary database is a connection of its own, not the program's.
class ResultRows {
 public:
  // Bytes of rows kept in memory before runs move to the temporary database.
  static constexpr std::size_t kDefaultMemoryBound = std::size_t{64} << 20;

  ResultRows();
  explicit ResultRows(int columns, std::size_t memoryBound = kDefaultMemoryBound);
  ~ResultRows();
  ResultRows(ResultRows&&) noexcept;
  ResultRows& operator=(ResultRows&&) noexcept;

  // Cells are added row by row, left to right; a row ends after its last column.
  void addCell(std::string_view programText, bool cut = false);

  int rowCount() const { return rows_; }
  int columnCount() const { return rows_ > 0 ? columns_ : 0; }
  bool isEmpty() const { return rows_ == 0; }
  std::string cell(int row, int column) const;
  // A cut cell holds only the start of its value.
  bool isCut(int row, int column) const;

  // Bytes of rows held in memory now, and whether any run lives in the temporary database.
  std::size_t heldBytes() const { return heldBytes_; }
  bool spilled() const;

 private:
  struct Block;
  struct Spill;
  struct CellView {
    std::string_view text;
    bool cut = false;
  };

  void sealOpenBlock();
  CellView cellView(int row, int column) const;
  // The number of the run that holds a row.
  std::size_t blockFor(int row) const;

  int columns_ = 0;
  int rows_ = 0;
  int cellsInRow_ = 0;
  std::size_t memoryBound_ = kDefaultMemoryBound;
  std::size_t heldBytes_ = 0;
  std::vector<std::unique_ptr<Block>> blocks_;
  std::unique_ptr<Block> spare_;  // the buffers of the last run moved out, for the next
  std::unique_ptr<Spill> spill_;
};

}  // namespace tabulor
