// The information window: its controls, the path shown, and copying it to the clipboard.

#include "files/database_info_window.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/host_window.h"
#include "files/info_text.h"
#include "platform/environment.h"
#include "platform/prompts.h"
#include "platform/qstring_conversion.h"
#include "platform/window_style.h"

namespace tabulor {
namespace {

// The boxes keep line breaks as the editor does ("\n"); the program's texts use CR LF.
QString toEditorLines(QString text) {
  return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QPlainTextEdit* readOnlyBox(QWidget* parent, const QString& name, const QString& accessible) {
  auto* box = new QPlainTextEdit(parent);
  box->setObjectName(name);
  box->setAccessibleName(accessible);
  box->setReadOnly(true);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  return box;
}

}  // namespace

DatabaseInfoWindow::DatabaseInfoWindow(QWidget& owner, const QString& databasePath)
    : QDialog(&owner) {
  setObjectName(QStringLiteral("DatabaseInfoWindow"));
  setWindowTitle(QStringLiteral("（此窗口查看数据库的完整信息）"));
  applyDesignedFont(*this);
  createControls();
  resize(934, 512);
  onInfoWindowCreated(databasePath);
}

void DatabaseInfoWindow::createControls() {
  标签1 = new QLabel(QStringLiteral("数据库路径及名称："), this);
  标签1->setObjectName(QStringLiteral("标签1"));
  标签1->setGeometry(8, 9, 544, 16);
  编辑框1 = readOnlyBox(this, QStringLiteral("编辑框1"), QStringLiteral("数据库路径及名称"));
  编辑框1->setGeometry(8, 36, 776, 32);
  标签1->setBuddy(编辑框1);
  标签2 = new QLabel(QStringLiteral("常用数据库操作："), this);
  标签2->setObjectName(QStringLiteral("标签2"));
  标签2->setGeometry(8, 104, 544, 16);
  编辑框2 = readOnlyBox(this, QStringLiteral("编辑框2"), QStringLiteral("常用数据库操作"));
  编辑框2->setGeometry(8, 128, 912, 312);
  编辑框2->setPlainText(toEditorLines(QString::fromUtf8(
      kDatabaseCheatSheet.data(), static_cast<qsizetype>(kDatabaseCheatSheet.size()))));
  标签2->setBuddy(编辑框2);
  按钮2 = namedButton(this, QStringLiteral("按钮2"), QStringLiteral("复制【数据库名称】"));
  按钮2->setGeometry(616, 444, 120, 32);
  按钮1 = namedButton(this, QStringLiteral("按钮1"), QStringLiteral("确定"));
  按钮1->setGeometry(840, 444, 80, 32);
  connect(按钮2, &QPushButton::clicked, this, &DatabaseInfoWindow::copyDatabasePath);
  connect(按钮1, &QPushButton::clicked, this, &DatabaseInfoWindow::closeInfoWindow);
}

void DatabaseInfoWindow::onInfoWindowCreated(const QString& databasePath) {
  编辑框1->setPlainText(toEditorLines(databasePath));
}

QString DatabaseInfoWindow::boxText(const QPlainTextEdit& box) {
  return box.toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void DatabaseInfoWindow::copyDatabasePath() {
  environment().setClipboardText(boxText(*编辑框1));
  prompts().messageBox(QStringLiteral("[数据库名称] 已经复制到 [剪切版]"),
                       MessageFlags::InformationIcon);
}

void DatabaseInfoWindow::closeInfoWindow() { close(); }

DatabaseInfoWindow* openInfoWindow(HostWindow& window) {
  auto* info = new DatabaseInfoWindow(window, fromProgramText(window.state().dbPath));
  info->setAttribute(Qt::WA_DeleteOnClose);
  info->setWindowModality(Qt::ApplicationModal);
  info->show();
  return info;
}

}  // namespace tabulor
