// RowIdRuns: a cursor's ascending row ids, held as runs of consecutive ids.

#include "sqlitedb/row_id_runs.h"

#include <algorithm>

namespace tabulor {
namespace {

// 64 KiB of runs per block: a scan of a table full of gaps adds blocks without ever
// copying what it has read, and an edit moves at most two blocks' worth of runs.
constexpr std::size_t kBlockRuns = 4096;

// Distance from one id to a later one; row ids may span the whole 64-bit range.
std::uint64_t distance(std::int64_t from, std::int64_t to) {
  return static_cast<std::uint64_t>(to) - static_cast<std::uint64_t>(from);
}

}  // namespace

void RowIdRuns::clear() {
  blocks_ = {};
  size_ = 0;
}

void RowIdRuns::assignRange(std::int64_t first, std::int64_t count) {
  clear();
  if (count <= 0) return;
  Block& block = newBlock(0);
  block.runs.push_back({first, 0});
  block.size = count;
  size_ = count;
}

RowIdRuns::Block& RowIdRuns::newBlock(std::int64_t firstPosition) {
  Block& block = blocks_.emplace_back();
  block.firstPosition = firstPosition;
  block.size = 0;
  return block;
}

void RowIdRuns::append(std::int64_t id) {
  if (!blocks_.empty()) {
    Block& last = blocks_.back();
    const Run& run = last.runs.back();
    if (id - 1 == run.firstId + (last.size - run.offset - 1)) {
      ++last.size;
      ++size_;
      return;
    }
  }
  if (blocks_.empty() || blocks_.back().runs.size() >= kBlockRuns) newBlock(size_);
  Block& last = blocks_.back();
  last.runs.push_back({id, last.size});
  ++last.size;
  ++size_;
}

std::int64_t RowIdRuns::runLength(const Block& block, std::size_t run) {
  const std::int64_t end = run + 1 < block.runs.size() ? block.runs[run + 1].offset : block.size;
  return end - block.runs[run].offset;
}

std::optional<std::int64_t> RowIdRuns::at(std::int64_t position) const {
  if (position < 0 || position >= size_) return std::nullopt;
  const auto block = std::prev(std::upper_bound(blocks_.begin(), blocks_.end(), position,
                                                [](std::int64_t wanted, const Block& candidate) {
                                                  return wanted < candidate.firstPosition;
                                                }));
  const std::int64_t offset = position - block->firstPosition;
  const auto run = std::prev(std::upper_bound(
      block->runs.begin(), block->runs.end(), offset,
      [](std::int64_t wanted, const Run& candidate) { return wanted < candidate.offset; }));
  return run->firstId + (offset - run->offset);
}

// The last block whose first id is not above the id (the first block for an id below
// all), and in it the last run starting at or below the id.
RowIdRuns::Place RowIdRuns::placeOf(std::int64_t id) const {
  const auto after = std::upper_bound(blocks_.begin(), blocks_.end(), id,
                                      [](std::int64_t wanted, const Block& candidate) {
                                        return wanted < candidate.runs.front().firstId;
                                      });
  const std::size_t block =
      after == blocks_.begin() ? 0 : static_cast<std::size_t>(after - blocks_.begin()) - 1;
  const std::vector<Run>& runs = blocks_[block].runs;
  const auto run = std::upper_bound(
      runs.begin(), runs.end(), id,
      [](std::int64_t wanted, const Run& candidate) { return wanted < candidate.firstId; });
  return {block, (run - runs.begin()) - 1};
}

bool RowIdRuns::holds(const Place& place, std::int64_t id) const {
  if (place.run < 0) return false;
  const Block& block = blocks_[place.block];
  const auto run = static_cast<std::size_t>(place.run);
  return distance(block.runs[run].firstId, id) < static_cast<std::uint64_t>(runLength(block, run));
}

void RowIdRuns::shiftOffsetsFrom(Block& block, std::int64_t offset, std::int64_t by) {
  auto run = std::lower_bound(
      block.runs.begin(), block.runs.end(), offset,
      [](const Run& candidate, std::int64_t wanted) { return candidate.offset < wanted; });
  for (; run != block.runs.end(); ++run) run->offset += by;
}

void RowIdRuns::shiftBlocksAfter(std::size_t block, std::int64_t by) {
  for (std::size_t later = block + 1; later < blocks_.size(); ++later)
    blocks_[later].firstPosition += by;
}

void RowIdRuns::splitIfFull(std::size_t index) {
  if (blocks_[index].runs.size() < 2 * kBlockRuns) return;
  Block& full = blocks_[index];
  const auto middle = full.runs.begin() + static_cast<std::ptrdiff_t>(kBlockRuns);
  const std::int64_t cut = middle->offset;
  Block second;
  second.firstPosition = full.firstPosition + cut;
  second.size = full.size - cut;
  second.runs.assign(middle, full.runs.end());
  for (Run& run : second.runs) run.offset -= cut;
  full.runs.erase(middle, full.runs.end());
  full.size = cut;
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(index) + 1, std::move(second));
}

bool RowIdRuns::erase(std::int64_t id) {
  if (size_ == 0) return false;
  const Place place = placeOf(id);
  if (!holds(place, id)) return false;
  Block& block = blocks_[place.block];
  const auto index = static_cast<std::size_t>(place.run);
  const auto runAt = block.runs.begin() + place.run;
  const std::int64_t length = runLength(block, index);
  const auto within = static_cast<std::int64_t>(distance(runAt->firstId, id));
  const std::int64_t offset = runAt->offset + within;
  if (length == 1)
    block.runs.erase(runAt);
  else if (within == 0)
    ++runAt->firstId;
  else if (within < length - 1)
    block.runs.insert(runAt + 1, Run{id + 1, offset + 1});
  shiftOffsetsFrom(block, offset + 1, -1);
  --block.size;
  --size_;
  shiftBlocksAfter(place.block, -1);
  if (block.runs.empty())
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(place.block));
  else
    splitIfFull(place.block);
  return true;
}

bool RowIdRuns::insert(std::int64_t id) {
  if (size_ == 0) {
    assignRange(id, 1);
    return true;
  }
  const Place place = placeOf(id);
  if (holds(place, id)) return false;
  Block& block = blocks_[place.block];
  const auto next = static_cast<std::size_t>(place.run + 1);
  std::int64_t offset = 0;
  bool extendsPrevious = false;
  if (place.run >= 0) {
    const Run& previous = block.runs[next - 1];
    const std::int64_t length = runLength(block, next - 1);
    offset = previous.offset + length;
    extendsPrevious = id - 1 == previous.firstId + (length - 1);
  }
  const bool startsNext = next < block.runs.size() && block.runs[next].firstId - 1 == id;
  const auto nextAt = block.runs.begin() + static_cast<std::ptrdiff_t>(next);
  if (extendsPrevious) {
    shiftOffsetsFrom(block, offset, 1);
    if (startsNext) block.runs.erase(nextAt);
  } else if (startsNext) {
    shiftOffsetsFrom(block, offset + 1, 1);
    nextAt->firstId = id;
  } else {
    shiftOffsetsFrom(block, offset, 1);
    block.runs.insert(nextAt, Run{id, offset});
  }
  ++block.size;
  ++size_;
  shiftBlocksAfter(place.block, 1);
  splitIfFull(place.block);
  return true;
}

std::size_t RowIdRuns::runCount() const {
  std::size_t count = 0;
  for (const Block& block : blocks_) count += block.runs.size();
  return count;
}

}  // namespace tabulor
