// MainWindow, and the intents through which the subsystems use it.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include <QMainWindow>

#include "app/app_state.h"
#include "app/command.h"
#include "app/main_layout.h"
#include "app/structure_tree.h"
#include "platform/engine_watch.h"
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
class QToolBar;
class QTreeWidget;

namespace tabulor {

class EGrid;
class RecordPanel;

// The program's main window: menus, toolbar, structure tree, data view, field panel and
// operation log. Its sections are defined in main_window.cpp, except the structure tree
// (structure_tree.cpp) and the data view (data_view.cpp). Its controls carry their designed names
// as object names; the subsystems never touch them but ask the window for what they need through
// the methods below.
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

  // --- commands: each is one QAction (app/command.h), made once with its caption, picture
  // and state. A menu item's object name is "菜单_" + its caption without a trailing "...".
  QAction* action(Command command) const;
  // Runs handler whenever the command is given, as long work named by its caption.
  void onCommand(Command command, std::function<void()> handler);
  QMenu* menu(const QString& caption) const;  // "数据库", "表", "视图", "其它操作", "帮助"
  // The command's toolbar button, named "工具条1_按钮" + its place (separators counted): an
  // action of its own that shows the command and gives it; nullptr for a command without one.
  QAction* toolbarButton(Command command) const;

  // --- reporting
  // Adds "\r\n" + line at the end of the log.
  void appendLog(const QString& line);
  // The log text as the program holds it (each line preceded by "\r\n").
  QString logText() const;
  void clearLog();
  void saveLogToFile();
  void showDbError(const QString& message);
  // Carries out what a command's logic returned: the notice first, or last behind the
  // window brought up to date (tree, shown object, data view). whenUpToDate runs between
  // the two, before a last notice; it may make no engine call that the user should see.
  void applyOutcome(const Outcome& outcome, const std::function<void()>& whenUpToDate = {});

  // --- long work: any engine work that lasts shows the busy dialog, with 取消 where
  // stopping loses nothing. Every entry names its work for as long as the returned object
  // lives ("修改表"); after 取消 its failure boxes and failure lines are held back for the
  // one line "已取消：" + its name.
  [[nodiscard]] EngineWatch::Work beginWork(const QString& what);
  bool workCancelled() const;
  // Work posted from the window (after an edit, a drop) runs once no statement runs and
  // no command is under way: nothing starts on the connection inside another call.
  void whenEngineFree(std::function<void()> work);

  // --- interface state
  void applyDatabaseUiState(bool open);
  void updateInfoMenuVisibility();
  // The caption: the title alone, or title + " - " + path.
  void updateCaption();

  // --- structure tree (structure_tree.cpp)
  void reloadNameLists();
  void fillStructureTree();
  void reloadStructureTree();
  void onFilterChanged();
  void onTreeSelectionChanged();
  void refreshShownObject();
  void onTreeRightButton(const QPoint& globalPosition);
  bool isTableSelected() const;
  bool isViewSelected() const;
  // The selected item's text as program text (an object, a column or a section); empty
  // for none.
  std::string selectedObjectName() const;
  int treeSelection() const;          // item number, -1 for none
  void setTreeSelection(int number);  // runs the selection event
  void clearStructureTree();          // no items, no selection, no event

  // --- data view (data_view.cpp)
  void showObject(const std::string& name, TreeItemKind kind);
  void clearDataView();
  // Shows the object afresh, keeping the grid's current cell and the field panel's record
  // and field where the new rows still have them.
  void refreshShownObjectInPlace();
  // A console query's rows: a section heading is selected (which clears the data view),
  // the rows fill the grid and the definition box shows the query's text.
  void showQueryResult(ResultRows rows, const QString& sql);
  // The record selected in the field panel, from 1; 0 for none.
  int selectedRecordNumber() const;
  // The name box under the field panel as the user sees it (it may have been typed over).
  QString tableNameText() const;
  // The main grid, to read and to follow; only the window changes it.
  const EGrid& grid() const;

  // --- the designed file dialogs
  static FileDialogRequest databaseDialog();
  static FileDialogRequest textDialog();

 signals:
  // The window has its caption and display limit: the database files close and open
  // the file named on the command line.
  void started();
  // The program ends (menu "退出" or the window closing): the database closes.
  void ending();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  void createCommands();
  void createMenus();
  void createToolBar();
  QAction* addToolbarButton(Command command);
  void applyLayout(const MainLayout& layout);

  AppState& state_;
  QWidget* client_;
  MainLayout layout_;
  std::array<QAction*, kCommandCount> actions_{};
  std::array<QAction*, kCommandCount> toolbarButtons_{};
  std::map<QString, QMenu*> menus_;
  QString log_;
  std::unique_ptr<EngineWatch> engineWatch_;

  // --- controls (designed names)
  QToolBar* 工具条1;  // the toolbar
  QFrame* 标签6;      // the line under the toolbar
  QLabel* 标签1;      // "数据库结构：", the filter's caption
  QComboBox* 组合框_显示内容;
  QTreeWidget* 树型框1;  // the structure tree
  QFrame* 分隔条1;       // the splitter line right of the tree
  QGroupBox* 分组框1;    // "表或视图定义", around the definition box
  QPlainTextEdit* 编辑框_表或视图定义;
  EGrid* 高级表格1;  // the data grid
  QLineEdit* 编辑框_表基本信息;
  RecordPanel* 分组框_字段读写;
  QLineEdit* 编辑框_表名称;
  QLabel* 标签2;  // "操作日志：", the log's caption
  QPushButton* 超级按钮_写日志到文件;
  QPushButton* 超级按钮_清除日志;
  QPlainTextEdit* 编辑框_操作日志;
  QLabel* 图片框1;  // the program's picture in the credit block
  QLabel* 标签7;    // "SQLite 3 数据库管理器", the credit text
  QLabel* 标签8;    // "Tabulor 0.1", the credit title
};

}  // namespace tabulor
