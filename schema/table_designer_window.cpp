// The table designer window: its controls and grid, each grid event handed to the designer's rules.

#include "schema/table_designer_window.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>

#include "app/host_window.h"
#include "platform/egrid.h"
#include "platform/environment.h"
#include "platform/prompts.h"
#include "platform/qstring_conversion.h"
#include "platform/window_style.h"
#include "schema/core/field_types.h"
#include "schema/core/table_design.h"
#include "schema/designer_cell_editors.h"

namespace tabulor {
namespace {

using schema::DesignerGrid;

// The grid reports Qt key codes; the designer's rules speak of the virtual keys
// of the arrows only (Qt's codes for "&" and "(" are the same numbers).
int virtualKey(int qtKey) {
  if (qtKey == Qt::Key_Down) return schema::kKeyDown;
  if (qtKey == Qt::Key_Up) return schema::kKeyUp;
  return 0;
}

}  // namespace

TableDesignerWindow::TableDesignerWindow(HostWindow& main, schema::DesignerState& state)
    : QDialog(&main), main_(main), state_(state) {
  setObjectName(QStringLiteral("TableDesignerWindow"));
  setWindowTitle(QStringLiteral("设计表"));
  applyDesignedFont(*this);
  // The designed 502 x 442 window less its frame.
  setFixedSize(494, 414);
  createControls();
  setUpGrid();
}

TableDesignerWindow::~TableDesignerWindow() = default;

void TableDesignerWindow::createControls() {
  高级表格1 = new EGrid(this);
  高级表格1->setObjectName(QStringLiteral("高级表格1"));
  高级表格1->setAccessibleName(QStringLiteral("字段列表"));
  高级表格1->setGeometry(8, 8, 384, 400);
  editors_ = new DesignerCellEditors(高级表格1);
  高级表格1->setItemDelegate(editors_);
  connect(editors_, &DesignerCellEditors::characterRefused, this, [] { QApplication::beep(); });

  按钮_向前插入字段 =
      namedButton(this, QStringLiteral("按钮_向前插入字段"), QStringLiteral("向前插入字段"));
  按钮_向前插入字段->setGeometry(400, 8, 88, 32);
  按钮_向后插入字段 =
      namedButton(this, QStringLiteral("按钮_向后插入字段"), QStringLiteral("向后插入字段"));
  按钮_向后插入字段->setGeometry(400, 39, 88, 32);
  按钮_删除字段 = namedButton(this, QStringLiteral("按钮_删除字段"), QStringLiteral("删除字段"));
  按钮_删除字段->setGeometry(400, 70, 88, 32);
  // Rows cannot be reordered: the move buttons are shown and do nothing.
  按钮4 = namedButton(this, QStringLiteral("按钮4"), QStringLiteral("↓上移"));
  按钮4->setGeometry(400, 112, 88, 32);
  按钮5 = namedButton(this, QStringLiteral("按钮5"), QStringLiteral("↓下移"));
  按钮5->setGeometry(400, 143, 88, 32);
  按钮1 = namedButton(this, QStringLiteral("按钮1"), QStringLiteral("输出调试信息"));
  按钮1->setGeometry(400, 216, 88, 32);
  按钮1->setVisible(false);
  按钮_确定 = namedButton(this, QStringLiteral("按钮_确定"), QStringLiteral("确定"));
  按钮_确定->setGeometry(400, 336, 88, 32);
  按钮_取消 = namedButton(this, QStringLiteral("按钮_取消"), QStringLiteral("取消"));
  按钮_取消->setGeometry(400, 376, 88, 32);

  connect(高级表格1, &EGrid::editEnded, this, [this](int row, int) { onDesignerCellEdited(row); });
  connect(高级表格1, &EGrid::keyPressed, this, [this](int key) { onDesignerKeyDown(key); });
  connect(高级表格1, &EGrid::currentCellMoved, this, [this] { onDesignerCurrentCellMoved(); });
  connect(高级表格1, &QAbstractItemView::clicked, this, &TableDesignerWindow::onGridClicked);
  connect(按钮_向前插入字段, &QPushButton::clicked, this,
          [this] { insertField(schema::InsertPlace::Before); });
  connect(按钮_向后插入字段, &QPushButton::clicked, this,
          [this] { insertField(schema::InsertPlace::After); });
  connect(按钮_删除字段, &QPushButton::clicked, this, &TableDesignerWindow::deleteField);
  connect(按钮_确定, &QPushButton::clicked, this, &TableDesignerWindow::confirmDesign);
  connect(按钮_取消, &QPushButton::clicked, this, &QDialog::reject);
}

void TableDesignerWindow::setUpGrid() {
  高级表格1->setColumnCount(DesignerGrid::kColumns);
  高级表格1->setFixedRowCount(1);
  高级表格1->setFixedColumnCount(1);
  QStringList choices;
  for (const std::string& choice : schema::designerTypeChoices())
    choices << fromProgramText(choice);
  高级表格1->setColumnInputKind(0, InputKind::ReadOnly);
  高级表格1->setColumnInputKind(DesignerGrid::kName, InputKind::Text);
  高级表格1->setColumnInputKind(DesignerGrid::kType, InputKind::DropDown, choices);
  高级表格1->setColumnInputKind(DesignerGrid::kMaxLength, InputKind::Numeric);
}

bool TableDesignerWindow::onDesignerCreated() {
  const schema::DesignerOpening opening =
      schema::openDesigner(state_, grid_, main_.state().db, main_.state().table);
  setWindowTitle(fromProgramText(opening.caption));
  if (opening.notice) showNotice(*opening.notice);
  if (opening.closeWindow) return false;
  showGrid();
  return true;
}

void TableDesignerWindow::onDesignerCellEdited(int row) {
  pullGrid();
  // The edit may be committed by a move that has already changed the current row.
  grid_.currentRow = row;
  schema::onDesignerCellEdited(state_, grid_);
  grid_.currentRow = 高级表格1->currentRow();
}

void TableDesignerWindow::onDesignerKeyDown(int qtKey) {
  const int key = virtualKey(qtKey);
  // A name typed just now decides whether Down opens a new row.
  if (key == schema::kKeyDown) editors_->commitOpenEditor();
  pullGrid();
  const auto rows = grid_.rows;
  schema::onDesignerKeyDown(state_, grid_, key);
  if (grid_.rows != rows) showGrid();
}

void TableDesignerWindow::onDesignerCurrentCellMoved() {
  pullGrid();
  const auto rows = grid_.rows;
  const GridCell moved{grid_.currentRow, grid_.currentColumn};
  schema::onDesignerCurrentCellMoved(state_, grid_);
  if (grid_.rows != rows)
    showGrid();
  else if (GridCell{grid_.currentRow, grid_.currentColumn} != moved)
    showCurrentCell();
}

void TableDesignerWindow::insertField(schema::InsertPlace place) {
  editors_->commitOpenEditor();
  pullGrid();
  schema::insertField(state_, grid_, place);
  showGrid();
}

void TableDesignerWindow::deleteField() {
  editors_->commitOpenEditor();
  pullGrid();
  schema::deleteField(state_, grid_, askYesWithPrompts());
  showGrid();
}

void TableDesignerWindow::confirmDesign() {
  editors_->commitOpenEditor();
  pullGrid();
  const auto work =
      main_.beginWork(state_.mode == schema::DesignerMode::Create ? QStringLiteral("新建表")
                                                                  : QStringLiteral("修改表"));
  const Outcome outcome =
      schema::confirmDesign(main_.state().db, state_, askTextWithPrompts(),
                            static_cast<std::uint64_t>(environment().tickCount()));
  if (outcome.currentCell) {
    grid_.currentRow = outcome.currentCell->row;
    grid_.currentColumn = outcome.currentCell->column;
    showCurrentCell();
  }
  main_.applyOutcome(outcome);
  if (outcome.closeDesigner) accept();
}

// A click on a type cell opens its drop-down list at once.
void TableDesignerWindow::onGridClicked(const QModelIndex& index) {
  if (index.column() + 高级表格1->fixedColumnCount() != DesignerGrid::kType) return;
  高级表格1->edit(index);
  auto* box = qobject_cast<QComboBox*>(editors_->openEditor());
  if (box && box->isVisibleTo(高级表格1->viewport())) box->showPopup();
}

void TableDesignerWindow::pullGrid() {
  grid_.rows.resize(static_cast<std::size_t>(高级表格1->rowCount()));
  for (int row = 0; row < grid_.rowCount(); ++row)
    for (int column = 0; column < DesignerGrid::kColumns; ++column)
      grid_.cell(row, column) = toProgramText(高级表格1->cellText(row, column));
  grid_.currentRow = 高级表格1->currentRow();
  grid_.currentColumn = 高级表格1->currentColumn();
}

void TableDesignerWindow::showGrid() {
  const QSignalBlocker quiet(高级表格1);
  高级表格1->beginUpdate();
  高级表格1->setRowCount(grid_.rowCount());
  for (int row = 0; row < grid_.rowCount(); ++row)
    for (int column = 0; column < DesignerGrid::kColumns; ++column)
      高级表格1->setCellText(row, column, fromProgramText(grid_.cell(row, column)));
  高级表格1->endUpdate();
  applyColumnWidths();
  showCurrentCell();
}

void TableDesignerWindow::showCurrentCell() {
  const QSignalBlocker quiet(高级表格1);
  if (grid_.currentRow < 1)
    高级表格1->setCurrentIndex({});
  else
    高级表格1->setCurrentCell(grid_.currentRow, grid_.currentColumn);
}

void TableDesignerWindow::applyColumnWidths() {
  高级表格1->verticalHeader()->setFixedWidth(32);
  高级表格1->setColumnWidth(DesignerGrid::kName - 1, 130);
  高级表格1->setColumnWidth(DesignerGrid::kType - 1, 100);
  高级表格1->setColumnWidth(DesignerGrid::kMaxLength - 1, 100);
}

TableDesignerWindow* openTableDesigner(HostWindow& main, schema::DesignerState& state) {
  auto* window = new TableDesignerWindow(main, state);
  if (!window->onDesignerCreated()) {
    delete window;
    return nullptr;
  }
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowModality(Qt::ApplicationModal);
  window->show();
  return window;
}

}  // namespace tabulor
