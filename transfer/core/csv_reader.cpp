// Reading a CSV or TSV file record by record through libcsv, decoded into UTF-8 on the way.

#include "transfer/core/csv_reader.h"

#include <csv.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "sqlitedb/text_scanning.h"

namespace tabulor::transfer {
namespace {

constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

// Blanks belong to the field: libcsv would otherwise drop them around unquoted fields.
int noBlanks(unsigned char) { return 0; }

// Line breaks inside a field's text: LF, CR LF and a lone CR each count once.
std::int64_t lineBreaksIn(std::string_view text) {
  std::int64_t breaks = 0;
  for (std::size_t at = 0; at < text.size(); ++at)
    if (text[at] == '\n' || (text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n')))
      ++breaks;
  return breaks;
}

std::string lineReason(const char* utf8) { return programTextFromUtf8(utf8); }

}  // namespace

// The state libcsv's callbacks build a record in. The fields' bytes share one buffer.
struct CsvReader::Parser {
  explicit Parser(const CsvReader::RecordHandler& handler) : onRecord(handler) {}

  void addField(const void* bytes, std::size_t size) {
    const std::size_t start = buffer.size();
    if (bytes) buffer.append(static_cast<const char*>(bytes), size);
    spans.push_back({start, size, bytes == nullptr});
  }

  void endRecord(int terminator) {
    if (spans.empty()) {
      // An empty line, or the LF of a CR LF whose CR ended the record before it.
      if (!(terminator == '\n' && lastTerminator == '\r')) ++nextLine;
      lastTerminator = terminator;
      return;
    }
    lastTerminator = terminator;
    record.line = nextLine;
    record.fields.clear();
    std::int64_t breaks = 0;
    for (const Span& span : spans) {
      const std::string_view text(buffer.data() + span.start, span.size);
      record.fields.push_back({text, span.bareEmpty});
      if (span.size > 0 && text.find_first_of("\r\n") != std::string_view::npos)
        breaks += lineBreaksIn(text);
    }
    nextLine += breaks + 1;
    if (!stopped && !onRecord(record)) stopped = true;
    spans.clear();
    buffer.clear();
  }

  struct Span {
    std::size_t start;
    std::size_t size;
    bool bareEmpty;
  };

  const CsvReader::RecordHandler& onRecord;
  std::string buffer;
  std::vector<Span> spans;
  CsvRecord record;
  std::int64_t nextLine = 1;
  int lastTerminator = 0;
  bool stopped = false;
};

CsvReader::CsvReader(const std::filesystem::path& file, const CsvFormat& format)
    : file_(file), format_(format) {}

CsvReader::~CsvReader() = default;

std::optional<CsvFault> CsvReader::read(const RecordHandler& onRecord) {
  bytesRead_ = 0;
  std::ifstream in(file_, std::ios::binary);
  std::error_code error;
  fileSize_ = static_cast<std::int64_t>(std::filesystem::file_size(file_, error));
  if (!in || error) return CsvFault{0, lineReason("无法读取文件。")};

  Parser parser(onRecord);
  csv_parser csv;
  if (csv_init(&csv, CSV_REPALL_NL | CSV_STRICT_FINI | CSV_EMPTY_IS_NULL) != 0)
    return CsvFault{0, lineReason("内存不足。")};
  csv_set_delim(&csv, static_cast<unsigned char>(format_.separator));
  csv_set_space_func(&csv, noBlanks);
  struct Free {
    csv_parser& csv;
    ~Free() { csv_free(&csv); }
  } freeAtEnd{csv};
  const auto field = [](void* bytes, std::size_t size, void* self) {
    static_cast<Parser*>(self)->addField(bytes, size);
  };
  const auto record = [](int terminator, void* self) {
    static_cast<Parser*>(self)->endRecord(terminator);
  };

  Decoder decoder(format_.encoding);
  std::string piece(kPieceBytes, '\0');
  std::string text;
  bool last = false;
  while (!last && !parser.stopped) {
    in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (in.bad()) return CsvFault{parser.nextLine, lineReason("读文件失败。")};
    bytesRead_ += static_cast<std::int64_t>(got);
    last = got < piece.size();
    text.clear();
    const bool decoded = decoder.decode(std::string_view(piece.data(), got), text, last);
    if (csv_parse(&csv, text.data(), text.size(), field, record, &parser) != text.size())
      return CsvFault{parser.nextLine, lineReason("内存不足。")};
    if (!decoded)
      return CsvFault{parser.nextLine, lineReason("这一行有不属于所选编码的字节，请换一种编码。")};
  }
  if (parser.stopped) return std::nullopt;
  // Strict only at the end, where it refuses a quote never closed; inside the file a stray
  // quote is taken as written, as spreadsheet applications take it.
  csv_set_opts(&csv, static_cast<unsigned char>(csv_get_opts(&csv) | CSV_STRICT));
  if (csv_fini(&csv, field, record, &parser) != 0)
    return CsvFault{parser.nextLine,
                    lineReason("引号没有配对：带引号的字段直到文件末尾都没有结束。")};
  return std::nullopt;
}

char detectSeparator(std::string_view utf8Start) {
  // Only whole lines count: the last one may be cut off.
  const std::size_t end = utf8Start.find_last_of('\n');
  if (end != std::string_view::npos) utf8Start = utf8Start.substr(0, end + 1);
  char best = ',';
  std::size_t bestRecords = 0;
  for (const char separator : {',', '\t', ';', '|'}) {
    csv_parser csv;
    if (csv_init(&csv, CSV_REPALL_NL) != 0) continue;
    csv_set_delim(&csv, static_cast<unsigned char>(separator));
    struct Counts {
      std::size_t fields = 0;
      std::map<std::size_t, std::size_t> recordsOfWidth;
    } counts;
    csv_parse(
        &csv, utf8Start.data(), utf8Start.size(),
        [](void*, std::size_t, void* self) { ++static_cast<Counts*>(self)->fields; },
        [](int, void* self) {
          auto& c = *static_cast<Counts*>(self);
          if (c.fields > 1) ++c.recordsOfWidth[c.fields];
          c.fields = 0;
        },
        &counts);
    csv_free(&csv);
    for (const auto& [width, records] : counts.recordsOfWidth)
      if (records > bestRecords) {
        bestRecords = records;
        best = separator;
      }
  }
  return best;
}

std::string readFileStart(const std::filesystem::path& file, std::size_t bytes) {
  std::ifstream in(file, std::ios::binary);
  std::string start(bytes, '\0');
  in.read(start.data(), static_cast<std::streamsize>(bytes));
  start.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return start;
}

}  // namespace tabulor::transfer
