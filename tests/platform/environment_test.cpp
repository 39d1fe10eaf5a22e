#include "platform/environment.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fstream>

#include "support/temp_dir.h"
#include "support/test_environment.h"

namespace tabulor {
namespace {

// A folder of the test's as Qt spells paths, with '/' on every system.
QString qtPath(const testing::TempDir& dir, const std::string& name) {
  return QDir::fromNativeSeparators(QString::fromStdString(dir.file(name)));
}

TEST(ProgramFolder, IsTheExecutablesFolderWhenWritable) {
  testing::TempDir dir;
  const QString executable = qtPath(dir, "bin");
  const QString data = qtPath(dir, "data");
  QDir().mkpath(executable);
  EXPECT_EQ(chooseProgramFolder(executable, data), executable);
  EXPECT_FALSE(QFileInfo::exists(data));
}

TEST(ProgramFolder, IsThePerUserDataFolderCreatedOnDemandOtherwise) {
  testing::TempDir dir;
  const QString executable = qtPath(dir, "bin");
  const QString data = qtPath(dir, "data/Tabulor");
  QDir().mkpath(executable);
  QFile::setPermissions(executable, QFile::ReadOwner | QFile::ExeOwner);
  if (QFileInfo(executable).isWritable()) GTEST_SKIP() << "running as a user who writes anywhere";
  EXPECT_EQ(chooseProgramFolder(executable, data), data);
  EXPECT_TRUE(QFileInfo(data).isDir());
}

TEST(ProgramFolder, AnInstalledProgramUsesTheDataFolderEvenWhereItMayWrite) {
  testing::TempDir dir;
  const QString executable = qtPath(dir, "usr/bin");
  const QString data = qtPath(dir, "home/.local/share/Tabulor");
  QDir().mkpath(executable);
  QDir().mkpath(qtPath(dir, "usr/share/tabulor"));
  EXPECT_EQ(chooseProgramFolder(executable, data), data);
  EXPECT_TRUE(QFileInfo(data).isDir());
}

TEST(ProgramFolder, AMissingExecutableFolderFallsBackToTheDataFolderCreatedOnDemand) {
  testing::TempDir dir;
  const QString data = qtPath(dir, "share/Tabulor");
  EXPECT_EQ(chooseProgramFolder(qtPath(dir, "gone"), data), data);
  EXPECT_TRUE(QFileInfo(data).isDir());
}

// Where default template lists lie before the program folder is provided with one.
struct TemplateCase {
  const char* name;
  const char* besideExecutable;  // nullptr: no such file
  const char* installed;
  const char* usersOwn;
  const char* expected;  // the program folder's list afterwards; nullptr: none
};

class DefaultTemplates : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(DefaultTemplates, AMissingListIsCopiedFromTheNearestDefault) {
  const TemplateCase& c = GetParam();
  testing::TempDir dir;
  const QString prefix = qtPath(dir, "usr");
  const QString executable = prefix + QStringLiteral("/bin");
  const QString program = qtPath(dir, "home/用户 数据/Tabulor");
  const QString name = QStringLiteral("/SQL模板.txt");
  const auto write = [](const QString& file, const char* text) {
    if (!text) return;
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(text);
  };
  QDir().mkpath(executable);
  QDir().mkpath(program);
  write(executable + name, c.besideExecutable);
  write(prefix + QStringLiteral("/share/tabulor") + name, c.installed);
  write(program + name, c.usersOwn);

  provideDefaultTemplates(program, executable);

  QFile result(program + name);
  if (!c.expected) {
    EXPECT_FALSE(result.exists());
    return;
  }
  ASSERT_TRUE(result.open(QIODevice::ReadOnly));
  EXPECT_EQ(result.readAll(), QByteArray(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    ProgramFolder, DefaultTemplates,
    ::testing::Values(
        TemplateCase{"InstalledOnly", nullptr, "select 1\r\n", nullptr, "select 1\r\n"},
        TemplateCase{"BesideTheExecutableWins", "beside", "installed", nullptr, "beside"},
        TemplateCase{"TheUsersOwnIsKept", "beside", "installed", "mine", "mine"},
        TemplateCase{"NoDefaultLeavesNone", nullptr, nullptr, nullptr, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DesktopEnvironment, TicksDoNotGoBackAndArgumentsExcludeTheProgram) {
  DesktopEnvironment desktop;
  const auto first = desktop.tickCount();
  EXPECT_GE(desktop.tickCount(), first);
  EXPECT_FALSE(desktop.arguments().contains(QCoreApplication::applicationFilePath()));
}

// The tick count names temporary tables: it counts from the system's start (as
// /proc/uptime does), not from the program's, so two runs do not reuse small numbers.
TEST(DesktopEnvironment, TicksCountFromTheSystemsStart) {
  std::ifstream uptime("/proc/uptime");
  double seconds = 0;
  ASSERT_TRUE(uptime >> seconds);
  const auto ticks = DesktopEnvironment().tickCount();
  EXPECT_NEAR(static_cast<double>(ticks), seconds * 1000, 5000);
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
