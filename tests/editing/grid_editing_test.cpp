#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

#include "editing/field_panel.h"
#include "editing/record_commands.h"
#include "editing_fixture.h"
#include "platform/egrid.h"

namespace tabulor::testing {
namespace {

using Kind = ScriptedPrompts::Kind;

// Every update of t is counted in writes, so a write of an unchanged value shows too.
const char* const kSql =
    "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT CHECK(length(name) < 10), qty INTEGER);"
    "INSERT INTO t VALUES (1, 'hello', 5), (2, 'world', 6);"
    "CREATE TABLE writes(n);"
    "CREATE TRIGGER counted AFTER UPDATE ON t BEGIN INSERT INTO writes VALUES (1); END;"
    "CREATE VIEW v AS SELECT name FROM t;";

class GridEditing : public EditingTest {
 protected:
  void SetUp() override { openAndShow(kSql, QStringLiteral("t")); }

  EGrid& grid() { return *ui().高级表格1; }

  // Types text into a cell through its in-place editor and confirms with Enter.
  void editCell(int row, int column, const QString& text) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // earlier editors
    grid().setCurrentCell(row, column);
    grid().edit(grid().currentIndex());
    auto* editor = grid().viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the grid commits the editor's text queued
    QCoreApplication::processEvents();  // what the write leaves for after the editor closed
  }
  std::string writes() { return value("SELECT count(*) FROM writes"); }
};

TEST_F(GridEditing, AChangedCellIsWrittenAndLoggedAnUnchangedOneIsNot) {
  const int logSize = logLines().size();
  editCell(1, 2, QStringLiteral("hello"));
  EXPECT_EQ(writes(), "0");
  EXPECT_EQ(logLines().size(), logSize);

  editCell(1, 2, QStringLiteral("Hello"));
  EXPECT_EQ(value("SELECT name FROM t WHERE id = 1"), "Hello") << "a change of case is a change";
  EXPECT_EQ(logLines().last(), QStringLiteral("已修改 name 字段值：Hello"));

  editCell(2, 3, QStringLiteral("abc"));
  EXPECT_EQ(value("SELECT typeof(qty) || ':' || qty FROM t WHERE id = 2"), "text:abc");
  EXPECT_EQ(logLines().last(), QStringLiteral("已修改 qty 字段值：abc"));
  editCell(2, 3, QStringLiteral("42"));
  EXPECT_EQ(value("SELECT typeof(qty) || ':' || qty FROM t WHERE id = 2"), "integer:42");
  EXPECT_EQ(writes(), "3");
  EXPECT_TRUE(prompts.records().empty());
}

TEST_F(GridEditing, ARefusedUpdateShowsTheEngineTextAndKeepsTheTypedText) {
  const int logSize = logLines().size();
  editCell(1, 2, QStringLiteral("much too long"));
  ASSERT_EQ(prompts.records(Kind::Message).size(), 1u);
  const auto box = prompts.records(Kind::Message).front();
  EXPECT_EQ(box.text,
            QStringLiteral("修改字段值失败！错误信息如下：\r\n\r\nCHECK constraint failed: "
                           "length(name) < 10"));
  EXPECT_EQ(box.title, QStringLiteral("错误："));
  EXPECT_EQ(box.flags, 0x10);
  EXPECT_EQ(grid().cellText(1, 2), QStringLiteral("much too long"));
  EXPECT_EQ(value("SELECT name FROM t WHERE id = 1"), "hello");
  EXPECT_EQ(logLines().size(), logSize);
}

// An edit of the INTEGER PRIMARY KEY changes the row's place among the row ids: later edits
// and the delete of that grid row must still reach the record the grid shows there.
TEST_F(GridEditing, AfterAnEditMovesTheRowIdEditsAndDeletesReachTheRecordShown) {
  editCell(1, 1, QStringLiteral("100"));
  EXPECT_EQ(value("SELECT group_concat(id) FROM (SELECT id FROM t ORDER BY id)"), "2,100");
  EXPECT_EQ(grid().currentRow(), 1);
  EXPECT_EQ(grid().currentColumn(), 1);
  const std::string shownId = toProgramText(grid().cellText(1, 1));
  EXPECT_EQ(toProgramText(grid().cellText(1, 2)),
            value("SELECT name FROM t WHERE id = " + shownId));

  editCell(1, 2, QStringLiteral("seen"));
  EXPECT_EQ(value("SELECT name FROM t WHERE id = " + shownId), "seen");
  EXPECT_EQ(value("SELECT count(*) FROM t WHERE name = 'seen'"), "1");

  grid().setCurrentCell(1, 2);
  prompts.queueAnswer(Answer::Yes);
  window->action(Command::DeleteCurrentRecord)->trigger();
  EXPECT_EQ(value("SELECT count(*) FROM t WHERE id = " + shownId), "0");
  EXPECT_EQ(value("SELECT count(*) FROM t"), "1");
  EXPECT_EQ(prompts.messages().last(), QStringLiteral("已成功删除当前记录。"));
  EXPECT_TRUE(prompts.records(Kind::Message).size() == 2u) << "the question and the success";
}

TEST_F(GridEditing, AViewIsNeverWritten) {
  select(QStringLiteral("v"));
  prompts.clear();
  rememberCellText(*window, 1, 1);
  grid().setCellText(1, 1, QStringLiteral("changed"));
  writeBackCellEdit(*window, 1, 1);
  EXPECT_EQ(writes(), "0");
  EXPECT_TRUE(prompts.records().empty());
}

TEST_F(GridEditing, OnlyATableGetsTheContextMenu) {
  select(QStringLiteral("v"));
  prompts.clear();
  emit grid().rightButtonReleased(1, 1, QPoint(10, 10));
  EXPECT_TRUE(prompts.records().empty());

  select(QStringLiteral("t"));
  emit grid().rightButtonReleased(1, 1, QPoint(10, 20));
  ASSERT_EQ(prompts.records(Kind::Menu).size(), 1u);
  EXPECT_EQ(prompts.records(Kind::Menu).front().text, QStringLiteral("菜单_表"));
  EXPECT_EQ(prompts.records(Kind::Menu).front().position, QPoint(10, 20));
}

// Row 1 holds 100,000 characters, row 2 exactly as many as the grid shows, row 3 one more.
const char* const kHugeSql =
    "CREATE TABLE big(id INTEGER PRIMARY KEY, body TEXT, note TEXT);"
    "INSERT INTO big VALUES (1, hex(zeroblob(50000)), 'short'),"
    " (2, replace(hex(zeroblob(3000)), '00', '汉'), 'b'),"
    " (3, replace(hex(zeroblob(3000)), '00', '汉') || 'x', 'c');"
    "CREATE TABLE writes(n);"
    "CREATE TRIGGER counted AFTER UPDATE ON big BEGIN INSERT INTO writes VALUES (1); END;";

class HugeCells : public GridEditing {
 protected:
  void SetUp() override { openAndShow(kHugeSql, QStringLiteral("big")); }
  bool editorOpens(int row, int column) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    grid().setCurrentCell(row, column);
    grid().edit(grid().currentIndex());
    const bool opened = grid().viewport()->findChild<QLineEdit*>() != nullptr;
    grid().closePersistentEditor(grid().currentIndex());
    return opened;
  }
};

TEST_F(HugeCells, TheGridShowsTheStartOfALongValueAndNeverWritesItBack) {
  const QString ellipsis(QChar(0x2026));
  EXPECT_EQ(grid().cellText(1, 2), QString(3000, QLatin1Char('0')) + ellipsis);
  EXPECT_EQ(grid().cellText(2, 2), QString(3000, QChar(0x6C49))) << "exactly the limit is whole";
  EXPECT_EQ(grid().cellText(3, 2), QString(3000, QChar(0x6C49)) + ellipsis);
  EXPECT_EQ(grid().cellText(1, 3), QStringLiteral("short"));

  EXPECT_FALSE(editorOpens(1, 2));
  EXPECT_FALSE(editorOpens(3, 2));
  EXPECT_TRUE(editorOpens(2, 2));
  editCell(1, 3, QStringLiteral("changed"));
  EXPECT_EQ(value("SELECT note FROM big WHERE id = 1"), "changed");
  EXPECT_EQ(value("SELECT length(body) FROM big WHERE id = 1"), "100000");
  EXPECT_EQ(writes(), "1") << "only the short cell was written";

  // The field panel reads the whole value.
  grid().setCurrentCell(1, 2);
  EXPECT_EQ(panel().编辑框_文本字段值->toPlainText(), QString(100000, QLatin1Char('0')));
  EXPECT_TRUE(prompts.records().empty());
}

}  // namespace
}  // namespace tabulor::testing
