// RowIdRuns: a cursor's ascending row ids, held as runs of consecutive ids.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tabulor {

// An ascending set of row ids held as runs of consecutive ids, so a table without gaps
// costs one run and any other table one run per gap. Runs are kept in blocks of
// bounded size: growing never copies the whole set, and finding the n-th id or the
// place of an id takes two binary searches.
class RowIdRuns {
 public:
  void clear();
  // The ids first, first + 1, ..., first + count - 1.
  void assignRange(std::int64_t first, std::int64_t count);
  // Adds an id greater than every id held (the ids of a scan in row-id order).
  void append(std::int64_t id);

  std::int64_t size() const { return size_; }
  // The id at a 0-based position in ascending order; nullopt outside 0 .. size() - 1.
  std::optional<std::int64_t> at(std::int64_t position) const;
  // False when the id is not held, or already held.
  bool erase(std::int64_t id);
  bool insert(std::int64_t id);

  std::size_t runCount() const;

 private:
  struct Run {
    std::int64_t firstId;
    std::int64_t offset;  // ids of the block before this run
  };
  struct Block {
    std::int64_t firstPosition;  // ids of the blocks before this one
    std::int64_t size;
    std::vector<Run> runs;
  };
  struct Place {
    std::size_t block;
    std::ptrdiff_t run;  // -1: before the first run of the block
  };

  static std::int64_t runLength(const Block& block, std::size_t run);
  Place placeOf(std::int64_t id) const;
  bool holds(const Place& place, std::int64_t id) const;
  void shiftOffsetsFrom(Block& block, std::int64_t offset, std::int64_t by);
  void shiftBlocksAfter(std::size_t block, std::int64_t by);
  void splitIfFull(std::size_t block);
  Block& newBlock(std::int64_t firstPosition);

  std::vector<Block> blocks_;
  std::int64_t size_ = 0;
};

}  // namespace tabulor
