// Writing the rows of a table, a view or a query to a CSV file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "transfer/core/text_encoding.h"
#include "transfer/core/transfer_result.h"

namespace tabulor {
class SqliteDB;
}

namespace tabulor::transfer {

struct CsvExportRequest {
  std::string sql;  // program text: one query that only reads
  std::filesystem::path file;
  FileEncoding encoding = FileEncoding::Utf8WithBom;
  char separator = ',';
  bool headerRow = true;
};

// The query that reads every row of a table or view (program text).
std::string wholeTableQuery(const std::string& table);
// How many rows a table or view has; nullopt when the engine cannot say.
std::optional<std::int64_t> countRows(SqliteDB& db, const std::string& table);

// A real as text that reads back as the same double: its shortest such digits, with ".0"
// when they look like a whole number, so the value stays a real.
std::string realText(double value);

// Appends one field: quoted (inner quotes doubled) when it holds the separator, a quote or
// a line break, and when it is empty, so empty text and NULL (no text at all) stay apart.
void appendCsvText(std::string& out, std::string_view utf8, char separator);

// Writes every row of the query, and its column names first when asked: NULL as an empty
// field, numbers as the engine holds them, text quoted as needed, a blob as hexadecimal
// digits; lines end in CR LF. The file is written under a temporary name beside the target
// and renamed at the end, so a fault or 取消 leaves no partial file and an existing file
// as it was. Progress counts rows against expectedRows (0: not known); the connection's
// progress handler asks it too, and a no from it stops the query.
TransferResult exportCsv(SqliteDB& db, const CsvExportRequest& request, std::int64_t expectedRows,
                         const TransferProgress& progress);

}  // namespace tabulor::transfer
