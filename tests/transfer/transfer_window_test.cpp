// The CSV commands through the main window: the menu items, the dialogs, the console's item.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

#include <fstream>

#include "console/sql_console_window.h"
#include "schema/schema_window_fixture.h"
#include "sqlitedb/codepage.h"
#include "transfer/csv_export_dialog.h"
#include "transfer/csv_import_dialog.h"

namespace tabulor::testing {
namespace {

class CsvCommands : public SchemaWindowTest {
 protected:
  // Runs act on the dialog the next command opens, as soon as it is up.
  template <typename Dialog>
  void whenOpen(std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, [act] {
      auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      if (!dialog) {
        ADD_FAILURE() << "no dialog";
        if (QApplication::activeModalWidget()) QApplication::activeModalWidget()->close();
        return;
      }
      act(*dialog);
    });
  }

  // The preview's cells, a row's cells joined by '|'.
  static QStringList preview(const CsvImportDialog& dialog) {
    QStringList lines;
    const QTableWidget& table = *dialog.表格_预览;
    QStringList header;
    for (int c = 0; c < table.columnCount(); ++c) header << table.horizontalHeaderItem(c)->text();
    lines << header.join(QLatin1Char('|'));
    for (int r = 0; r < table.rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < table.columnCount(); ++c) cells << table.item(r, c)->text();
      lines << cells.join(QLatin1Char('|'));
    }
    return lines;
  }

  // The file's path in UTF-8, as QString::fromStdString reads it.
  std::string writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream(dir.at(name), std::ios::binary) << bytes;
    return utf8FromPath(dir.at(name));
  }
};

// A spreadsheet application on a Chinese system saves GBK with CR LF: the dialog finds the
// encoding, the preview and the table show the characters.
TEST_F(CsvCommands, ImportsAChineseCodePageFileAsASpreadsheetSavesIt) {
  openWith("CREATE TABLE 旧表(a)");
  const std::string file = writeFile(
      "成绩.csv",
      "\xD0\xD5\xC3\xFB,\xB3\xC9\xBC\xA8,\xB1\xB8\xD7\xA2\r\n"         // 姓名,成绩,备注
      "\xD5\xC5\xC8\xFD,90,\"\xB1\xB1\xBE\xA9,\xBA\xA3\xB5\xED\"\r\n"  // 张三,90,"北京,海淀"
      "\xC0\xEE\xCB\xC4,85.5,\r\n");                                   // 李四,85.5,
  prompts.queueFile(QString::fromStdString(file));
  QStringList seen;
  QString encoding;
  whenOpen<CsvImportDialog>([&](CsvImportDialog& dialog) {
    encoding = dialog.组合框_编码->currentText();
    dialog.组合框_空字段->setCurrentIndex(1);  // NULL
    seen = preview(dialog);
    if (const char* shot = std::getenv("TABULOR_SHOT")) dialog.grab().save(QString::fromUtf8(shot));
    dialog.按钮_导入->click();
  });
  trigger(Command::ImportCsv);
  EXPECT_EQ(encoding, QStringLiteral("GBK/GB18030（简体中文）"));
  EXPECT_EQ(seen,
            (QStringList{QStringLiteral("姓名|成绩|备注"), QStringLiteral("张三|90|北京,海淀"),
                         QStringLiteral("李四|85.5|NULL")}));
  EXPECT_EQ(rows("SELECT 姓名, 成绩, quote(备注) FROM 成绩"),
            (std::vector<std::vector<std::string>>{{"张三", "90", "'北京,海淀'"},
                                                   {"李四", "85.5", "NULL"}}));
  EXPECT_EQ(boxes().back(), (Box{QStringLiteral("已导入 2 条记录到表 成绩。"), {}, 0x40}));
  EXPECT_TRUE(treeLines().contains(QStringLiteral("  成绩")))
      << treeLines().join(',').toStdString();
  EXPECT_EQ(logLines().back(), QStringLiteral("已导入CSV文件：") + QString::fromStdString(file) +
                                   QStringLiteral(" → 表 成绩"));
}

TEST_F(CsvCommands, ImportFailureNamesTheLineAndLeavesTheTableAsItWas) {
  openWith("CREATE TABLE t(k INTEGER UNIQUE, v); INSERT INTO t VALUES(3, 'old')");
  prompts.queueFile(QString::fromStdString(writeFile("in.csv", "k,v\n1,a\n3,b\n")));
  QStringList notes;
  whenOpen<CsvImportDialog>([&](CsvImportDialog& dialog) {
    dialog.单选框_已有的表->setChecked(true);
    dialog.按钮_导入->click();
  });
  trigger(Command::ImportCsv);
  ASSERT_FALSE(boxes().empty());
  EXPECT_TRUE(boxes().back().text.startsWith(QStringLiteral("导入CSV文件失败：第 3 行：")))
      << boxes().back().text.toStdString();
  EXPECT_EQ(boxes().back().flags, 0x10);
  EXPECT_EQ(rows("SELECT k, v FROM t"), (std::vector<std::vector<std::string>>{{"3", "old"}}));
}

TEST_F(CsvCommands, PreviewSaysWhichRowsAreShortOrLong) {
  openWith("");
  prompts.queueFile(QString::fromStdString(writeFile("in.csv", "a;b\n1\n2;3;4\n")));
  QString notes;
  QString separator;
  whenOpen<CsvImportDialog>([&](CsvImportDialog& dialog) {
    separator = dialog.组合框_分隔符->currentText();
    notes = dialog.标签_预览说明->text();
    dialog.reject();
  });
  trigger(Command::ImportCsv);
  EXPECT_EQ(separator, QStringLiteral("分号（;）"));
  EXPECT_EQ(notes, QStringLiteral("第 2 行有 1 个字段，比标题行少：缺少的字段存为 NULL。\n"
                                  "第 3 行有 3 个字段，比标题行多：导入时会拒绝这一行。"));
  EXPECT_FALSE(state.db.tableExists("in"));
}

// Every row, not only the thousand the grid shows.
TEST_F(CsvCommands, ExportsEveryRowOfTheSelectedTable) {
  openWith(
      "CREATE TABLE t(n, s); WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
      "FROM c WHERE i < 1500) INSERT INTO t SELECT i, '第' || i FROM c");
  select(QStringLiteral("t"));
  const QString out = path("t.csv");
  prompts.queueFile(out);
  whenOpen<CsvExportDialog>([&](CsvExportDialog& dialog) {
    if (const char* shot = std::getenv("TABULOR_SHOT_EXPORT"))
      dialog.grab().save(QString::fromUtf8(shot));
    dialog.按钮_导出->click();
  });
  trigger(Command::ExportCsv);
  std::ifstream in(out.toStdString(), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.substr(0, 16), "\xEF\xBB\xBFn,s\r\n1,第1\r\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1501);
  EXPECT_EQ(boxes().back(), (Box{QStringLiteral("已导出 1500 条记录到文件 ") + out, {}, 0x40}));
}

TEST_F(CsvCommands, ExportWantsATableOrViewSelected) {
  openWith("CREATE TABLE t(n)");
  trigger(Command::ExportCsv);
  EXPECT_EQ(boxes().back(),
            (Box{QStringLiteral("请先在左侧的数据库结构中选中要导出的表或视图。"), {}, 0x40}));
  EXPECT_TRUE(prompts.records(ScriptedPrompts::Kind::SaveFile).empty());
}

// The console's query, every row, from the SQL box's context menu after its own items.
TEST_F(CsvCommands, ExportsTheConsolesQuery) {
  openWith("CREATE TABLE t(n); INSERT INTO t VALUES(1), (2), (3)");
  trigger(Command::RunSql);
  auto* console = window->findChild<SqlConsoleWindow*>();
  ASSERT_NE(console, nullptr);
  console->编辑框_SQL语句->setPlainText(QStringLiteral("select n * 10 as m from t where n > 1"));
  emit console->编辑框_SQL语句->customContextMenuRequested(QPoint(5, 5));
  auto* menu = console->编辑框_SQL语句->findChild<QMenu*>(QStringLiteral("SQL语句_右键菜单"));
  ASSERT_NE(menu, nullptr);
  const QList<QAction*> items = menu->actions();
  ASSERT_GE(items.size(), 3);
  EXPECT_TRUE(items[items.size() - 2]->isSeparator());
  EXPECT_EQ(items.back()->text(), QStringLiteral("导出查询结果为CSV文件..."));
  const QString out = path("q.csv");
  prompts.queueFile(out);
  whenOpen<CsvExportDialog>([&](CsvExportDialog& dialog) {
    dialog.组合框_编码->setCurrentIndex(2);  // plain UTF-8
    dialog.按钮_导出->click();
  });
  items.back()->trigger();
  std::ifstream in(out.toStdString(), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "m\r\n20\r\n30\r\n");
  console->close();
}

}  // namespace
}  // namespace tabulor::testing
