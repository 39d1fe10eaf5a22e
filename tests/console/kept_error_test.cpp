#include "console/kept_error.h"

#include <gtest/gtest.h>

#include "console_db_fixture.h"

namespace tabulor {
namespace {

class KeptEngineErrorTest : public testing::ConsoleDbTest {
 protected:
  // A failure followed by the program's own successful calls, kept as the console keeps it.
  void failAndRefill() {
    ASSERT_FALSE(db.execute("selec 1"));
    failure = engineErrorOf(db);
    ASSERT_FALSE(db.listTables(true, false, false).empty());
    kept.keep(failure, engineErrorOf(db));
  }

  KeptEngineError kept;
  EngineError failure;
};

TEST_F(KeptEngineErrorTest, FailureOutlivesTheProgramsOwnCalls) {
  failAndRefill();
  EXPECT_EQ(failure, (EngineError{1, "near \"selec\": syntax error"}));
  EXPECT_EQ(engineErrorOf(db), EngineError{});
  EXPECT_EQ(kept.lastError(db), failure);
}

TEST_F(KeptEngineErrorTest, ForgetOrALaterFailureGivesTheConnectionsOwnState) {
  failAndRefill();
  kept.forget();
  EXPECT_EQ(kept.lastError(db), EngineError{});

  failAndRefill();
  ASSERT_FALSE(db.execute("create table t (z)"));
  EXPECT_EQ(kept.lastError(db), (EngineError{1, "table t already exists"}));
}

TEST_F(KeptEngineErrorTest, NothingKeptGivesTheConnectionsOwnState) {
  ASSERT_FALSE(db.execute("drop table missing"));
  EXPECT_EQ(kept.lastError(db), (EngineError{1, "no such table: missing"}));
}

}  // namespace
}  // namespace tabulor
