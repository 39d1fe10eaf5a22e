#include <QAction>
#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextCursor>

#include "editing/picture_panels.h"
#include "editing_fixture.h"
#include "platform/egrid.h"
#include "support/code_page_scope.h"

namespace tabulor::testing {
namespace {

using Kind = ScriptedPrompts::Kind;

// Record 1 holds a value of each kind; record 2 the zero-length blob and a CR LF text.
const char* const kTableSql =
    "CREATE TABLE t(id INTEGER PRIMARY KEY, i INTEGER, r REAL, s TEXT CHECK(length(s) < 20), "
    "b BLOB, n);"
    "INSERT INTO t VALUES (1, 7, 12.5, 'hello', X'00FF41', NULL);"
    "INSERT INTO t VALUES (2, -3, 0.25, 'a' || char(13, 10) || 'b', X'', 'x');";

enum Field { kId = 1, kI, kR, kS, kB, kN };

class FieldPanelTest : public EditingTest {
 protected:
  void SetUp() override { openAndShow(kTableSql, QStringLiteral("t")); }

  QString textBox() { return panel().编辑框_文本字段值->toPlainText(); }
  QString integerBox() { return panel().编辑框_整数字段值->text(); }
  QString decimalBox() { return panel().编辑框_小数字段值->text(); }
  QString fileIn(const QString& name, const QByteArray& content) {
    const QString file = path(name.toStdString());
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(content);
    return file;
  }
  static QByteArray fileContent(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<unreadable>");
  }
  std::string stored(const char* column, int id = 1) {
    return value(std::string("SELECT typeof(") + column + ") || ':' || quote(" + column +
                 ") FROM t WHERE id = " + std::to_string(id));
  }
};

TEST_F(FieldPanelTest, ReadShowsTheEngineTextOnEachTextPage) {
  const struct {
    int record, field;
    const char* text;
  } cases[] = {
      {1, kI, "7"}, {1, kR, "12.5"}, {1, kS, "hello"}, {1, kN, ""}, {2, kI, "-3"}, {2, kN, "x"},
  };
  for (const auto& c : cases) {
    choose(c.record, c.field);
    panel().按钮_读文本字段值->click();
    panel().按钮_读整数字段值->click();
    EXPECT_EQ(integerBox(), QString::fromUtf8(c.text)) << c.text;
    EXPECT_EQ(textBox(), QString()) << "each read empties the other pages";
    panel().按钮_读小数字段值->click();
    EXPECT_EQ(decimalBox(), QString::fromUtf8(c.text)) << c.text;
    panel().按钮_读文本字段值->click();
    EXPECT_EQ(textBox(), QString::fromUtf8(c.text)) << c.text;
  }
  EXPECT_TRUE(prompts.records().empty());
}

TEST_F(FieldPanelTest, SelectorsAndPagesReadAtOnce) {
  QTabWidget& pages = *ui().高级选择夹1;
  choose(1, kS);
  EXPECT_EQ(textBox(), QStringLiteral("hello"));
  pages.setCurrentIndex(2);
  EXPECT_EQ(decimalBox(), QStringLiteral("hello"));
  ui().组合框_字段名称->setCurrentIndex(kR - 1);
  EXPECT_EQ(decimalBox(), QStringLiteral("12.5"));
  pages.setCurrentIndex(3);
  EXPECT_TRUE(panel().图片框_字节集预览->pixmap().isNull()) << "a real is no picture";
  ui().组合框_字段名称->setCurrentIndex(kB - 1);
  EXPECT_EQ(panel().图片框_字节集预览->picture(), Bytes({0x00, 0xFF, 0x41}));
  ui().组合框_记录序号->setCurrentIndex(1);
  EXPECT_TRUE(panel().图片框_字节集预览->picture().empty()) << "the zero-length blob";
  ui().组合框_字段名称->setCurrentIndex(-1);
  EXPECT_TRUE(prompts.records().empty()) << "no field selected: emptied without a message";
}

TEST_F(FieldPanelTest, SelectorsFollowTheGridsCurrentCell) {
  EGrid& grid = *ui().高级表格1;
  grid.setCurrentCell(2, kS);
  EXPECT_EQ(ui().组合框_记录序号->currentIndex(), 1);
  EXPECT_EQ(ui().组合框_字段名称->currentIndex(), kS - 1);
  EXPECT_EQ(textBox(), QStringLiteral("a\nb"));
  grid.setCurrentCell(1, kI);
  EXPECT_EQ(textBox(), QStringLiteral("7"));
  // The header row and the number column select nothing, and the values are emptied.
  panel().syncPanelToGridCursor(0, kI);
  EXPECT_EQ(ui().组合框_记录序号->currentIndex(), -1);
  EXPECT_EQ(textBox(), QString());
  panel().syncPanelToGridCursor(1, 0);
  EXPECT_EQ(ui().组合框_记录序号->currentIndex(), 0);
  EXPECT_EQ(ui().组合框_字段名称->currentIndex(), -1);
  EXPECT_EQ(textBox(), QString());
  EXPECT_TRUE(prompts.records().empty());
}

// Its records cannot be read through the cursor, so following the grid must not
// report a failure at every move.
using WithoutRowidPanelTest = EditingTest;

TEST_F(WithoutRowidPanelTest, FollowingTheGridReadsAndSaysNothing) {
  openAndShow(
      "CREATE TABLE w (k TEXT PRIMARY KEY, v) WITHOUT ROWID;"
      "INSERT INTO w VALUES ('a', 'one'), ('b', 'two')",
      QStringLiteral("w"));
  EGrid& grid = *ui().高级表格1;
  grid.setCurrentCell(1, 2);
  grid.setCurrentCell(2, 1);
  EXPECT_EQ(ui().组合框_记录序号->currentIndex(), 1);
  EXPECT_EQ(panel().编辑框_文本字段值->toPlainText(), QString());
  EXPECT_TRUE(prompts.records().empty());
}

TEST_F(FieldPanelTest, WritesEachPagesValueAndReportsSuccess) {
  const struct {
    int page, field;
    const char* typed;
    const char* stored;
  } cases[] = {
      {0, kS, "abc", "text:'abc'"},
      {0, kS, "", "text:''"},
      {0, kN, "12", "text:'12'"},
      {1, kI, "9007199254740993", "integer:9007199254740993"},
      {1, kN, "-9223372036854775808", "integer:-9223372036854775808"},
      {1, kI, "12.5", "real:12.5"},
      {1, kI, "-", "integer:0"},
      {1, kI, "", "integer:0"},
      {1, kN, "7", "integer:7"},
      {2, kR, "3.25", "real:3.25"},
      {2, kR, "-", "real:0.0"},
      {2, kI, "7.0", "integer:7"},
      {2, kN, "1e3", "real:1000.0"},
  };
  const char* const columns[] = {"", "id", "i", "r", "s", "b", "n"};
  for (const auto& c : cases) {
    choose(1, c.field);
    ui().高级选择夹1->setCurrentIndex(c.page);
    prompts.clear();
    const QString typed = QString::fromUtf8(c.typed);
    if (c.page == 0) panel().编辑框_文本字段值->setPlainText(typed);
    if (c.page == 1) panel().编辑框_整数字段值->setText(typed);
    if (c.page == 2) panel().编辑框_小数字段值->setText(typed);
    QPushButton* write[] = {panel().按钮_写文本字段值, panel().按钮_写整数字段值,
                            panel().按钮_写小数字段值};
    write[c.page]->click();
    EXPECT_EQ(stored(columns[c.field]), c.stored) << c.typed;
    EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("已成功写入字段值！")}) << c.typed;
    EXPECT_EQ(prompts.records().front().flags, 0x40);
  }
  EXPECT_EQ(ui().高级表格1->cellText(1, kS), QStringLiteral("hello")) << "grid not reloaded";
}

TEST_F(FieldPanelTest, ARefusedWriteSaysSoAndKeepsTheValue) {
  choose(1, kS);
  panel().编辑框_文本字段值->setPlainText(QStringLiteral("far too long for the check"));
  panel().按钮_写文本字段值->click();
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("写字段值失败！")});
  EXPECT_EQ(prompts.records().front().flags, 0x10);
  EXPECT_EQ(stored("s"), "text:'hello'");
}

TEST_F(FieldPanelTest, AWriteWithoutASelectedRecordOrFieldDoesNothing) {
  choose(1, kS);
  panel().编辑框_文本字段值->setPlainText(QStringLiteral("changed"));
  choose(1, 0);
  panel().按钮_写文本字段值->click();
  choose(0, kS);
  panel().按钮_写整数字段值->click();
  panel().按钮_清除字节集字段->click();
  EXPECT_TRUE(prompts.records().empty());
  EXPECT_EQ(stored("s"), "text:'hello'");
}

TEST_F(FieldPanelTest, TextKeepsItsCrLfLineBreaksThroughReadAndWrite) {
  choose(2, kS);
  EXPECT_EQ(textBox(), QStringLiteral("a\nb"));
  panel().按钮_写文本字段值->click();
  EXPECT_EQ(stored("s", 2), "text:'a\r\nb'");
  choose(1, kS);
  panel().编辑框_文本字段值->setPlainText(QStringLiteral("x\ny"));
  panel().按钮_写文本字段值->click();
  EXPECT_EQ(stored("s"), "text:'x\ny'");
}

// Text read into the panel and written back unedited stores the same bytes, whatever its
// line breaks and blanks.
TEST_F(FieldPanelTest, UneditedTextIsWrittenBackByteForByte) {
  const char* const cases[] = {
      "610D62",            // a CR b
      "610A62",            // a LF b
      "610D0A62",          // a CR LF b
      "610D0A620A630D64",  // mixed
      "610D0A",            // a trailing break
      "610A0A",            // an empty last line
      "61C2A062",          // a no-break space
      "61E3808062",        // an ideographic space
      "0D0D0A0A",          // breaks only
  };
  SqliteDB db;
  ASSERT_TRUE(db.open(toProgramText(database)));
  for (const char* hex : cases) {
    ASSERT_TRUE(db.execute(std::string("UPDATE t SET s = CAST(X'") + hex + "' AS TEXT)"));
    choose(1, kS);
    panel().按钮_读文本字段值->click();
    panel().按钮_写文本字段值->click();
    EXPECT_EQ(value("SELECT hex(s) FROM t WHERE id = 1"), hex);
  }
  // An edited text takes the text's first line break.
  ASSERT_TRUE(db.execute("UPDATE t SET s = 'a' || char(13) || 'b' WHERE id = 1"));
  choose(1, kS);
  panel().按钮_读文本字段值->click();
  panel().编辑框_文本字段值->moveCursor(QTextCursor::End);
  panel().编辑框_文本字段值->insertPlainText(QStringLiteral("\nc"));
  panel().按钮_写文本字段值->click();
  EXPECT_EQ(value("SELECT hex(s) FROM t WHERE id = 1"), "610D620D63");
}

TEST_F(FieldPanelTest, BlobFromFileStoresTheFileByteForByte) {
  choose(1, kB);
  ui().高级选择夹1->setCurrentIndex(3);
  const QByteArray content("\x00\x01zero\x00inside", 13);
  prompts.queueFile(fileIn(QStringLiteral("in.bin"), content));
  panel().按钮_从文件写到字节集字段->click();
  EXPECT_EQ(value("SELECT hex(b) FROM t WHERE id = 1"), content.toHex().toUpper().toStdString());
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("已成功写入字段值！")});
  const auto request = prompts.records(Kind::OpenFile).front().file;
  EXPECT_EQ(request.filter, QStringLiteral("所有文件(*.*)|*.*"));
}

const QString kClearQuestion = QStringLiteral("本操作将清除字段 [b] 中的现有数据，确认要继续吗？");

TEST_F(FieldPanelTest, ClearingABlobAsksAndNoOrCancelKeepsIt) {
  choose(1, kB);
  ui().高级选择夹1->setCurrentIndex(3);
  prompts.queueAnswer(Answer::No);
  panel().按钮_清除字节集字段->click();
  prompts.queueAnswer(Answer::Cancel);
  panel().按钮_清除字节集字段->click();
  EXPECT_EQ(prompts.messages(), QStringList({kClearQuestion, kClearQuestion}));
  EXPECT_EQ(prompts.records().front().flags, 0x23);
  EXPECT_EQ(value("SELECT length(b) FROM t WHERE id = 1"), "3");
  EXPECT_EQ(stored("b"), "blob:X'00FF41'");
}

TEST_F(FieldPanelTest, ClearingABlobOnYesStoresAZeroLengthBlob) {
  choose(1, kB);
  ui().高级选择夹1->setCurrentIndex(3);
  prompts.queueAnswer(Answer::Yes);
  panel().按钮_清除字节集字段->click();
  EXPECT_EQ(stored("b"), "blob:X''") << "a zero-length blob, not NULL";
  EXPECT_EQ(prompts.messages(),
            QStringList({kClearQuestion, QStringLiteral("已成功写入字段值！")}));
}

TEST_F(FieldPanelTest, AClearedBlobWritesOutAsAnEmptyFile) {
  choose(1, kB);
  ui().高级选择夹1->setCurrentIndex(3);
  prompts.queueAnswer(Answer::Yes);
  panel().按钮_清除字节集字段->click();
  prompts.clear();
  const QString out = path("out.bin");
  prompts.queueFile(out);
  panel().按钮_写字节集字段值到文件->click();
  EXPECT_TRUE(panel().图片框_字节集预览->picture().empty());
  EXPECT_TRUE(QFile::exists(out));
  EXPECT_EQ(fileContent(out), QByteArray());
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("已成功写入文件 ") + out});
  EXPECT_EQ(prompts.records(Kind::Message).front().flags, 0x40);
}

TEST_F(FieldPanelTest, WritingOutATextFieldSavesItsBytes) {
  choose(1, kS);
  const QString out = path("out.bin");
  prompts.queueFile(out);
  panel().按钮_写字节集字段值到文件->click();
  EXPECT_EQ(fileContent(out), QByteArray("hello"));
}

TEST_F(FieldPanelTest, WritingOutIntoAMissingFolderFails) {
  choose(1, kS);
  prompts.queueFile(path("missing-folder/out.bin"));
  panel().按钮_写字节集字段值到文件->click();
  EXPECT_EQ(prompts.messages().last(), QStringLiteral("写文件失败！"));
}

// A cancelled choice, and a file that cannot be read, fail and leave the field as it was.
TEST_F(FieldPanelTest, BlobFromFileThatIsCancelledOrUnreadableKeepsTheField) {
  choose(1, kB);
  for (const std::optional<QString>& file :
       {std::optional<QString>(), std::optional<QString>(path("no-such-file.bin")),
        std::optional<QString>(QString::fromStdString(dir.path().string()))}) {
    prompts.clear();
    prompts.queueFile(file);
    panel().按钮_从文件写到字节集字段->click();
    EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("写字段值失败！")});
    EXPECT_EQ(prompts.records(Kind::Message).front().flags, 0x10);
    EXPECT_EQ(stored("b"), "blob:X'00FF41'");
  }
}

// A blob file longer than any value the engine holds is refused before it is read, never
// stored cut. The file is sparse: it takes no room on the disk.
TEST_F(FieldPanelTest, BlobFileOver2GiBIsRefusedAndTheFieldKept) {
  const QString file = path("huge.bin");
  QFile huge(file);
  ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
  ASSERT_TRUE(huge.resize(qint64{1} << 31));
  huge.close();
  choose(1, kB);
  prompts.clear();
  prompts.queueFile(file);
  panel().按钮_从文件写到字节集字段->click();
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("写字段值失败！")});
  EXPECT_EQ(stored("b"), "blob:X'00FF41'");
}

// A text file that is not valid program text (UTF-8 here) but valid GB18030 is decoded as
// GB18030; one that is neither leaves the box as it was, with a message.
TEST_F(FieldPanelTest, TextFilesInGb18030AreDecodedOthersAreRefused) {
  if (!testing::fourByteGb18030Offered()) GTEST_SKIP() << "no four-byte GB18030 on this system";
  prompts.queueFile(
      fileIn(QStringLiteral("gb.txt"), QByteArray("\xD6\xD0\xCE\xC4\r\n\x95\x32\x82\x36")));
  panel().按钮_从文件读入文本->click();
  EXPECT_EQ(textBox(), QStringLiteral("中文\n\U00020000"));
  EXPECT_TRUE(prompts.records(Kind::Message).empty());
  choose(1, kS);
  prompts.queueFile(fileIn(QStringLiteral("gb.txt"), QByteArray("\xD6\xD0\xCE\xC4\r\n")));
  panel().按钮_从文件读入文本->click();
  panel().按钮_写文本字段值->click();
  EXPECT_EQ(stored("s"), "text:'中文\r\n'");

  prompts.clear();
  const QString bad = fileIn(QStringLiteral("bad.txt"), QByteArray("\x81\x20"));
  prompts.queueFile(bad);
  panel().按钮_从文件读入文本->click();
  EXPECT_EQ(textBox(), QStringLiteral("中文\n"));
  EXPECT_EQ(prompts.messages(),
            QStringList{QStringLiteral("无法读取文件中的文字：它既不是本机代码页的文本，也不是 "
                                       "GB18030 文本。\r\n") +
                        bad});
  EXPECT_EQ(prompts.records(Kind::Message).front().flags, 0x10);
}

TEST_F(FieldPanelTest, TextFilesLoadUpToAZeroByte) {
  prompts.queueFile(fileIn(QStringLiteral("in.txt"), QByteArray("before\0after", 12)));
  panel().按钮_从文件读入文本->click();
  EXPECT_EQ(textBox(), QStringLiteral("before"));
  EXPECT_EQ(prompts.records(Kind::OpenFile).front().file.defaultExtension, QStringLiteral("txt"));
}

TEST_F(FieldPanelTest, TextSavedToAFileKeepsItsBytesAndOpensInTheEditor) {
  prompts.queueFile(fileIn(QStringLiteral("crlf.txt"), QByteArray("中文\r\n第二行")));
  panel().按钮_从文件读入文本->click();
  prompts.clear();
  const QString out = path("out.txt");
  prompts.queueFile(out);
  panel().按钮_写文本到文件->click();
  EXPECT_EQ(fileContent(out), QByteArray("中文\r\n第二行"));
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("已成功写入文件 ") + out});
  EXPECT_EQ(environment.editedFiles(), QStringList{out});
  EXPECT_EQ(stored("s"), "text:'hello'") << "the database is not touched";
}

TEST_F(FieldPanelTest, CancelledTextFileDialogsDoNothing) {
  panel().按钮_从文件读入文本->click();
  panel().按钮_写文本到文件->click();
  EXPECT_TRUE(prompts.records(Kind::Message).empty()) << "cancelled dialogs";
}

TEST_F(FieldPanelTest, NumberBoxesFilterTypedCharactersOnly) {
  QLineEdit& integer = *panel().编辑框_整数字段值;
  QLineEdit& decimal = *panel().编辑框_小数字段值;
  QTest::keyClicks(&integer, QStringLiteral("1a-2.x3"));
  QTest::keyClicks(&decimal, QStringLiteral("1a-2.x3"));
  EXPECT_EQ(integer.text(), QStringLiteral("1-23"));
  EXPECT_EQ(decimal.text(), QStringLiteral("1-2.3"));
  QTest::keyClick(&integer, Qt::Key_Backspace);
  EXPECT_EQ(integer.text(), QStringLiteral("1-2"));
  // Delete arrives with the text U+007F under X11, with none elsewhere.
  for (QLineEdit* box : {&integer, &decimal}) {
    for (const QString& text : {QString(QChar(0x7F)), QString()}) {
      box->setText(QStringLiteral("123"));
      box->setCursorPosition(0);
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, text);
      QCoreApplication::sendEvent(box, &press);
      EXPECT_EQ(box->text(), QStringLiteral("23")) << box->objectName().toStdString();
    }
    box->setCursorPosition(2);
    QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QString(QChar(0x08)));
    QCoreApplication::sendEvent(box, &back);
    EXPECT_EQ(box->text(), QStringLiteral("2"));
  }
  integer.setText(QStringLiteral("12.5"));
  EXPECT_EQ(integer.text(), QStringLiteral("12.5"));
}

TEST_F(FieldPanelTest, APictureBlobIsPreviewedFittedInto128Pixels) {
  QImage image(512, 256, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  choose(1, kB);
  ui().高级选择夹1->setCurrentIndex(3);
  prompts.queueFile(fileIn(QStringLiteral("wide.png"), png));
  panel().按钮_从文件写到字节集字段->click();
  panel().按钮_写字节集字段值到文件->click();  // reads the field; the save is cancelled
  const QPixmap shown = panel().图片框_字节集预览->pixmap();
  ASSERT_FALSE(shown.isNull());
  EXPECT_LE(shown.width(), 128);
  EXPECT_EQ(shown.width(), 2 * shown.height());
}

TEST_F(FieldPanelTest, PageControlsSitAtTheirDesignedPlacesWithAccessibleNames) {
  window->show();
  QCoreApplication::processEvents();
  const struct {
    const char* name;
    QPoint designed;  // from the page control's corner, the tab row included
    const char* accessible;
  } cases[] = {
      {"编辑框_文本字段值", {8, 46}, "文本字段值"},
      {"编辑框_整数字段值", {8, 48}, "整数字段值"},
      {"编辑框_小数字段值", {8, 48}, "小数字段值"},
      {"图片框_字节集预览", {8, 120}, "字节集预览"},
  };
  QTabWidget* pages = ui().高级选择夹1;
  for (const auto& c : cases) {
    auto* control = window->findChild<QWidget*>(QString::fromUtf8(c.name));
    ASSERT_NE(control, nullptr) << c.name;
    EXPECT_EQ(control->mapTo(pages, QPoint(0, 0)), c.designed) << c.name;
    EXPECT_EQ(control->accessibleName(), QString::fromUtf8(c.accessible)) << c.name;
  }
}

// Showing a table fills the selectors without selecting or reading anything, whatever the
// selectors held for the table shown before.
class FieldPanelFill : public EditingTest {
 protected:
  void SetUp() override {
    openAndShow(
        "CREATE TABLE five(x); INSERT INTO five VALUES (1), (2), (3), (4), (5);"
        "CREATE TABLE two(y BLOB); INSERT INTO two VALUES (X'01'), (X'02');"
        "CREATE VIEW v AS SELECT x FROM five;",
        QStringLiteral("five"));
  }
};

TEST_F(FieldPanelFill, ShowingATableReadsNothingAndSelectsNothing) {
  ui().高级表格1->setCurrentCell(5, 1);
  ASSERT_EQ(ui().组合框_记录序号->currentIndex(), 4);
  select(QStringLiteral("two"));
  EXPECT_TRUE(prompts.records(Kind::Message).empty());
  EXPECT_EQ(ui().组合框_记录序号->currentIndex(), -1);
  EXPECT_EQ(ui().组合框_字段名称->currentIndex(), -1);
  EXPECT_EQ(ui().组合框_记录序号->count(), 2);

  // Deleting the last record shows the table afresh: only the question and the success.
  ui().高级表格1->setCurrentCell(2, 1);
  prompts.queueAnswer(Answer::Yes);
  window->action(Command::DeleteCurrentRecord)->trigger();
  EXPECT_EQ(prompts.messages(), QStringList({QStringLiteral("您确认要删除当前记录吗？"),
                                             QStringLiteral("已成功删除当前记录。")}));
}

TEST_F(FieldPanelFill, ClearingTheDataViewDropsThePicturesBytesToo) {
  select(QStringLiteral("two"));
  ui().高级选择夹1->setCurrentIndex(3);
  choose(1, 1);
  ASSERT_EQ(panel().图片框_字节集预览->picture(), Bytes({0x01}));
  window->setTreeSelection(0);  // a section heading: the data view is cleared
  ASSERT_EQ(ui().高级表格1->cellText(0, 0), QStringLiteral("无数据"));
  EXPECT_TRUE(panel().图片框_字节集预览->picture().empty());
  EXPECT_TRUE(panel().图片框_字节集预览->pixmap().isNull());
}

}  // namespace
}  // namespace tabulor::testing
