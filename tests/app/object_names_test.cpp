// Names read from a file are data: whatever they hold, the tree, the name box and the
// log show them as they are, and showing one compiles only the statements the window
// means to run, never what the name spells.
#include <sqlite3.h>

#include <QComboBox>
#include <QLineEdit>

#include "app/main_window_fixture.h"
#include "app/structure_tree.h"
#include "platform/egrid.h"
#include "support/sql_trace.h"

namespace tabulor::testing {
namespace {

// The name written as a quoted identifier, so any name can be created.
std::string quotedIdentifier(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

std::string quotedLiteral(const std::string& name) {
  std::string quoted;
  for (char c : name) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted;
}

// The catalogue query that reads a name's definition.
std::string definitionQuery(const std::string& name) {
  const std::string where =
      " WHERE name='" + quotedLiteral(name) + "' AND type IN ('table','view') ";
  return " SELECT sql FROM sqlite_master " + where +
         " UNION ALL SELECT sql FROM sqlite_temp_master " + where;
}

struct NameCase {
  const char* what;
  std::string name;
  bool shows;  // unquoted, the name still names its table
};

class ObjectNames : public MainWindowTest {
 protected:
  // The log is plain text: a line break inside a name shows as one (CR LF, saved).
  bool logEndsWith(const QString& line) const {
    // The log keeps a logged line as it was, a line break inside a name included.
    return window->logText().endsWith(QStringLiteral("\r\n") + line);
  }
};

TEST_F(ObjectNames, NamesAreShownAndNeverRunAsSql) {
  const std::vector<NameCase> cases = {
      {"single and double quotes", "it's \"q\"", false},
      {"brackets", "[a]", false},
      {"a semicolon", "a;b", false},
      {"a line break", "line\nbreak", false},
      {"control characters", "tab\there\x01\x1F", false},
      {"10,000 bytes", std::string(10000, 'n'), false},
      {"a name that is SQL", "x limit 0; drop table y", false},
      {"a comment that would hide the limit", "x --", false},
      {"an open block comment", "x /*", false},
      {"Chinese letters and a dollar sign", "商品$1", true},
  };
  std::string schema = "CREATE TABLE x (a); CREATE TABLE y (a); INSERT INTO x VALUES (1);";
  for (const NameCase& c : cases)
    schema += "CREATE TABLE " + quotedIdentifier(c.name) + " (a); INSERT INTO " +
              quotedIdentifier(c.name) + " VALUES ('row');";
  const QString database = makeDatabase("names.db", schema);

  SqlTrace trace;
  start({database});
  QStringList tree = treeLines();
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.what);
    const QString shownName = fromProgramText(c.name);
    EXPECT_TRUE(tree.contains(QStringLiteral("  ") + shownName));

    prompts.clear();
    trace.clear();
    window->showObject(c.name, TableItem);
    if (c.shows) {
      EXPECT_TRUE(prompts.records().empty());
      EXPECT_EQ(ui().编辑框_表名称->text(), shownName);
      EXPECT_TRUE(logEndsWith(QStringLiteral("打开表：") + shownName));
      EXPECT_EQ(ui().高级表格1->cellText(1, 1), QStringLiteral("row"));
      EXPECT_TRUE(trace.contains("select * from " + c.name + " limit 1000"));
      continue;
    }
    EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("打开表失败：") + shownName});
    EXPECT_TRUE(logEndsWith(QStringLiteral("[×]打开表失败！") + shownName));
    // Its definition is read (the name inside a quoted literal); any other statement
    // that ran takes the name as a bound value, never as SQL.
    ASSERT_FALSE(SqlTrace::statements().empty());
    EXPECT_EQ(SqlTrace::statements().front(), definitionQuery(c.name));
    for (std::size_t i = 1; i < SqlTrace::statements().size(); ++i)
      EXPECT_EQ(SqlTrace::statements()[i].find(c.name), std::string::npos)
          << SqlTrace::statements()[i];
  }

  window->reloadStructureTree();
  EXPECT_EQ(treeLines(), tree) << "every table is still there";
  EXPECT_TRUE(state.db.tableExists("y"));
}

}  // namespace
}  // namespace tabulor::testing
