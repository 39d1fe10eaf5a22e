#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tabulor::testing {

enum class BmpHeader { Info, Core };

// The shape of a BMP file image written by hand, independently of Bitmap::save.
struct BmpShape {
  std::string name{};
  int width = 1;
  int height = 1;
  int bitsPerPixel = 24;
  std::uint32_t coloursUsed = 0;  // 0: the full table for 1, 4 and 8 bits per pixel
  BmpHeader header = BmpHeader::Info;
  bool topDown = false;
};

// Odd sizes leave padding in every row and partly filled bytes at 1 and 4 bits; sizes
// past 64 cross the tiles the turn works in.
inline std::vector<BmpShape> bmpShapes() {
  return {
      BmpShape{.name = "bpp1", .width = 13, .height = 5, .bitsPerPixel = 1},
      BmpShape{.name = "bpp1_tiles", .width = 70, .height = 131, .bitsPerPixel = 1},
      BmpShape{.name = "bpp4", .width = 7, .height = 3, .bitsPerPixel = 4},
      BmpShape{.name = "bpp4_four_colours",
               .width = 5,
               .height = 4,
               .bitsPerPixel = 4,
               .coloursUsed = 4},
      BmpShape{.name = "bpp8", .width = 9, .height = 7, .bitsPerPixel = 8},
      BmpShape{.name = "bpp8_twenty_colours",
               .width = 66,
               .height = 3,
               .bitsPerPixel = 8,
               .coloursUsed = 20},
      BmpShape{.name = "bpp16", .width = 5, .height = 3, .bitsPerPixel = 16},
      BmpShape{.name = "bpp24", .width = 7, .height = 5, .bitsPerPixel = 24},
      BmpShape{.name = "bpp24_tiles", .width = 130, .height = 67, .bitsPerPixel = 24},
      BmpShape{.name = "bpp32", .width = 3, .height = 8, .bitsPerPixel = 32},
      BmpShape{.name = "one_pixel", .width = 1, .height = 1, .bitsPerPixel = 24},
      BmpShape{.name = "top_down", .width = 6, .height = 4, .bitsPerPixel = 24, .topDown = true},
      BmpShape{.name = "core_bpp1",
               .width = 33,
               .height = 6,
               .bitsPerPixel = 1,
               .header = BmpHeader::Core},
      BmpShape{.name = "core_bpp8",
               .width = 3,
               .height = 5,
               .bitsPerPixel = 8,
               .header = BmpHeader::Core},
      BmpShape{.name = "core_bpp24",
               .width = 11,
               .height = 3,
               .bitsPerPixel = 24,
               .header = BmpHeader::Core},
  };
}

inline void PrintTo(const BmpShape& shape, std::ostream* out) { *out << shape.name; }

inline int colourEntries(const BmpShape& shape) {
  if (shape.bitsPerPixel > 8) return 0;
  return shape.coloursUsed != 0 ? static_cast<int>(shape.coloursUsed) : 1 << shape.bitsPerPixel;
}

// A value for every pixel that differs from its neighbours and stays inside the colour table.
inline std::uint32_t patternPixel(const BmpShape& shape, int x, int y) {
  const std::uint32_t value =
      static_cast<std::uint32_t>(x) * 2654435761u ^ static_cast<std::uint32_t>(y + 1) * 40503u;
  if (shape.bitsPerPixel <= 8) return value % static_cast<std::uint32_t>(colourEntries(shape));
  if (shape.bitsPerPixel == 32) return value;
  return value & ((1u << shape.bitsPerPixel) - 1);
}

inline void putLittleEndian(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

inline std::vector<unsigned char> makeBmp(const BmpShape& shape) {
  const bool core = shape.header == BmpHeader::Core;
  const int entrySize = core ? 3 : 4;
  const int entries = colourEntries(shape);
  const std::size_t stride =
      (static_cast<std::size_t>(shape.bitsPerPixel) * shape.width + 31) / 32 * 4;
  const std::uint32_t offset = 14 + (core ? 12 : 40) + entries * entrySize;
  const std::size_t total = offset + stride * shape.height;

  std::vector<unsigned char> out{'B', 'M'};
  putLittleEndian(out, static_cast<std::uint32_t>(total), 4);
  putLittleEndian(out, 0, 4);
  putLittleEndian(out, offset, 4);
  if (core) {
    putLittleEndian(out, 12, 4);
    putLittleEndian(out, static_cast<std::uint32_t>(shape.width), 2);
    putLittleEndian(out, static_cast<std::uint32_t>(shape.height), 2);
    putLittleEndian(out, 1, 2);
    putLittleEndian(out, static_cast<std::uint32_t>(shape.bitsPerPixel), 2);
  } else {
    putLittleEndian(out, 40, 4);
    putLittleEndian(out, static_cast<std::uint32_t>(shape.width), 4);
    putLittleEndian(out, static_cast<std::uint32_t>(shape.topDown ? -shape.height : shape.height),
                    4);
    putLittleEndian(out, 1, 2);
    putLittleEndian(out, static_cast<std::uint32_t>(shape.bitsPerPixel), 2);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, static_cast<std::uint32_t>(stride * shape.height), 4);
    putLittleEndian(out, 2835, 4);
    putLittleEndian(out, 3780, 4);
    putLittleEndian(out, shape.coloursUsed, 4);
    putLittleEndian(out, 0, 4);
  }
  for (int i = 0; i < entries; ++i) {
    // Blue, green, red: distinct colours so a decoder that mixes up indexes shows it.
    putLittleEndian(out, static_cast<std::uint32_t>(i * 37 % 256), 1);
    putLittleEndian(out, static_cast<std::uint32_t>(255 - i), 1);
    putLittleEndian(out, static_cast<std::uint32_t>(i * 11 % 256), 1);
    if (!core) putLittleEndian(out, 0, 1);
  }
  for (int stored = 0; stored < shape.height; ++stored) {
    const int y = shape.topDown ? stored : shape.height - 1 - stored;
    std::vector<unsigned char> row(stride, 0);
    for (int x = 0; x < shape.width; ++x) {
      const std::uint32_t value = patternPixel(shape, x, y);
      if (shape.bitsPerPixel < 8) {
        const int perByte = 8 / shape.bitsPerPixel;
        const int shift = 8 - shape.bitsPerPixel * (x % perByte + 1);
        row[x / perByte] |= static_cast<unsigned char>(value << shift);
      } else {
        const int bytes = shape.bitsPerPixel / 8;
        for (int i = 0; i < bytes; ++i)
          row[x * bytes + i] = static_cast<unsigned char>(value >> (8 * i));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace tabulor::testing
