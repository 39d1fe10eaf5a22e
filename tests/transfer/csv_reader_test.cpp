#include "transfer/core/csv_reader.h"

#include <gtest/gtest.h>

#include "transfer_fixture.h"

namespace tabulor::testing {
namespace {

using namespace tabulor::transfer;

// A record as "line: field|field", a bare empty field shown as <>.
std::vector<std::string> readAll(const std::string& path, const CsvFormat& format,
                                 std::optional<CsvFault>* fault = nullptr) {
  std::vector<std::string> lines;
  CsvReader reader(path, format);
  const auto stopped = reader.read([&](const CsvRecord& record) {
    std::string line = std::to_string(record.line) + ":";
    for (std::size_t i = 0; i < record.fields.size(); ++i)
      line += (i ? "|" : " ") +
              (record.fields[i].bareEmpty ? std::string("<>") : std::string(record.fields[i].text));
    lines.push_back(line);
    return true;
  });
  if (fault) *fault = stopped;
  return lines;
}

struct ReadCase {
  const char* name;
  std::string bytes;
  char separator;
  std::vector<std::string> records;
};

class CsvReading : public TransferTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(CsvReading, ReadsRecordsAsWritten) {
  const ReadCase& c = GetParam();
  std::optional<CsvFault> fault;
  const auto records =
      readAll(writeFile("in.csv", c.bytes), {FileEncoding::Utf8, c.separator, true}, &fault);
  EXPECT_FALSE(fault) << fault->reason;
  EXPECT_EQ(records, c.records);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvReading,
    ::testing::Values(
        ReadCase{"LineFeeds", "a,b\n1,2\n", ',', {"1: a|b", "2: 1|2"}},
        ReadCase{"CrLfAndNoLastBreak", "a,b\r\n1,2", ',', {"1: a|b", "2: 1|2"}},
        ReadCase{"QuotedSeparatorAndDoubledQuotes",
                 "\"x,y\",\"say \"\"hi\"\"\"\n",
                 ',',
                 {"1: x,y|say \"hi\""}},
        ReadCase{"QuotedLineBreaksCountAsLines",
                 "\"l1\r\nl2\nl3\",b\r\nc,d\r\n",
                 ',',
                 {"1: l1\r\nl2\nl3|b", "4: c|d"}},
        ReadCase{"BareEmptyIsToldFromQuotedEmpty", "a,,\"\",\n", ',', {"1: a|<>||<>"}},
        ReadCase{"BlanksAndLeadingZerosKept", " a , 007 \n", ',', {"1:  a | 007 "}},
        ReadCase{"EmptyLinesSkippedButCounted", "a\n\nb\r\n\r\nc", ',', {"1: a", "3: b", "5: c"}},
        ReadCase{"TabSeparated", "a\tb,c\n\"d\te\"\tf\n", '\t', {"1: a|b,c", "2: d\te|f"}},
        ReadCase{"SemicolonSeparated", "a;b\n1,5;2\n", ';', {"1: a|b", "2: 1,5|2"}},
        ReadCase{"ByteOrderMarkIsNoText", "\xEF\xBB\xBFid,name\n", ',', {"1: id|name"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransferTest, AnUnclosedQuoteNamesTheLineItStartsOn) {
  std::optional<CsvFault> fault;
  const auto records =
      readAll(writeFile("in.csv", "a,b\n1,\"open\n2,3\n"), {FileEncoding::Utf8, ',', true}, &fault);
  EXPECT_EQ(records, std::vector<std::string>{"1: a|b"});
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->line, 2);
}

TEST_F(TransferTest, BytesOutsideTheEncodingNameTheirLine) {
  std::optional<CsvFault> fault;
  readAll(writeFile("in.csv", "a\nb\n\xD5\xC5\n"), {FileEncoding::Utf8, ',', true}, &fault);
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->line, 3);
}

// GBK puts '|' (0x7C) and '\' in the second byte of characters such as 倈 (82 7C): the
// file is decoded before it is split, so the character stays whole.
TEST_F(TransferTest, ChineseCodePageFilesAreSplitAfterDecoding) {
  const std::string gbk =
      "\xD0\xD5\xC3\xFB|\xC4\xEA\xC1\xE4\r\n\x82\x7C|30\r\n";  // 姓名|年龄 倈|30
  EXPECT_EQ(readAll(writeFile("gbk.csv", gbk), {FileEncoding::Gb18030, '|', true}),
            (std::vector<std::string>{"1: 姓名|年龄", "2: 倈|30"}));
  const std::string utf16 = std::string("\xFF\xFE", 2) + std::string("a\0,\0\x20\x5F\n\0", 8);
  EXPECT_EQ(readAll(writeFile("u16.csv", utf16), {FileEncoding::Utf16LeWithBom, ',', true}),
            std::vector<std::string>{"1: a|张"});
}

// The file is read in pieces of a megabyte: a field, a quoted line break and a character
// each cut in two by a piece's end come out whole.
TEST_F(TransferTest, FieldsAcrossPieceBoundariesComeOutWhole) {
  std::string big;
  while (big.size() < (std::size_t{3} << 20)) big += "张三\r\n李四,";
  for (const FileEncoding encoding : {FileEncoding::Utf8, FileEncoding::Gb18030}) {
    std::string file = "x,\"" + big + "\"\r\nlast,1\r\n";
    if (encoding == FileEncoding::Gb18030) {
      Encoder encoder(encoding);
      std::string encoded;
      ASSERT_TRUE(encoder.encode(file, encoded));
      file = encoded;
    }
    std::vector<std::string> fields;
    CsvReader reader(writeFile("big.csv", file), {encoding, ',', false});
    EXPECT_FALSE(reader.read([&](const CsvRecord& record) {
      fields.emplace_back(record.fields.back().text);
      fields.push_back(std::to_string(record.line));
      return true;
    }));
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_TRUE(fields[0] == big);
    EXPECT_EQ(fields[3], std::to_string(2 + std::count(big.begin(), big.end(), '\n')));
    EXPECT_EQ(reader.bytesRead(), reader.fileSize());
  }
}

TEST(Detection, FindsTheSeparatorOfTheFirstLines) {
  const std::pair<std::string, char> cases[] = {
      {"a;b;c\n1;2;3\n", ';'},
      {"a\tb\n1\t2\n", '\t'},
      {"a|b\n1|2\n", '|'},
      {"a,b\n1,2\n", ','},
      {"just one column\n", ','},
      {"\"a,b\"\tc\n\"d,e\"\tf\n", '\t'},
      {"名称;价格\n苹果,大;2,5\n", ';'},
  };
  for (const auto& [text, separator] : cases) EXPECT_EQ(detectSeparator(text), separator) << text;
}

TEST(Detection, FindsTheEncodingByMarkOrByContent) {
  const std::pair<std::string, FileEncoding> cases[] = {
      {"\xEF\xBB\xBF"
       "a,b",
       FileEncoding::Utf8WithBom},
      {"\xFF\xFE"
       "a",
       FileEncoding::Utf16LeWithBom},
      {"\xFE\xFF", FileEncoding::Utf16BeWithBom},
      {"plain,ascii\r\n", FileEncoding::Utf8},
      {"姓名,年龄\r\n张三,30\r\n", FileEncoding::Utf8},
      // Cut inside a character at the end of the sample: still UTF-8.
      {std::string("姓名,年龄\r\n张").substr(0, 17), FileEncoding::Utf8},
      {"\xD0\xD5\xC3\xFB,\xC4\xEA\xC1\xE4\r\n\xD5\xC5\xC8\xFD,30\r\n\xB1\xB1\xBE\xA9,1\r\n",
       FileEncoding::Gb18030},
  };
  for (const auto& [bytes, encoding] : cases) EXPECT_EQ(detectEncoding(bytes), encoding) << bytes;
}

}  // namespace
}  // namespace tabulor::testing
