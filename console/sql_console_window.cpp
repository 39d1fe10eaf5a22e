// The SQL console window: its controls, tree and template list, and its handlers.

#include "console/sql_console_window.h"

#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "app/host_window.h"
#include "app/icons.h"
#include "console/core/console_run.h"
#include "console/core/sql_kind.h"
#include "console/core/sql_templates.h"
#include "platform/egrid.h"
#include "platform/environment.h"
#include "platform/prompts.h"
#include "platform/qstring_conversion.h"
#include "platform/window_style.h"
#include "sqlitedb/kept_error.h"
#include "transfer/transfer_commands.h"

namespace tabulor {
namespace {

// Names the work in the busy dialog and in the log line after 取消.
const QString kRunningSql = QStringLiteral("执行SQL语句");

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& at) {
  auto* widget = named(new QLabel(text, parent), name, text);
  widget->setGeometry(at);
  return widget;
}

QRadioButton* radio(QWidget* parent, const QString& name, const QString& caption, const QRect& at) {
  auto* widget = new QRadioButton(caption, parent);
  widget->setObjectName(name);
  widget->setGeometry(at);
  return widget;
}

}  // namespace

SqlConsoleWindow::SqlConsoleWindow(HostWindow& main) : QDialog(&main), main_(main) {
  setObjectName(QStringLiteral("SqlConsoleWindow"));
  setWindowTitle(QStringLiteral("执行SQL语句"));
  applyDesignedFont(*this);
  createControls();
  applyClassicGroupBoxes(*this);
  resize(609, 459);
  onSqlConsoleCreated();
  编辑框_SQL语句->setFocus();
}

void SqlConsoleWindow::createControls() {
  标签1 = label(this, QStringLiteral("标签1"), QStringLiteral("数据库中的表和视图："),
                {8, 12, 152, 16});
  树型框1 =
      named(new QTreeWidget(this), QStringLiteral("树型框1"), QStringLiteral("数据库中的表和视图"));
  树型框1->setGeometry(8, 32, 160, 352);
  树型框1->setHeaderHidden(true);
  树型框1->setIconSize(kTreeIconSize);
  树型框1->setIndentation(16);
  标签2 = label(this, QStringLiteral("标签2"), QStringLiteral("SQL语句："), {180, 12, 152, 16});
  编辑框_SQL语句 =
      named(new QPlainTextEdit(this), QStringLiteral("编辑框_SQL语句"), QStringLiteral("SQL语句"));
  编辑框_SQL语句->setGeometry(176, 32, 424, 280);
  标签2->setBuddy(编辑框_SQL语句);
  分组框1 = named(new QGroupBox(QStringLiteral("SQL语句类型"), this), QStringLiteral("分组框1"),
                  QStringLiteral("SQL语句类型"));
  分组框1->setGeometry(176, 320, 360, 64);
  单选框_查询类SQL =
      radio(分组框1, QStringLiteral("单选框_查询类SQL"),
            QStringLiteral("查询类SQL语句（如select等，返回记录集）"), {8, 22, 336, 16});
  单选框_查询类SQL->setChecked(true);
  单选框_执行类SQL =
      radio(分组框1, QStringLiteral("单选框_执行类SQL"),
            QStringLiteral("执行类SQL（如update/delete/insert/create等）"), {8, 43, 336, 16});
  按钮_从文件导入 =
      namedButton(this, QStringLiteral("按钮_从文件导入"), QStringLiteral("从文件导入..."));
  按钮_从文件导入->setGeometry(360, 0, 89, 32);
  按钮_从模板导入 =
      namedButton(this, QStringLiteral("按钮_从模板导入"), QStringLiteral("从模板导入..."));
  按钮_从模板导入->setGeometry(448, 0, 88, 32);
  按钮_确定 = namedButton(this, QStringLiteral("按钮_确定"), QStringLiteral("确定"));
  按钮_确定->setGeometry(360, 387, 80, 32);
  按钮_关闭 = namedButton(this, QStringLiteral("按钮_关闭"), QStringLiteral("关闭"));
  按钮_关闭->setGeometry(456, 387, 80, 32);
  标签3 = label(this, QStringLiteral("标签3"),
                QStringLiteral("双击表名或字段名，可将其名称插入右侧编辑框中光标所在处。"),
                {8, 397, 344, 16});
  高级表格1 = named(new EGrid(this), QStringLiteral("高级表格1"), QStringLiteral("SQL模板"));
  高级表格1->setGeometry(208, 56, 288, 120);
  高级表格1->setEditable(false);
  SQL模板_右键菜单 = new QMenu(this);
  SQL模板_右键菜单->setObjectName(QStringLiteral("SQL模板_右键菜单"));
  QAction* apply = SQL模板_右键菜单->addAction(QStringLiteral("应用选中行"));
  SQL模板_右键菜单->addSeparator();
  QAction* hide = SQL模板_右键菜单->addAction(QStringLiteral("关闭SQL模板"));

  addCsvExportToConsole(main_, *编辑框_SQL语句);
  connect(树型框1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    树型框1->setCurrentItem(item);
    insertTreeNameAtCaret();
  });
  connect(编辑框_SQL语句, &QPlainTextEdit::textChanged, this, &SqlConsoleWindow::detectSqlKind);
  connect(按钮_确定, &QPushButton::clicked, this, &SqlConsoleWindow::runConsoleSql);
  connect(按钮_关闭, &QPushButton::clicked, this, &SqlConsoleWindow::closeSqlConsole);
  connect(按钮_从模板导入, &QPushButton::clicked, this, &SqlConsoleWindow::toggleTemplateList);
  connect(按钮_从文件导入, &QPushButton::clicked, this, &SqlConsoleWindow::importSqlFromFile);
  connect(高级表格1, &EGrid::cellDoubleClicked, this, &SqlConsoleWindow::applySelectedTemplate);
  connect(高级表格1, &EGrid::rightButtonReleased, this,
          [this](int, int, const QPoint& at) { showTemplateMenu(at); });
  connect(apply, &QAction::triggered, this, &SqlConsoleWindow::applySelectedTemplate);
  connect(hide, &QAction::triggered, this, &SqlConsoleWindow::hideTemplateList);
}

void SqlConsoleWindow::onSqlConsoleCreated() {
  fillConsoleTree();
  高级表格1->hide();
  高级表格1->raise();
  高级表格1->setGeometry(0, 0, 按钮_从模板导入->x(), height());
  fillTemplateList();
}

void SqlConsoleWindow::fillConsoleTree() {
  树型框1->clear();
  const QIcon picture = treeIcon(ObjectImage);  // items take the tree's first picture
  for (const ConsoleTreeTable& table : consoleTreeEntries(main_.state().db)) {
    auto* item = new QTreeWidgetItem(树型框1, QStringList{fromProgramText(table.name)});
    item->setIcon(0, picture);
    for (const std::string& field : table.fields)
      (new QTreeWidgetItem(item, QStringList{fromProgramText(field)}))->setIcon(0, picture);
  }
}

void SqlConsoleWindow::fillTemplateList() {
  const QString file = environment().programFolder() + QLatin1Char('/') +
                       QString::fromUtf8(kSqlTemplateFileName.data(),
                                         static_cast<qsizetype>(kSqlTemplateFileName.size()));
  const std::vector<std::string> templates = readTemplateFile(nativePath(file));
  EGrid& grid = *高级表格1;
  grid.beginUpdate();
  grid.resetGrid();
  grid.setRowCount(static_cast<int>(templates.size()) + 1);
  grid.setColumnCount(2);
  grid.setCellText(0, 0, QStringLiteral("序号"));
  grid.setCellText(0, 1, QStringLiteral("SQL模板"));
  for (std::size_t i = 0; i < templates.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    grid.setCellText(row, 0, QString::number(row));
    grid.setCellText(row, 1, fromProgramText(templates[i]));
  }
  grid.setFixedRowCount(1);
  grid.setFixedColumnCount(1);
  grid.endUpdate();
  grid.verticalHeader()->setFixedWidth(32);
  grid.setColumnWidth(0, grid.width() - 50);
}

void SqlConsoleWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  layoutSqlConsole();
}

void SqlConsoleWindow::layoutSqlConsole() {
  编辑框_SQL语句->resize(width() - 编辑框_SQL语句->x() - 10, 编辑框_SQL语句->height());
}

void SqlConsoleWindow::insertTreeNameAtCaret() {
  const QTreeWidgetItem* item = 树型框1->currentItem();
  if (!item) return;
  Environment& env = environment();
  const QString saved = env.clipboardText();
  const QString name =
      item->parent() ? item->parent()->text(0) + QLatin1Char('.') + item->text(0) : item->text(0);
  env.setClipboardText(name);
  // The paste: the clipboard's text replaces the selection or goes in at the caret.
  编辑框_SQL语句->textCursor().insertText(env.clipboardText());
  env.setClipboardText(saved);
}

void SqlConsoleWindow::detectSqlKind() {
  const std::optional<SqlKind> kind = tabulor::detectSqlKind(toProgramText(sqlText()));
  if (!kind) return;
  单选框_查询类SQL->setChecked(*kind == SqlKind::Query);
  单选框_执行类SQL->setChecked(*kind == SqlKind::Execute);
}

QString SqlConsoleWindow::sqlText() const {
  return 编辑框_SQL语句->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void SqlConsoleWindow::runConsoleSql() {
  bool convertible = false;
  const std::string sql = toProgramText(sqlText(), &convertible);
  if (!convertible) return showNotice(unconvertibleSqlNotice());
  if (单选框_查询类SQL->isChecked())
    runQuery(sql);
  else
    runExecute(sql);
}

void SqlConsoleWindow::runQuery(const std::string& sql) {
  AppState& state = main_.state();
  const auto work = main_.beginWork(kRunningSql);
  ConsoleQuery query = runConsoleQuery(sql, state.db, *state.dataset);
  if (!query.outcome.failed())
    main_.showQueryResult(std::move(query.rows), 编辑框_SQL语句->toPlainText());
  main_.applyOutcome(query.outcome);
}

void SqlConsoleWindow::runExecute(const std::string& sql) {
  SqliteDB& db = main_.state().db;
  const auto work = main_.beginWork(kRunningSql);
  const Outcome outcome = runConsoleExecute(sql, db);
  const EngineError failure = engineErrorOf(db);
  main_.applyOutcome(outcome, [&] {
    if (outcome.failed()) main_.state().consoleError.keep(failure, db);
  });
}

void SqlConsoleWindow::closeSqlConsole() { close(); }

void SqlConsoleWindow::toggleTemplateList() { 高级表格1->setVisible(高级表格1->isHidden()); }

void SqlConsoleWindow::applySelectedTemplate() {
  const int row = 高级表格1->currentRow();
  if (row == -1) return;
  // Setting the text is an edit, so the mode follows the template's first word.
  编辑框_SQL语句->setPlainText(高级表格1->cellText(row, 1));
  高级表格1->hide();
}

void SqlConsoleWindow::hideTemplateList() { 高级表格1->hide(); }

void SqlConsoleWindow::showTemplateMenu(const QPoint& globalPosition) {
  prompts().popupMenu(*SQL模板_右键菜单, globalPosition);
}

void SqlConsoleWindow::importSqlFromFile() {
  FileDialogRequest request;
  request.filter = QStringLiteral("SQL文件(*.sql)|*.sql|文本文件(*.txt)|*.txt|所有文件(*.*)|*.*");
  const std::optional<QString> path = prompts().openFileName(request);
  if (!path) return;
  const std::optional<std::string> bytes = readTextUpToZero(nativePath(*path));
  if (!bytes) return;
  std::optional<QString> text = fromFileText(*bytes);
  if (!text) {
    prompts().messageBox(unreadableFileTextMessage(*path), MessageFlags::ErrorIcon);
    return;
  }
  // An imported text leaves the mode alone until the user edits it.
  const QSignalBlocker quiet(编辑框_SQL语句);
  编辑框_SQL语句->setPlainText(text->replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

}  // namespace tabulor
