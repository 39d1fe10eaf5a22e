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
#include "sqlitedb/program_text.h"

namespace {

using tabulor::fuzz::check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view sql = tabulor::fuzz::takeCodePage(data, size);
  const std::vector<std::string> choices = tabulor::schema::designerTypeChoices();

  const std::string body = tabulor::schema::definitionBody(sql);
  check(body.size() + 2 <= sql.size() || body.empty());
  const std::vector<std::string> pieces = tabulor::schema::splitDefinitionBody(body);
  const std::vector<tabulor::schema::ParsedColumn> columns =
      tabulor::schema::parseTableDefinition(sql);
  check(columns.size() == pieces.size());
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const auto& column = columns[i];
    check(column == tabulor::schema::parseColumnPiece(pieces[i]));
    // The name is a trimmed run of the piece without spaces; the type one of the choices.
    check(column.name.find(' ') == std::string::npos);
    check(tabulor::trimBlanks(column.name) == column.name);
    check(pieces[i].find(column.name) != std::string::npos);
    check(std::find(choices.begin(), choices.end(), column.typeName) != choices.end());
  }
  return 0;
}
