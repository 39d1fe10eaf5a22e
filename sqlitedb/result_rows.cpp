#include "sqlitedb/result_rows.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "sqlitedb/engine.h"

namespace tabulor {
namespace {

// A run of rows closes once its cells take this many bytes: small enough to read back
// from the temporary database in an instant, large enough to keep the runs few.
constexpr std::size_t kRunBytes = std::size_t{256} << 10;
// Runs read back from the temporary database and kept for the next look (a screenful of
// rows seldom spans more than two).
constexpr std::size_t kCachedRuns = 4;

void appendLength(std::string& bytes, std::size_t value) {
  while (value >= 0x80) {
    bytes.push_back(static_cast<char>(0x80 | (value & 0x7F)));
    value >>= 7;
  }
  bytes.push_back(static_cast<char>(value));
}

std::size_t readLength(const std::string& bytes, std::size_t& at) {
  std::size_t value = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(bytes[at++]);
    value |= static_cast<std::size_t>(byte & 0x7F) << shift;
    if (byte < 0x80) return value;
  }
}

}  // namespace

struct ResultRows::Block {
  int firstRow = 0;
  int rows = 0;
  bool sealed = false;
  bool spilled = false;
  std::string bytes;  // per cell: its length times two, plus one when cut; then its text
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
  engine::Statement select;
  std::vector<std::pair<std::size_t, std::unique_ptr<Block>>> cache;  // most recent last

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
    spill->select = engine::compile(opened, "SELECT cells FROM runs WHERE number = ?",
                                    engine::Compile::Current);
    if (!spill->insert || !spill->select) return nullptr;
    return spill;
  }

  bool store(std::size_t number, Block& block) {
    std::string& blob = block.bytes;
    const std::size_t cellBytes = blob.size();
    blob.resize(cellBytes + block.rowStarts.size() * sizeof(std::uint32_t));
    std::memcpy(blob.data() + cellBytes, block.rowStarts.data(),
                block.rowStarts.size() * sizeof(std::uint32_t));
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
    sqlite3_stmt* statement = select.get();
    sqlite3_bind_int64(statement, 1, static_cast<sqlite3_int64>(number));
    auto block = std::make_unique<Block>();
    const std::size_t startBytes = static_cast<std::size_t>(shape.rows) * sizeof(std::uint32_t);
    if (sqlite3_step(statement) == SQLITE_ROW) {
      const auto* blob = static_cast<const char*>(sqlite3_column_blob(statement, 0));
      const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, 0));
      if (blob && size >= startBytes) {
        block->bytes.assign(blob, size - startBytes);
        block->rowStarts.resize(static_cast<std::size_t>(shape.rows));
        std::memcpy(block->rowStarts.data(), blob + size - startBytes, startBytes);
        block->firstRow = shape.firstRow;
        block->rows = shape.rows;
      }
    }
    sqlite3_reset(statement);
    if (block->rows != shape.rows) return nullptr;
    if (cache.size() == kCachedRuns) cache.erase(cache.begin());
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
      block->bytes.reserve(kRunBytes + kRunBytes / 4);
      blocks_.push_back(std::move(block));
    }
    Block& open = *blocks_.back();
    open.rowStarts.push_back(static_cast<std::uint32_t>(open.bytes.size()));
  }
  Block& open = *blocks_.back();
  appendLength(open.bytes, programText.size() * 2 + (cut ? 1 : 0));
  open.bytes.append(programText);
  if (++cellsInRow_ < columns_) return;
  cellsInRow_ = 0;
  ++rows_;
  ++open.rows;
  if (open.bytes.size() >= kRunBytes) sealOpenBlock();
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
  block.bytes = std::string();
  block.rowStarts = std::vector<std::uint32_t>();
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
    const std::size_t header = readLength(block->bytes, at);
    const std::size_t length = header / 2;
    if (each == column)
      return {std::string_view(block->bytes).substr(at, length), (header & 1) != 0};
    at += length;
  }
}

std::string ResultRows::cell(int row, int column) const {
  return std::string(cellView(row, column).text);
}

bool ResultRows::isCut(int row, int column) const { return cellView(row, column).cut; }

}  // namespace tabulor
