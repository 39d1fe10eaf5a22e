#include "sqlitedb/row_id_runs.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <set>
#include <vector>

namespace tabulor {
namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

RowIdRuns runsOf(const std::vector<std::int64_t>& ascending) {
  RowIdRuns runs;
  for (std::int64_t id : ascending) runs.append(id);
  return runs;
}

// Every position answers the model's id, and nothing lies outside.
void expectSame(const RowIdRuns& runs, const std::set<std::int64_t>& model) {
  ASSERT_EQ(runs.size(), static_cast<std::int64_t>(model.size()));
  std::int64_t position = 0;
  for (std::int64_t id : model) ASSERT_EQ(runs.at(position++), id) << "position " << position - 1;
  EXPECT_EQ(runs.at(-1), std::nullopt);
  EXPECT_EQ(runs.at(runs.size()), std::nullopt);
}

TEST(RowIdRunsTest, ConsecutiveIdsAreOneRunAndEachGapAddsOne) {
  struct Case {
    std::vector<std::int64_t> ids;
    std::size_t runs;
  };
  const Case cases[] = {
      {{}, 0},
      {{5}, 1},
      {{1, 2, 3, 4}, 1},
      {{1, 2, 4, 5, 9}, 3},
      {{-3, -2, -1, 0, 1}, 1},
      {{kMin, kMin + 1, kMax - 1, kMax}, 2},
  };
  for (const Case& c : cases) {
    const RowIdRuns runs = runsOf(c.ids);
    EXPECT_EQ(runs.runCount(), c.runs) << c.ids.size() << " ids";
    expectSame(runs, std::set<std::int64_t>(c.ids.begin(), c.ids.end()));
  }
}

TEST(RowIdRunsTest, ARangeIsOneRun) {
  RowIdRuns runs;
  runs.assignRange(kMax - 2, 3);
  EXPECT_EQ(runs.runCount(), 1u);
  expectSame(runs, {kMax - 2, kMax - 1, kMax});
  runs.assignRange(7, 0);
  EXPECT_EQ(runs.size(), 0);
  EXPECT_EQ(runs.runCount(), 0u);
}

TEST(RowIdRunsTest, EraseAndInsertSplitAndJoinRuns) {
  struct Case {
    const char* what;
    bool insert;
    std::int64_t id;
    bool changed;
    std::vector<std::int64_t> after;
    std::size_t runs;
  };
  // Start: 1..5, 8, 10..11
  const Case cases[] = {
      {"erase the first id of a run", false, 1, true, {2, 3, 4, 5, 8, 10, 11}, 3},
      {"erase the last id of a run", false, 5, true, {1, 2, 3, 4, 8, 10, 11}, 3},
      {"erase inside a run", false, 3, true, {1, 2, 4, 5, 8, 10, 11}, 4},
      {"erase a run of one", false, 8, true, {1, 2, 3, 4, 5, 10, 11}, 2},
      {"erase an id not held", false, 9, false, {1, 2, 3, 4, 5, 8, 10, 11}, 3},
      {"insert joining two runs", true, 9, true, {1, 2, 3, 4, 5, 8, 9, 10, 11}, 2},
      {"insert extending a run", true, 6, true, {1, 2, 3, 4, 5, 6, 8, 10, 11}, 3},
      {"insert starting a run", true, 7, true, {1, 2, 3, 4, 5, 7, 8, 10, 11}, 3},
      {"insert before everything", true, -4, true, {-4, 1, 2, 3, 4, 5, 8, 10, 11}, 4},
      {"insert after everything", true, 12, true, {1, 2, 3, 4, 5, 8, 10, 11, 12}, 3},
      {"insert an id already held", true, 4, false, {1, 2, 3, 4, 5, 8, 10, 11}, 3},
  };
  for (const Case& c : cases) {
    RowIdRuns runs = runsOf({1, 2, 3, 4, 5, 8, 10, 11});
    EXPECT_EQ(c.insert ? runs.insert(c.id) : runs.erase(c.id), c.changed) << c.what;
    expectSame(runs, std::set<std::int64_t>(c.after.begin(), c.after.end()));
    EXPECT_EQ(runs.runCount(), c.runs) << c.what;
  }
}

TEST(RowIdRunsTest, EmptiedRunsTakeNewIds) {
  RowIdRuns runs;
  EXPECT_FALSE(runs.erase(1));
  EXPECT_TRUE(runs.insert(1));
  EXPECT_TRUE(runs.erase(1));
  EXPECT_EQ(runs.size(), 0);
  EXPECT_TRUE(runs.insert(kMin));
  EXPECT_TRUE(runs.insert(kMax));
  expectSame(runs, {kMin, kMax});
}

// Random edits over many blocks' worth of runs, checked position by position against
// an ordinary set: blocks split, empty and shift without losing or moving an id.
TEST(RowIdRunsTest, RandomEditsMatchASet) {
  std::mt19937_64 random(13);
  std::set<std::int64_t> model;
  RowIdRuns runs;
  for (std::int64_t id = 0; id < 60'000; ++id) {
    if (random() % 3 == 0) continue;
    model.insert(id);
    runs.append(id);
  }
  expectSame(runs, model);
  for (int edit = 0; edit < 40'000; ++edit) {
    const auto id = static_cast<std::int64_t>(random() % 70'000) - 5'000;
    if (random() % 2)
      ASSERT_EQ(runs.insert(id), model.insert(id).second) << id;
    else
      ASSERT_EQ(runs.erase(id), model.erase(id) == 1) << id;
  }
  expectSame(runs, model);
  // Isolated ids inserted from the top down pile runs into one block until it splits.
  for (std::int64_t id = 140'000; id >= 100'000; id -= 2) {
    runs.insert(id);
    model.insert(id);
  }
  expectSame(runs, model);
  for (std::int64_t id : std::set<std::int64_t>(model)) {
    ASSERT_TRUE(runs.erase(id)) << id;
    model.erase(id);
    if (id % 4999 == 0) expectSame(runs, model);
  }
  EXPECT_EQ(runs.size(), 0);
  EXPECT_EQ(runs.runCount(), 0u);
}

}  // namespace
}  // namespace tabulor
