// Reading a CSV or TSV file record by record through libcsv, decoded into UTF-8 on the way.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "transfer/core/text_encoding.h"

namespace tabulor::transfer {

// How a file is laid out: its encoding, the character between fields, and whether its first
// record names the columns.
struct CsvFormat {
  FileEncoding encoding = FileEncoding::Utf8;
  char separator = ',';
  bool headerRow = true;
};

// One field of a record, UTF-8. An empty field without quotes (nothing between two
// separators) is told apart from a quoted empty text "", so it may be taken for NULL.
struct CsvField {
  std::string_view text;
  bool bareEmpty = false;
};

// One record and the line of the file it starts on (from 1); the fields live until the next.
struct CsvRecord {
  std::int64_t line = 0;
  std::vector<CsvField> fields;
};

// Why reading stopped: the line and the reason, in program text.
struct CsvFault {
  std::int64_t line = 0;
  std::string reason;
};

// Reads a file in pieces of a fixed size, so memory stays the same whatever its length.
// Records follow RFC 4180 as files are really written: quoted fields may hold separators,
// doubled quotes and line breaks (CR LF or LF); the last line may lack its line break; blanks
// belong to the field; empty lines are skipped.
class CsvReader {
 public:
  // onRecord returns false to stop reading early.
  using RecordHandler = std::function<bool(const CsvRecord&)>;

  CsvReader(const std::filesystem::path& file, const CsvFormat& format);
  ~CsvReader();
  CsvReader(const CsvReader&) = delete;
  CsvReader& operator=(const CsvReader&) = delete;

  // Hands every record to onRecord, from the start of the file; none when the whole file
  // was read (or onRecord stopped), else where and why it could not be.
  std::optional<CsvFault> read(const RecordHandler& onRecord);
  // Bytes of the file read so far, and its size.
  std::int64_t bytesRead() const { return bytesRead_; }
  std::int64_t fileSize() const { return fileSize_; }

 private:
  struct Parser;

  std::filesystem::path file_;
  CsvFormat format_;
  std::int64_t bytesRead_ = 0;
  std::int64_t fileSize_ = 0;
};

// The separator that splits the first lines of a decoded text into the same number of fields
// (more than one) most often: comma, tab, semicolon or '|'; a comma when none does.
char detectSeparator(std::string_view utf8Start);

// The first bytes of a file, for detecting its encoding and separator; empty when it cannot
// be read.
std::string readFileStart(const std::filesystem::path& file, std::size_t bytes = 64 * 1024);

}  // namespace tabulor::transfer
