// DatabaseInfoWindow: the open database's path and a cheat sheet of common SQL.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tabulor {

class HostWindow;

// Shows the full path of the open database, which one button copies to the clipboard,
// and a fixed cheat sheet of common SQL statements. It changes nothing.
class DatabaseInfoWindow : public QDialog {
  Q_OBJECT

 public:
  DatabaseInfoWindow(QWidget& owner, const QString& databasePath);

  void copyDatabasePath();
  void closeInfoWindow();

  // The text of a box as the program holds it (CR LF between lines).
  static QString boxText(const QPlainTextEdit& box);

  // --- controls (designed names)
  QLabel* 标签1;            // "数据库路径及名称：", the path box's caption
  QPlainTextEdit* 编辑框1;  // the database's path
  QLabel* 标签2;            // "常用数据库操作：", the cheat sheet's caption
  QPlainTextEdit* 编辑框2;  // the cheat sheet
  QPushButton* 按钮2;       // "复制【数据库名称】": copies the path
  QPushButton* 按钮1;       // "确定": closes the window

 private:
  void createControls();
  void onInfoWindowCreated(const QString& databasePath);
};

// Menu "数据库信息": opens the window modally, afresh each time, and returns at once; the
// window deletes itself when closed.
DatabaseInfoWindow* openInfoWindow(HostWindow& window);

}  // namespace tabulor
