#include "app/main_layout.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "app/main_window_fixture.h"
#include "platform/egrid.h"

namespace tabulor::testing {
namespace {

TEST(MainLayout, AtWidth792TheDesignedWidthsComeBack) {
  const MainLayout l = layoutMainWindow(designedMainLayout(), 792, 540);
  EXPECT_EQ(l.definitionGroup.width, 384);
  EXPECT_EQ(l.log.width, 608);
  EXPECT_EQ(l.grid.width, 384);
  EXPECT_EQ(l.definition.width, 380);
  EXPECT_EQ(l.fieldPanel.left, 632);  // 8 to the right of its designed place
  EXPECT_EQ(l.picture.left, 632);
  EXPECT_EQ(l.creditLabel.left, 684);
  EXPECT_EQ(l.creditTitle.left, 684);
  EXPECT_EQ(l.log.top, 472);
  EXPECT_EQ(l.logLabel.top, 447);
  EXPECT_EQ(l.clearLogButton.top, 447);
  EXPECT_EQ(l.saveLogButton.top, 447);
  EXPECT_EQ(l.summary.top, 447);
  EXPECT_EQ(l.creditTitle.top, 504);
  EXPECT_EQ(l.tree.height, 365);
  EXPECT_EQ(l.grid.height, 293);
  EXPECT_EQ(l.splitter.height, 385);
  EXPECT_EQ(l.toolbarLine.width, 776);
}

TEST(MainLayout, FollowsTheClientAreaAndKeepsTheRest) {
  const MainLayout l = layoutMainWindow(designedMainLayout(), 1280, 700);
  EXPECT_EQ(l.fieldPanel.left, 1120);
  EXPECT_EQ(l.definitionGroup.width, 872);
  EXPECT_EQ(l.log.top, 632);
  EXPECT_EQ(l.grid.height, 700 - 68 - 25 - 2 - 152);
  EXPECT_EQ(l.tree.left, 8);
  EXPECT_EQ(l.fieldPanel.height, 392);
  // The name box moves with the field panel above it, clear of the widened grid.
  EXPECT_EQ(l.tableName.left, 1120);
  EXPECT_GE(l.tableName.left, l.grid.left + l.grid.width);
}

TEST(MainLayout, ATinyWindowGivesNegativeSizes) {
  const MainLayout l = layoutMainWindow(designedMainLayout(), 200, 100);
  EXPECT_LT(l.definitionGroup.width, 0);
  EXPECT_LT(l.tree.height, 0);
}

class MainWindowLayout : public MainWindowTest {};

TEST_F(MainWindowLayout, ControlsFollowAResize) {
  start();
  window->setWindowState(Qt::WindowNoState);
  window->show();
  QWidget* client = window->centralWidget();
  client->resize(792, 540);
  EXPECT_EQ(ui().分组框1->width(), 384);
  EXPECT_EQ(ui().编辑框_操作日志->width(), 608);
  EXPECT_EQ(ui().编辑框_操作日志->geometry(), QRect(8, 472, 608, 64));
  EXPECT_EQ(ui().分组框_字段读写->x(), 632);
  EXPECT_EQ(ui().高级表格1->geometry(), QRect(232, 152, 384, 293));
  client->resize(1000, 700);
  EXPECT_EQ(ui().分组框1->width(), 1000 - 232 - 160 - 16);
  EXPECT_EQ(ui().编辑框_操作日志->y(), 632);
}

// The four pages of the field panel's page control fit its designed 144 pixels: each
// caption is whole in its tab, and no tab hides behind scroll arrows.
TEST_F(MainWindowLayout, AllFourPageCaptionsShowInTheFieldPanel) {
  start();
  window->show();
  ui().分组框_字段读写->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  QTabBar* pages = ui().高级选择夹1->tabBar();
  ASSERT_EQ(ui().高级选择夹1->width(), 144);
  ASSERT_EQ(pages->count(), 4);
  const QFontMetrics metrics(pages->font());
  for (int page = 0; page < pages->count(); ++page) {
    const QRect tab = pages->tabRect(page);
    EXPECT_GE(tab.left(), 0) << page;
    EXPECT_LE(tab.right(), pages->width() - 1) << page;
    EXPECT_GE(tab.width(), metrics.horizontalAdvance(pages->tabText(page))) << page;
  }
  EXPECT_LE(pages->width(), 144);
  for (auto* arrow : pages->findChildren<QAbstractButton*>()) EXPECT_FALSE(arrow->isVisible());
}

}  // namespace
}  // namespace tabulor::testing
