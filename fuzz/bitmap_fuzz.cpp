// libFuzzer target: any bytes through Bitmap::load, both turns and save.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "editing/bitmap/bitmap.h"

namespace {

using tabulor::Bitmap;
using tabulor::RotationDirection;

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bitmap bitmap;
  if (!bitmap.load({data, size})) {
    check(bitmap.isEmpty());
    return 0;
  }
  const int width = bitmap.width();
  const int height = bitmap.height();
  const Bitmap clockwise = bitmap.rotate(RotationDirection::Clockwise);
  const Bitmap anticlockwise = bitmap.rotate(RotationDirection::Anticlockwise);
  check(clockwise.width() == height && clockwise.height() == width);
  check(clockwise.pixel(height - 1, 0) == bitmap.pixel(0, 0));
  check(anticlockwise.pixel(0, width - 1) == bitmap.pixel(0, 0));
  check(clockwise.pixel(0, width - 1) == bitmap.pixel(width - 1, height - 1));

  // A turn and its inverse are exact; what is saved loads back to the same image.
  const std::vector<unsigned char> saved = clockwise.save();
  check(anticlockwise.rotate(RotationDirection::Clockwise)
            .rotate(RotationDirection::Clockwise)
            .save() == saved);
  Bitmap reloaded;
  check(reloaded.load(saved));
  check(reloaded.save() == saved);
  return 0;
}
