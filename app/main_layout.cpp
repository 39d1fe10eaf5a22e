// The designed geometry of the main window's controls, and the re-layout for a new size.

#include "app/main_layout.h"

namespace tabulor {

MainLayout designedMainLayout() {
  MainLayout l;
  l.toolbarLine = {8, 40, 776, 2};
  l.filter = {80, 56, 136, 20};
  l.tree = {8, 80, 208, 368};
  l.splitter = {221, 56, 4, 412};
  l.definitionGroup = {232, 56, 384, 88};
  l.definition = {8, 16, 368, 64};
  l.grid = {232, 152, 384, 296};
  l.summary = {232, 448, 384, 24};
  l.fieldPanel = {624, 56, 160, 392};
  l.tableName = {624, 448, 160, 24};
  l.logLabel = {8, 447, 64, 24};
  l.saveLogButton = {88, 448, 72, 24};
  l.clearLogButton = {160, 448, 56, 24};
  l.log = {8, 472, 608, 64};
  l.picture = {624, 480, 48, 48};
  l.creditLabel = {678, 504, 104, 32};
  l.creditTitle = {678, 488, 112, 14};
  return l;
}

MainLayout layoutMainWindow(MainLayout l, int W, int H) {
  l.fieldPanel.left = W - l.fieldPanel.width;
  l.tableName.left = l.fieldPanel.left;
  l.definitionGroup.width = W - l.definitionGroup.left - l.fieldPanel.width - 2 * l.tree.left;
  l.definition.width = l.definitionGroup.width - 4;
  l.grid.width = l.definitionGroup.width;
  l.log.width = W - l.definitionGroup.left + 6 * l.tree.left;
  l.picture.left = l.fieldPanel.left;
  l.creditLabel.left = l.picture.left + l.picture.width + 4;
  l.creditTitle.left = l.creditLabel.left;
  l.log.top = H - l.log.height - 4;
  l.logLabel.top = l.log.top - 25;
  l.clearLogButton.top = l.logLabel.top;
  l.saveLogButton.top = l.logLabel.top;
  l.picture.top = l.log.top;
  l.creditLabel.top = l.log.top;
  l.creditTitle.top = l.log.top + l.creditLabel.height;
  l.tree.height = l.logLabel.top - l.tree.top - 2;
  l.summary.top = l.clearLogButton.top;
  l.summary.width = l.grid.width;
  l.grid.height = l.summary.top - 2 - l.grid.top;
  l.splitter.height = l.tree.height + l.filter.height;
  l.toolbarLine.width = W - 2 * l.toolbarLine.left;
  return l;
}

}  // namespace tabulor
