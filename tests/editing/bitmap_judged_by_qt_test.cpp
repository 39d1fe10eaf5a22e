// Turned BMP images as a second, independent reader (Qt's) shows them.

#include <QImage>
#include <QTransform>

#include <vector>

#include <gtest/gtest.h>

#include "editing/bitmap/bitmap.h"
#include "editing/bmp_builder.h"

namespace tabulor {
namespace {

using testing::BmpShape;
using testing::makeBmp;

QImage decodeWithQt(const std::vector<unsigned char>& bytes) {
  return QImage::fromData(bytes.data(), static_cast<int>(bytes.size()), "BMP")
      .convertToFormat(QImage::Format_ARGB32);
}

class BitmapJudgedByQt : public ::testing::TestWithParam<BmpShape> {};

TEST_P(BitmapJudgedByQt, SavedTurnShowsWhatQtShowsForTheTurnedOriginal) {
  const std::vector<unsigned char> original = makeBmp(GetParam());
  Bitmap source;
  ASSERT_TRUE(source.load(original));
  const QImage expected = decodeWithQt(original).transformed(QTransform().rotate(90));
  ASSERT_FALSE(expected.isNull());
  EXPECT_EQ(decodeWithQt(source.rotate(RotationDirection::Clockwise).save()), expected);
  EXPECT_EQ(decodeWithQt(source.rotate(RotationDirection::Anticlockwise).save()),
            decodeWithQt(original).transformed(QTransform().rotate(-90)));
}

INSTANTIATE_TEST_SUITE_P(Shapes, BitmapJudgedByQt, ::testing::ValuesIn(testing::bmpShapes()),
                         [](const ::testing::TestParamInfo<BmpShape>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace tabulor
