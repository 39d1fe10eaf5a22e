// EGrid, the program's spreadsheet grid: its cell model, its in-place editors and the view.

#include "platform/egrid.h"

#include <algorithm>

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>

namespace tabulor {

// ---------------------------------------------------------------------------- model

EGridModel::EGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void EGridModel::structureChanging() {
  if (bulkDepth_ == 0) beginResetModel();
}

void EGridModel::structureChanged() {
  if (bulkDepth_ == 0) endResetModel();
}

void EGridModel::beginBulk() {
  if (bulkDepth_++ == 0) beginResetModel();
}

void EGridModel::endBulk() {
  if (bulkDepth_ > 0 && --bulkDepth_ == 0) endResetModel();
}

void EGridModel::takeOverCells() {
  if (!shownCells_) return;
  std::vector<QString> own(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_));
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < columns_; ++c) {
      own[static_cast<std::size_t>(r) * columns_ + c] = cell(r, c);
      if (shownCells_->isReadOnly(r, c)) readOnlyCells.emplace(r, c);
    }
  cells_ = std::move(own);
  shownCells_.reset();
  typedOver_.clear();
}

void EGridModel::showCells(std::shared_ptr<const EGridCells> cells, int fixedRows,
                           int fixedColumns) {
  structureChanging();
  rows_ = cells ? cells->rowCount() : 0;
  columns_ = cells ? cells->columnCount() : 0;
  fixedRows_ = std::max(fixedRows, 0);
  fixedColumns_ = std::max(fixedColumns, 0);
  cells_.clear();
  cells_.shrink_to_fit();
  readOnlyCells.clear();
  typedOver_.clear();
  shownCells_ = std::move(cells);
  structureChanged();
}

void EGridModel::setGridSize(int rows, int columns) {
  rows = std::max(rows, 0);
  columns = std::max(columns, 0);
  if (rows == rows_ && columns == columns_) return;
  structureChanging();
  // Only the cells that stay are copied.
  if (shownCells_) {
    rows_ = std::min(rows, rows_);
    columns_ = std::min(columns, columns_);
    takeOverCells();
  }
  std::vector<QString> resized(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
  const int keepRows = std::min(rows, rows_);
  const int keepColumns = std::min(columns, columns_);
  for (int r = 0; r < keepRows; ++r)
    for (int c = 0; c < keepColumns; ++c)
      resized[static_cast<std::size_t>(r) * columns + c] =
          std::move(cells_[static_cast<std::size_t>(r) * columns_ + c]);
  cells_ = std::move(resized);
  rows_ = rows;
  columns_ = columns;
  structureChanged();
}

void EGridModel::setFixed(int rows, int columns) {
  rows = std::max(rows, 0);
  columns = std::max(columns, 0);
  if (rows == fixedRows_ && columns == fixedColumns_) return;
  structureChanging();
  fixedRows_ = rows;
  fixedColumns_ = columns;
  structureChanged();
}

QString EGridModel::cell(int row, int column) const {
  if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return {};
  if (shownCells_) {
    const auto typed = typedOver_.find({row, column});
    return typed != typedOver_.end() ? typed->second : shownCells_->text(row, column);
  }
  return cells_[static_cast<std::size_t>(row) * columns_ + column];
}

void EGridModel::setCell(int row, int column, const QString& text) {
  if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return;
  if (shownCells_)
    typedOver_[{row, column}] = text;
  else
    cells_[static_cast<std::size_t>(row) * columns_ + column] = text;
  if (bulkDepth_ > 0) return;
  const int fr = shownFixedRows();
  const int fc = shownFixedColumns();
  if (row < fr) {
    if (column >= fc) emit headerDataChanged(Qt::Horizontal, column - fc, column - fc);
  } else if (column < fc) {
    emit headerDataChanged(Qt::Vertical, row - fr, row - fr);
  } else {
    const QModelIndex changed = index(row - fr, column - fc);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
  }
}

void EGridModel::insertGridColumn(int before) {
  before = std::clamp(before, 0, columns_);
  structureChanging();
  takeOverCells();
  std::vector<QString> wider(static_cast<std::size_t>(rows_) * (columns_ + 1));
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < columns_; ++c)
      wider[static_cast<std::size_t>(r) * (columns_ + 1) + (c < before ? c : c + 1)] =
          std::move(cells_[static_cast<std::size_t>(r) * columns_ + c]);
  cells_ = std::move(wider);
  ++columns_;
  std::map<int, InputKind> shifted;
  for (const auto& [column, kind] : inputKinds)
    shifted[column < before ? column : column + 1] = kind;
  inputKinds = std::move(shifted);
  std::set<std::pair<int, int>> movedCells;
  for (const auto& [row, column] : readOnlyCells)
    movedCells.emplace(row, column < before ? column : column + 1);
  readOnlyCells = std::move(movedCells);
  structureChanged();
}

void EGridModel::clearAll() {
  structureChanging();
  rows_ = columns_ = 1;
  fixedRows_ = fixedColumns_ = 0;
  shownCells_.reset();
  typedOver_.clear();
  cells_.assign(1, QString());
  inputKinds.clear();
  readOnlyCells.clear();
  structureChanged();
}

InputKind EGridModel::inputKind(int gridColumn) const {
  const auto found = inputKinds.find(gridColumn);
  return found == inputKinds.end() ? InputKind::Text : found->second;
}

int EGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_ - shownFixedRows();
}

int EGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columns_ - shownFixedColumns();
}

QVariant EGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  return cell(index.row() + shownFixedRows(), index.column() + shownFixedColumns());
}

bool EGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const int row = index.row() + shownFixedRows();
  const int column = index.column() + shownFixedColumns();
  setCell(row, column, value.toString());
  emit cellEdited(row, column);
  return true;
}

QVariant EGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  QStringList parts;
  if (orientation == Qt::Horizontal) {
    for (int r = 0; r < shownFixedRows(); ++r) parts << cell(r, section + shownFixedColumns());
    return parts.join(QLatin1Char('\n'));
  }
  for (int c = 0; c < shownFixedColumns(); ++c) parts << cell(section + shownFixedRows(), c);
  return parts.join(QLatin1Char(' '));
}

Qt::ItemFlags EGridModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags result = QAbstractTableModel::flags(index);
  const int row = index.row() + shownFixedRows();
  const int column = index.column() + shownFixedColumns();
  if (index.isValid() && editable && inputKind(column) != InputKind::ReadOnly &&
      !readOnlyCells.contains({row, column}) &&
      !(shownCells_ && shownCells_->isReadOnly(row, column)))
    result |= Qt::ItemIsEditable;
  return result;
}

// ---------------------------------------------------------------------------- editors

class EGridDelegate : public QStyledItemDelegate {
 public:
  explicit EGridDelegate(EGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    const int row = index.row() + grid_->model_->shownFixedRows();
    const int column = index.column() + grid_->model_->shownFixedColumns();
    emit grid_->editorAboutToOpen(row, column);
    switch (grid_->columnInputKind(column)) {
      case InputKind::DropDown: {
        auto* box = new QComboBox(parent);
        box->addItems(grid_->columnChoices(column));
        return box;
      }
      case InputKind::Numeric: {
        auto* edit = new QLineEdit(parent);
        static const QRegularExpression numeric(QStringLiteral("[-+]?[0-9]*\\.?[0-9]*"));
        edit->setValidator(new QRegularExpressionValidator(numeric, edit));
        return edit;
      }
      case InputKind::ReadOnly:
        return nullptr;
      case InputKind::Text:
        break;
    }
    return QStyledItemDelegate::createEditor(parent, option, index);
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
      box->setCurrentText(index.data(Qt::EditRole).toString());
      return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
      model->setData(index, box->currentText(), Qt::EditRole);
      return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
  }

 private:
  EGrid* grid_;
};

// ---------------------------------------------------------------------------- view

EGrid::EGrid(QWidget* parent) : QTableView(parent), model_(new EGridModel(this)) {
  setModel(model_);
  setItemDelegate(new EGridDelegate(this));
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setWordWrap(false);
  const int rowHeight = fontMetrics().height() + 6;
  verticalHeader()->setDefaultSectionSize(rowHeight);
  verticalHeader()->setMinimumSectionSize(rowHeight);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  horizontalHeader()->setDefaultSectionSize(80);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setHighlightSections(false);
  corner_ = findChild<QAbstractButton*>();
  if (corner_) corner_->installEventFilter(this);
  horizontalHeader()->viewport()->installEventFilter(this);
  verticalHeader()->viewport()->installEventFilter(this);
  connect(model_, &EGridModel::cellEdited, this, &EGrid::editEnded);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& now, const QModelIndex& before) {
            const int fr = model_->shownFixedRows();
            const int fc = model_->shownFixedColumns();
            emit currentCellMoved(now.isValid() ? now.row() + fr : -1,
                                  now.isValid() ? now.column() + fc : -1,
                                  before.isValid() ? before.row() + fr : -1,
                                  before.isValid() ? before.column() + fc : -1);
          });
  refreshPresentation();
}

EGrid::~EGrid() = default;

void EGrid::beginUpdate() {
  if (updateDepth_++ == 0) model_->beginBulk();
}

void EGrid::endUpdate() {
  if (updateDepth_ == 0 || --updateDepth_ > 0) return;
  model_->endBulk();
  refreshPresentation();
}

void EGrid::setRowCount(int rows) {
  model_->setGridSize(rows, model_->gridColumns());
  refreshPresentation();
}

void EGrid::setColumnCount(int columns) {
  model_->setGridSize(model_->gridRows(), columns);
  refreshPresentation();
}

void EGrid::setFixedRowCount(int rows) {
  model_->setFixed(rows, model_->fixedColumns());
  refreshPresentation();
}

void EGrid::setFixedColumnCount(int columns) {
  model_->setFixed(model_->fixedRows(), columns);
  refreshPresentation();
}

QString EGrid::cellText(int row, int column) const { return model_->cell(row, column); }

void EGrid::setCellText(int row, int column, const QString& text) {
  model_->setCell(row, column, text);
  if (updateDepth_ == 0 && row < model_->shownFixedRows() && column < model_->shownFixedColumns())
    refreshPresentation();
}

int EGrid::currentRow() const {
  const QModelIndex index = currentIndex();
  return index.isValid() ? index.row() + model_->shownFixedRows() : -1;
}

int EGrid::currentColumn() const {
  const QModelIndex index = currentIndex();
  return index.isValid() ? index.column() + model_->shownFixedColumns() : -1;
}

void EGrid::setCurrentCell(int row, int column) {
  const QModelIndex index =
      model_->index(row - model_->shownFixedRows(), column - model_->shownFixedColumns());
  setCurrentIndex(index);
}

void EGrid::insertColumn(int before) {
  model_->insertGridColumn(before);
  std::map<int, QStringList> shifted;
  for (auto& [column, list] : choices_) shifted[column < before ? column : column + 1] = list;
  choices_ = std::move(shifted);
  refreshPresentation();
}

void EGrid::showCells(std::shared_ptr<const EGridCells> cells, int fixedRows, int fixedColumns) {
  model_->showCells(std::move(cells), fixedRows, fixedColumns);
  model_->inputKinds.clear();
  choices_.clear();
  refreshPresentation();
}

void EGrid::resetGrid() {
  model_->clearAll();
  choices_.clear();
  refreshPresentation();
}

void EGrid::setColumnInputKind(int column, InputKind kind, const QStringList& choices) {
  model_->inputKinds[column] = kind;
  choices_[column] = choices;
}

void EGrid::setCellReadOnly(int row, int column) { model_->readOnlyCells.emplace(row, column); }

QStringList EGrid::columnChoices(int column) const {
  const auto found = choices_.find(column);
  return found == choices_.end() ? QStringList() : found->second;
}

// Headers shown for the fixed rows and columns; column widths from the header and the
// first rows' texts (never from all rows, which would be slow).
void EGrid::refreshPresentation() {
  if (updateDepth_ > 0) return;
  const int fr = model_->shownFixedRows();
  const int fc = model_->shownFixedColumns();
  horizontalHeader()->setVisible(fr > 0);
  verticalHeader()->setVisible(fc > 0);
  const QFontMetrics metrics = fontMetrics();
  const int padding = 12;
  if (fc > 0) {
    int width = metrics.horizontalAdvance(fr > 0 ? model_->cell(0, 0) : QString());
    const int lastRow = model_->gridRows() - 1;
    width = std::max(
        width, metrics.horizontalAdvance(
                   model_->headerData(lastRow - fr, Qt::Vertical, Qt::DisplayRole).toString()));
    verticalHeader()->setMinimumWidth(width + padding);
  }
  horizontalHeader()->setMinimumHeight(fr > 0 ? metrics.height() * fr + 8 : 0);
  const int sampleRows = std::min(model_->gridRows(), 50);
  for (int c = fc; c < model_->gridColumns(); ++c) {
    int width = 0;
    for (int r = 0; r < sampleRows; ++r)
      width = std::max(width, metrics.horizontalAdvance(model_->cell(r, c)));
    setColumnWidth(c - fc, std::clamp(width + padding, 48, 320));
  }
  if (corner_) corner_->update();
}

void EGrid::keyPressEvent(QKeyEvent* event) {
  emit keyPressed(event->key(), event->modifiers());
  QTableView::keyPressEvent(event);
}

void EGrid::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    const QModelIndex index = indexAt(event->position().toPoint());
    emit rightButtonReleased(index.isValid() ? index.row() + model_->shownFixedRows() : -1,
                             index.isValid() ? index.column() + model_->shownFixedColumns() : -1,
                             event->globalPosition().toPoint());
  }
  QTableView::mouseReleaseEvent(event);
}

void EGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const QModelIndex index = indexAt(event->position().toPoint());
    emit cellDoubleClicked(index.isValid() ? index.row() + model_->shownFixedRows() : -1,
                           index.isValid() ? index.column() + model_->shownFixedColumns() : -1);
  }
  QTableView::mouseDoubleClickEvent(event);
}

QPoint EGrid::fixedCellAt(const QObject* part, const QPoint& at) const {
  const int fr = model_->shownFixedRows();
  const int fc = model_->shownFixedColumns();
  const auto band = [](int position, int extent, int count) {
    return extent > 0 ? std::clamp(position * count / extent, 0, count - 1) : 0;
  };
  const QHeaderView* columns = horizontalHeader();
  const QHeaderView* rows = verticalHeader();
  if (part == columns->viewport()) {
    const int section = columns->logicalIndexAt(at.x());
    return {section < 0 ? -1 : section + fc, band(at.y(), columns->height(), fr)};
  }
  if (part == rows->viewport()) {
    const int section = rows->logicalIndexAt(at.y());
    return {band(at.x(), rows->width(), fc), section < 0 ? -1 : section + fr};
  }
  return {fc > 0 ? band(at.x(), corner_->width(), fc) : -1,
          fr > 0 ? band(at.y(), corner_->height(), fr) : -1};
}

// A press on a row's fixed cells makes that row current, as a press on its cells does.
void EGrid::reportFixedCellMouse(const QObject* part, const QMouseEvent& event) {
  const QPoint cell = fixedCellAt(part, event.position().toPoint());
  const int row = cell.y();
  const int column = cell.x();
  switch (event.type()) {
    case QEvent::MouseButtonPress:
      if (part == verticalHeader()->viewport() && row >= 0)
        setCurrentCell(row, std::max(currentColumn(), model_->shownFixedColumns()));
      break;
    case QEvent::MouseButtonRelease:
      if (event.button() == Qt::RightButton)
        emit rightButtonReleased(row, column, event.globalPosition().toPoint());
      break;
    case QEvent::MouseButtonDblClick:
      if (event.button() == Qt::LeftButton) emit cellDoubleClicked(row, column);
      break;
    default:
      break;
  }
}

// The corner shows the cell where the fixed row and the fixed column meet ("序号").
bool EGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched == corner_ && event->type() == QEvent::Paint) {
    paintCorner();
    return true;
  }
  const bool fixedPart = watched == corner_ || watched == horizontalHeader()->viewport() ||
                         watched == verticalHeader()->viewport();
  if (fixedPart &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
       event->type() == QEvent::MouseButtonDblClick))
    reportFixedCellMouse(watched, *static_cast<QMouseEvent*>(event));
  return QTableView::eventFilter(watched, event);
}

void EGrid::paintCorner() {
  QPainter painter(corner_);
  QStyleOptionHeader option;
  option.initFrom(corner_);
  option.rect = corner_->rect();
  option.position = QStyleOptionHeader::OnlyOneSection;
  option.textAlignment = Qt::AlignCenter;
  if (model_->shownFixedRows() > 0 && model_->shownFixedColumns() > 0)
    option.text = model_->cell(0, 0);
  style()->drawControl(QStyle::CE_Header, &option, &painter, corner_);
}

}  // namespace tabulor
