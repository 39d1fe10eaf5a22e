// Virtual tables and the shadow tables their modules keep, which table commands leave alone.

#include "schema/core/virtual_tables.h"

#include <algorithm>
#include <array>

#include "schema/core/sql_tokens.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor::schema {
namespace {

// The tables each module of this engine keeps beside its virtual table, by suffix.
struct ShadowSuffixes {
  std::string_view module;
  std::array<std::string_view, 5> suffixes;
};
constexpr ShadowSuffixes kShadowSuffixes[] = {
    {"fts3", {"content", "docsize", "segdir", "segments", "stat"}},
    {"fts4", {"content", "docsize", "segdir", "segments", "stat"}},
    {"fts5", {"config", "content", "data", "docsize", "idx"}},
    {"rtree", {"node", "parent", "rowid"}},
    {"rtree_i32", {"node", "parent", "rowid"}},
    {"geopoly", {"node", "parent", "rowid"}},
};

bool reservesSuffix(std::string_view module, std::string_view suffix) {
  return std::any_of(
      std::begin(kShadowSuffixes), std::end(kShadowSuffixes), [&](const ShadowSuffixes& entry) {
        return equalsIgnoringAsciiCase(entry.module, module) &&
               std::any_of(entry.suffixes.begin(), entry.suffixes.end(),
                           [&](std::string_view reserved) {
                             return !reserved.empty() && equalsIgnoringAsciiCase(reserved, suffix);
                           });
      });
}

std::string quotedText(const std::string& text) { return "'" + doubledQuotes(text) + "'"; }

// The first column of a catalogue query; empty when the engine refuses it.
std::vector<std::string> firstColumn(SqliteDB& db, const std::string& sql) {
  SqliteDataset dataset;
  std::vector<std::string> values;
  if (!dataset.open(sql, db) || !dataset.requery()) return values;
  const TextTable rows = dataset.fetchAllText();
  for (int row = 0; row < rows.rowCount(); ++row) values.push_back(rows.cell(row, 0));
  return values;
}

}  // namespace

std::optional<std::string> virtualTableModule(std::string_view sql) {
  const std::vector<SqlToken> tokens = tokenizeSql(sql);
  const auto word = [&](std::size_t i, std::string_view text) {
    return i < tokens.size() && isWord(sql, tokens[i], text);
  };
  if (!word(0, "CREATE") || !word(1, "VIRTUAL") || !word(2, "TABLE")) return std::nullopt;
  for (std::size_t i = 3; i + 1 < tokens.size(); ++i)
    if (word(i, "USING")) return tokenName(sql, tokens[i + 1]);
  return std::nullopt;
}

std::optional<VirtualTable> virtualTableNamed(SqliteDB& db, const std::string& table) {
  const auto definitions = firstColumn(
      db, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = " + quotedText(table) +
              " COLLATE NOCASE");
  if (definitions.empty()) return std::nullopt;
  const auto module = virtualTableModule(definitions.front());
  if (!module) return std::nullopt;
  return VirtualTable{table, *module};
}

std::optional<std::string> shadowTableOwner(SqliteDB& db, const std::string& table) {
  // The engine splits at the last "_": the virtual table's own name may hold more.
  const std::size_t split = table.rfind('_');
  if (split == std::string::npos || split == 0) return std::nullopt;
  const std::string owner = table.substr(0, split);
  if (const auto virtualTable = virtualTableNamed(db, owner);
      virtualTable && reservesSuffix(virtualTable->module, table.substr(split + 1)))
    return owner;
  // A module this list does not know: newer engines say which tables are its own.
  if (firstColumn(db, "SELECT type FROM pragma_table_list(" + quotedText(table) +
                          ") WHERE schema = 'main' AND type = 'shadow'")
          .empty())
    return std::nullopt;
  return owner;
}

std::optional<Failure> shadowTableRefusal(SqliteDB& db, const std::string& table,
                                          std::string_view verb) {
  const auto owner = shadowTableOwner(db, table);
  if (!owner) return std::nullopt;
  return Failure{programTextFromUtf8("表 ") + table + programTextFromUtf8(" 是虚拟表 ") + *owner +
                 programTextFromUtf8(" 的内部存储表，由该虚拟表自己维护，不能") +
                 programTextFromUtf8(verb) + programTextFromUtf8("。")};
}

std::optional<Failure> designerRefusal(SqliteDB& db, const std::string& table) {
  if (auto refusal = shadowTableRefusal(db, table, "用设计器修改")) return refusal;
  const auto virtualTable = virtualTableNamed(db, table);
  if (!virtualTable) return std::nullopt;
  return Failure{programTextFromUtf8("表 ") + table + programTextFromUtf8(" 是虚拟表（模块 ") +
                 virtualTable->module + programTextFromUtf8("），不能用设计器修改。")};
}

}  // namespace tabulor::schema
