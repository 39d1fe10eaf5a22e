// Window-free schema tests: a database on the program's connection, its trace, a designer driver.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "report/notice.h"
#include "report/outcome.h"
#include "schema/core/designer.h"
#include "sqlitedb/sqlitedb.h"
#include "support/code_page_scope.h"
#include "support/sql_trace.h"
#include "support/temp_dir.h"

namespace tabulor::testing {

using Rows = std::vector<std::vector<std::string>>;

// A database error box shows its message, these words and the engine's text.
inline const std::string kDetailLead = "错误信息如下：\r\n\r\n";

inline bool isDbErrorBox(const Notice& notice) {
  return notice.title == "错误：" && notice.flags == MessageFlags::ErrorIcon &&
         notice.text.find(kDetailLead) != std::string::npos;
}

// The engine's text below a database error box's message; nullopt for any other box.
inline std::optional<std::string> engineDetail(const Notice& notice) {
  if (!isDbErrorBox(notice)) return std::nullopt;
  return notice.text.substr(notice.text.find(kDetailLead) + kDetailLead.size());
}

// A box's message: a database error box's text above its detail, any other box's whole text.
inline std::string messageOf(const Notice& notice) {
  if (!isDbErrorBox(notice)) return notice.text;
  return notice.text.substr(0, notice.text.find(kDetailLead));
}

// The statement trace, able to leave the reads out.
class StatementTrace : public SqlTrace {
 public:
  // The statements that change something: queries (SELECT, PRAGMA without "=")
  // and the engine's nested statements left out.
  std::vector<std::string> changes() const;
};

// A database file in a fresh folder, open on the program's connection.
class SchemaTest : public ::testing::Test {
 protected:
  SchemaTest();

  void run(const std::string& sql);
  Rows rows(const std::string& sql);
  std::vector<std::string> objectNames();

  TempDir dir_;
  CodePageScope utf8_{"UTF-8"};
  StatementTrace trace_;
  SqliteDB db_;
};

// Drives the designer on an existing table as a user would: open, edit the
// grid, press OK.
class DesignerTest : public SchemaTest {
 protected:
  void open(const std::string& table);
  void edit(int row, int column, const std::string& text);
  void remove(int row);
  void append(const std::string& name, const std::string& type, const std::string& length);
  // Presses OK with a fixed tick count; the trace holds only its statements.
  Outcome confirm();

  schema::DesignerState state_;
  schema::DesignerGrid grid_;
  SqliteTable cursor_;
};

// Answers input boxes and questions from a script, recording what was asked.
struct ScriptedPrompts {
  std::vector<std::optional<std::string>> texts;
  std::vector<bool> answers;
  std::vector<InputRequest> inputs;
  std::vector<std::pair<std::string, int>> questions;

  AskText askText();
  AskYes askYes();
};

}  // namespace tabulor::testing
