// ResultRows' runs of rows: buffers on huge pages, moved past a bound into a temporary database.

#include "sqlitedb/result_rows.h"

#include <sqlite3.h>
#ifdef __linux__
#include <sys/mman.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "sqlitedb/engine.h"

namespace tabulor {
namespace {

// A run of rows closes once its cells fill most of one buffer of this size: one huge page,
// small enough to read back from the temporary database in an instant.
constexpr std::size_t kRunBytes = std::size_t{2} << 20;
// Room left in a run for its last row; a longer row makes the buffer grow.
constexpr std::size_t kRowRoom = std::size_t{64} << 10;
// Runs read back from the temporary database and kept for the next look (a screenful of
// rows seldom spans more than two).
constexpr std::size_t kCachedRuns = 4;

}  // namespace

// The bytes of one run. A fresh page costs far more to touch than to fill, so the buffers
// sit on huge pages where the system offers them, and a buffer whose run has moved to the
// temporary database serves the next run.
class RunBuffer {
 public:
  RunBuffer() = default;
  ~RunBuffer() { release(); }
  RunBuffer(RunBuffer&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)) {}
  RunBuffer& operator=(RunBuffer&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    return *this;
  }

  const char* data() const { return data_; }
  char* data() { return data_; }
  std::size_t size() const { return size_; }
  std::size_t capacity() const { return capacity_; }
  void clear() { size_ = 0; }
  void resize(std::size_t size) {
    reserve(size);
    size_ = size;
  }
  void append(const void* bytes, std::size_t count) {
    if (count == 0) return;  // an empty cell may come without bytes
    reserve(size_ + count);
    std::memcpy(data_ + size_, bytes, count);
    size_ += count;
  }
  void appendLength(std::size_t value) {
    reserve(size_ + 10);
    while (value >= 0x80) {
      data_[size_++] = static_cast<char>(0x80 | (value & 0x7F));
      value >>= 7;
    }
    data_[size_++] = static_cast<char>(value);
  }
  std::size_t readLength(std::size_t& at) const {
    std::size_t value = 0;
    for (int shift = 0;; shift += 7) {
      const auto byte = static_cast<unsigned char>(data_[at++]);
      value |= static_cast<std::size_t>(byte & 0x7F) << shift;
      if (byte < 0x80) return value;
    }
  }

 private:
  void reserve(std::size_t wanted) {
    if (wanted <= capacity_) return;
    const std::size_t capacity =
        (std::max(wanted, capacity_ * 2) + kRunBytes - 1) / kRunBytes * kRunBytes;
    void* grown = ::operator new (capacity, std::align_val_t{kRunBytes});
#ifdef __linux__
    madvise(grown, capacity, MADV_HUGEPAGE);
#endif
    if (size_ > 0) std::memcpy(grown, data_, size_);
    release();
    data_ = static_cast<char*>(grown);
    capacity_ = capacity;
  }

  void release() {
    if (data_) ::operator delete (data_, std::align_val_t{kRunBytes});
  }

  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

struct ResultRows::Block {
  int firstRow = 0;
  int rows = 0;
  bool sealed = false;
  bool spilled = false;
  RunBuffer bytes;  // per cell: its length times two, plus one when cut; then its text
  std::vector<std::uint32_t> rowStarts;

  std::size_t held() const {
    return bytes.capacity() + rowStarts.capacity() * sizeof(std::uint32_t);
  }
};

// The temporary database: one blob per run (its cells, then its row starts). The engine
// deletes the file when the connection closes.
struct ResultRows::Spill {
  engine::Connection connection;
  engine::Statement insert;
  sqlite3_blob* reader = nullptr;
  std::vector<std::pair<std::size_t, std::unique_ptr<Block>>> cache;  // most recent last

  ~Spill() { sqlite3_blob_close(reader); }

  static std::unique_ptr<Spill> open() {
    sqlite3* opened = nullptr;
    const int result =
        sqlite3_open_v2("", &opened, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    auto spill = std::make_unique<Spill>();
    spill->connection.reset(opened);
    if (result != SQLITE_OK ||
        !engine::run(opened,
                     "PRAGMA page_size=65536; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
                     "PRAGMA cache_size=-1024; CREATE TABLE runs(number INTEGER PRIMARY KEY,"
                     " cells BLOB NOT NULL)"))
      return nullptr;
    spill->insert =
        engine::compile(opened, "INSERT INTO runs VALUES (?, ?)", engine::Compile::Current);
    if (!spill->insert) return nullptr;
    return spill;
  }

  bool store(std::size_t number, Block& block) {
    RunBuffer& blob = block.bytes;
    const std::size_t cellBytes = blob.size();
    blob.append(block.rowStarts.data(), block.rowStarts.size() * sizeof(std::uint32_t));
    sqlite3_stmt* statement = insert.get();
    sqlite3_bind_int64(statement, 1, static_cast<sqlite3_int64>(number));
    sqlite3_bind_blob64(statement, 2, blob.data(), blob.size(), SQLITE_STATIC);
    const bool stored = sqlite3_step(statement) == SQLITE_DONE;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    blob.resize(cellBytes);
    return stored;
  }

  // The run read back, or null when the temporary database fails to give it.
  const Block* load(std::size_t number, const Block& shape) {
    for (auto it = cache.begin(); it != cache.end(); ++it)
      if (it->first == number) {
        std::rotate(it, it + 1, cache.end());
        return cache.back().second.get();
      }
    std::unique_ptr<Block> block;
    if (cache.size() == kCachedRuns) {
      block = std::move(cache.front().second);
      cache.erase(cache.begin());
    } else {
      block = std::make_unique<Block>();
    }
    const auto rowid = static_cast<sqlite3_int64>(number);
    const int opened =
        reader ? sqlite3_blob_reopen(reader, rowid)
               : sqlite3_blob_open(connection.get(), "main", "runs", "cells", rowid, 0, &reader);
    const std::size_t size =
        opened == SQLITE_OK ? static_cast<std::size_t>(sqlite3_blob_bytes(reader)) : 0;
    const std::size_t startBytes = static_cast<std::size_t>(shape.rows) * sizeof(std::uint32_t);
    if (opened != SQLITE_OK || size < startBytes) return nullptr;
    block->bytes.resize(size - startBytes);
    block->rowStarts.resize(static_cast<std::size_t>(shape.rows));
    if (sqlite3_blob_read(reader, block->bytes.data(), static_cast<int>(size - startBytes), 0) !=
            SQLITE_OK ||
        sqlite3_blob_read(reader, block->rowStarts.data(), static_cast<int>(startBytes),
                          static_cast<int>(size - startBytes)) != SQLITE_OK)
      return nullptr;
    block->firstRow = shape.firstRow;
    block->rows = shape.rows;
    cache.emplace_back(number, std::move(block));
    return cache.back().second.get();
  }
};

ResultRows::ResultRows() = default;

ResultRows::ResultRows(int columns, std::size_t memoryBound)
    : columns_(std::max(columns, 0)), memoryBound_(memoryBound) {}

ResultRows::~ResultRows() = default;
ResultRows::ResultRows(ResultRows&&) noexcept = default;
ResultRows& ResultRows::operator=(ResultRows&&) noexcept = default;

void ResultRows::addCell(std::string_view programText, bool cut) {
  if (columns_ == 0) return;
  if (cellsInRow_ == 0) {
    if (blocks_.empty() || blocks_.back()->sealed) {
      auto block = std::make_unique<Block>();
      block->firstRow = rows_;
      if (spare_) {
        block->bytes = std::move(spare_->bytes);
        block->rowStarts = std::move(spare_->rowStarts);
        spare_.reset();
      }
      blocks_.push_back(std::move(block));
    }
    Block& open = *blocks_.back();
    open.rowStarts.push_back(static_cast<std::uint32_t>(open.bytes.size()));
  }
  Block& open = *blocks_.back();
  open.bytes.appendLength(programText.size() * 2 + (cut ? 1 : 0));
  open.bytes.append(programText.data(), programText.size());
  if (++cellsInRow_ < columns_) return;
  cellsInRow_ = 0;
  ++rows_;
  ++open.rows;
  if (open.bytes.size() >= kRunBytes - kRowRoom) sealOpenBlock();
}

void ResultRows::sealOpenBlock() {
  Block& block = *blocks_.back();
  block.sealed = true;
  if (heldBytes_ + block.held() <= memoryBound_) {
    heldBytes_ += block.held();
    return;
  }
  if (!spill_) spill_ = Spill::open();
  // Without a temporary database (no room on the disk), the rows stay in memory.
  if (!spill_ || !spill_->store(blocks_.size() - 1, block)) {
    heldBytes_ += block.held();
    return;
  }
  block.spilled = true;
  spare_ = std::make_unique<Block>();
  spare_->bytes = std::move(block.bytes);
  spare_->bytes.clear();
  spare_->rowStarts = std::move(block.rowStarts);
  spare_->rowStarts.clear();
}

bool ResultRows::spilled() const { return spill_ != nullptr; }

std::size_t ResultRows::blockFor(int row) const {
  const auto after = std::upper_bound(
      blocks_.begin(), blocks_.end(), row,
      [](int wanted, const std::unique_ptr<Block>& block) { return wanted < block->firstRow; });
  return static_cast<std::size_t>(after - blocks_.begin()) - 1;
}

ResultRows::CellView ResultRows::cellView(int row, int column) const {
  if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return {};
  const std::size_t number = blockFor(row);
  const Block* block = blocks_[number].get();
  if (block->spilled) block = spill_->load(number, *block);
  if (!block) return {};
  std::size_t at = block->rowStarts[static_cast<std::size_t>(row - block->firstRow)];
  for (int each = 0;; ++each) {
    const std::size_t header = block->bytes.readLength(at);
    const std::size_t length = header / 2;
    if (each == column)
      return {std::string_view(block->bytes.data() + at, length), (header & 1) != 0};
    at += length;
  }
}

std::string ResultRows::cell(int row, int column) const {
  return std::string(cellView(row, column).text);
}

bool ResultRows::isCut(int row, int column) const { return cellView(row, column).cut; }

}  // namespace tabulor
