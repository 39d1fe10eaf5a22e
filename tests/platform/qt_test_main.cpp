// The main of the widget test programs: a QApplication on the offscreen platform, test mode
// for the standard paths, and UTF-8 program text whatever the system's code page, since the
// tests' expected texts are written in it.
#include <gtest/gtest.h>
#include <QApplication>
#include <QStandardPaths>

#include "sqlitedb/codepage.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  tabulor::setProgramCodePage("UTF-8");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
