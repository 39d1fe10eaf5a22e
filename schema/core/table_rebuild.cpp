// Rebuilding a table to new columns, keeping what the designer does not show, and its checks.

#include "schema/core/table_rebuild.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "schema/core/field_types.h"
#include "schema/core/sql_tokens.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor::schema {
namespace {

using Tokens = std::vector<SqlToken>;

// An existing column by its old name: its new name, or none once deleted.
struct ColumnFate {
  std::string oldName;
  std::optional<std::string> newName;
};
using Fates = std::vector<ColumnFate>;

bool isNameToken(const SqlToken& token) {
  return token.kind == SqlToken::Kind::Word || token.kind == SqlToken::Kind::QuotedName;
}

std::string quotedText(const std::string& text) { return "'" + doubledQuotes(text) + "'"; }

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
  std::string text;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    text += (text.empty() ? "" : separator) + part;
  }
  return text;
}

// Follows the table's columns through one piece of SQL (a constraint, an index,
// a trigger): renamed columns are written under their new names, and a deleted
// one is noticed.
class ColumnReferences {
 public:
  ColumnReferences(std::string_view sql, const Fates& fates, const std::string& table)
      : sql_(sql), tokens_(tokenizeSql(sql)), fates_(fates), table_(table) {}

  const Tokens& tokens() const { return tokens_; }
  std::string_view sql() const { return sql_; }
  bool namesDeletedColumn() const { return namesDeleted_; }

  // Names in tokens [first, last) that stand alone, or are qualified by new,
  // old or the table; function and collation names are not columns.
  void bareNames(std::size_t first, std::size_t last) {
    for (std::size_t i = first; i < last; ++i) {
      if (!isNameToken(tokens_[i]) || followedBy(i, '(')) continue;
      if (followedBy(i, '.')) {
        if (i + 2 < last && qualifiesTable(i)) refer(i + 2);
        i += 2;
      } else if (i == 0 || !isWord(sql_, tokens_[i - 1], "COLLATE")) {
        refer(i);
      }
    }
  }

  // Only new.x, old.x and table.x in tokens [first, last).
  void qualifiedNames(std::size_t first, std::size_t last) {
    for (std::size_t i = first; i + 2 < last; ++i)
      if (isNameToken(tokens_[i]) && followedBy(i, '.') && qualifiesTable(i)) refer(i + 2);
  }

  // The column lists and expressions of a constraint: the parentheses after
  // PRIMARY KEY, UNIQUE, CHECK, FOREIGN KEY, AS, and REFERENCES the table itself.
  void constraintNames() {
    for (std::size_t i = 1; i < tokens_.size(); ++i) {
      if (!isSymbol(sql_, tokens_[i], '(')) continue;
      const std::size_t close = closingParenthesis(sql_, tokens_, i);
      const SqlToken& before = tokens_[i - 1];
      const bool columnGroup = isWord(sql_, before, "KEY") || isWord(sql_, before, "UNIQUE") ||
                               isWord(sql_, before, "CHECK") || isWord(sql_, before, "AS");
      const bool selfReference =
          i >= 2 && isWord(sql_, tokens_[i - 2], "REFERENCES") && isTable(tokenName(sql_, before));
      if (columnGroup || selfReference) bareNames(i + 1, close);
      i = close;
    }
  }

  std::string rewritten() const {
    std::string text;
    std::size_t at = 0;
    for (const auto& [index, name] : replacements_) {
      text += sql_.substr(at, tokens_[index].begin - at);
      text += name;
      at = tokens_[index].end;
    }
    return text + std::string(sql_.substr(at));
  }

 private:
  bool followedBy(std::size_t i, char symbol) const {
    return i + 1 < tokens_.size() && isSymbol(sql_, tokens_[i + 1], symbol);
  }
  bool isTable(std::string_view name) const { return equalsIgnoringAsciiCase(name, table_); }
  bool qualifiesTable(std::size_t i) const {
    const std::string qualifier = tokenName(sql_, tokens_[i]);
    return equalsIgnoringAsciiCase(qualifier, "new") || equalsIgnoringAsciiCase(qualifier, "old") ||
           isTable(qualifier);
  }

  void refer(std::size_t i) {
    if (!isNameToken(tokens_[i])) return;
    const std::string name = tokenName(sql_, tokens_[i]);
    const auto fate = std::find_if(fates_.begin(), fates_.end(), [&](const ColumnFate& f) {
      return equalsIgnoringAsciiCase(f.oldName, name);
    });
    if (fate == fates_.end()) return;
    if (!fate->newName)
      namesDeleted_ = true;
    else if (*fate->newName != name)
      replacements_[i] = sqlName(*fate->newName);
  }

  std::string_view sql_;
  Tokens tokens_;
  const Fates& fates_;
  const std::string& table_;
  std::map<std::size_t, std::string> replacements_;
  bool namesDeleted_ = false;
};

std::size_t findWord(const ColumnReferences& refs, std::string_view word, std::size_t from) {
  const Tokens& tokens = refs.tokens();
  for (std::size_t i = from; i < tokens.size(); ++i)
    if (isWord(refs.sql(), tokens[i], word)) return i;
  return tokens.size();
}

// CREATE INDEX name ON table (columns) WHERE expression.
void followIndex(ColumnReferences& refs) {
  const Tokens& tokens = refs.tokens();
  const std::size_t on = findWord(refs, "ON", 0);
  if (on + 2 >= tokens.size() || !isSymbol(refs.sql(), tokens[on + 2], '(')) return;
  const std::size_t close = closingParenthesis(refs.sql(), tokens, on + 2);
  refs.bareNames(on + 3, close);
  const std::size_t where = findWord(refs, "WHERE", close);
  if (where < tokens.size()) refs.bareNames(where + 1, tokens.size());
}

// In a trigger body, a statement on the table itself names its columns bare:
// UPDATE table SET ... WHERE ..., DELETE FROM table WHERE ..., and the column
// list of INSERT INTO table (...).
void followTriggerStatement(ColumnReferences& refs, const std::string& table, std::size_t first,
                            std::size_t last) {
  const std::string_view sql = refs.sql();
  const Tokens& tokens = refs.tokens();
  auto isTableAt = [&](std::size_t i) {
    return i < last && equalsIgnoringAsciiCase(tokenName(sql, tokens[i]), table);
  };
  std::size_t at = first;
  if (isWord(sql, tokens[at], "UPDATE")) {
    at += at + 1 < last && isWord(sql, tokens[at + 1], "OR") ? 3 : 1;
    if (isTableAt(at)) refs.bareNames(at + 1, last);
  } else if (isWord(sql, tokens[at], "DELETE")) {
    if (isTableAt(at + 2)) refs.bareNames(at + 3, last);
  } else if (isWord(sql, tokens[at], "INSERT") || isWord(sql, tokens[at], "REPLACE")) {
    at = findWord(refs, "INTO", at) + 1;
    if (isTableAt(at) && at + 1 < last && isSymbol(sql, tokens[at + 1], '('))
      refs.bareNames(at + 2, closingParenthesis(sql, tokens, at + 1));
  }
}

// CREATE TRIGGER name ... UPDATE OF columns ON table ... BEGIN statements; END.
void followTrigger(ColumnReferences& refs, const std::string& table) {
  const std::string_view sql = refs.sql();
  const Tokens& tokens = refs.tokens();
  const std::size_t on = findWord(refs, "ON", 0);
  const std::size_t of = findWord(refs, "OF", 0);
  if (of < on) refs.bareNames(of + 1, on);
  refs.qualifiedNames(on + 1, tokens.size());
  const std::size_t begin = findWord(refs, "BEGIN", on);
  int depth = 0;
  std::size_t statement = begin + 1;
  for (std::size_t i = begin + 1; i < tokens.size(); ++i) {
    if (isSymbol(sql, tokens[i], '(')) ++depth;
    if (isSymbol(sql, tokens[i], ')')) --depth;
    if (depth != 0 || !isSymbol(sql, tokens[i], ';')) continue;
    if (i > statement) followTriggerStatement(refs, table, statement, i);
    statement = i + 1;
  }
}

std::string keptColumnDefinition(const StoredColumn& old, const SqliteFieldInfo& field,
                                 const Fates& fates, const std::string& table) {
  const std::string name = field.name == old.name ? old.writtenName : sqlName(field.name);
  const std::string newType = sqlTypeForCode(field.type, field.size);
  const bool typeChanged =
      newType != sqlTypeForCode(designerTypeCode(old.typeName).value_or(kNoTypeCode), old.length);
  ColumnReferences constraints(old.constraints, fates, table);
  constraints.constraintNames();
  return joined({name, typeChanged ? newType : old.typeText, constraints.rewritten()}, " ");
}

std::string newColumnDefinition(const SqliteFieldInfo& field) {
  return joined({sqlName(field.name), sqlTypeForCode(field.type, field.size)}, " ");
}

// The first copy keeps the row order: by row id, or by primary key for a table
// without one.
std::string copyOrder(const StoredTable& stored) {
  if (!stored.withoutRowid) return " order by _ROWID_";
  std::vector<const StoredColumn*> key;
  for (const StoredColumn& column : stored.columns)
    if (column.primaryKeyPosition > 0) key.push_back(&column);
  std::sort(key.begin(), key.end(), [](const StoredColumn* a, const StoredColumn* b) {
    return a->primaryKeyPosition < b->primaryKeyPosition;
  });
  std::vector<std::string> names;
  for (const StoredColumn* column : key) names.push_back(sqlName(column->name));
  return names.empty() ? "" : " order by " + joined(names, ",");
}

bool hasWord(std::string_view sql, std::string_view word) {
  const Tokens tokens = tokenizeSql(sql);
  return std::any_of(tokens.begin(), tokens.end(),
                     [&](const SqlToken& token) { return isWord(sql, token, word); });
}

TextTable queryText(SqliteDB& db, const std::string& sql) {
  SqliteDataset dataset;
  if (!dataset.open(sql, db) || !dataset.requery()) return {};
  return dataset.fetchAllText();
}

// The table's automatic indexes with their columns, in the main database.
std::vector<AutomaticIndex> automaticIndexes(SqliteDB& db, const std::string& table) {
  const TextTable rows =
      queryText(db, "SELECT l.name, i.name FROM pragma_index_list(" + quotedText(table) +
                        ", 'main') AS l, pragma_index_info(l.name, 'main') AS i "
                        "WHERE l.origin <> 'c' ORDER BY l.name, i.seqno");
  std::vector<AutomaticIndex> indexes;
  for (int row = 0; row < rows.rowCount(); ++row) {
    if (indexes.empty() || indexes.back().name != rows.cell(row, 0))
      indexes.push_back({rows.cell(row, 0), {}});
    indexes.back().columns.push_back(rows.cell(row, 1));
  }
  return indexes;
}

bool sameNames(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  return std::equal(
      a.begin(), a.end(), b.begin(), b.end(),
      [](const std::string& x, const std::string& y) { return equalsIgnoringAsciiCase(x, y); });
}

bool holdsName(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& held) { return equalsIgnoringAsciiCase(held, name); });
}

// The statistics rows that still describe the rebuilt table: its own row count, the
// primary key of a table without row ids (filed under the table's name), the indexes
// created again, and the automatic indexes all of whose columns stay.
std::vector<KeptStatistics> keptStatistics(const std::string& table, const TableSnapshot& snapshot,
                                           const std::vector<std::string>& keptIndexes,
                                           const Fates& fates) {
  std::vector<KeptStatistics> kept;
  for (const StatisticsRow& row : snapshot.statistics) {
    KeptStatistics statistics{row, {}};
    if (!row.index || equalsIgnoringAsciiCase(*row.index, table) ||
        holdsName(keptIndexes, *row.index)) {
      kept.push_back(std::move(statistics));
      continue;
    }
    const auto automatic =
        std::find_if(snapshot.automaticIndexes.begin(), snapshot.automaticIndexes.end(),
                     [&](const AutomaticIndex& index) {
                       return equalsIgnoringAsciiCase(index.name, *row.index);
                     });
    if (automatic == snapshot.automaticIndexes.end()) continue;
    for (const std::string& column : automatic->columns) {
      const auto fate = std::find_if(fates.begin(), fates.end(), [&](const ColumnFate& f) {
        return equalsIgnoringAsciiCase(f.oldName, column);
      });
      if (fate == fates.end() || !fate->newName) break;
      statistics.automaticIndexColumns.push_back(*fate->newName);
    }
    if (statistics.automaticIndexColumns.size() == automatic->columns.size())
      kept.push_back(std::move(statistics));
  }
  return kept;
}

// The statements that write the kept statistics again, once the new table and its
// indexes exist: automatic indexes are looked up by their columns.
std::vector<std::string> statisticsStatements(SqliteDB& db, const RebuildPlan& plan) {
  std::vector<std::string> statements;
  if (plan.statistics.empty()) return statements;
  const std::vector<AutomaticIndex> now = automaticIndexes(db, plan.table);
  for (const KeptStatistics& kept : plan.statistics) {
    std::optional<std::string> index = kept.row.index;
    if (!kept.automaticIndexColumns.empty()) {
      const auto found = std::find_if(now.begin(), now.end(), [&](const AutomaticIndex& i) {
        return sameNames(i.columns, kept.automaticIndexColumns);
      });
      if (found == now.end()) continue;
      index = found->name;
    }
    statements.push_back("INSERT INTO " + kept.row.statTable + " VALUES (" + kept.row.tableValue +
                         ", " + (index ? quotedText(*index) : "NULL") + ", " +
                         kept.row.otherValues + ")");
  }
  return statements;
}

// Runs every step of a rebuild, remembering the first failure's reason.
class RebuildSteps {
 public:
  explicit RebuildSteps(SqliteDB& db) : db_(db) {}

  void run(const std::string& sql) {
    if (sql.empty()) return;
    if (!db_.inTransaction()) {
      fail(programTextFromUtf8("事务已被数据库结束，其余步骤未执行。"));
      return;
    }
    if (!db_.execute(sql)) fail(db_.errorText());
  }
  const std::optional<Failure>& failure() const { return failure_; }

 private:
  void fail(std::string reason) {
    if (failure_) return;
    failure_ =
        Failure{reason.empty() ? programTextFromUtf8("数据库没有给出原因。") : std::move(reason)};
  }

  SqliteDB& db_;
  std::optional<Failure> failure_;
};

}  // namespace

RebuildPlan planRebuild(const std::string& table, const StoredTable& stored,
                        const std::vector<DesignedColumn>& columns, const TableSnapshot& snapshot,
                        const std::string& temporaryTable) {
  Fates fates;
  for (const StoredColumn& column : stored.columns) fates.push_back({column.name, std::nullopt});
  for (const DesignedColumn& column : columns)
    if (column.existing) fates[*column.existing].newName = column.field.name;

  RebuildPlan plan;
  plan.table = table;
  std::vector<std::string> definitions;
  std::vector<std::string> oldNames, newNames;
  for (const DesignedColumn& column : columns) {
    if (!column.existing) {
      definitions.push_back(newColumnDefinition(column.field));
      continue;
    }
    const StoredColumn& old = stored.columns[*column.existing];
    definitions.push_back(keptColumnDefinition(old, column.field, fates, table));
    // A generated column cannot be written: it computes itself again.
    if (old.generated) continue;
    oldNames.push_back(sqlName(old.name));
    newNames.push_back(sqlName(column.field.name));
  }
  for (const std::string& constraint : stored.constraints) {
    ColumnReferences refs(constraint, fates, table);
    refs.constraintNames();
    if (refs.namesDeletedColumn())
      plan.dropped.push_back(programTextFromUtf8("表约束 ") + constraint);
    else
      definitions.push_back(refs.rewritten());
  }
  const std::string options = stored.options.empty() ? "" : " " + stored.options;
  plan.createTable = "CREATE TABLE " + table + " (" + joined(definitions, ", ") + ")" + options;
  if (!oldNames.empty()) {
    const std::string names = joined(newNames, ",");
    plan.temporaryTable = temporaryTable;
    plan.createTemporary = "CREATE TABLE " + temporaryTable + " (" + joined(newNames, ", ") + ")";
    plan.copyOut = "insert into " + temporaryTable + " (" + names + ") select " +
                   joined(oldNames, ",") + " from " + table + copyOrder(stored);
    // The waiting rows' row ids follow the old order, whatever the table's key.
    plan.copyBack = "insert into " + table + " (" + names + ") select " + names + " from " +
                    temporaryTable + " order by _ROWID_";
  }
  std::vector<std::string> keptIndexes;
  for (const TableCompanion& companion : snapshot.companions) {
    ColumnReferences refs(companion.sql, fates, table);
    const bool index = companion.type == "index";
    if (index)
      followIndex(refs);
    else
      followTrigger(refs, table);
    if (refs.namesDeletedColumn()) {
      plan.dropped.push_back(programTextFromUtf8(index ? "索引 " : "触发器 ") + companion.name);
      continue;
    }
    plan.companions.push_back(refs.rewritten());
    if (index) keptIndexes.push_back(companion.name);
  }
  const bool autoincrement = hasWord(plan.createTable, "AUTOINCREMENT");
  const std::string name = quotedText(table);
  if (snapshot.sequence && autoincrement) {
    const std::string seq = std::to_string(*snapshot.sequence);
    plan.keepSequence = {
        "UPDATE sqlite_sequence SET seq = max(seq, " + seq + ") WHERE name = " + name,
        "INSERT INTO sqlite_sequence (name, seq) SELECT " + name + ", " + seq +
            " WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = " + name + ")"};
  } else if (autoincrement) {
    // The copy back writes a counter; the table had none.
    plan.keepSequence = {"DELETE FROM sqlite_sequence WHERE name = " + name};
  }
  plan.statistics = keptStatistics(table, snapshot, keptIndexes, fates);
  return plan;
}

TableSnapshot readTableSnapshot(SqliteDB& db, const std::string& table) {
  TableSnapshot snapshot;
  const TextTable companions = queryText(
      db,
      "SELECT type, name, sql FROM sqlite_master WHERE tbl_name = " + quotedText(table) +
          " COLLATE NOCASE AND type IN ('index', 'trigger') AND sql IS NOT NULL ORDER BY rowid");
  for (int row = 0; row < companions.rowCount(); ++row)
    snapshot.companions.push_back(
        {companions.cell(row, 0), companions.cell(row, 1), companions.cell(row, 2)});
  if (db.tableExists("sqlite_sequence")) {
    const TextTable sequence = queryText(
        db, "SELECT seq FROM sqlite_sequence WHERE name = " + quotedText(table) + " LIMIT 1");
    if (!sequence.isEmpty())
      snapshot.sequence = std::strtoll(sequence.cell(0, 0).c_str(), nullptr, 10);
  }
  // Read as SQL literals, so numbers, texts and the samples' blobs go back unchanged;
  // a file without statistics has no such tables and gives no rows.
  const std::pair<const char*, const char*> statTables[] = {
      {"sqlite_stat1", "quote(stat)"},
      {"sqlite_stat4",
       "quote(neq) || ', ' || quote(nlt) || ', ' || quote(ndlt) || ', ' || "
       "quote(sample)"}};
  for (const auto& [statTable, values] : statTables) {
    const TextTable rows =
        queryText(db, std::string("SELECT idx IS NULL, idx, quote(tbl), ") + values + " FROM " +
                          statTable + " WHERE tbl = " + quotedText(table) + " COLLATE NOCASE");
    for (int row = 0; row < rows.rowCount(); ++row)
      snapshot.statistics.push_back(
          {statTable,
           rows.cell(row, 0) == "1" ? std::nullopt : std::optional<std::string>(rows.cell(row, 1)),
           rows.cell(row, 2), rows.cell(row, 3)});
  }
  if (!snapshot.statistics.empty()) snapshot.automaticIndexes = automaticIndexes(db, table);
  return snapshot;
}

LoadedTable loadStoredTable(SqliteDB& db, const std::string& table) {
  LoadedTable loaded;
  const TextTable real = queryText(db, "SELECT name, type, hidden, pk FROM pragma_table_xinfo(" +
                                           quotedText(table) + ", 'main')");
  const std::optional<StoredTable> stored = readTableDefinition(db.tableSql(table));
  bool agrees = stored && static_cast<int>(stored->columns.size()) == real.rowCount();
  for (int row = 0; agrees && row < real.rowCount(); ++row)
    agrees = stored->columns[static_cast<std::size_t>(row)].name == real.cell(row, 0);
  if (agrees) {
    loaded.definition = *stored;
  } else {
    loaded.refusal =
        Failure{programTextFromUtf8("表 ") + table +
                programTextFromUtf8(stored ? " 的存储定义读出的字段与表的实际字段不一致，"
                                             "为免数据错位，未做任何修改。"
                                           : " 的定义不是普通的字段列表（例如虚拟表），"
                                             "不能重建，未做任何修改。")};
    for (int row = 0; row < real.rowCount(); ++row)
      loaded.definition.columns.push_back(
          readColumnDefinition(sqlName(real.cell(row, 0)) + " " + real.cell(row, 1)));
  }
  for (int row = 0; row < real.rowCount(); ++row) {
    StoredColumn& column = loaded.definition.columns[static_cast<std::size_t>(row)];
    column.name = real.cell(row, 0);
    column.generated = real.cell(row, 2) == "2" || real.cell(row, 2) == "3";
    column.primaryKeyPosition = std::atoi(real.cell(row, 3).c_str());
  }
  return loaded;
}

std::vector<std::string> foreignKeyRelatives(SqliteDB& db, const std::string& table) {
  std::vector<std::string> tables{table};
  const TextTable children = queryText(
      db,
      "SELECT DISTINCT m.name FROM sqlite_master AS m, pragma_foreign_key_list(m.name) AS f "
      "WHERE m.type = 'table' AND f.\"table\" = " +
          quotedText(table) + " COLLATE NOCASE");
  for (int row = 0; row < children.rowCount(); ++row)
    if (!equalsIgnoringAsciiCase(children.cell(row, 0), table))
      tables.push_back(children.cell(row, 0));
  return tables;
}

ForeignKeyChecks checkForeignKeys(SqliteDB& db, const std::vector<std::string>& tables) {
  ForeignKeyChecks checks;
  for (const std::string& table : tables) {
    ForeignKeyCheck check;
    check.table = table;
    SqliteDataset dataset;
    const bool checked = dataset.open("SELECT parent, count(*) FROM pragma_foreign_key_check(" +
                                          quotedText(table) + ") GROUP BY parent",
                                      db) &&
                         dataset.requery();
    if (checked) {
      const TextTable counts = dataset.fetchAllText();
      for (int row = 0; row < counts.rowCount(); ++row)
        check.violations[counts.cell(row, 0)] = std::atoll(counts.cell(row, 1).c_str());
    } else {
      check.refused = Failure{db.errorText()};
    }
    checks.push_back(std::move(check));
  }
  return checks;
}

std::optional<Failure> introducedViolation(const ForeignKeyChecks& before,
                                           const ForeignKeyChecks& after) {
  for (const ForeignKeyCheck& now : after) {
    const auto then = std::find_if(before.begin(), before.end(),
                                   [&](const ForeignKeyCheck& c) { return c.table == now.table; });
    // A check the engine refused before the alteration is not the alteration's doing.
    if (then != before.end() && then->refused) continue;
    if (now.refused)
      return now.refused->reason.empty() ? Failure{programTextFromUtf8("无法检查表 ") + now.table +
                                                   programTextFromUtf8(" 的外键。")}
                                         : now.refused;
    for (const auto& [parent, count] : now.violations) {
      const long long earlier = then == before.end() || !then->violations.contains(parent)
                                    ? 0
                                    : then->violations.at(parent);
      if (count > earlier)
        return Failure{programTextFromUtf8("修改后，表 ") + now.table +
                       programTextFromUtf8(" 中有 ") + std::to_string(count - earlier) +
                       programTextFromUtf8(" 行记录违反了对表 ") + parent +
                       programTextFromUtf8(" 的外键约束。")};
    }
  }
  return std::nullopt;
}

std::optional<Failure> rebuildTable(SqliteDB& db, const RebuildPlan& plan) {
  RebuildSteps steps(db);
  if (!plan.temporaryTable.empty()) {
    steps.run(plan.createTemporary);
    steps.run(plan.copyOut);
  }
  steps.run("DROP TABLE " + plan.table);
  steps.run(plan.createTable);
  if (!plan.temporaryTable.empty()) {
    steps.run(plan.copyBack);
    steps.run("DROP TABLE " + plan.temporaryTable);
  }
  for (const std::string& companion : plan.companions) steps.run(companion);
  for (const std::string& statement : plan.keepSequence) steps.run(statement);
  for (const std::string& statement : statisticsStatements(db, plan)) steps.run(statement);
  return steps.failure();
}

}  // namespace tabulor::schema
