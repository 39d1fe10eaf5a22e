// libFuzzer target: the designer's reading of a stored CREATE TABLE statement.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/code_page.h"
#include "schema/core/field_types.h"
#include "schema/core/table_definition.h"

namespace {

using tabulor::fuzz::check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view sql = tabulor::fuzz::takeCodePage(data, size);
  const std::vector<std::string> choices = tabulor::schema::designerTypeChoices();

  const std::vector<std::string> pieces = tabulor::schema::splitDefinitionBody(sql);
  std::size_t pieceBytes = 0;
  for (const std::string& piece : pieces) pieceBytes += piece.size();
  check(pieceBytes <= sql.size());
  const auto table = tabulor::schema::readTableDefinition(sql);
  if (!table) return 0;
  for (const auto& column : table->columns) {
    check(std::find(choices.begin(), choices.end(), column.typeName) != choices.end());
    // The written name, type and constraints are pieces of the statement, as written.
    check(sql.find(column.writtenName) != std::string_view::npos);
    check(sql.find(column.typeText) != std::string_view::npos);
    check(sql.find(column.constraints) != std::string_view::npos);
  }
  return 0;
}
