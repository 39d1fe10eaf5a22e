#include <QFile>
#include <QUrl>

#include "app/main_window_fixture.h"

namespace tabulor::testing {
namespace {

// The Exec value of the installed desktop entry.
QString execLine() {
  QFile entry(QStringLiteral(TABULOR_DESKTOP_ENTRY));
  if (!entry.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  while (!entry.atEnd()) {
    const QString line = QString::fromUtf8(entry.readLine()).trimmed();
    if (line.startsWith(QStringLiteral("Exec="))) return line.mid(5);
  }
  return {};
}

// The command a desktop runs for the entry when the file manager hands it one file:
// the Exec value split at blanks outside double quotes, with the file field codes
// replaced by the file as one argument and the other field codes dropped.
QStringList commandFor(const QString& exec, const QString& file) {
  QStringList words;
  QString word;
  bool quoted = false;
  bool inWord = false;
  for (qsizetype i = 0; i < exec.size(); ++i) {
    const QChar c = exec[i];
    if (c == QLatin1Char('"')) {
      quoted = !quoted;
      inWord = true;
    } else if (c == QLatin1Char('\\') && quoted && i + 1 < exec.size()) {
      word += exec[++i];
    } else if (c == QLatin1Char(' ') && !quoted) {
      if (inWord) words << word;
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words << word;
  QStringList command;
  for (const QString& w : words) {
    if (w == QStringLiteral("%f") || w == QStringLiteral("%F"))
      command << file;
    else if (w == QStringLiteral("%u") || w == QStringLiteral("%U"))
      command << QUrl::fromLocalFile(file).toString();
    else if (w.size() == 2 && w.startsWith(QLatin1Char('%')) && w != QStringLiteral("%%"))
      continue;
    else
      command << QString(w).replace(QStringLiteral("%%"), QStringLiteral("%"));
  }
  return command;
}

using DesktopEntry = MainWindowTest;

TEST_F(DesktopEntry, AFileFromTheFileManagerOpensWithBlanksAndChineseInItsPath) {
  QDir().mkpath(path("我的 文档"));
  const QString db = makeDatabase("我的 文档/客户 名单 (2024).db", "CREATE TABLE 客户(姓名)");
  const QStringList command = commandFor(execLine(), db);
  ASSERT_FALSE(command.isEmpty()) << "no Exec line in " << TABULOR_DESKTOP_ENTRY;
  EXPECT_EQ(command.constFirst(), QStringLiteral("tabulor"));
  start(command.mid(1));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Tabulor - ") + db);
  EXPECT_EQ(logLines().last(), QStringLiteral("打开数据库：") + db);
  EXPECT_TRUE(prompts.records().empty());
}

}  // namespace
}  // namespace tabulor::testing
