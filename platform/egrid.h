// EGrid, the program's spreadsheet grid, and its model of text cells with fixed rows and columns.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>

class QAbstractButton;

namespace tabulor {

// What a column's in-place editor accepts.
enum class InputKind {
  Text,      // free text
  DropDown,  // a choice from a drop-down list
  Numeric,   // digits, sign and decimal point only
  ReadOnly,  // no editor opens
};

// Cells kept outside the grid (a query result of any length), in grid coordinates, read
// only when the grid needs them: the grid holds no copy of them.
class EGridCells {
 public:
  virtual ~EGridCells() = default;
  virtual int rowCount() const = 0;
  virtual int columnCount() const = 0;
  virtual QString text(int row, int column) const = 0;
  // Where no editor opens.
  virtual bool isReadOnly(int row, int column) const = 0;
};

// The grid's cells, in grid coordinates: rows and columns counted *including* the
// fixed ones. The fixed rows and columns are presented as the view's headers.
class EGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit EGridModel(QObject* parent = nullptr);

  int gridRows() const { return rows_; }
  int gridColumns() const { return columns_; }
  int fixedRows() const { return fixedRows_; }
  int fixedColumns() const { return fixedColumns_; }
  void setGridSize(int rows, int columns);
  void setFixed(int rows, int columns);
  QString cell(int row, int column) const;
  void setCell(int row, int column, const QString& text);
  void insertGridColumn(int before);
  void clearAll();
  // Shows cells kept elsewhere in place of the grid's own; a cell typed over keeps its new
  // text here. A change of the grid's shape copies what is kept into the grid first.
  void showCells(std::shared_ptr<const EGridCells> cells, int fixedRows, int fixedColumns);

  // Structural changes between beginBulk and endBulk are announced once, as a reset.
  void beginBulk();
  void endBulk();

  bool editable = true;
  std::map<int, InputKind> inputKinds;          // by grid column; Text when absent
  std::set<std::pair<int, int>> readOnlyCells;  // grid (row, column) where no editor opens

  // The fixed rows and columns shown as headers (never more than the grid has).
  int shownFixedRows() const { return std::min(fixedRows_, rows_); }
  int shownFixedColumns() const { return std::min(fixedColumns_, columns_); }
  InputKind inputKind(int gridColumn) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 signals:
  // A cell's text was changed through the in-place editor (grid coordinates).
  void cellEdited(int row, int column);

 private:
  void structureChanging();
  void structureChanged();
  // Copies the cells kept elsewhere, with their texts typed over, into the grid's own.
  void takeOverCells();

  int rows_ = 1;
  int columns_ = 1;
  int fixedRows_ = 0;
  int fixedColumns_ = 0;
  std::vector<QString> cells_{QString()};
  std::shared_ptr<const EGridCells> shownCells_;
  std::map<std::pair<int, int>, QString> typedOver_;  // cells of shownCells_ edited here
  int bulkDepth_ = 0;
};

// The spreadsheet grid: counts include the fixed rows and columns, which stay frozen
// (shown as the headers); cells hold texts; each column has an input kind.
class EGrid : public QTableView {
  Q_OBJECT

 public:
  explicit EGrid(QWidget* parent = nullptr);
  ~EGrid() override;

  int rowCount() const { return model_->gridRows(); }
  int columnCount() const { return model_->gridColumns(); }
  void setRowCount(int rows);
  void setColumnCount(int columns);
  int fixedRowCount() const { return model_->fixedRows(); }
  int fixedColumnCount() const { return model_->fixedColumns(); }
  void setFixedRowCount(int rows);
  void setFixedColumnCount(int columns);

  QString cellText(int row, int column) const;
  void setCellText(int row, int column, const QString& text);

  // -1 when there is no current cell.
  int currentRow() const;
  int currentColumn() const;
  void setCurrentCell(int row, int column);

  void insertColumn(int before);
  // Shows cells kept elsewhere, the given numbers of rows and columns fixed.
  void showCells(std::shared_ptr<const EGridCells> cells, int fixedRows, int fixedColumns);
  // Back to the initial state: one empty cell, nothing fixed, free text everywhere.
  void resetGrid();  // (QAbstractItemView::reset is the view's own slot)

  void setEditable(bool editable) { model_->editable = editable; }
  void setColumnInputKind(int column, InputKind kind, const QStringList& choices = {});
  // One cell whose editor never opens, whatever its column's kind; kept until the grid
  // is reset, and moved along when a column is inserted before it.
  void setCellReadOnly(int row, int column);
  InputKind columnInputKind(int column) const { return model_->inputKind(column); }
  QStringList columnChoices(int column) const;

  // Many changes at once: the view is brought up to date once, at endUpdate.
  void beginUpdate();
  void endUpdate();

  EGridModel* gridModel() const { return model_; }

 signals:
  void editorAboutToOpen(int row, int column);
  void editEnded(int row, int column);
  void currentCellMoved(int row, int column, int previousRow, int previousColumn);
  void keyPressed(int key, Qt::KeyboardModifiers modifiers);
  // The mouse events report grid coordinates, -1 off the cells. The fixed rows and
  // columns (the headers and their corner) are part of the grid and report theirs too.
  void rightButtonReleased(int row, int column, const QPoint& globalPosition);
  void cellDoubleClicked(int row, int column);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class EGridDelegate;
  void refreshPresentation();
  void paintCorner();
  // The grid cell under a point of a header's or the corner's own coordinates.
  QPoint fixedCellAt(const QObject* part, const QPoint& at) const;
  void reportFixedCellMouse(const QObject* part, const QMouseEvent& event);

  EGridModel* model_;
  QAbstractButton* corner_ = nullptr;
  std::map<int, QStringList> choices_;
  int updateDepth_ = 0;
};

}  // namespace tabulor
