#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editing/bitmap/bitmap.h"
#include "editing/bmp_builder.h"

namespace tabulor {
namespace {

using testing::BmpHeader;
using testing::makeBmp;
using Bytes = std::vector<unsigned char>;

void setU16(Bytes& bytes, std::size_t at, std::uint32_t value) {
  bytes[at] = static_cast<unsigned char>(value);
  bytes[at + 1] = static_cast<unsigned char>(value >> 8);
}

void setU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  setU16(bytes, at, value & 0xFFFF);
  setU16(bytes, at + 2, value >> 16);
}

// Offsets in a file with a 40-byte information header.
constexpr std::size_t kOffset = 10;
constexpr std::size_t kHeaderSize = 14;
constexpr std::size_t kWidth = 18;
constexpr std::size_t kHeight = 22;
constexpr std::size_t kPlanes = 26;
constexpr std::size_t kBitsPerPixel = 28;
constexpr std::size_t kCompression = 30;
constexpr std::size_t kColoursUsed = 46;

struct Damage {
  std::string name;
  Bytes base;
  std::function<void(Bytes&)> apply;
};

const Bytes kEightBit = makeBmp({.width = 5, .height = 3, .bitsPerPixel = 8});
const Bytes kTwentyFourBit = makeBmp({.width = 5, .height = 3, .bitsPerPixel = 24});
const Bytes kCore =
    makeBmp({.width = 5, .height = 3, .bitsPerPixel = 8, .header = BmpHeader::Core});

std::vector<Damage> damages() {
  return {
      {"Empty", kTwentyFourBit, [](Bytes& b) { b.clear(); }},
      {"ShorterThanTheHeaders", kTwentyFourBit, [](Bytes& b) { b.resize(53); }},
      {"OtherSignature", kTwentyFourBit, [](Bytes& b) { b[1] = 'A'; }},
      {"HeaderSizeZero", kTwentyFourBit, [](Bytes& b) { setU32(b, kHeaderSize, 0); }},
      {"HeaderSize64", kTwentyFourBit, [](Bytes& b) { setU32(b, kHeaderSize, 64); }},
      {"HeaderSize108", kTwentyFourBit, [](Bytes& b) { setU32(b, kHeaderSize, 108); }},
      {"HeaderSizeHuge", kTwentyFourBit, [](Bytes& b) { setU32(b, kHeaderSize, 0xFFFFFFF0); }},
      {"OffsetPastEnd", kTwentyFourBit,
       [](Bytes& b) { setU32(b, kOffset, static_cast<std::uint32_t>(b.size() + 1)); }},
      {"OffsetMaximal", kTwentyFourBit, [](Bytes& b) { setU32(b, kOffset, 0xFFFFFFFF); }},
      {"OffsetInsideHeader", kTwentyFourBit, [](Bytes& b) { setU32(b, kOffset, 20); }},
      {"OffsetInsideColourTable", kEightBit, [](Bytes& b) { setU32(b, kOffset, 54 + 4 * 100); }},
      {"PixelRowsCutByOneByte", kTwentyFourBit, [](Bytes& b) { b.pop_back(); }},
      {"ColourTableCut", kEightBit, [](Bytes& b) { b.resize(54 + 4 * 100); }},
      {"WidthZero", kTwentyFourBit, [](Bytes& b) { setU32(b, kWidth, 0); }},
      {"HeightZero", kTwentyFourBit, [](Bytes& b) { setU32(b, kHeight, 0); }},
      {"WidthNegative", kTwentyFourBit, [](Bytes& b) { setU32(b, kWidth, 0xFFFFFFFB); }},
      {"HeightMostNegative", kTwentyFourBit, [](Bytes& b) { setU32(b, kHeight, 0x80000000); }},
      {"WidthHuge", kTwentyFourBit, [](Bytes& b) { setU32(b, kWidth, 0x7FFFFFFF); }},
      {"HeightHuge", kTwentyFourBit, [](Bytes& b) { setU32(b, kHeight, 0x7FFFFFFF); }},
      {"WidthJustPastTheLimit", kTwentyFourBit, [](Bytes& b) { setU32(b, kWidth, 65536); }},
      {"AreaTooLarge", kTwentyFourBit,
       [](Bytes& b) {
         setU32(b, kWidth, 60000);
         setU32(b, kHeight, 60000);
       }},
      {"RowsMoreThanTheData", kTwentyFourBit, [](Bytes& b) { setU32(b, kHeight, 4); }},
      {"ZeroPlanes", kTwentyFourBit, [](Bytes& b) { setU16(b, kPlanes, 0); }},
      {"TwoPlanes", kTwentyFourBit, [](Bytes& b) { setU16(b, kPlanes, 2); }},
      {"RunLengthCompressed", kEightBit, [](Bytes& b) { setU32(b, kCompression, 1); }},
      {"BitFields", kTwentyFourBit, [](Bytes& b) { setU32(b, kCompression, 3); }},
      {"Jpeg", kTwentyFourBit, [](Bytes& b) { setU32(b, kCompression, 4); }},
      {"BitsPerPixel0", kTwentyFourBit, [](Bytes& b) { setU16(b, kBitsPerPixel, 0); }},
      {"BitsPerPixel2", kTwentyFourBit, [](Bytes& b) { setU16(b, kBitsPerPixel, 2); }},
      {"BitsPerPixel7", kTwentyFourBit, [](Bytes& b) { setU16(b, kBitsPerPixel, 7); }},
      {"BitsPerPixel64", kTwentyFourBit, [](Bytes& b) { setU16(b, kBitsPerPixel, 64); }},
      {"MoreColoursUsedThanIndexes", kEightBit, [](Bytes& b) { setU32(b, kColoursUsed, 257); }},
      {"ColoursUsedMaximal", kEightBit, [](Bytes& b) { setU32(b, kColoursUsed, 0xFFFFFFFF); }},
      {"CoreZeroWidth", kCore, [](Bytes& b) { setU16(b, 18, 0); }},
      {"CoreZeroPlanes", kCore, [](Bytes& b) { setU16(b, 22, 0); }},
      {"CoreBitsPerPixel7", kCore, [](Bytes& b) { setU16(b, 24, 7); }},
      {"CoreRowsCut", kCore, [](Bytes& b) { b.resize(b.size() - 3); }},
      {"CoreColourTableCut", kCore, [](Bytes& b) { b.resize(14 + 12 + 3 * 20); }},
  };
}

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

class BitmapMalformed : public ::testing::TestWithParam<Damage> {};

TEST_P(BitmapMalformed, IsRefusedAndLeavesTheBitmapEmpty) {
  Bitmap bitmap;
  ASSERT_TRUE(bitmap.load(GetParam().base));
  Bytes damaged = GetParam().base;
  GetParam().apply(damaged);
  EXPECT_FALSE(bitmap.load(damaged));
  EXPECT_TRUE(bitmap.isEmpty());
  EXPECT_TRUE(bitmap.save().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, BitmapMalformed, ::testing::ValuesIn(damages()),
                         [](const ::testing::TestParamInfo<Damage>& info) {
                           return info.param.name;
                         });

// Writers differ in what they put around the pixel rows; none of it is a fault.
TEST(BitmapTolerated, GapsTrailingBytesAndUnusedTablesAreAccepted) {
  const Bitmap reference = [] {
    Bitmap b;
    b.load(kTwentyFourBit);
    return b;
  }();
  const std::vector<std::pair<std::string, std::function<void(Bytes&)>>> variants = {
      {"GapBeforeRows",
       [](Bytes& b) {
         b.insert(b.begin() + 54, 10, 0xEE);
         setU32(b, kOffset, 64);
       }},
      {"TrailingBytes", [](Bytes& b) { b.insert(b.end(), 7, 0xEE); }},
      {"ColoursUsedWithoutIndexes",
       [](Bytes& b) {
         setU32(b, kColoursUsed, 2);
         b.insert(b.begin() + 54, 8, 0xEE);
         setU32(b, kOffset, 62);
       }},
      {"WrongTotalSizeAndImageSize",
       [](Bytes& b) {
         setU32(b, 2, 1);
         setU32(b, 34, 0xFFFFFFFF);
       }},
  };
  for (const auto& [name, apply] : variants) {
    Bytes bytes = kTwentyFourBit;
    apply(bytes);
    Bitmap bitmap;
    EXPECT_TRUE(bitmap.load(bytes)) << name;
    EXPECT_EQ(bitmap.save(), reference.save()) << name;
  }
}

}  // namespace
}  // namespace tabulor
