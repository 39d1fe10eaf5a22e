// The encodings a CSV file comes in, finding a file's, and turning its bytes into UTF-8 and back.

#include "transfer/core/text_encoding.h"

#include <uchardet.h>

#include "sqlitedb/codepage.h"
#include "sqlitedb/text_converter.h"

namespace tabulor::transfer {
namespace {

const char* encodingName(FileEncoding encoding) {
  switch (encoding) {
    case FileEncoding::Gb18030:
      return "GB18030";
    case FileEncoding::Utf16LeWithBom:
      return "UTF-16LE";
    case FileEncoding::Utf16BeWithBom:
      return "UTF-16BE";
    default:
      return "UTF-8";
  }
}

bool startsWith(std::string_view text, std::string_view start) {
  return !start.empty() && text.substr(0, start.size()) == start;
}

}  // namespace

std::string_view byteOrderMark(FileEncoding encoding) {
  switch (encoding) {
    case FileEncoding::Utf8WithBom:
      return "\xEF\xBB\xBF";
    case FileEncoding::Utf16LeWithBom:
      return "\xFF\xFE";
    case FileEncoding::Utf16BeWithBom:
      return "\xFE\xFF";
    default:
      return {};
  }
}

FileEncoding detectEncoding(std::string_view firstBytes) {
  for (const FileEncoding encoding :
       {FileEncoding::Utf8WithBom, FileEncoding::Utf16LeWithBom, FileEncoding::Utf16BeWithBom})
    if (startsWith(firstBytes, byteOrderMark(encoding))) return encoding;
  const std::string_view whole = firstBytes.substr(0, completeUtf8Prefix(firstBytes));
  if (isValidUtf8(whole)) return FileEncoding::Utf8;
  std::string guess;
  if (uchardet_t detector = uchardet_new()) {
    if (uchardet_handle_data(detector, firstBytes.data(), firstBytes.size()) == 0) {
      uchardet_data_end(detector);
      guess = uchardet_get_charset(detector);
    }
    uchardet_delete(detector);
  }
  return guess == "UTF-8" ? FileEncoding::Utf8 : FileEncoding::Gb18030;
}

std::size_t completeUtf8Prefix(std::string_view utf8) {
  // Look back over at most three continuation bytes for the lead byte of the last character.
  std::size_t at = utf8.size();
  for (int back = 0; back < 4 && at > 0; ++back) {
    const auto byte = static_cast<unsigned char>(utf8[--at]);
    if ((byte & 0xC0) == 0x80) continue;
    const std::size_t length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
    return at + length <= utf8.size() ? utf8.size() : at;
  }
  return utf8.size();
}

struct Decoder::Converter {
  explicit Converter(FileEncoding encoding)
      : text(encodingName(encoding), TextConverter::Direction::ToUtf8) {}
  TextConverter text;
};

Decoder::Decoder(FileEncoding encoding) : encoding_(encoding) {
  if (encodingName(encoding) != std::string_view("UTF-8"))
    converter_ = std::make_unique<Converter>(encoding);
}

Decoder::~Decoder() = default;

bool Decoder::decode(std::string_view bytes, std::string& out, bool last) {
  std::string joined;
  if (!pending_.empty()) {
    joined = pending_ + std::string(bytes);
    bytes = joined;
    pending_.clear();
  }
  if (!started_) {
    // A UTF-8 mark is skipped whichever UTF-8 the user chose: it is never part of the text.
    const std::string_view mark = converter_ ? byteOrderMark(encoding_) : "\xEF\xBB\xBF";
    if (bytes.size() < mark.size() && !last && mark.substr(0, bytes.size()) == bytes) {
      pending_ = std::string(bytes);
      return true;
    }
    started_ = true;
    if (startsWith(bytes, mark)) bytes.remove_prefix(mark.size());
  }
  if (converter_) {
    if (!converter_->text.convert(bytes, out)) return false;
    pending_ = std::string(bytes);
    return !(last && !pending_.empty());
  }
  const std::size_t whole = last ? bytes.size() : completeUtf8Prefix(bytes);
  if (!isValidUtf8(bytes.substr(0, whole))) {
    // The text before the fault still counts, so the reader can say on which line it is.
    std::size_t good = 0;
    for (std::size_t bad = whole; bad - good > 1;) {
      const std::size_t middle = good + (bad - good) / 2;
      (isValidUtf8(bytes.substr(0, middle)) ? good : bad) = middle;
    }
    out.append(bytes.substr(0, good));
    return false;
  }
  out.append(bytes.substr(0, whole));
  pending_ = std::string(bytes.substr(whole));
  return true;
}

struct Encoder::Converter {
  explicit Converter(FileEncoding encoding)
      : text(encodingName(encoding), TextConverter::Direction::FromUtf8) {}
  TextConverter text;
};

Encoder::Encoder(FileEncoding encoding) {
  if (encodingName(encoding) != std::string_view("UTF-8"))
    converter_ = std::make_unique<Converter>(encoding);
}

Encoder::~Encoder() = default;

bool Encoder::encode(std::string_view utf8, std::string& out) {
  if (!converter_) {
    out.append(utf8);
    return true;
  }
  return converter_->text.convert(utf8, out) && utf8.empty();
}

}  // namespace tabulor::transfer
