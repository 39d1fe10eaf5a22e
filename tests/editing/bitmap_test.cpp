// Loading, turning and saving BMP images, checked against files written by hand.

#include "editing/bitmap/bitmap.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "editing/bmp_builder.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

using testing::BmpHeader;
using testing::BmpShape;
using testing::makeBmp;
using testing::patternPixel;

Bitmap loaded(const std::vector<unsigned char>& bytes) {
  Bitmap bitmap;
  EXPECT_TRUE(bitmap.load(bytes));
  return bitmap;
}

TEST(BitmapRotate, ThreeByTwoCornerPixelLandsTopRightClockwiseAndBottomLeftAnticlockwise) {
  const BmpShape shape{.name = "3x2", .width = 3, .height = 2, .bitsPerPixel = 24};
  const Bitmap source = loaded(makeBmp(shape));
  const std::uint32_t topLeft = patternPixel(shape, 0, 0);

  const Bitmap clockwise = source.rotate(RotationDirection::Clockwise);
  ASSERT_EQ(clockwise.width(), 2);
  ASSERT_EQ(clockwise.height(), 3);
  EXPECT_EQ(clockwise.pixel(1, 0), topLeft);

  const Bitmap anticlockwise = source.rotate(RotationDirection::Anticlockwise);
  ASSERT_EQ(anticlockwise.width(), 2);
  ASSERT_EQ(anticlockwise.height(), 3);
  EXPECT_EQ(anticlockwise.pixel(0, 2), topLeft);
}

class BitmapDepth : public ::testing::TestWithParam<BmpShape> {};

TEST_P(BitmapDepth, LoadsEveryStoredPixelAndTheColourTable) {
  const BmpShape& shape = GetParam();
  const Bitmap bitmap = loaded(makeBmp(shape));
  ASSERT_EQ(bitmap.width(), shape.width);
  ASSERT_EQ(bitmap.height(), shape.height);
  EXPECT_EQ(bitmap.bitsPerPixel(), shape.bitsPerPixel);
  EXPECT_EQ(bitmap.colourCount(), testing::colourEntries(shape));
  for (int i = 0; i < bitmap.colourCount(); ++i) EXPECT_EQ(bitmap.colourTable()[4 * i + 3], 0);
  for (int y = 0; y < shape.height; ++y)
    for (int x = 0; x < shape.width; ++x)
      ASSERT_EQ(bitmap.pixel(x, y), patternPixel(shape, x, y)) << "at " << x << "," << y;
}

TEST_P(BitmapDepth, TurnsEveryPixelToItsPlaceInBothDirections) {
  const BmpShape& shape = GetParam();
  const Bitmap source = loaded(makeBmp(shape));
  const Bitmap clockwise = source.rotate(RotationDirection::Clockwise);
  const Bitmap anticlockwise = source.rotate(RotationDirection::Anticlockwise);
  const int w = shape.width;
  const int h = shape.height;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      ASSERT_EQ(clockwise.pixel(h - 1 - y, x), source.pixel(x, y)) << "at " << x << "," << y;
      ASSERT_EQ(anticlockwise.pixel(y, w - 1 - x), source.pixel(x, y)) << "at " << x << "," << y;
    }
  }
  EXPECT_EQ(clockwise.colourTable(), source.colourTable());
  EXPECT_EQ(clockwise.bitsPerPixel(), source.bitsPerPixel());
}

TEST_P(BitmapDepth, FourTurnsAndATurnBackGiveTheSameImage) {
  const Bitmap source = loaded(makeBmp(GetParam()));
  const std::vector<unsigned char> unturned = source.save();
  Bitmap turned = source;
  for (int i = 0; i < 4; ++i) turned = turned.rotate(RotationDirection::Clockwise);
  EXPECT_EQ(turned.save(), unturned);
  EXPECT_EQ(
      source.rotate(RotationDirection::Clockwise).rotate(RotationDirection::Anticlockwise).save(),
      unturned);
  EXPECT_EQ(loaded(unturned).save(), unturned);
}

INSTANTIATE_TEST_SUITE_P(Shapes, BitmapDepth, ::testing::ValuesIn(testing::bmpShapes()),
                         [](const ::testing::TestParamInfo<BmpShape>& info) {
                           return info.param.name;
                         });

std::uint32_t u32At(const std::vector<unsigned char>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

TEST(BitmapSave, WritesFileAndInformationHeadersBeforeTheTableAndRows) {
  const Bitmap bitmap =
      loaded(makeBmp({.width = 5, .height = 4, .bitsPerPixel = 4, .coloursUsed = 4}));
  const std::vector<unsigned char> bytes = bitmap.save();
  const std::size_t offset = 54 + 4 * 4;
  ASSERT_EQ(bytes.size(), offset + 4 * 4);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(u32At(bytes, 2), bytes.size());
  EXPECT_EQ(u32At(bytes, 6), 0u);
  EXPECT_EQ(u32At(bytes, 10), offset);
  EXPECT_EQ(u32At(bytes, 14), 40u);
  EXPECT_EQ(u32At(bytes, 18), 5u);
  EXPECT_EQ(u32At(bytes, 22), 4u);
  EXPECT_EQ(u32At(bytes, 26), 1u | 4u << 16);  // planes, bits per pixel
  EXPECT_EQ(u32At(bytes, 30), 0u);             // uncompressed
  EXPECT_EQ(u32At(bytes, 34), 16u);            // size of the pixel rows
  EXPECT_EQ(u32At(bytes, 46), 4u);             // colours used
  EXPECT_TRUE(
      std::equal(bitmap.colourTable().begin(), bitmap.colourTable().end(), bytes.begin() + 54));
  EXPECT_TRUE(
      std::equal(bitmap.pixelRows().begin(), bitmap.pixelRows().end(), bytes.begin() + offset));
}

TEST(BitmapSave, CoreHeaderIsWidenedWithFourByteColourEntries) {
  const BmpShape core{.width = 2, .height = 8, .bitsPerPixel = 1, .header = BmpHeader::Core};
  const std::vector<unsigned char> bytes = loaded(makeBmp(core)).save();
  ASSERT_EQ(bytes.size(), 54u + 2 * 4 + 8 * 4);
  EXPECT_EQ(u32At(bytes, 14), 40u);
  EXPECT_EQ(u32At(bytes, 10), 62u);
  // Entry 1 of the table is blue 37, green 254, red 11.
  EXPECT_EQ(u32At(bytes, 58), 37u | 254u << 8 | 11u << 16);
}

TEST(BitmapSave, ATurnSwapsTheHorizontalAndVerticalResolution) {
  const Bitmap source = loaded(makeBmp({.width = 4, .height = 4}));
  const std::vector<unsigned char> bytes = source.rotate(RotationDirection::Clockwise).save();
  EXPECT_EQ(u32At(source.save(), 38), 2835u);
  EXPECT_EQ(u32At(bytes, 38), 3780u);
  EXPECT_EQ(u32At(bytes, 42), 2835u);
}

TEST(BitmapSave, AnEmptyBitmapTurnsAndSavesToNothing) {
  const Bitmap empty;
  EXPECT_TRUE(empty.rotate(RotationDirection::Clockwise).isEmpty());
  EXPECT_TRUE(empty.save().empty());
}

TEST(BitmapFile, ATurnWrittenToAFileLoadsBackAsTheSameImage) {
  const testing::TempDir dir;
  const Bitmap bitmap = loaded(makeBmp({.width = 9, .height = 4, .bitsPerPixel = 8}))
                            .rotate(RotationDirection::Clockwise);
  const std::filesystem::path path = dir.at("图片.bmp");
  const std::vector<unsigned char> saved = bitmap.save();
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(saved.data()),
              static_cast<std::streamsize>(saved.size()));
    ASSERT_TRUE(out);
  }
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> onDisk{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(onDisk, saved);
  Bitmap reread;
  ASSERT_TRUE(reread.load(onDisk));
  EXPECT_EQ(reread.save(), saved);
}

// An unreadable file gives no bytes at all.
TEST(BitmapFile, NoBytesAreRefusedAndLeaveTheBitmapEmpty) {
  Bitmap bitmap = loaded(makeBmp({.width = 2, .height = 2}));
  EXPECT_FALSE(bitmap.load({}));
  EXPECT_TRUE(bitmap.isEmpty());
  EXPECT_TRUE(bitmap.save().empty());
}

}  // namespace
}  // namespace tabulor
