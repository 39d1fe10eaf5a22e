// The main of the widget test programs: a QApplication on the offscreen platform, test
// mode for the standard paths, and the locale's code page as the program code page.
#include <clocale>

#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen"
                                                                   : qgetenv("QT_QPA_PLATFORM"));
  QStandardPaths::setTestModeEnabled(true);
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
