// SqlConsoleWindow, where SQL is typed, loaded or taken from a template and run.
#pragma once

#include <string>

#include <QDialog>

class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tabulor {

class EGrid;
class HostWindow;
struct Notice;

// The SQL console: runs typed, loaded or templated SQL against the open database, as a
// query whose rows go to the main window's grid or as statements that only report their
// outcome. Its tree and template list are filled once, when it opens.
class SqlConsoleWindow : public QDialog {
  Q_OBJECT

 public:
  // The failure of an execute is kept in the program's state for the diagnostics.
  explicit SqlConsoleWindow(HostWindow& main);

  // --- handlers (each bound to the event of the same role)
  void layoutSqlConsole();
  void insertTreeNameAtCaret();
  void detectSqlKind();
  void runConsoleSql();
  void closeSqlConsole();
  void toggleTemplateList();
  void importSqlFromFile();
  void applySelectedTemplate();
  void hideTemplateList();
  void showTemplateMenu(const QPoint& globalPosition);

  // The SQL text as the program holds it (CR LF between lines).
  QString sqlText() const;

  // --- controls (designed names)
  QLabel* 标签1;         // "数据库中的表和视图：", the tree's caption
  QTreeWidget* 树型框1;  // the tables and their fields
  QLabel* 标签2;         // "SQL语句：", the SQL box's caption
  QPlainTextEdit* 编辑框_SQL语句;
  QGroupBox* 分组框1;  // "SQL语句类型", around the two kinds
  QRadioButton* 单选框_查询类SQL;
  QRadioButton* 单选框_执行类SQL;
  QPushButton* 按钮_从文件导入;
  QPushButton* 按钮_从模板导入;
  QPushButton* 按钮_确定;
  QPushButton* 按钮_关闭;
  QLabel* 标签3;     // the hint under the tree
  EGrid* 高级表格1;  // the template list
  QMenu* SQL模板_右键菜单;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void createControls();
  void onSqlConsoleCreated();
  void fillConsoleTree();
  void fillTemplateList();
  void runQuery(const std::string& sql);
  void runExecute(const std::string& sql);

  HostWindow& main_;
};

}  // namespace tabulor
