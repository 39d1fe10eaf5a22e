// TableDesignerWindow, the modal window in which a table's fields are edited.
#pragma once

#include <QDialog>

#include "schema/core/designer.h"

class QPushButton;

namespace tabulor {

class DesignerCellEditors;
class EGrid;
class HostWindow;

// The modal window in which the fields of a new or an existing table are edited.
// The grid shows a DesignerGrid kept beside it; every grid event copies the grid
// in, runs the designer's rule and shows the result.
class TableDesignerWindow : public QDialog {
  Q_OBJECT

 public:
  TableDesignerWindow(HostWindow& main, schema::DesignerState& state);
  ~TableDesignerWindow() override;

  // Fills the grid for the state's mode and table; false when the window closes
  // at once (the table is gone).
  bool onDesignerCreated();
  void onDesignerCellEdited(int row);
  void onDesignerKeyDown(int qtKey);
  void onDesignerCurrentCellMoved();
  void insertField(schema::InsertPlace place);
  void deleteField();
  void confirmDesign();

  EGrid* 高级表格1;  // the fields, one row each
  QPushButton* 按钮_向前插入字段;
  QPushButton* 按钮_向后插入字段;
  QPushButton* 按钮_删除字段;
  QPushButton* 按钮4;  // "↓上移", shown and doing nothing
  QPushButton* 按钮5;  // "↓下移", shown and doing nothing
  QPushButton* 按钮1;  // "输出调试信息", hidden
  QPushButton* 按钮_确定;
  QPushButton* 按钮_取消;

 private:
  void createControls();
  void setUpGrid();
  void onGridClicked(const QModelIndex& index);
  // The grid's texts and current cell into grid_.
  void pullGrid();
  // grid_ into the grid, without raising its events.
  void showGrid();
  void showCurrentCell();
  void applyColumnWidths();

  HostWindow& main_;
  schema::DesignerState& state_;
  schema::DesignerGrid grid_;
  DesignerCellEditors* editors_;
};

// Opens the designer for the state's mode and table, modal to the whole program
// and deleted when it closes; nullptr when it closed at once.
TableDesignerWindow* openTableDesigner(HostWindow& main, schema::DesignerState& state);

}  // namespace tabulor
