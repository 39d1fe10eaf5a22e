#include "platform/egrid.h"

#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTest>

#include "support/checked_model.h"

namespace tabulor {
namespace {

// A grid whose model is checked by Qt's model tester after every change.
class EGridTest : public ::testing::Test {
 protected:
  EGrid grid;
  const testing::CheckedModel checked{grid.gridModel()};
};

// A grid of rows x columns whose cells read "r,c".
void fill(EGrid& grid, int rows, int columns) {
  grid.beginUpdate();
  grid.setRowCount(rows);
  grid.setColumnCount(columns);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) grid.setCellText(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
  grid.endUpdate();
}

TEST_F(EGridTest, CountsIncludeTheFixedRowsAndColumnsShownAsHeaders) {
  fill(grid, 4, 3);
  grid.setFixedRowCount(1);
  grid.setFixedColumnCount(1);
  EXPECT_EQ(grid.rowCount(), 4);
  EXPECT_EQ(grid.columnCount(), 3);
  EXPECT_EQ(grid.gridModel()->rowCount(), 3);
  EXPECT_EQ(grid.gridModel()->columnCount(), 2);
  EXPECT_EQ(grid.gridModel()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
            QStringLiteral("0,1"));
  EXPECT_EQ(grid.gridModel()->headerData(2, Qt::Vertical, Qt::DisplayRole).toString(),
            QStringLiteral("3,0"));
  EXPECT_EQ(grid.gridModel()->index(0, 0).data().toString(), QStringLiteral("1,1"));
  EXPECT_EQ(grid.cellText(2, 2), QStringLiteral("2,2"));
  EXPECT_FALSE(grid.horizontalHeader()->isHidden());
  EXPECT_FALSE(grid.verticalHeader()->isHidden());
}

TEST_F(EGridTest, WithoutFixedRowsOrColumnsNoHeadersShow) {
  fill(grid, 2, 2);
  EXPECT_TRUE(grid.horizontalHeader()->isHidden());
  EXPECT_TRUE(grid.verticalHeader()->isHidden());
  EXPECT_EQ(grid.gridModel()->rowCount(), 2);
}

TEST_F(EGridTest, CellsOutsideTheGridReadEmptyAndIgnoreWrites) {
  fill(grid, 2, 2);
  grid.setCellText(5, 5, QStringLiteral("x"));
  EXPECT_EQ(grid.cellText(5, 5), QString());
  EXPECT_EQ(grid.cellText(-1, 0), QString());
}

TEST_F(EGridTest, ResizingKeepsTheCellsThatRemain) {
  fill(grid, 3, 3);
  grid.setColumnCount(2);
  grid.setRowCount(4);
  EXPECT_EQ(grid.cellText(2, 1), QStringLiteral("2,1"));
  EXPECT_EQ(grid.cellText(3, 1), QString());
}

TEST_F(EGridTest, InsertColumnMovesTheData) {
  fill(grid, 2, 2);
  grid.setColumnInputKind(1, InputKind::Numeric);
  grid.insertColumn(0);
  EXPECT_EQ(grid.columnCount(), 3);
  EXPECT_EQ(grid.cellText(0, 0), QString());
  EXPECT_EQ(grid.cellText(1, 2), QStringLiteral("1,1"));
  EXPECT_EQ(grid.columnInputKind(2), InputKind::Numeric);
}

TEST_F(EGridTest, ResetReturnsToOneEmptyCellWithNothingFixed) {
  fill(grid, 3, 3);
  grid.setFixedRowCount(1);
  grid.setColumnInputKind(0, InputKind::ReadOnly);
  grid.resetGrid();
  EXPECT_EQ(grid.rowCount(), 1);
  EXPECT_EQ(grid.columnCount(), 1);
  EXPECT_EQ(grid.fixedRowCount(), 0);
  EXPECT_EQ(grid.cellText(0, 0), QString());
  EXPECT_EQ(grid.columnInputKind(0), InputKind::Text);
}

TEST_F(EGridTest, FixedCellsCoveringTheWholeGridShowInTheCorner) {
  fill(grid, 1, 1);
  grid.setFixedRowCount(1);
  grid.setFixedColumnCount(1);
  grid.setCellText(0, 0, QStringLiteral("无数据"));
  EXPECT_EQ(grid.gridModel()->rowCount(), 0);
  EXPECT_EQ(grid.gridModel()->columnCount(), 0);
  EXPECT_EQ(grid.cellText(0, 0), QStringLiteral("无数据"));
}

TEST_F(EGridTest, CurrentCellInGridCoordinatesAndItsMoveEvent) {
  fill(grid, 5, 4);
  grid.setFixedRowCount(1);
  grid.setFixedColumnCount(1);
  EXPECT_EQ(grid.currentRow(), -1);
  EXPECT_EQ(grid.currentColumn(), -1);
  QSignalSpy moved(&grid, &EGrid::currentCellMoved);
  grid.setCurrentCell(3, 2);
  EXPECT_EQ(grid.currentRow(), 3);
  EXPECT_EQ(grid.currentColumn(), 2);
  ASSERT_EQ(moved.count(), 1);
  EXPECT_EQ(moved[0][0].toInt(), 3);
  EXPECT_EQ(moved[0][1].toInt(), 2);
  EXPECT_EQ(moved[0][2].toInt(), -1);
}

TEST_F(EGridTest, EditorsFollowTheColumnInputKind) {
  fill(grid, 3, 4);
  grid.setFixedRowCount(1);
  grid.setColumnInputKind(1, InputKind::DropDown,
                          {QStringLiteral("整数型"), QStringLiteral("文本型")});
  grid.setColumnInputKind(2, InputKind::Numeric);
  grid.setColumnInputKind(3, InputKind::ReadOnly);
  QSignalSpy opening(&grid, &EGrid::editorAboutToOpen);
  QStyleOptionViewItem option;
  auto* model = grid.gridModel();
  std::unique_ptr<QWidget> list(
      grid.itemDelegate()->createEditor(grid.viewport(), option, model->index(0, 1)));
  auto* box = qobject_cast<QComboBox*>(list.get());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->count(), 2);
  ASSERT_EQ(opening.count(), 1);
  EXPECT_EQ(opening[0][0].toInt(), 1);  // grid row: the fixed row counts
  EXPECT_EQ(opening[0][1].toInt(), 1);
  std::unique_ptr<QWidget> number(
      grid.itemDelegate()->createEditor(grid.viewport(), option, model->index(0, 2)));
  auto* edit = qobject_cast<QLineEdit*>(number.get());
  ASSERT_NE(edit, nullptr);
  QString typed = QStringLiteral("12a");
  int at = 0;
  EXPECT_EQ(edit->validator()->validate(typed, at), QValidator::Invalid);
  typed = QStringLiteral("-12.5");
  EXPECT_EQ(edit->validator()->validate(typed, at), QValidator::Acceptable);
  EXPECT_FALSE(model->flags(model->index(0, 3)) & Qt::ItemIsEditable);
  EXPECT_TRUE(model->flags(model->index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(EGridTest, AnEditEndsWithTheNewTextInTheCell) {
  fill(grid, 3, 3);
  grid.setFixedRowCount(1);
  grid.setFixedColumnCount(1);
  QSignalSpy ended(&grid, &EGrid::editEnded);
  grid.gridModel()->setData(grid.gridModel()->index(1, 0), QStringLiteral("新值"), Qt::EditRole);
  EXPECT_EQ(grid.cellText(2, 1), QStringLiteral("新值"));
  ASSERT_EQ(ended.count(), 1);
  EXPECT_EQ(ended[0][0].toInt(), 2);
  EXPECT_EQ(ended[0][1].toInt(), 1);
}

TEST_F(EGridTest, KeysAndTheRightButtonAreReported) {
  fill(grid, 3, 3);
  grid.resize(300, 200);
  grid.show();
  QSignalSpy keys(&grid, &EGrid::keyPressed);
  QSignalSpy right(&grid, &EGrid::rightButtonReleased);
  QTest::keyClick(&grid, Qt::Key_Delete);
  ASSERT_EQ(keys.count(), 1);
  EXPECT_EQ(keys[0][0].toInt(), int(Qt::Key_Delete));
  const QRect cell = grid.visualRect(grid.gridModel()->index(1, 2));
  QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, cell.center());
  ASSERT_EQ(right.count(), 1);
  EXPECT_EQ(right[0][0].toInt(), 1);
  EXPECT_EQ(right[0][1].toInt(), 2);
}

// The fixed row and column are part of the grid: a click there reports its grid cell
// through the same events as a click on the cells.
struct MouseSpot {
  const char* where;
  int row;
  int column;
};

void PrintTo(const MouseSpot& spot, std::ostream* out) { *out << spot.where; }

class EGridMouse : public EGridTest, public ::testing::WithParamInterface<MouseSpot> {
 protected:
  void SetUp() override {
    fill(grid, 4, 3);
    grid.setFixedRowCount(1);
    grid.setFixedColumnCount(1);
    grid.setEditable(false);
    grid.resize(300, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
  }

  // The widget under the spot and the spot in its coordinates.
  std::pair<QWidget*, QPoint> spot(const MouseSpot& at) {
    const std::string where = at.where;
    if (where == "corner") {
      auto* corner = grid.findChild<QAbstractButton*>();
      return {corner, corner->rect().center()};
    }
    QHeaderView* columns = grid.horizontalHeader();
    QHeaderView* rows = grid.verticalHeader();
    if (where == "column name")
      return {columns->viewport(),
              {columns->sectionViewportPosition(1) + 5, columns->height() / 2}};
    if (where == "row number")
      return {rows->viewport(), {rows->width() / 2, rows->sectionViewportPosition(1) + 5}};
    return {grid.viewport(), grid.visualRect(grid.gridModel()->index(1, 1)).center()};
  }
};

TEST_P(EGridMouse, RightButtonAndDoubleClickReportTheGridCell) {
  const auto [widget, at] = spot(GetParam());
  QSignalSpy right(&grid, &EGrid::rightButtonReleased);
  QSignalSpy doubled(&grid, &EGrid::cellDoubleClicked);
  QTest::mouseClick(widget, Qt::RightButton, {}, at);
  QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
  ASSERT_EQ(right.count(), 1);
  EXPECT_EQ(right[0][0].toInt(), GetParam().row);
  EXPECT_EQ(right[0][1].toInt(), GetParam().column);
  EXPECT_EQ(right[0][2].toPoint(), widget->mapToGlobal(at));
  ASSERT_FALSE(doubled.isEmpty());
  EXPECT_EQ(doubled.last()[0].toInt(), GetParam().row);
  EXPECT_EQ(doubled.last()[1].toInt(), GetParam().column);
}

INSTANTIATE_TEST_SUITE_P(Spots, EGridMouse,
                         ::testing::Values(MouseSpot{"corner", 0, 0},
                                           MouseSpot{"column name", 0, 2},
                                           MouseSpot{"row number", 2, 0}, MouseSpot{"cell", 2, 2}));

TEST_F(EGridMouse, APressOnARowNumberMakesThatRowCurrent) {
  grid.setCurrentCell(1, 2);
  QHeaderView* rows = grid.verticalHeader();
  QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                    {rows->width() / 2, rows->sectionViewportPosition(2) + 5});
  EXPECT_EQ(grid.currentRow(), 3);
  EXPECT_EQ(grid.currentColumn(), 2);
}

// Cells kept outside the grid: "r,c", those of the last column read-only, and a count of
// the reads, so a test sees that the grid copies nothing until it must.
class KeptCells : public EGridCells {
 public:
  KeptCells(int rows, int columns) : rows_(rows), columns_(columns) {}
  int rowCount() const override { return rows_; }
  int columnCount() const override { return columns_; }
  QString text(int row, int column) const override {
    ++reads;
    return QStringLiteral("%1,%2").arg(row).arg(column);
  }
  bool isReadOnly(int, int column) const override { return column == columns_ - 1; }
  mutable long reads = 0;

 private:
  int rows_;
  int columns_;
};

TEST_F(EGridTest, CellsKeptElsewhereAreShownAsTheGridsOwn) {
  fill(grid, 3, 3);
  grid.setColumnInputKind(1, InputKind::Numeric);
  auto kept = std::make_shared<KeptCells>(100001, 4);
  grid.showCells(kept, 1, 1);
  EXPECT_LT(kept->reads, 1000) << "only what is painted or measured is read";
  EXPECT_EQ(grid.rowCount(), 100001);
  EXPECT_EQ(grid.columnCount(), 4);
  EXPECT_EQ(grid.fixedRowCount(), 1);
  EXPECT_EQ(grid.fixedColumnCount(), 1);
  EXPECT_EQ(grid.columnInputKind(1), InputKind::Text);
  QAbstractItemModel* model = grid.gridModel();
  EXPECT_EQ(model->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "0,3");
  EXPECT_EQ(model->headerData(99999, Qt::Vertical, Qt::DisplayRole).toString(), "100000,0");
  EXPECT_EQ(model->index(0, 0).data().toString(), "1,1");
  EXPECT_EQ(grid.cellText(100000, 3), "100000,3");
  EXPECT_TRUE(model->flags(model->index(0, 1)) & Qt::ItemIsEditable);
  EXPECT_FALSE(model->flags(model->index(0, 2)) & Qt::ItemIsEditable);

  // Typed over, a cell keeps the new text; its neighbours still read from where they are kept.
  QSignalSpy ended(&grid, &EGrid::editEnded);
  model->setData(model->index(4, 0), QStringLiteral("新值"), Qt::EditRole);
  EXPECT_EQ(grid.cellText(5, 1), QStringLiteral("新值"));
  EXPECT_EQ(grid.cellText(5, 2), QStringLiteral("5,2"));
  EXPECT_EQ(ended.count(), 1);
}

TEST_F(EGridTest, ReshapingCellsKeptElsewhereCopiesThoseThatStay) {
  struct Case {
    const char* what;
    std::function<void(EGrid&)> change;
    int rows;
    int columns;
    std::vector<std::tuple<int, int, QString>> cells;
    std::pair<int, int> readOnly;  // a cell of the kept last column, where it is now
  };
  const std::vector<Case> cases = {
      {"fewer rows",
       [](EGrid& g) { g.setRowCount(2); },
       2,
       3,
       {{1, 1, "1,1"}, {0, 0, "0,0"}, {1, 1, "1,1"}},
       {1, 2}},
      {"more rows",
       [](EGrid& g) { g.setRowCount(6); },
       6,
       3,
       {{2, 1, "新值"}, {4, 2, "4,2"}, {5, 0, ""}},
       {4, 2}},
      {"a column inserted",
       [](EGrid& g) { g.insertColumn(1); },
       5,
       4,
       {{2, 2, "新值"}, {3, 1, ""}, {3, 3, "3,2"}},
       {3, 3}},
      {"reset", [](EGrid& g) { g.resetGrid(); }, 1, 1, {{0, 0, ""}}, {-1, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    grid.showCells(std::make_shared<KeptCells>(5, 3), 1, 1);
    grid.setCellText(2, 1, QStringLiteral("新值"));
    c.change(grid);
    EXPECT_EQ(grid.rowCount(), c.rows);
    EXPECT_EQ(grid.columnCount(), c.columns);
    for (const auto& [row, column, text] : c.cells)
      EXPECT_EQ(grid.cellText(row, column), text) << row << "," << column;
    if (c.readOnly.first < 0) continue;
    QAbstractItemModel* model = grid.gridModel();
    const int fr = grid.gridModel()->shownFixedRows();
    const int fc = grid.gridModel()->shownFixedColumns();
    EXPECT_FALSE(model->flags(model->index(c.readOnly.first - fr, c.readOnly.second - fc)) &
                 Qt::ItemIsEditable);
  }
}

TEST_F(EGridTest, HoldsAThousandRowsOfAHundredColumns) {
  fill(grid, 1001, 101);
  grid.setFixedRowCount(1);
  grid.setFixedColumnCount(1);
  EXPECT_EQ(grid.gridModel()->rowCount(), 1000);
  EXPECT_EQ(grid.gridModel()->columnCount(), 100);
  EXPECT_EQ(grid.cellText(1000, 100), QStringLiteral("1000,100"));
}

}  // namespace
}  // namespace tabulor
