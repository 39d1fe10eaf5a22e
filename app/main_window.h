#pragma once

#include <map>
#include <string>
#include <vector>

#include <QMainWindow>

#include "app/app_state.h"
#include "app/main_layout.h"
#include "platform/prompts.h"

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolBar;
class QTreeWidget;

namespace tabulor {

class EGrid;
class TextTable;

// The program's main window: menus, toolbar, structure tree, data view, field panel and
// operation log. Controls carry their designed names as object names and members.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(AppState& state, QWidget* parent = nullptr);
  ~MainWindow() override;

  AppState& state() { return state_; }

  // --- start, layout, end
  void onMainWindowCreated();
  void layoutMainWindow();
  void onMainWindowDestroyed();
  void exitProgram();
  void showAbout();

  // --- commands. Every menu item is found by its caption ("新建表..."); its object name
  // is "菜单_" + the caption without a trailing "...". Owners connect to triggered().
  QAction* menuAction(const QString& caption) const;
  QMenu* menu(const QString& caption) const;  // "数据库", "表", "视图", "其它操作", "帮助"
  // Toolbar buttons by number 0..14 (separators included).
  QAction* toolbarButton(int number) const;
  void onToolbarButtonClicked(int number);

  // --- reporting
  // Adds "\r\n" + line at the end of the log.
  void appendLog(const QString& line);
  // The log text as the program holds it (each line preceded by "\r\n").
  QString logText() const;
  void clearLog();
  void saveLogToFile();
  void showDbError(const QString& message);

  // --- interface state
  void applyDatabaseUiState(bool open);
  void updateInfoMenuVisibility();
  // The caption: the title alone, or title + " - " + path.
  void updateCaption();

  // --- structure tree
  void reloadNameLists();
  void fillStructureTree();
  void reloadStructureTree();
  void onFilterChanged();
  void onTreeSelectionChanged();
  void refreshShownObject();
  void onTreeRightButton(const QPoint& globalPosition);
  bool isTableSelected() const;
  bool isViewSelected() const;
  int treeSelection() const;          // item number, -1 for none
  void setTreeSelection(int number);  // runs the selection event
  void clearStructureTree();          // no items, no selection, no event

  // --- data view
  void showObject(const std::string& name, int kind);
  void clearDataView();

  // --- the designed file dialogs
  static FileDialogRequest databaseDialog();
  static FileDialogRequest textDialog();

 signals:
  // The window has its caption and display limit: the database files close and open
  // the file named on the command line.
  void started();
  // The program ends (menu "退出" or the window closing): the database closes.
  void ending();
  // Toolbar button 2 ("关闭数据库"), which has no menu item of its own.
  void closeButtonClicked();

 public:
  // --- controls (designed names)
  QToolBar* 工具条1;
  QFrame* 标签6;
  QLabel* 标签1;
  QComboBox* 组合框_显示内容;
  QTreeWidget* 树型框1;
  QFrame* 分隔条1;
  QGroupBox* 分组框1;
  QPlainTextEdit* 编辑框_表或视图定义;
  EGrid* 高级表格1;
  QLineEdit* 编辑框_表基本信息;
  QGroupBox* 分组框_字段读写;
  QLabel* 标签3;
  QComboBox* 组合框_字段名称;
  QLabel* 标签4;
  QComboBox* 组合框_记录序号;
  QTabWidget* 高级选择夹1;
  QLineEdit* 编辑框_表名称;
  QLabel* 标签2;
  QPushButton* 超级按钮_写日志到文件;
  QPushButton* 超级按钮_清除日志;
  QPlainTextEdit* 编辑框_操作日志;
  QLabel* 图片框1;
  QLabel* 标签7;
  QLabel* 标签8;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  void createFieldPanel();
  void createMenus();
  void createToolBar();
  void applyLayout(const MainLayout& layout);
  void fillFieldPanelSelectors(std::int32_t limit);

  AppState& state_;
  QWidget* client_;
  MainLayout layout_;
  std::map<QString, QAction*> menuActions_;
  std::map<QString, QMenu*> menus_;
  std::vector<QAction*> toolbarButtons_;
  QString log_;
};

// Puts a table of texts into a grid: a header row fixed when hasHeaderRow, and a
// fixed "序号" column numbering the data rows from 1 when addNumberColumn.
void showTextTable(EGrid& grid, const TextTable& table, bool hasHeaderRow = false,
                   bool addNumberColumn = true);

}  // namespace tabulor
