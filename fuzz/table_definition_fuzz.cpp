// libFuzzer target: the designer's reading of a stored CREATE TABLE statement.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/code_page.h"
#include "schema/field_types.h"
#include "schema/table_definition.h"

namespace {

using tabulor::fuzz::check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view sql = tabulor::fuzz::takeCodePage(data, size);
  const std::vector<std::string> choices = tabulor::schema::designerTypeChoices();

  const std::string body = tabulor::schema::definitionBody(sql);
  check(body.size() + 2 <= sql.size() || body.empty());
  const std::vector<std::string> pieces = tabulor::schema::splitDefinitionBody(body);
  std::size_t pieceBytes = 0;
  for (const std::string& piece : pieces) pieceBytes += piece.size();
  check(pieceBytes <= body.size());
  const auto table = tabulor::schema::readTableDefinition(sql);
  const std::vector<tabulor::schema::ParsedColumn> rows =
      tabulor::schema::parseTableDefinition(sql);
  check(rows.size() == (table ? table->columns.size() : 0));
  if (!table) return 0;
  // Each column comes from a piece of its own.
  check(table->columns.size() <= pieces.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto& column = table->columns[i];
    check(rows[i] == column.row());
    check(std::find(choices.begin(), choices.end(), column.typeName) != choices.end());
    // The written name, type and constraints are pieces of the body, as written.
    check(body.find(column.writtenName) != std::string::npos);
    check(body.find(column.typeText) != std::string::npos);
    check(body.find(column.constraints) != std::string::npos);
  }
  return 0;
}
