// Importing a CSV file into a new or an existing table, and previewing what it will store.

#include "transfer/core/csv_import.h"

#include <algorithm>

#include "schema/core/damaged_file.h"
#include "schema/core/own_transaction.h"
#include "sqlitedb/bulk_rows.h"
#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/text_scanning.h"
#include "transfer/core/column_types.h"

namespace tabulor::transfer {
namespace {

// Records between two calls of the progress.
constexpr std::int64_t kRecordsPerCheck = 1024;

std::string text(const char* utf8) { return programTextFromUtf8(utf8); }

std::string number(std::int64_t value) { return std::to_string(value); }

// The names the file gives its columns (UTF-8): the header's, an empty one named by its
// place, or 字段1, 字段2 ... for a file without a header.
std::vector<std::string> columnNames(const CsvRecord& first, bool headerRow) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < first.fields.size(); ++i) {
    const std::string_view name = headerRow ? first.fields[i].text : std::string_view();
    names.push_back(name.empty() ? "字段" + std::to_string(i + 1) : std::string(name));
  }
  return names;
}

std::string tooLongReason(std::size_t fields, std::size_t columns) {
  return text("这一行有 ") + number(static_cast<std::int64_t>(fields)) + text(" 个字段，比列数（") +
         number(static_cast<std::int64_t>(columns)) + text("）多。");
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
  return equalsIgnoringAsciiCase(a, b);
}

// The value a field is stored as: nullopt for NULL.
std::optional<std::string_view> storedValue(const CsvField& field, bool emptyAsNull) {
  if (field.bareEmpty && emptyAsNull) return std::nullopt;
  return field.text;
}

// The columns of an existing table, UTF-8, in order; empty when it has none or is unknown.
std::vector<std::string> tableColumns(SqliteDB& db, const std::string& table) {
  std::string literal = "'";
  for (const char c : table) literal += c == '\'' ? std::string("''") : std::string(1, c);
  RowReader reader;
  std::vector<std::string> columns;
  if (!reader.open(db, "SELECT name FROM pragma_table_info(" + literal + "')")) return columns;
  while (reader.next() == RowReader::Step::Row) columns.emplace_back(reader.bytes(0));
  return columns;
}

// The table columns the file's columns go into, in the file's order, program text.
struct Target {
  std::vector<std::string> columns;
  std::optional<CsvFault> fault;
};

Target existingTarget(SqliteDB& db, const CsvImportRequest& request,
                      const std::vector<std::string>& fileColumns) {
  const std::vector<std::string> tableColumnNames = tableColumns(db, request.table);
  if (tableColumnNames.empty())
    return {{}, CsvFault{0, text("找不到表 ") + request.table + text(" 或它的列。")}};
  std::vector<std::string> chosen;
  if (request.matchByName && request.format.headerRow) {
    for (const std::string& name : fileColumns) {
      const auto found = std::find_if(
          tableColumnNames.begin(), tableColumnNames.end(),
          [&](const std::string& column) { return sameNameIgnoringCase(column, name); });
      if (found == tableColumnNames.end())
        return {{},
                CsvFault{1, text("列名“") + programTextFromUtf8(name) + text("”在表 ") +
                                request.table + text(" 中没有。")}};
      chosen.push_back(*found);
    }
  } else {
    if (fileColumns.size() > tableColumnNames.size())
      return {{}, CsvFault{1, tooLongReason(fileColumns.size(), tableColumnNames.size())}};
    chosen.assign(tableColumnNames.begin(),
                  tableColumnNames.begin() + static_cast<std::ptrdiff_t>(fileColumns.size()));
  }
  for (std::string& column : chosen) column = programTextFromUtf8(column);
  return {chosen, std::nullopt};
}

// The first pass for a new table: the type of every column, and any record too long.
struct Survey {
  std::vector<std::string> columns;  // UTF-8
  std::vector<ColumnType> types;
  std::optional<CsvFault> fault;
  bool stopped = false;
};

Survey surveyFile(const CsvImportRequest& request, const TransferProgress& progress,
                  std::int64_t total) {
  Survey survey;
  std::vector<ColumnTypeGuess> guesses;
  CsvReader reader(request.file, request.format);
  std::int64_t records = 0;
  const auto fault = reader.read([&](const CsvRecord& record) {
    if (records++ == 0) {
      survey.columns = columnNames(record, request.format.headerRow);
      guesses.resize(survey.columns.size());
      if (request.format.headerRow) return true;
    }
    if (record.fields.size() > guesses.size()) {
      survey.fault = CsvFault{record.line, tooLongReason(record.fields.size(), guesses.size())};
      return false;
    }
    for (std::size_t i = 0; i < record.fields.size(); ++i) guesses[i].see(record.fields[i].text);
    if (records % kRecordsPerCheck == 0 && !progress(reader.bytesRead(), total)) {
      survey.stopped = true;
      return false;
    }
    return true;
  });
  if (fault) survey.fault = fault;
  for (const ColumnTypeGuess& guess : guesses) survey.types.push_back(guess.type());
  return survey;
}

std::string createTableSql(const std::string& table, const std::vector<std::string>& columns,
                           const std::vector<ColumnType>& types) {
  std::string sql = "CREATE TABLE " + quotedName(table) + " (";
  for (std::size_t i = 0; i < columns.size(); ++i)
    sql += (i ? ", " : "") + quotedName(columns[i]) + " " + designerSqlType(types[i]);
  return sql + ")";
}

// Converts UTF-8 names to program text; nullopt when one cannot be.
std::optional<std::vector<std::string>> programNames(const std::vector<std::string>& utf8) {
  std::vector<std::string> names;
  for (const std::string& name : utf8) {
    auto converted = fromUtf8(name);
    if (!converted) return std::nullopt;
    names.push_back(std::move(*converted));
  }
  return names;
}

}  // namespace

std::string tableNameForFile(const std::filesystem::path& file) {
  return fromUtf8(utf8FromPath(file.stem())).value_or(std::string());
}

CsvPreview previewCsv(const CsvImportRequest& request, int maxRows) {
  CsvPreview preview;
  CsvReader reader(request.file, request.format);
  bool first = true;
  const auto fault = reader.read([&](const CsvRecord& record) {
    if (first) {
      first = false;
      preview.columns = columnNames(record, request.format.headerRow);
      if (request.format.headerRow) return true;
    }
    const std::size_t width = preview.columns.size();
    if (record.fields.size() != width)
      preview.notes.push_back(
          text("第 ") + number(record.line) + text(" 行有 ") +
          number(static_cast<std::int64_t>(record.fields.size())) + text(" 个字段，") +
          (record.fields.size() < width ? text("比标题行少：缺少的字段存为 NULL。")
                                        : text("比标题行多：导入时会拒绝这一行。")));
    std::vector<std::optional<std::string>> row(width);
    for (std::size_t i = 0; i < std::min(width, record.fields.size()); ++i)
      if (const auto value = storedValue(record.fields[i], request.emptyAsNull))
        row[i] = std::string(*value);
    preview.rows.push_back(std::move(row));
    return static_cast<int>(preview.rows.size()) < maxRows;
  });
  preview.fault = fault;
  return preview;
}

TransferResult importCsv(SqliteDB& db, const CsvImportRequest& request,
                         const TransferProgress& progress) {
  std::error_code sizeError;
  const auto fileSize =
      static_cast<std::int64_t>(std::filesystem::file_size(request.file, sizeError));
  if (sizeError) return TransferResult::failed(0, text("无法读取文件。"));
  const int passes = request.newTable ? 2 : 1;
  const std::int64_t total = fileSize * passes;
  std::int64_t doneBefore = 0;  // bytes of the passes before this one
  std::int64_t done = 0;
  const auto keepGoing = [&](std::int64_t bytes, std::int64_t) {
    done = doneBefore + bytes;
    return progress(done, total);
  };
  if (request.table.empty()) return TransferResult::failed(0, text("表名称不能为空。"));
  if (request.newTable && db.tableExists(request.table))
    return TransferResult::failed(
        0, text("表 ") + request.table + text(" 已经存在，请换一个名称，或导入到已有的表。"));
  // Rows written into a damaged file may land on pages that still hold another table's. The
  // check runs under the connection's own watch: its long steps run beside the window, where
  // the progress below may not be called.
  if (const auto refusal = schema::damagedFileRefusal(db, text("导入CSV文件")))
    return TransferResult::failed(0, refusal->notice->text);
  // Engine work that lasts (an index to fill, the commit) keeps the window answering, but
  // is never interrupted: our own rollback undoes the import, and only the import.
  const ProgressHandlerScope answering(db, [&] {
    progress(done, total);
    return true;
  });

  Survey survey;
  if (request.newTable) {
    survey = surveyFile(request, keepGoing, total);
    if (survey.stopped) return {TransferResult::Status::Cancelled, 0, {}};
    if (survey.fault) return {TransferResult::Status::Failed, 0, *survey.fault};
    if (survey.columns.empty()) return TransferResult::failed(0, text("文件中没有数据。"));
    doneBefore = fileSize;
  }

  schema::OwnTransaction work(db, "csv_import");
  if (!work.begin()) return TransferResult::failed(0, db.errorText());
  std::vector<std::string> columns;  // program text
  BulkInsert insert;
  std::optional<CsvFault> targetFault;
  const auto prepareTarget = [&](const std::vector<std::string>& fileColumns) {
    if (request.newTable) {
      const auto names = programNames(fileColumns);
      if (!names) {
        targetFault = CsvFault{1, text("列名中有程序的代码页不能表示的字符。")};
        return false;
      }
      columns = *names;
      if (!db.execute(createTableSql(request.table, columns, survey.types))) {
        targetFault = CsvFault{0, db.errorText()};
        return false;
      }
    } else {
      Target target = existingTarget(db, request, fileColumns);
      if (target.fault) {
        targetFault = target.fault;
        return false;
      }
      columns = std::move(target.columns);
    }
    if (insert.prepare(db, request.table, columns)) return true;
    targetFault = CsvFault{0, db.errorText()};
    return false;
  };

  TransferResult result;
  CsvReader reader(request.file, request.format);
  bool first = true;
  static constexpr char kEmpty[] = "";
  const auto fault = reader.read([&](const CsvRecord& record) {
    if (first) {
      first = false;
      if (!prepareTarget(columnNames(record, request.format.headerRow))) return false;
      if (request.format.headerRow) return true;
    }
    const std::size_t width = columns.size();
    if (record.fields.size() > width) {
      targetFault = CsvFault{record.line, tooLongReason(record.fields.size(), width)};
      return false;
    }
    for (std::size_t i = 0; i < width; ++i) {
      const auto value = i < record.fields.size()
                             ? storedValue(record.fields[i], request.emptyAsNull)
                             : std::nullopt;
      const int column = static_cast<int>(i);
      if (!value)
        insert.bindNull(column);
      else
        insert.bindText(column, value->empty() ? std::string_view(kEmpty, 0) : *value);
    }
    if (!insert.insertRow()) {
      targetFault = CsvFault{record.line, db.errorText()};
      return false;
    }
    ++result.rows;
    if (result.rows % kRecordsPerCheck == 0 && !keepGoing(reader.bytesRead(), total)) {
      result.status = TransferResult::Status::Cancelled;
      return false;
    }
    return true;
  });
  if (fault) targetFault = fault;
  if (targetFault) return {TransferResult::Status::Failed, 0, *targetFault};
  if (result.status == TransferResult::Status::Cancelled) return {result.status, 0, {}};
  if (first && !request.newTable) return TransferResult::failed(0, text("文件中没有数据。"));
  // The last moment 取消 can still leave nothing behind.
  if (!keepGoing(fileSize, total)) return {TransferResult::Status::Cancelled, 0, {}};
  if (!work.commit()) return TransferResult::failed(0, db.errorText());
  return result;
}

}  // namespace tabulor::transfer
