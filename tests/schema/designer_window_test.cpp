#include <functional>

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "platform/egrid.h"
#include "schema/designer_cell_editors.h"
#include "schema/table_designer_window.h"
#include "schema_window_fixture.h"

namespace tabulor::testing {
namespace {

constexpr int kName = 1;
constexpr int kType = 2;
constexpr int kLength = 3;

// Drives the designer as a user would: clicks, keys and the in-place editors.
class DesignerWindowTest : public SchemaWindowTest {
 protected:
  // Runs the menu command; `drive` gets the open designer, which is closed
  // afterwards if it is still open. Returns whether the designer opened.
  bool design(Command command, const std::function<void()>& drive) {
    trigger(command);
    QPointer<TableDesignerWindow> opened = window->findChild<TableDesignerWindow*>();
    if (!opened) return false;
    EXPECT_TRUE(opened->isVisible());
    EXPECT_EQ(opened->windowModality(), Qt::ApplicationModal);
    designer = opened;
    drive();
    designer = nullptr;
    delete opened;
    return true;
  }

  EGrid& grid() const { return *designer->高级表格1; }
  QModelIndex index(int row, int column) const {
    return grid().model()->index(row - 1, column - 1);
  }

  void click(int row, int column) {
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                      grid().visualRect(index(row, column)).center());
  }
  void press(Qt::Key key) { QTest::keyClick(&grid(), key); }

  QWidget* openEditor() const { return grid().findChild<DesignerCellEditors*>()->openEditor(); }

  // Types into a name or length cell through its editor, ending with Enter.
  void type(int row, int column, const QString& text) {
    click(row, column);
    grid().edit(index(row, column));
    auto* editor = qobject_cast<QLineEdit*>(openEditor());
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, text);
    enter(editor);
  }

  // Enter commits an editor's text once the event loop runs on.
  static void enter(QWidget* editor) {
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
  }

  // Picks a type from the drop-down list that a click on the cell opens.
  void pickType(int row, const QString& type) {
    click(row, kType);
    auto* box = qobject_cast<QComboBox*>(openEditor());
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(box->view()->isVisible());
    const int item = box->findText(type);
    ASSERT_GE(item, 0);
    QAbstractItemView* list = box->view();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(item, 0)).center());
  }

  QStringList column(int column) const {
    QStringList texts;
    for (int row = 1; row < grid().rowCount(); ++row) texts << grid().cellText(row, column);
    return texts;
  }
  QStringList numbers() const { return column(0); }
  QStringList names() const { return column(kName); }
  std::pair<int, int> current() const { return {grid().currentRow(), grid().currentColumn()}; }
  void clickButton(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  TableDesignerWindow* designer = nullptr;
};

TEST_F(DesignerWindowTest, ANewTableStartsWithOneEmptyNumberedRow) {
  openWith("CREATE TABLE t (a)");
  ASSERT_TRUE(design(Command::NewTable, [&] {
    EXPECT_EQ(designer->windowTitle(), QStringLiteral("创建表"));
    EXPECT_EQ(grid().geometry(), QRect(8, 8, 384, 400));
    EXPECT_EQ(grid().accessibleName(), QStringLiteral("字段列表"));
    EXPECT_EQ((QStringList{grid().cellText(0, 0), grid().cellText(0, 1), grid().cellText(0, 2),
                           grid().cellText(0, 3)}),
              (QStringList{"序号", "字段名称", "字段类型", "最大文本长度"}));
    EXPECT_EQ(numbers(), QStringList{"1"});
    EXPECT_EQ(names(), QStringList{""});
    EXPECT_EQ(current(), std::pair(1, kName));
    EXPECT_EQ(grid().columnInputKind(kType), InputKind::DropDown);
    EXPECT_EQ(grid().columnChoices(kType),
              (QStringList{"", "整数型", "小数型", "文本型", "字节集型", "（通用型）",
                           "主键（自增字段）"}));
    EXPECT_EQ(grid().columnInputKind(kLength), InputKind::Numeric);
    EXPECT_EQ(grid().columnWidth(0), 130);
    EXPECT_EQ(grid().verticalHeader()->width(), 32);
    EXPECT_FALSE(designer->按钮1->isVisible());
    for (QPushButton* button : {designer->按钮4, designer->按钮5}) {
      EXPECT_TRUE(button->isVisible());
      clickButton(button);
    }
    EXPECT_EQ(names(), QStringList{""});
    clickButton(designer->按钮_取消);
    EXPECT_FALSE(designer->isVisible());
  }));
  EXPECT_TRUE(boxes().empty());
  EXPECT_EQ(rows("SELECT name FROM sqlite_master"), (std::vector<std::vector<std::string>>{{"t"}}));
}

TEST_F(DesignerWindowTest, DownOpensARowBelowANamedLastRowAndLeavingItEmptyTakesItAway) {
  openWith("");
  design(Command::NewTable, [&] {
    press(Qt::Key_Down);
    EXPECT_EQ(names(), QStringList{""}) << "an empty last row gets no row below";
    type(1, kName, "a");
    press(Qt::Key_Down);
    EXPECT_EQ(numbers(), (QStringList{"1", "2"}));
    EXPECT_EQ(current(), std::pair(2, kName));
    press(Qt::Key_Up);
    EXPECT_EQ(names(), QStringList{"a"}) << "Up leaves the empty row, which goes";
    EXPECT_EQ(current(), std::pair(1, kName));

    press(Qt::Key_Down);
    type(2, kName, "b");
    press(Qt::Key_Down);
    EXPECT_EQ(names(), (QStringList{"a", "b", ""}));
    click(1, kLength);
    EXPECT_EQ(names(), (QStringList{"a", "b"})) << "a click elsewhere takes the empty row away";
    EXPECT_EQ(current(), std::pair(1, kLength));
    click(2, kName);
    click(1, kName);
    EXPECT_EQ(names(), (QStringList{"a", "b"})) << "a named last row stays";
  });
}

TEST_F(DesignerWindowTest, TypingANameAndPressingDownInOneGoOpensTheNextRow) {
  openWith("");
  design(Command::NewTable, [&] {
    grid().edit(index(1, kName));
    QTest::keyClicks(openEditor(), "a");
    QTest::keyClick(openEditor(), Qt::Key_Down);
    EXPECT_EQ(names(), (QStringList{"a", ""}));
    EXPECT_EQ(current(), std::pair(2, kName));
  });
}

TEST_F(DesignerWindowTest, InsertButtonsAddEmptyRowsBeforeOrAfterTheCurrentOne) {
  openWith("");
  design(Command::NewTable, [&] {
    type(1, kName, "a");
    clickButton(designer->按钮_向后插入字段);
    type(2, kName, "b");
    click(1, kName);
    clickButton(designer->按钮_向前插入字段);
    EXPECT_EQ(names(), (QStringList{"", "a", "b"}));
    EXPECT_EQ(numbers(), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(current(), std::pair(1, kName)) << "the buttons do not move the current cell";

    click(3, kName);
    clickButton(designer->按钮_向后插入字段);
    EXPECT_EQ(names(), (QStringList{"", "a", "b", ""}));
    click(3, kType);
    EXPECT_EQ(names(), (QStringList{"", "a", "b"}))
        << "an empty row appended after the last goes when the current cell moves; one "
           "between others stays";
  });
}

TEST_F(DesignerWindowTest, DeletingAFieldAsksAndOnlyYesDeletes) {
  openWith("");
  design(Command::NewTable, [&] {
    type(1, kName, "a");
    press(Qt::Key_Down);
    type(2, kName, "b");
    press(Qt::Key_Down);
    type(3, kName, "c");
    click(2, kName);
    prompts.queueAnswer(Answer::No);
    prompts.queueAnswer(Answer::Cancel);
    clickButton(designer->按钮_删除字段);
    clickButton(designer->按钮_删除字段);
    EXPECT_EQ(names(), (QStringList{"a", "b", "c"}));
    clickButton(designer->按钮_删除字段);
    EXPECT_EQ(names(), (QStringList{"a", "c"}));
    EXPECT_EQ(numbers(), (QStringList{"1", "2"}));
    const Box question{"您确认要删除字段 b 吗？", "", 0x23};
    EXPECT_EQ(boxes(), (std::vector<Box>{question, question, question}));

    prompts.clear();
    click(1, kName);
    clickButton(designer->按钮_删除字段);
    click(1, kName);
    clickButton(designer->按钮_删除字段);
    EXPECT_EQ(grid().rowCount(), 1) << "only the header is left";
    clickButton(designer->按钮_向前插入字段);
    clickButton(designer->按钮_向后插入字段);
    EXPECT_EQ(grid().rowCount(), 1) << "without a current row nothing is inserted";
    clickButton(designer->按钮_确定);
    EXPECT_EQ(boxes().back(), (Box{"尚未添加任何字段！", "", 0x30}));
    EXPECT_TRUE(designer->isVisible());
  });
}

TEST_F(DesignerWindowTest, TheTypeListOpensOnAClickAndTheLengthTakesOnlyNumbers) {
  openWith("");
  design(Command::NewTable, [&] {
    pickType(1, "文本型");
    EXPECT_EQ(grid().cellText(1, kType), QStringLiteral("文本型"));

    click(1, kLength);
    QSignalSpy beeps(grid().findChild<DesignerCellEditors*>(),
                     &DesignerCellEditors::characterRefused);
    QTest::keyClick(&grid(), Qt::Key_A);
    auto* editor = qobject_cast<QLineEdit*>(openEditor());
    ASSERT_NE(editor, nullptr) << "a key opens the editor";
    EXPECT_EQ(editor->text(), QString());
    QTest::keyClicks(editor, "1x2.5-");
    EXPECT_EQ(editor->text(), QStringLiteral("12.5-"));
    EXPECT_EQ(beeps.count(), 2);
    QTest::keyClick(editor, Qt::Key_Backspace);
    enter(editor);
    EXPECT_EQ(grid().cellText(1, kLength), QStringLiteral("12.5"));
    EXPECT_EQ(beeps.count(), 2);
  });
}

// Whatever way a text takes into the length editor, only ASCII digits, "-" and "." get
// in: full-width digits typed or committed by an input method, and a paste holding any
// other character, leave the text as it was.
TEST_F(DesignerWindowTest, TheLengthTakesOnlyAsciiDigitsWhateverTheWay) {
  const auto typeKey = [](QLineEdit& editor, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&editor, &press);
  };
  const auto commit = [](QLineEdit& editor, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(&editor, &event);
  };
  const auto paste = [](QLineEdit& editor, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    editor.paste();
  };
  struct Way {
    const char* name;
    std::function<void(QLineEdit&, const QString&)> enter;
    QString text;
    QString kept;
  };
  const Way ways[] = {
      {"full-width key", typeKey, QStringLiteral("１"), QStringLiteral("7")},
      {"input method, full-width", commit, QStringLiteral("１０"), QStringLiteral("7")},
      {"input method, ASCII", commit, QStringLiteral("10"), QStringLiteral("10")},
      {"paste with letters", paste, QStringLiteral("12ab"), QStringLiteral("7")},
      {"paste, full-width", paste, QStringLiteral("１0"), QStringLiteral("7")},
      {"paste, ASCII", paste, QStringLiteral("-1.5"), QStringLiteral("-1.5")},
  };
  openWith("");
  design(Command::NewTable, [&] {
    for (const Way& way : ways) {
      grid().setCellText(1, kLength, QStringLiteral("7"));
      click(1, kLength);
      grid().edit(index(1, kLength));
      auto* editor = qobject_cast<QLineEdit*>(openEditor());
      ASSERT_NE(editor, nullptr) << way.name;
      editor->selectAll();
      way.enter(*editor, way.text);
      enter(editor);
      EXPECT_EQ(grid().cellText(1, kLength), way.kept) << way.name;
    }
  });
}

TEST_F(DesignerWindowTest, AnExistingTableLoadsItsStoredDefinition) {
  openWith("CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT(20), note)");
  select("t");
  ASSERT_TRUE(design(Command::ModifyTable, [&] {
    EXPECT_EQ(designer->windowTitle(), QStringLiteral("修改表 - t"));
    EXPECT_EQ(numbers(), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(names(), (QStringList{"id", "name", "note"}));
    EXPECT_EQ(column(kType), (QStringList{"主键（自增字段）", "文本型", ""}));
    EXPECT_EQ(column(kLength), (QStringList{"0", "20", "0"}));
  }));
}

TEST_F(DesignerWindowTest, ModifyNeedsASelectedTableThatStillExists) {
  openWith("CREATE TABLE t (a); CREATE VIEW v AS SELECT * FROM t");
  EXPECT_FALSE(design(Command::ModifyTable, [] {}));
  select("v");
  EXPECT_FALSE(design(Command::ModifyTable, [] {}));
  select("t");
  ASSERT_TRUE(state.db.execute("DROP TABLE t"));  // behind the tree's back
  EXPECT_FALSE(design(Command::ModifyTable, [] {}));
  const Box select{"请先选中一个表，然后执行修改操作！", "", 0x10};
  EXPECT_EQ(boxes(), (std::vector<Box>{select, select, {"不存在表：t！", "", 0x10}}));
}

// A full-text table and the table its module keeps its index in: the designer never
// opens on them, and the box says why.
TEST_F(DesignerWindowTest, ModifyRefusesVirtualTablesAndTheirStorageBeforeOpening) {
  openWith("CREATE VIRTUAL TABLE docs USING fts5(body); INSERT INTO docs VALUES ('alpha')");
  const std::string before = state.db.tableSql("docs_data");
  select("docs_data");
  EXPECT_FALSE(design(Command::ModifyTable, [] {}));
  select("docs");
  EXPECT_FALSE(design(Command::ModifyTable, [] {}));
  EXPECT_EQ(boxes(),
            (std::vector<Box>{
                {"表 docs_data 是虚拟表 docs 的内部存储表，由该虚拟表自己维护，不能用设计器修改。",
                 "", 0x10},
                {"表 docs 是虚拟表（模块 fts5），不能用设计器修改。", "", 0x10}}));
  EXPECT_EQ(state.db.tableSql("docs_data"), before);
}

TEST_F(DesignerWindowTest, ANewTableIsNamedCreatedAndShownInTheTree) {
  openWith("CREATE TABLE abc (x)");
  prompts.queueInput(QStringLiteral("a_c"));
  prompts.queueInput(QStringLiteral("t2"));
  ASSERT_TRUE(design(Command::NewTable, [&] {
    type(1, kName, "id");
    pickType(1, "主键（自增字段）");
    clickButton(designer->按钮_向后插入字段);
    clickButton(designer->按钮_向后插入字段);
    click(3, kName);
    type(3, kName, "name");
    pickType(3, "文本型");
    type(3, kLength, "20");
    clickButton(designer->按钮_确定);
    EXPECT_EQ(boxes(), (std::vector<Box>{{"字段名称不能为空！", "", 0}}));
    EXPECT_EQ(current(), std::pair(2, kName)) << "the faulty cell becomes current";
    EXPECT_TRUE(designer->isVisible());

    click(2, kName);
    clickButton(designer->按钮_删除字段);
    clickButton(designer->按钮_确定);  // a_c is taken: LIKE finds abc
    EXPECT_TRUE(designer->isVisible());
    clickButton(designer->按钮_确定);
    EXPECT_FALSE(designer->isVisible());
  }));
  const auto inputs = prompts.records(ScriptedPrompts::Kind::Input);
  ASSERT_EQ(inputs.size(), 2u);
  EXPECT_EQ(inputs[0].text, QStringLiteral("请输入要创建的表名称："));
  EXPECT_EQ(inputs[0].title, QString());
  const std::vector<Box> shown = boxes();
  EXPECT_EQ(
      std::vector<Box>(shown.end() - 2, shown.end()),
      (std::vector<Box>{{"表“a_c”已经存在于数据库中！", "", 0}, {"已成功创建表“t2”！", "", 0}}));
  EXPECT_EQ(storedSql("t2"), "CREATE TABLE t2 (id INTEGER PRIMARY KEY, name TEXT(20))");
  EXPECT_TRUE(treeLines().contains(QStringLiteral("  t2")));
  EXPECT_TRUE(treeLines().contains(QStringLiteral("    name")));
}

// The user sees the altered table behind the success message.
TEST_F(DesignerWindowTest, AlteringATableBringsTheWindowUpToDateBeforeItsMessage) {
  openWith("CREATE TABLE t (a INTEGER)");
  select("t");
  LookBehindPrompts behind([this] {
    const bool shownAfresh = ui().编辑框_表或视图定义->toPlainText().contains(QStringLiteral("bb"));
    return treeLines().join(QLatin1Char(',')) +
           (shownAfresh ? QStringLiteral("|afresh") : QString());
  });
  ASSERT_TRUE(design(Command::ModifyTable, [&] {
    type(1, kName, "bb");
    clickButton(designer->按钮_确定);
  }));
  EXPECT_EQ(behind.messages(), QStringList({QStringLiteral("修改表 t 成功！")}));
  EXPECT_EQ(behind.seen, QStringList({QStringLiteral("表 (1),  t,    bb,视图 (0)|afresh")}));
}

TEST_F(DesignerWindowTest, AlteringATableCarriesItsDataOverByPosition) {
  openWith(
      "CREATE TABLE t (a INTEGER, b TEXT, c);"
      "INSERT INTO t VALUES (1, 'x', 'p'), (2, 'y', 'q')");
  select("t");
  environment.setTickCount(77);
  ASSERT_TRUE(design(Command::ModifyTable, [&] {
    click(2, kName);
    grid().edit(index(2, kName));
    QTest::keyClicks(openEditor(), "bb");
    click(3, kName);  // the move commits the edit of row 2
    clickButton(designer->按钮_删除字段);
    click(2, kLength);
    press(Qt::Key_Down);
    type(3, kName, "d");
    pickType(3, "文本型");
    type(3, kLength, "10");
    clickButton(designer->按钮_确定);
    EXPECT_FALSE(designer->isVisible());
  }));
  EXPECT_EQ(boxes().back(), (Box{"修改表 t 成功！", "", 0}));
  EXPECT_EQ(storedSql("t"), "CREATE TABLE t (a INTEGER, bb TEXT, d TEXT(10))");
  EXPECT_EQ(rows("SELECT a, bb, quote(d) FROM t"),
            (std::vector<std::vector<std::string>>{{"1", "x", "NULL"}, {"2", "y", "NULL"}}));
  EXPECT_EQ(rows("SELECT count(*) FROM sqlite_master WHERE name LIKE '__temp%'")[0][0], "0");
  EXPECT_EQ(ui().编辑框_表或视图定义->toPlainText(),
            QStringLiteral("CREATE TABLE t (a INTEGER, bb TEXT, d TEXT(10))"))
      << "the shown table is shown afresh";
  EXPECT_TRUE(treeLines().contains(QStringLiteral("    bb")));
}

TEST_F(DesignerWindowTest, ATableWrittenByAnotherToolShowsItsFieldsAndKeepsItsKeysAndIndex) {
  openWith(
      "CREATE TABLE \"shop_item\" (\n"
      "  \"id\" integer NOT NULL PRIMARY KEY AUTOINCREMENT,\n"
      "  \"name\" varchar(150) NOT NULL UNIQUE,\n"
      "  \"price\" decimal(10, 2) NOT NULL DEFAULT 0\n"
      ");"
      "CREATE INDEX shop_item_price ON shop_item (price);"
      "INSERT INTO shop_item (name, price) VALUES ('茶', 2.5)");
  select("shop_item");
  ASSERT_TRUE(design(Command::ModifyTable, [&] {
    EXPECT_EQ(names(), (QStringList{"id", "name", "price"}));
    EXPECT_EQ(column(kType), (QStringList{"整数型", "文本型", ""}));
    EXPECT_EQ(column(kLength), (QStringList{"0", "150", "10"}));
    click(3, kLength);
    press(Qt::Key_Down);
    type(4, kName, "stock");
    pickType(4, "整数型");
    clickButton(designer->按钮_确定);
  }));
  EXPECT_EQ(boxes().back(), (Box{"修改表 shop_item 成功！", "", 0}));
  EXPECT_EQ(storedSql("shop_item"),
            "CREATE TABLE shop_item (\"id\" integer NOT NULL PRIMARY KEY AUTOINCREMENT, "
            "\"name\" varchar(150) NOT NULL UNIQUE, \"price\" decimal(10, 2) NOT NULL DEFAULT 0, "
            "stock INTEGER)");
  EXPECT_EQ(rows("SELECT name FROM sqlite_master WHERE tbl_name = 'shop_item' AND type = 'index' "
                 "ORDER BY name"),
            (std::vector<std::vector<std::string>>{{"shop_item_price"},
                                                   {"sqlite_autoindex_shop_item_1"}}));
  EXPECT_EQ(rows("SELECT id, name, price, quote(stock) FROM shop_item"),
            (std::vector<std::vector<std::string>>{{"1", "茶", "2.5", "NULL"}}));
}

TEST_F(DesignerWindowTest, AFailedAlterationLeavesTheTableAndTheDesignerAsTheyWere) {
  openWith(
      "CREATE TABLE t (a INTEGER, b TEXT);"
      "INSERT INTO t VALUES (1, 'x'), (1, 'y')");
  select("t");
  ASSERT_TRUE(state.db.beginTransaction());  // the user's own, with a change in it
  ASSERT_TRUE(state.db.execute("INSERT INTO t VALUES (5, 'mine')"));
  ASSERT_TRUE(design(Command::ModifyTable, [&] {
    pickType(1, "主键（自增字段）");  // the values of a are not unique
    clickButton(designer->按钮_确定);
    EXPECT_TRUE(designer->isVisible());
    EXPECT_EQ(grid().cellText(1, kType), QStringLiteral("主键（自增字段）"));
  }));
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_TRUE(boxes()[0].text.startsWith(QStringLiteral("修改表失败！错误信息如下：\r\n\r\n")));
  EXPECT_TRUE(boxes()[0].text.contains(QStringLiteral("UNIQUE constraint failed")))
      << "the reason is shown";
  EXPECT_EQ(boxes()[0].title, QStringLiteral("错误："));
  EXPECT_EQ(boxes()[0].flags, 0x10);
  EXPECT_EQ(storedSql("t"), "CREATE TABLE t (a INTEGER, b TEXT)");
  EXPECT_EQ(rows("SELECT b FROM t"),
            (std::vector<std::vector<std::string>>{{"x"}, {"y"}, {"mine"}}));
  EXPECT_TRUE(state.db.inTransaction()) << "the user's transaction stays open";
}

}  // namespace
}  // namespace tabulor::testing
