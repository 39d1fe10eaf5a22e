// Writing the rows of a table, a view or a query to a CSV file.

#include "transfer/core/csv_export.h"

#include <csv.h>

#include <charconv>
#include <cmath>
#include <cstdio>

#include "sqlitedb/bulk_rows.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/text_scanning.h"
#include "transfer/core/replacing_file.h"

namespace tabulor::transfer {
namespace {

constexpr std::size_t kFlushBytes = std::size_t{1} << 20;
constexpr std::int64_t kRowsPerCheck = 1024;

std::string text(const char* utf8) { return programTextFromUtf8(utf8); }

void appendHex(std::string& out, std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const std::size_t start = out.size();
  out.resize(start + bytes.size() * 2);
  char* to = out.data() + start;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    *to++ = kDigits[byte >> 4];
    *to++ = kDigits[byte & 15];
  }
}

void appendInteger(std::string& out, std::int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

}  // namespace

std::string wholeTableQuery(const std::string& table) {
  return "SELECT * FROM " + quotedName(table);
}

std::optional<std::int64_t> countRows(SqliteDB& db, const std::string& table) {
  RowReader reader;
  if (!reader.open(db, "SELECT count(*) FROM " + quotedName(table))) return std::nullopt;
  // Counting a big table is one long engine instruction: it runs beside the window.
  RowReader::Step step = RowReader::Step::Failed;
  db.runLongStep([&] { step = reader.next(); });
  if (step != RowReader::Step::Row) return std::nullopt;
  return reader.integer(0);
}

std::string realText(double value) {
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  std::string written(digits, end);
  if (written.find_first_of(".en") == std::string::npos) written += ".0";
  return written;
}

void appendCsvText(std::string& out, std::string_view utf8, char separator) {
  const bool needsQuotes = utf8.empty() || utf8.find_first_of("\"\r\n") != std::string_view::npos ||
                           utf8.find(separator) != std::string_view::npos;
  if (!needsQuotes) {
    out.append(utf8);
    return;
  }
  const std::size_t start = out.size();
  out.resize(start + utf8.size() * 2 + 2);
  const std::size_t written =
      csv_write(out.data() + start, out.size() - start, utf8.data(), utf8.size());
  out.resize(start + written);
}

TransferResult exportCsv(SqliteDB& db, const CsvExportRequest& request, std::int64_t expectedRows,
                         const TransferProgress& progress) {
  TransferResult result;
  // A long step of the query (sorting before its first row) keeps the window answering;
  // 取消 stops it, which loses nothing: the query only reads.
  const ProgressHandlerScope answering(db, [&] { return progress(result.rows, expectedRows); });
  RowReader reader;
  if (!reader.open(db, request.sql)) {
    const std::string reason = db.errorText();
    return TransferResult::failed(
        0, reason.empty() ? text("只能导出查询的结果：这条语句会修改数据库。") : reason);
  }
  ReplacingFile file(request.file);
  if (!file.isOpen()) return TransferResult::failed(0, text("不能在这个文件夹里写文件。"));

  Encoder encoder(request.encoding);
  std::string rows(byteOrderMark(request.encoding));
  std::string encoded;
  const auto flush = [&] {
    encoded.clear();
    if (!encoder.encode(rows, encoded)) return false;
    rows.clear();
    return file.write(encoded);
  };
  const int columns = reader.columnCount();
  const char separator = request.separator;
  if (request.headerRow) {
    for (int column = 0; column < columns; ++column) {
      if (column) rows += separator;
      appendCsvText(rows, reader.columnName(column), separator);
    }
    rows += "\r\n";
  }
  for (;;) {
    const RowReader::Step step = reader.next();
    if (step == RowReader::Step::End) break;
    if (step == RowReader::Step::Failed) {
      if (!progress(result.rows, expectedRows)) return {TransferResult::Status::Cancelled, 0, {}};
      return TransferResult::failed(0, db.errorText());
    }
    for (int column = 0; column < columns; ++column) {
      if (column) rows += separator;
      switch (reader.kind(column)) {
        case StoredKind::Null:
          break;
        case StoredKind::Integer:
          appendInteger(rows, reader.integer(column));
          break;
        case StoredKind::Real:
          rows += realText(reader.real(column));
          break;
        case StoredKind::Text:
          appendCsvText(rows, reader.bytes(column), separator);
          break;
        case StoredKind::Blob:
          // An empty blob is written as empty text is, so it does not read back as NULL.
          if (const std::string_view bytes = reader.bytes(column); bytes.empty())
            rows += "\"\"";
          else
            appendHex(rows, bytes);
          break;
      }
    }
    rows += "\r\n";
    ++result.rows;
    if (rows.size() >= kFlushBytes && !flush())
      return TransferResult::failed(0, text("写文件失败，或有文本不能用所选编码表示。"));
    if (result.rows % kRowsPerCheck == 0 && !progress(result.rows, expectedRows))
      return {TransferResult::Status::Cancelled, 0, {}};
  }
  if (!flush()) return TransferResult::failed(0, text("写文件失败，或有文本不能用所选编码表示。"));
  // The last moment 取消 can still leave no file behind.
  if (!progress(result.rows, expectedRows)) return {TransferResult::Status::Cancelled, 0, {}};
  if (!file.install()) return TransferResult::failed(0, text("写文件失败。"));
  return result;
}

}  // namespace tabulor::transfer
