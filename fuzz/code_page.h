// The fuzz targets' choice of program code page: the first input byte picks UTF-8 (even)
// or GBK (odd), so one corpus exercises both. Switching is costly (iconv descriptors are
// reopened), so it happens only when the choice changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sqlitedb/codepage.h"

namespace tabulor::fuzz {

inline void check(bool condition) {
  if (!condition) std::abort();
}

// Sets the code page the first byte names and returns the rest of the input.
inline std::string_view takeCodePage(const std::uint8_t* data, std::size_t size) {
  static std::string current;
  const std::string wanted = size > 0 && (data[0] & 1) ? "GBK" : "UTF-8";
  if (wanted != current) {
    check(setProgramCodePage(wanted));
    current = wanted;
  }
  if (size == 0) return {};
  return {reinterpret_cast<const char*>(data) + 1, size - 1};
}

}  // namespace tabulor::fuzz
