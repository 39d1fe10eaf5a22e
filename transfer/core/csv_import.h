// Importing a CSV file into a new or an existing table, and previewing what it will store.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "transfer/core/csv_reader.h"
#include "transfer/core/transfer_result.h"

namespace tabulor {
class SqliteDB;
}

namespace tabulor::transfer {

struct CsvImportRequest {
  std::filesystem::path file;
  CsvFormat format;
  std::string table;         // program text
  bool newTable = true;      // else into the existing table of that name
  bool matchByName = true;   // an existing table's columns by the header's names, else in order
  bool emptyAsNull = false;  // an empty field without quotes is NULL, else empty text
};

// The file's first rows as they will be stored, UTF-8; a missing value is NULL.
struct CsvPreview {
  std::vector<std::string> columns;
  std::vector<std::vector<std::optional<std::string>>> rows;
  // Rows shorter or longer than the header (program text), one line each.
  std::vector<std::string> notes;
  std::optional<CsvFault> fault;
};

CsvPreview previewCsv(const CsvImportRequest& request, int maxRows);

// The name a new table gets from its file: the file's name without its extension (program
// text; empty when the code page cannot hold it).
std::string tableNameForFile(const std::filesystem::path& file);

// Imports the whole file in one unit of work: a new table is created with the designer's
// types read from the data (a first pass over the file), then every record goes in through
// one compiled INSERT. Any fault or 取消 undoes it all; inside the user's transaction a
// savepoint undoes only the import. Progress counts the bytes of the file read (twice for a
// new table); the connection's progress handler calls it too, never interrupting.
TransferResult importCsv(SqliteDB& db, const CsvImportRequest& request,
                         const TransferProgress& progress);

}  // namespace tabulor::transfer
