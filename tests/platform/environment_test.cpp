#include "platform/environment.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "support/temp_dir.h"

namespace tabulor {
namespace {

TEST(ProgramFolder, IsTheExecutablesFolderWhenWritable) {
  testing::TempDir dir;
  const QString executable = QString::fromStdString(dir.file("bin"));
  const QString data = QString::fromStdString(dir.file("data"));
  QDir().mkpath(executable);
  EXPECT_EQ(chooseProgramFolder(executable, data), executable);
  EXPECT_FALSE(QFileInfo::exists(data));
}

TEST(ProgramFolder, IsThePerUserDataFolderCreatedOnDemandOtherwise) {
  testing::TempDir dir;
  const QString executable = QString::fromStdString(dir.file("bin"));
  const QString data = QString::fromStdString(dir.file("data/Tabulor"));
  QDir().mkpath(executable);
  QFile::setPermissions(executable, QFile::ReadOwner | QFile::ExeOwner);
  if (QFileInfo(executable).isWritable()) GTEST_SKIP() << "running as a user who writes anywhere";
  EXPECT_EQ(chooseProgramFolder(executable, data), data);
  EXPECT_TRUE(QFileInfo(data).isDir());
}

TEST(ProgramFolder, AMissingExecutableFolderFallsBackToTheDataFolderCreatedOnDemand) {
  testing::TempDir dir;
  const QString data = QString::fromStdString(dir.file("share/Tabulor"));
  EXPECT_EQ(chooseProgramFolder(QString::fromStdString(dir.file("gone")), data), data);
  EXPECT_TRUE(QFileInfo(data).isDir());
}

TEST(DesktopEnvironment, TicksDoNotGoBackAndArgumentsExcludeTheProgram) {
  DesktopEnvironment desktop;
  const auto first = desktop.tickCount();
  EXPECT_GE(desktop.tickCount(), first);
  EXPECT_FALSE(desktop.arguments().contains(QCoreApplication::applicationFilePath()));
}

TEST(TestEnvironment, IsInstalledForItsLifetimeWithAFixedClock) {
  {
    ScopedTestEnvironment env(QStringLiteral("/tmp/x"));
    env.setTickCount(42);
    EXPECT_EQ(environment().programFolder(), QStringLiteral("/tmp/x"));
    EXPECT_EQ(environment().tickCount(), 42);
    environment().setClipboardText(QStringLiteral("剪贴板"));
    EXPECT_EQ(environment().clipboardText(), QStringLiteral("剪贴板"));
    environment().openWithEditor(QStringLiteral("/tmp/x/log.txt"));
    EXPECT_EQ(env.editedFiles(), QStringList({QStringLiteral("/tmp/x/log.txt")}));
  }
  EXPECT_NE(dynamic_cast<DesktopEnvironment*>(&environment()), nullptr);
}

}  // namespace
}  // namespace tabulor
