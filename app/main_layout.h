// The main window's control geometry: as designed, and as it follows the client area's size.
#pragma once

namespace tabulor {

struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Box&) const = default;
};

// The geometry of the main window's client area that follows its size.
struct MainLayout {
  Box toolbarLine;      // 标签6
  Box filter;           // 组合框_显示内容
  Box tree;             // 树型框1
  Box splitter;         // 分隔条1
  Box definitionGroup;  // 分组框1
  Box definition;       // 编辑框_表或视图定义, inside 分组框1
  Box grid;             // 高级表格1
  Box summary;          // 编辑框_表基本信息
  Box fieldPanel;       // 分组框_字段读写
  Box tableName;        // 编辑框_表名称
  Box logLabel;         // 标签2
  Box saveLogButton;    // 超级按钮_写日志到文件
  Box clearLogButton;   // 超级按钮_清除日志
  Box log;              // 编辑框_操作日志
  Box picture;          // 图片框1
  Box creditLabel;      // 标签7
  Box creditTitle;      // 标签8
  bool operator==(const MainLayout&) const = default;
};

// The designed geometry (client area 793 wide).
MainLayout designedMainLayout();

// The re-layout for a client area of width x height, starting from the current
// geometry. The name box follows the field panel it sits under, so it never lands on
// a widened grid.
MainLayout layoutMainWindow(MainLayout layout, int width, int height);

}  // namespace tabulor
