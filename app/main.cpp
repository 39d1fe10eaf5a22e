// The program's start: the application, Qt's Chinese texts, the shared state, the main window.

#include <QApplication>

#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/qt_translations.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tabulor"));
  QApplication::setDesktopFileName(QStringLiteral("tabulor"));
  tabulor::installChineseQtTranslations(application);
  tabulor::AppState state;
  {
    tabulor::MainWindow window(state);
    window.onMainWindowCreated();
    window.show();
    application.exec();
  }
  return 0;
}
