#include <optional>
#include <vector>

#include <QLineEdit>
#include <QPlainTextEdit>

#include "schema_window_fixture.h"

namespace tabulor::testing {
namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr char kSchema[] =
    "CREATE TABLE old_t (a);"
    "INSERT INTO old_t VALUES (1);"
    "CREATE VIEW old_view AS SELECT * FROM old_t";

class SchemaCommandsTest : public SchemaWindowTest {
 protected:
  void SetUp() override { openWith(kSchema); }

  std::string objects() {
    return rows("SELECT group_concat(name) FROM (SELECT name FROM sqlite_master ORDER BY name)")
        .at(0)
        .at(0);
  }
};

// One menu command on old_t and old_view: the selection, the answers given, the
// boxes the user sees and the objects left.
struct CommandCase {
  const char* title;
  Command menu;
  const char* selected;  // nullptr: nothing selected
  std::vector<std::optional<QString>> inputs;
  std::vector<Answer> answers;
  std::vector<Box> shown;
  const char* objects;
};

void PrintTo(const CommandCase& command, std::ostream* out) { *out << command.title; }

const QString kDetail = QStringLiteral("错误信息如下：\r\n\r\n");
constexpr char kUnchanged[] = "old_t,old_view";

const CommandCase kCommandCases[] = {
    {"RenameTableWithoutSelection",
     Command::RenameTable,
     nullptr,
     {},
     {},
     {{"请先选择要改名的表！", "", 0x10}},
     kUnchanged},
    {"RenameViewWithoutSelection",
     Command::RenameView,
     nullptr,
     {},
     {},
     {{"请先选择要改名的视图！", "", 0x10}},
     kUnchanged},
    {"RenameCancelled", Command::RenameTable, "old_t", {std::nullopt}, {}, {}, kUnchanged},
    {"RenameToNothing",
     Command::RenameTable,
     "old_t",
     {""},
     {},
     {{"表名称不能为空！", "", 0x10}},
     kUnchanged},
    {"RenameToTheSameName",
     Command::RenameView,
     "old_view",
     {"old_view"},
     {},
     {{"您输入的视图名称与原名称相同！无需修改。", "", 0x40}},
     kUnchanged},
    {"RenameTable",
     Command::RenameTable,
     "old_t",
     {"new_t"},
     {},
     {{"已成功修改表名称！", "", 0x40}},
     "new_t,old_view"},
    {"RenameView",
     Command::RenameView,
     "old_view",
     {"new_view"},
     {},
     {{"已成功修改视图名称！", "", 0x40}},
     "new_view,old_t"},
    {"RenameTableCommandOnAView",
     Command::RenameTable,
     "old_view",
     {"x"},
     {},
     {{"修改表名称时发生错误！" + kDetail + "view old_view may not be altered", "错误：", 0x10}},
     kUnchanged},
    {"RenameViewCommandOnATable",
     Command::RenameView,
     "old_t",
     {"x"},
     {},
     {{"修改视图名称时发生错误！" + kDetail, "错误：", 0x10}},
     kUnchanged},
    {"DropWithoutSelection",
     Command::DropTable,
     nullptr,
     {},
     {},
     {{"请先选中一个表，然后执行删除操作！", "", 0x10}},
     kUnchanged},
    {"DropAnsweredNo",
     Command::DropTable,
     "old_t",
     {},
     {Answer::No},
     {{"您确认要删除表 old_t 吗？", "", 0x23}},
     kUnchanged},
    {"DropAnsweredCancel",
     Command::DropView,
     "old_view",
     {},
     {Answer::Cancel},
     {{"您确认要删除视图 old_view 吗？", "", 0x23}},
     kUnchanged},
    {"DropTable",
     Command::DropTable,
     "old_t",
     {},
     {Answer::Yes},
     {{"您确认要删除表 old_t 吗？", "", 0x23}, {"已删除。", "", 0x40}},
     "old_view"},
    {"DropView",
     Command::DropView,
     "old_view",
     {},
     {Answer::Yes},
     {{"您确认要删除视图 old_view 吗？", "", 0x23}, {"已删除。", "", 0x40}},
     "old_t"},
    {"DropTableCommandOnAView",
     Command::DropTable,
     "old_view",
     {},
     {Answer::Yes},
     {{"您确认要删除表 old_view 吗？", "", 0x23}, {"删除失败！", "", 0x10}},
     kUnchanged},
    {"ClearWithNothingShown",
     Command::ClearTable,
     nullptr,
     {},
     {},
     {{"【】为视图名称，不能执行该命令！", "", 0x30}},
     kUnchanged},
    {"ClearAView",
     Command::ClearTable,
     "old_view",
     {},
     {},
     {{"【old_view】为视图名称，不能执行该命令！", "", 0x30}},
     kUnchanged},
    {"ClearAnsweredNo",
     Command::ClearTable,
     "old_t",
     {},
     {Answer::No},
     {{"清空后无法恢复，请确认？", "", 0x14}},
     kUnchanged},
    {"ClearTable",
     Command::ClearTable,
     "old_t",
     {},
     {Answer::Yes},
     {{"清空后无法恢复，请确认？", "", 0x14}, {"【old_t】  成功清空！", "", 0x40}},
     kUnchanged},
};

class EachCommand : public SchemaCommandsTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(EachCommand, ShowsItsBoxesAndChangesOnlyWhatItNames) {
  const CommandCase& command = GetParam();
  if (command.selected) select(QString::fromUtf8(command.selected));
  for (const auto& input : command.inputs) prompts.queueInput(input);
  for (Answer answer : command.answers) prompts.queueAnswer(answer);
  trigger(command.menu);
  EXPECT_EQ(boxes(), command.shown);
  EXPECT_EQ(objects(), command.objects);
}

INSTANTIATE_TEST_SUITE_P(RenameDropClear, EachCommand, ::testing::ValuesIn(kCommandCases),
                         [](const auto& info) { return std::string(info.param.title); });

TEST_F(SchemaCommandsTest, RenameAsksWithTheOldNameAndShowsTheNewOneInTheTree) {
  select("old_t");
  prompts.queueInput(QStringLiteral("new_t"));
  trigger(Command::RenameTable);
  const auto inputs = prompts.records(ScriptedPrompts::Kind::Input);
  ASSERT_EQ(inputs.size(), 1u);
  EXPECT_EQ(inputs[0].text, QStringLiteral("请输入新的表名称："));
  EXPECT_EQ(inputs[0].title, QString());
  EXPECT_EQ(inputs[0].initialText, QStringLiteral("old_t"));
  EXPECT_TRUE(treeLines().contains(QStringLiteral("  new_t")));
  EXPECT_FALSE(treeLines().contains(QStringLiteral("  old_t")));
}

TEST_F(SchemaCommandsTest, DropEmptiesTheDataViewWhateverTheAnswer) {
  select("old_t");
  ASSERT_EQ(ui().编辑框_表名称->text(), QStringLiteral("old_t"));
  prompts.queueAnswer(Answer::No);
  trigger(Command::DropTable);
  EXPECT_EQ(ui().编辑框_表或视图定义->toPlainText(), QString());
  EXPECT_EQ(storedSql("old_t"), "CREATE TABLE old_t (a)");
}

TEST_F(SchemaCommandsTest, ClearEmptiesTheShownTableOrShowsTheEnginesWord) {
  select("old_t");
  trigger(Command::ClearTable);
  EXPECT_EQ(rows("SELECT count(*) FROM old_t"), (Rows{{"0"}}));

  ASSERT_TRUE(state.db.execute(
      "INSERT INTO old_t VALUES (2);"
      "CREATE TRIGGER keep BEFORE DELETE ON old_t BEGIN SELECT RAISE(ABORT, 'kept'); END"));
  prompts.clear();
  trigger(Command::ClearTable);
  EXPECT_EQ(boxes().back(), (Box{"SQL语句执行失败！" + kDetail + "kept", "错误：", 0x10}));
  EXPECT_EQ(rows("SELECT a FROM old_t"), (Rows{{"2"}}));
}

// A catalogue record the engine never writes hides the index from the drop: the command is
// refused, the box and the log line say why, and the table stays.
TEST_F(SchemaCommandsTest, ADamagedFileIsRefusedWithItsReasonInTheBoxAndTheLog) {
  ASSERT_TRUE(state.db.execute(
      "CREATE INDEX old_a ON old_t (a); PRAGMA writable_schema=ON;"
      "UPDATE sqlite_master SET type = 'Index' WHERE name = 'old_a'; PRAGMA writable_schema=OFF"));
  select("old_t");
  prompts.queueAnswer(Answer::Yes);
  trigger(Command::DropTable);
  const QString refusal = QStringLiteral("数据库文件已损坏，为避免损坏扩大，未做任何修改！");
  const QString reason =
      QStringLiteral("数据库结构记录已损坏：rowid 3, type 'Index', name 'old_a', tbl_name 'old_t'");
  EXPECT_EQ(boxes().back(), (Box{refusal + kDetail + reason, "错误：", 0x10}));
  EXPECT_EQ(logLines().last(), QStringLiteral("[×]删除表：") + refusal + reason);
  EXPECT_EQ(storedSql("old_t"), "CREATE TABLE old_t (a)");
}

// Emptying a table shows its message once the tree and the shown table are up to date;
// renaming shows its message first and brings the window up to date afterwards.
TEST_F(SchemaCommandsTest, TheMessageComesBeforeOrAfterTheWindowIsUpToDate) {
  select("old_t");
  LookBehindPrompts behind([this] {
    return ui().编辑框_表名称->text() + QLatin1Char(':') +
           ui().编辑框_表基本信息->text().section(QStringLiteral("，"), 0, 0);
  });
  trigger(Command::ClearTable);
  behind.queueInput(QStringLiteral("new_t"));
  trigger(Command::RenameTable);
  EXPECT_EQ(behind.messages(), QStringList({QStringLiteral("清空后无法恢复，请确认？"),
                                            QStringLiteral("【old_t】  成功清空！"),
                                            QStringLiteral("已成功修改表名称！")}));
  EXPECT_EQ(behind.seen,
            QStringList({QStringLiteral("old_t:共1条记录"), QStringLiteral("old_t:共0条记录"),
                         QStringLiteral("old_t:共0条记录")}));
  EXPECT_EQ(ui().编辑框_表名称->text(), QStringLiteral("new_t"));
}

TEST_F(SchemaCommandsTest, NewViewRunsTheTypedStatement) {
  prompts.queueInput(QStringLiteral("CREATE VIEW [视图名称] AS select语句"));
  prompts.queueInput(QStringLiteral("CREATE VIEW v2 AS SELECT a FROM old_t"));
  trigger(Command::NewView);
  trigger(Command::NewView);
  const auto inputs = prompts.records(ScriptedPrompts::Kind::Input);
  ASSERT_EQ(inputs.size(), 2u);
  EXPECT_EQ(inputs[0].text, QStringLiteral("请输入创建视图的SQL语句"));
  EXPECT_EQ(inputs[0].title, QStringLiteral("新建视图"));
  EXPECT_EQ(inputs[0].initialText, QStringLiteral("CREATE VIEW [视图名称] AS select语句"));
  EXPECT_EQ(boxes(), (std::vector<Box>{{"执行失败！", "", 0x10}, {"执行成功。", "", 0x40}}));
  EXPECT_TRUE(treeLines().contains(QStringLiteral("  v2")));
}

TEST_F(SchemaCommandsTest, ModifyViewReplacesTheSelectOrKeepsTheOldDefinition) {
  select("old_t");
  trigger(Command::ModifyView);
  select("old_view");
  prompts.queueInput(QStringLiteral("SELEC a FROM old_t"));
  trigger(Command::ModifyView);
  EXPECT_EQ(storedSql("old_view"), "CREATE VIEW old_view AS SELECT * FROM old_t");
  prompts.queueInput(QStringLiteral("SELECT a AS z FROM old_t"));
  trigger(Command::ModifyView);
  EXPECT_EQ(storedSql("old_view"), "CREATE VIEW old_view AS SELECT a AS z FROM old_t");

  const auto inputs = prompts.records(ScriptedPrompts::Kind::Input);
  ASSERT_EQ(inputs.size(), 2u);
  EXPECT_EQ(inputs[0].text, QStringLiteral("请输入新的视图定义SQL语句（只需输入select部分）"));
  EXPECT_EQ(inputs[0].title, QStringLiteral("修改视图"));
  EXPECT_EQ(inputs[0].initialText, QStringLiteral("SELECT * FROM [表名]"));
  EXPECT_EQ(boxes(),
            (std::vector<Box>{
                {"请先选中一个视图，然后执行修改操作！", "", 0x10},
                {"修改视图失败！" + kDetail + "near \"SELEC\": syntax error", "错误：", 0x10},
                {"视图修改成功。", "", 0x40},
            }));
  EXPECT_EQ(ui().编辑框_表或视图定义->toPlainText(),
            QStringLiteral("CREATE VIEW old_view AS SELECT a AS z FROM old_t"))
      << "the shown view is shown afresh";
}

// A transaction opened from the menu stays the user's through a view rename and a refused
// view alteration inside it: its rows stay, it stays open, and its commit keeps everything.
TEST_F(SchemaCommandsTest, TheUsersTransactionOutlivesViewCommandsInsideIt) {
  trigger(Command::BeginTransaction);
  ASSERT_TRUE(state.db.inTransaction());
  ASSERT_TRUE(state.db.execute("INSERT INTO old_t VALUES (2), (3)"));
  select("old_view");
  prompts.queueInput(QStringLiteral("renamed_view"));
  trigger(Command::RenameView);
  select("renamed_view");
  prompts.queueInput(QStringLiteral("SELEC a FROM old_t"));
  trigger(Command::ModifyView);

  EXPECT_TRUE(state.db.inTransaction());
  EXPECT_EQ(storedSql("renamed_view"), "CREATE VIEW renamed_view AS SELECT * FROM old_t");
  trigger(Command::CommitTransaction);
  EXPECT_FALSE(state.db.inTransaction());

  SqliteDB other;
  ASSERT_TRUE(other.open(state.dbPath));
  auto committed = other.query("SELECT group_concat(a) FROM renamed_view");
  ASSERT_TRUE(committed->requery());
  EXPECT_EQ(committed->fetchAllText().cell(0, 0), "1,2,3");
}

}  // namespace
}  // namespace tabulor::testing
