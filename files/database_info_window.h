#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tabulor {

class MainWindow;

// Shows the full path of the open database, which one button copies to the clipboard,
// and a fixed cheat sheet of common SQL statements. It changes nothing.
class DatabaseInfoWindow : public QDialog {
  Q_OBJECT

 public:
  explicit DatabaseInfoWindow(MainWindow& main);

  void copyDatabasePath();
  void closeInfoWindow();

  // The text of a box as the program holds it (CR LF between lines).
  static QString boxText(const QPlainTextEdit& box);

  // --- controls (designed names)
  QLabel* 标签1;
  QPlainTextEdit* 编辑框1;
  QLabel* 标签2;
  QPlainTextEdit* 编辑框2;
  QPushButton* 按钮2;
  QPushButton* 按钮1;

 private:
  void createControls();
  void onInfoWindowCreated(MainWindow& main);
};

// Menu "数据库信息": opens the window modally, afresh each time, and returns at once; the
// window deletes itself when closed.
DatabaseInfoWindow* openInfoWindow(MainWindow& window);

}  // namespace tabulor
