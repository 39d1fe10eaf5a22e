// MainWindow: the program's main window, which implements the subsystems' HostWindow.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include <QMainWindow>

#include "app/app_state.h"
#include "app/command.h"
#include "app/host_window.h"
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
// as object names; the subsystems never touch them, nor this class: they ask for what they need
// through the intents of HostWindow (app/host_window.h), described there. The rest is the
// window's own and the tests'.
class MainWindow : public HostWindow {
  Q_OBJECT

 public:
  explicit MainWindow(AppState& state, QWidget* parent = nullptr);
  ~MainWindow() override;

  AppState& state() override { return state_; }

  // --- start, layout, end
  void onMainWindowCreated();
  void layoutMainWindow();
  void onMainWindowDestroyed();
  void exitProgram();
  void showAbout();

  // --- commands: each is one QAction (app/command.h), made once with its caption, picture
  // and state. A menu item's object name is "菜单_" + its caption without a trailing "...".
  QAction* action(Command command) const;
  void onCommand(Command command, std::function<void()> handler) override;
  QMenu* menu(const QString& caption) const;  // "数据库", "表", "视图", "其它操作", "帮助"
  void popUpTableMenu(const QPoint& globalPosition) override;
  // The command's toolbar button, named "工具条1_按钮" + its place (separators counted): an
  // action of its own that shows the command and gives it; nullptr for a command without one.
  QAction* toolbarButton(Command command) const;

  // --- reporting
  void appendLog(const QString& line) override;
  // The log text as the program holds it (each line preceded by "\r\n").
  QString logText() const;
  void clearLog();
  void saveLogToFile();
  void showDbError(const QString& message) override;
  void applyOutcome(const Outcome& outcome,
                    const std::function<void()>& whenUpToDate = {}) override;

  // --- long work
  [[nodiscard]] EngineWatch::Work beginWork(const QString& what) override;
  bool workCancelled() const override;
  void whenEngineFree(std::function<void()> work) override;

  // --- interface state
  void applyDatabaseUiState(bool open) override;
  void updateInfoMenuVisibility() override;
  void updateCaption() override;

  // --- structure tree (structure_tree.cpp)
  void reloadNameLists();
  void fillStructureTree();
  void reloadStructureTree() override;
  void onFilterChanged();
  void onTreeSelectionChanged();
  void refreshShownObject();
  void onTreeRightButton(const QPoint& globalPosition);
  bool isTableSelected() const override;
  bool isViewSelected() const override;
  std::string selectedObjectName() const override;
  int treeSelection() const;  // item number, -1 for none
  void setTreeSelection(int number) override;
  void clearStructureTree() override;

  // --- data view (data_view.cpp)
  void showObject(const std::string& name, TreeItemKind kind);
  void clearDataView() override;
  void refreshShownObjectInPlace() override;
  void showQueryResult(ResultRows rows, const QString& sql) override;
  int selectedRecordNumber() const override;
  QString tableNameText() const override;
  const EGrid& grid() const override;

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
