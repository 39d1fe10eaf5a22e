// The main window's data view: filling grids, showing an object or a query's rows, clearing it.

#include "app/data_view.h"

#include <algorithm>
#include <memory>
#include <utility>

#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/main_window.h"
#include "app/record_panel.h"
#include "app/structure_tree.h"
#include "platform/egrid.h"
#include "platform/environment.h"
#include "platform/qstring_conversion.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/text_table.h"

namespace tabulor {

void showTextTable(EGrid& grid, const TextTable& table, bool hasHeaderRow, bool addNumberColumn) {
  const int rows = std::max(table.rowCount(), 1);
  const int columns = std::max(table.columnCount(), 1);
  grid.beginUpdate();
  grid.resetGrid();
  grid.setFixedRowCount(0);
  grid.setFixedColumnCount(0);
  grid.setRowCount(rows);
  grid.setColumnCount(columns);
  for (int r = 0; r < table.rowCount(); ++r)
    for (int c = 0; c < table.columnCount(); ++c) {
      grid.setCellText(r, c, fromProgramText(table.cell(r, c)));
      // Writing back the start of a value would lose the rest of it.
      if (table.isCut(r, c)) grid.setCellReadOnly(r, c);
    }
  if (addNumberColumn) {
    grid.insertColumn(0);
    for (int r = 1; r <= rows; ++r) {
      const QString number = QString::number(hasHeaderRow ? r - 1 : r);
      grid.setCellText(r - 1, 0, r == 1 && hasHeaderRow ? QStringLiteral("序号") : number);
    }
  }
  grid.setFixedRowCount(hasHeaderRow ? 1 : 0);
  grid.setFixedColumnCount(addNumberColumn ? 1 : 0);
  grid.endUpdate();
}

namespace {

// A query's rows as the grid's cells: the column names as the fixed row, the "序号"
// column numbering the data rows before them.
class ResultRowsCells : public EGridCells {
 public:
  explicit ResultRowsCells(ResultRows rows) : rows_(std::move(rows)) {}

  int rowCount() const override { return rows_.rowCount(); }
  int columnCount() const override { return rows_.columnCount() + 1; }
  QString text(int row, int column) const override {
    if (column > 0) return fromProgramText(rows_.cell(row, column - 1));
    return row == 0 ? QStringLiteral("序号") : QString::number(row);
  }
  // Writing back the start of a value would lose the rest of it.
  bool isReadOnly(int row, int column) const override {
    return column > 0 && rows_.isCut(row, column - 1);
  }

 private:
  ResultRows rows_;
};

}  // namespace

void showResultRows(EGrid& grid, ResultRows rows) {
  if (rows.isEmpty()) return showTextTable(grid, TextTable(), true, true);
  grid.showCells(std::make_shared<ResultRowsCells>(std::move(rows)), 1, 1);
}

void MainWindow::showObject(const std::string& name, TreeItemKind kind) {
  if (name.empty()) return;
  const QString kindWord = isTableKind(kind) ? QStringLiteral("表") : QStringLiteral("视图");
  const QString shownName = fromProgramText(name);
  const auto work = beginWork(QStringLiteral("打开") + kindWord + QStringLiteral("：") + shownName);
  Environment& env = environment();
  const std::int64_t start = env.tickCount();
  编辑框_表或视图定义->setPlainText(fromProgramText(state_.db.tableSql(name)));
  if (!state_.table.open(name, state_.db) || !state_.table.loadRecords()) {
    // A cancelled show leaves nothing half shown, so a hostile view can be left alone.
    if (workCancelled()) return clearDataView();
    prompts().messageBox(QStringLiteral("打开") + kindWord + QStringLiteral("失败：") + shownName,
                         MessageFlags::ErrorIcon);
    appendLog(QStringLiteral("[×]打开") + kindWord + QStringLiteral("失败！") + shownName);
    return;
  }
  编辑框_表名称->setText(shownName);

  const std::int32_t limit = state_.displayLimit;
  分组框_字段读写->fillSelectors(state_.table.fieldNames(),
                                 std::min(limit, state_.table.recordCount()));

  const std::string sql = "select * from " + name + " limit " + std::to_string(limit);
  std::unique_ptr<SqliteDataset> dataset = state_.db.query(sql);
  state_.dataset->close();
  state_.dataset = std::move(dataset);
  state_.dataset->requery();
  const TextTable rows = state_.dataset->fetchAllText(true, kShownCellCharacters);
  if (workCancelled()) {
    state_.table.close();
    return clearDataView();
  }
  showTextTable(*高级表格1, rows, true, true);

  const std::int32_t count = state_.table.recordCount();
  const QString limitPart =
      limit <= count ? QStringLiteral("显示前") + QString::number(limit) + QStringLiteral("条，")
                     : QStringLiteral("已全部显示，");
  const QString hint = isTableKind(kind) ? QStringLiteral("可直接修改文本字段。") : QString();
  编辑框_表基本信息->setText(QStringLiteral("共") + QString::number(count) +
                             QStringLiteral("条记录，") + limitPart + QStringLiteral("耗时") +
                             QString::number(env.tickCount() - start) + QStringLiteral("毫秒。") +
                             hint);
  appendLog(QStringLiteral("打开") + kindWord + QStringLiteral("：") + shownName);
  分组框_字段读写->setVisible(isTableKind(kind));
}

void MainWindow::clearDataView() {
  分组框_字段读写->hide();
  高级表格1->beginUpdate();
  高级表格1->setRowCount(1);
  高级表格1->setColumnCount(1);
  高级表格1->setCellText(0, 0, QStringLiteral("无数据"));
  高级表格1->endUpdate();
  编辑框_表基本信息->clear();
  编辑框_表或视图定义->clear();
  分组框_字段读写->clear();
}

void MainWindow::refreshShownObjectInPlace() {
  const int row = 高级表格1->currentRow();
  const int column = 高级表格1->currentColumn();
  const RecordPanel::Selection selection = 分组框_字段读写->selection();
  refreshShownObject();
  if (row >= 0 && row < 高级表格1->rowCount() && column >= 0 && column < 高级表格1->columnCount())
    高级表格1->setCurrentCell(row, column);
  分组框_字段读写->select(selection);
}

void MainWindow::showQueryResult(ResultRows rows, const QString& sql) {
  setTreeSelection(0);
  showResultRows(*高级表格1, std::move(rows));
  编辑框_表或视图定义->setPlainText(sql);
}

int MainWindow::selectedRecordNumber() const { return 分组框_字段读写->selectedRecordNumber(); }

QString MainWindow::tableNameText() const { return 编辑框_表名称->text(); }

const EGrid& MainWindow::grid() const { return *高级表格1; }

}  // namespace tabulor
