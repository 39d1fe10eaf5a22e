// The designer's field types: the choice list, their codes, and reading a declared SQL type.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulor::schema {

// Type codes of SqliteFieldInfo the designer uses.
inline constexpr std::int32_t kPrimaryKeyCode = -1;
inline constexpr std::int32_t kNoTypeCode = 0;
inline constexpr std::int32_t kIntegerCode = 3;
inline constexpr std::int32_t kDecimalCode = 5;
inline constexpr std::int32_t kTextCode = 10;
inline constexpr std::int32_t kBlobCode = 11;

// The choice list of the designer's type column, in program text, the empty
// choice first.
std::vector<std::string> designerTypeChoices();

// The code of a designer type name (compared byte for byte); nullopt for a text
// that is not one of the choices.
std::optional<std::int32_t> designerTypeCode(std::string_view typeName);

// The designer type name for a declared SQL type of a stored definition. A
// substring test over a few lists of type words, so VARCHAR and "ext" are text.
std::string recognizeDeclaredType(std::string_view declaredType);

// Reads text as atof does (non-numbers read as 0) and cuts any fraction toward
// zero; values beyond 32 bits are held at the limits.
std::int32_t readWholeNumber(const std::string& text);

}  // namespace tabulor::schema
