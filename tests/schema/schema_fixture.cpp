#include "schema_fixture.h"

#include "schema/core/table_design.h"

namespace tabulor::testing {
namespace {

// Reads, and the engine's own nested statements (traced as "-- ..." comments).
bool isQuery(const std::string& sql) {
  const std::string head = sql.substr(0, 7);
  if (head == "SELECT " || head == " SELECT" || sql.rfind("--", 0) == 0) return true;
  return sql.rfind("PRAGMA", 0) == 0 && sql.find('=') == std::string::npos;
}

}  // namespace

std::vector<std::string> StatementTrace::changes() const {
  std::vector<std::string> result;
  for (const std::string& sql : statements())
    if (!isQuery(sql)) result.push_back(sql);
  return result;
}

SchemaTest::SchemaTest() { EXPECT_TRUE(db_.open(dir_.file("test.db"), true)); }

void SchemaTest::run(const std::string& sql) {
  ASSERT_TRUE(db_.execute(sql)) << sql << ": " << db_.errorText();
}

Rows SchemaTest::rows(const std::string& sql) {
  SqliteDataset dataset;
  EXPECT_TRUE(dataset.open(sql, db_) && dataset.requery()) << sql << ": " << db_.errorText();
  const TextTable table = dataset.fetchAllText();
  Rows result(static_cast<std::size_t>(table.rowCount()));
  for (int r = 0; r < table.rowCount(); ++r)
    for (int c = 0; c < table.columnCount(); ++c)
      result[static_cast<std::size_t>(r)].push_back(table.cell(r, c));
  return result;
}

std::vector<std::string> SchemaTest::objectNames() { return db_.listTables(true, true, false); }

void DesignerTest::open(const std::string& table) {
  state_.mode = schema::DesignerMode::Modify;
  state_.targetTable = table;
  schema::openDesigner(state_, grid_, db_, cursor_);
}

void DesignerTest::edit(int row, int column, const std::string& text) {
  grid_.currentRow = row;
  grid_.currentColumn = column;
  grid_.cell(row, column) = text;
  schema::onDesignerCellEdited(state_, grid_);
}

void DesignerTest::remove(int row) {
  grid_.currentRow = row;
  schema::deleteField(state_, grid_, [](const std::string&, int) { return true; });
}

void DesignerTest::append(const std::string& name, const std::string& type,
                          const std::string& length) {
  grid_.currentRow = grid_.lastRow();
  schema::insertField(state_, grid_, schema::InsertPlace::After);
  edit(grid_.lastRow(), schema::DesignerGrid::kName, name);
  edit(grid_.lastRow(), schema::DesignerGrid::kType, type);
  edit(grid_.lastRow(), schema::DesignerGrid::kMaxLength, length);
}

Outcome DesignerTest::confirm() {
  trace_.clear();
  return schema::confirmDesign(db_, state_, ScriptedPrompts().askText(), 777);
}

AskText ScriptedPrompts::askText() {
  return [this](const InputRequest& request) -> std::optional<std::string> {
    inputs.push_back(request);
    if (texts.empty()) return std::nullopt;
    auto text = texts.front();
    texts.erase(texts.begin());
    return text;
  };
}

AskYes ScriptedPrompts::askYes() {
  return [this](const std::string& question, int flags) {
    questions.emplace_back(question, flags);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  };
}

}  // namespace tabulor::testing
