// A workbook of the in-memory model written as an .xlsx file; system errors in our words.
#pragma once

#include <string>

#include "editing/export/spreadsheet_model.h"

namespace tabulor {

// Writes the workbook as an .xlsx file: every cell as a text, with its number format,
// borders, font size, boldness, alignment and fill; row heights and column widths as
// set; the selection of each sheet. Empty when written, otherwise why the file could not be.
std::string writeXlsx(const Workbook& book, const std::string& path);

// A system error number (errno) in the program's words: the system's own text is English.
std::string systemErrorText(int error);

}  // namespace tabulor
