// The encodings a CSV file comes in, finding a file's, and turning its bytes into UTF-8 and back.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace tabulor::transfer {

// The encodings offered for CSV files. GB18030 stands for the program's Chinese code page:
// it reads GBK and GB2312 files too, and writes any character.
enum class FileEncoding { Utf8, Utf8WithBom, Gb18030, Utf16LeWithBom, Utf16BeWithBom };

// The byte order mark a file of the encoding starts with (empty for none).
std::string_view byteOrderMark(FileEncoding encoding);

// A file's encoding from its first bytes: a byte order mark decides; otherwise text that is
// UTF-8 (or that uchardet takes for it) is UTF-8, and anything else is taken for the
// Chinese code page, which is what a spreadsheet application on a Chinese system writes.
FileEncoding detectEncoding(std::string_view firstBytes);

// Decodes a file's bytes into UTF-8 in pieces: a character split between two pieces is
// completed by the next. A byte order mark at the start is skipped.
class Decoder {
 public:
  explicit Decoder(FileEncoding encoding);
  ~Decoder();
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  // Appends the UTF-8 of the bytes to out. False at bytes that are not text in the
  // encoding; last says no more bytes follow, so an unfinished character is a fault too.
  bool decode(std::string_view bytes, std::string& out, bool last);

 private:
  struct Converter;
  FileEncoding encoding_;
  bool started_ = false;
  std::string pending_;  // the start of a character cut off at the end of a piece
  std::unique_ptr<Converter> converter_;
};

// Encodes UTF-8 for a file; the byte order mark is the writer's business.
class Encoder {
 public:
  explicit Encoder(FileEncoding encoding);
  ~Encoder();
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;

  // Appends the encoded text to out; false when the text is not valid UTF-8.
  bool encode(std::string_view utf8, std::string& out);

 private:
  struct Converter;
  std::unique_ptr<Converter> converter_;  // none for UTF-8, which is written as it is
};

// The length of the longest prefix that ends on a UTF-8 character boundary (the rest is the
// start of a character that continues further on).
std::size_t completeUtf8Prefix(std::string_view utf8);

}  // namespace tabulor::transfer
