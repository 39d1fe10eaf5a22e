#include "schema/core/damaged_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>

#include "schema/core/object_commands.h"
#include "schema/core/table_design.h"
#include "schema/core/views.h"
#include "schema_fixture.h"

namespace tabulor::schema {
namespace {

const std::string kDamaged = "数据库文件已损坏，为避免损坏扩大，未做任何修改！";

std::uint32_t bigEndianAt(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

void putBigEndian(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i)
    bytes[at + i] = static_cast<char>(value >> (8 * (3 - i)) & 0xFF);
}

// The header's page count made lower than the file, and marked valid (the field after it
// equal to the change counter), so the engine believes it: the last pages, which hold the
// orders, lie beyond the database as the engine sees it.
void lowerThePageCount(std::string& bytes) {
  putBigEndian(bytes, 28, bigEndianAt(bytes, 28) - 8);
  putBigEndian(bytes, 92, bigEndianAt(bytes, 24));
}

// One bit of a catalogue record flipped: the index's type reads "Index".
void flipTheIndexType(std::string& bytes) {
  const std::size_t at = bytes.find("indexorders_customerorders");
  ASSERT_NE(at, std::string::npos);
  bytes[at] = 'I';
}

// One bit of the index's stored definition flipped: it names a column "cuqtomer".
void flipTheIndexDefinition(std::string& bytes) {
  const std::size_t at = bytes.find("orders (customer)");
  ASSERT_NE(at, std::string::npos);
  bytes[at + 10] = 'q';
}

// A file of two tables, 客户 and orders (with an index), and a view, in small pages so the
// orders fill the end of the file; the designer is open on 客户.
class DamagedFile : public testing::DesignerTest {
 protected:
  void SetUp() override {
    run("PRAGMA page_size = 1024");
    run("CREATE TABLE 客户 (id INTEGER PRIMARY KEY, name TEXT)");
    run("CREATE TABLE orders (id INTEGER PRIMARY KEY, customer INTEGER, item TEXT)");
    run("CREATE INDEX orders_customer ON orders (customer)");
    run("CREATE VIEW v AS SELECT * FROM 客户");
    run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40)"
        " INSERT INTO 客户 SELECT i, '客户' || i FROM n");
    run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1200)"
        " INSERT INTO orders SELECT i, i % 40, 'item' || i FROM n");
    open("客户");
    db_.close();
    healthy_ = bytes();
  }

  std::string bytes() const {
    std::ifstream in(dir_.file("test.db"), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // The healthy file damaged, open on the program's connection; returns its bytes.
  std::string damaged(const std::function<void(std::string&)>& damage) {
    db_.close();
    std::string file = healthy_;
    damage(file);
    std::ofstream(dir_.file("test.db"), std::ios::binary | std::ios::trunc) << file;
    EXPECT_TRUE(db_.open(dir_.file("test.db")));
    return file;
  }

  // The commands that write, each with the user's answers given.
  struct Command {
    const char* name;
    std::function<Outcome()> run;
  };
  std::vector<Command> writingCommands() {
    const TreeSelection table{"客户", true, false};
    const TreeSelection view{"v", false, true};
    const auto yes = [](const std::string&, int) { return true; };
    const auto answer = [](std::string text) {
      return [text](const InputRequest&) { return std::optional<std::string>(text); };
    };
    return {
        {"修改表", [this] { return confirm(); }},
        {"新建表",
         [this, answer] {
           return createDesignedTable(db_, {{"a", 0, 0}}, answer("新表"));
         }},
        {"清空表", [this, yes] { return clearTable(db_, "客户", yes); }},
        {"删除表", [this, table, yes] { return dropObject(db_, ObjectKind::Table, table, yes); }},
        {"修改表名称",
         [this, table, answer] {
           return renameObject(db_, ObjectKind::Table, table, answer("新客户"));
         }},
        {"删除视图", [this, view, yes] { return dropObject(db_, ObjectKind::View, view, yes); }},
        {"修改视图名称",
         [this, view, answer] { return renameObject(db_, ObjectKind::View, view, answer("w")); }},
        {"修改视图", [this, view, answer] { return modifyView(db_, view, answer("SELECT 1")); }},
        {"新建视图", [this, answer] { return newView(db_, answer("CREATE VIEW w AS SELECT 1")); }},
    };
  }

  static void expectRefusal(const Outcome& outcome, const std::string& command,
                            const std::string& reasonPart) {
    ASSERT_TRUE(outcome.notice);
    EXPECT_TRUE(outcome.failed());
    EXPECT_FALSE(outcome.closeDesigner);
    EXPECT_EQ(testing::messageOf(*outcome.notice), kDamaged);
    const std::string reason = testing::engineDetail(*outcome.notice).value_or("");
    EXPECT_NE(reason.find(reasonPart), std::string::npos) << reason;
    EXPECT_EQ(outcome.logLine, "[×]" + command + "：" + kDamaged + reason);
  }

  std::string healthy_;
};

// The rebuild of 客户 took the pages it believed free, which held the orders: even with
// the header mended, the orders were lost. Every command that writes is refused instead.
TEST_F(DamagedFile, APageCountTooLowInTheHeaderRefusesEveryWritingCommand) {
  for (const Command& command : writingCommands()) {
    SCOPED_TRACE(command.name);
    const std::string file = damaged(lowerThePageCount);
    ASSERT_EQ(rows("SELECT count(*) FROM 客户"), (testing::Rows{{"40"}}));
    ASSERT_FALSE(db_.execute("SELECT count(*) FROM orders")) << "the orders lie past the end";
    expectRefusal(command.run(), command.name,
                  "*** in database main ***\r\nOn tree page 3 cell 0: invalid page number ");
    db_.close();
    EXPECT_EQ(bytes(), file);
  }
}

// The engine still reads the index through its definition, but a record of type "Index" is
// one the rebuild and the drop do not find: the index was dropped with its table and never
// made again. The engine's own check finds nothing wrong here.
TEST_F(DamagedFile, ACatalogueRecordTheEngineNeverWritesRefusesEveryWritingCommand) {
  for (const Command& command : writingCommands()) {
    SCOPED_TRACE(command.name);
    const std::string file = damaged(flipTheIndexType);
    ASSERT_EQ(rows("PRAGMA quick_check"), (testing::Rows{{"ok"}}));
    expectRefusal(command.run(), command.name,
                  "数据库结构记录已损坏：rowid 3, type 'Index', name 'orders_customer', "
                  "tbl_name 'orders'");
    db_.close();
    EXPECT_EQ(bytes(), file);
  }
}

// A definition the engine cannot read: its refusal is the reason.
TEST_F(DamagedFile, ADefinitionTheEngineCannotReadIsTheReason) {
  for (const Command& command : writingCommands()) {
    if (command.name == std::string("清空表")) continue;  // refused earlier: 客户 is not listed
    SCOPED_TRACE(command.name);
    const std::string file = damaged(flipTheIndexDefinition);
    expectRefusal(command.run(), command.name,
                  "malformed database schema (orders_customer) - no such column: cuqtomer");
    db_.close();
    EXPECT_EQ(bytes(), file);
  }
}

// 取消 during the check stops the command; the file is not called damaged.
TEST_F(DamagedFile, ACheckCutShortIsNoVerdict) {
  damaged([](std::string&) {});
  run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000)"
      " INSERT INTO orders (customer, item) SELECT i % 40, 'more' FROM n");
  int calls = 0;
  db_.setProgressHandler([&calls] { return ++calls < 2; });
  const auto refusal = damagedFileRefusal(db_, "修改表");
  db_.setProgressHandler({});
  ASSERT_TRUE(refusal && refusal->notice);
  EXPECT_TRUE(refusal->failed());
  EXPECT_EQ(testing::messageOf(*refusal->notice), "无法检查数据库文件是否完好，未做任何修改！");
  EXPECT_EQ(testing::engineDetail(*refusal->notice), "interrupted");
  EXPECT_FALSE(refusal->logLine);
  EXPECT_FALSE(damagedFileRefusal(db_, "修改表")) << "the file is sound";
}

}  // namespace
}  // namespace tabulor::schema
