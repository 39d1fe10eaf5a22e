// Bitmap: reading, turning by a quarter and writing uncompressed BMP file images, without Qt.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tabulor {

enum class RotationDirection { Clockwise, Anticlockwise };

// An uncompressed device-independent bitmap as held in a BMP file image: 1, 4 or 8 bits
// per pixel with a colour table, or 16, 24 or 32 bits per pixel without one. Pixel rows
// are kept as stored in the file: bottom row first, each padded to a multiple of 4 bytes.
// Turning copies the stored values (palette indexes or colours) and never resamples.
class Bitmap {
 public:
  // Parses a BMP file image with a 40-byte information header or a 12-byte core header
  // (which is widened). Rows stored top-down are reordered bottom-up. Anything else, and
  // any size or offset that does not fit the data, gives false and an empty bitmap.
  bool load(std::span<const unsigned char> bytes);

  // Width and height swapped; same bits per pixel and colour table. Empty stays empty.
  Bitmap rotate(RotationDirection direction) const;

  // The BMP file image: file header, 40-byte information header, colour table, pixel rows.
  // Empty for an empty bitmap.
  std::vector<unsigned char> save() const;

  bool isEmpty() const { return width_ == 0; }
  int width() const { return width_; }
  int height() const { return height_; }
  int bitsPerPixel() const { return bitsPerPixel_; }
  // Entries of 4 bytes: blue, green, red, reserved.
  const std::vector<unsigned char>& colourTable() const { return colourTable_; }
  int colourCount() const { return static_cast<int>(colourTable_.size() / 4); }
  std::size_t rowBytes() const { return rowBytesFor(width_, bitsPerPixel_); }
  const std::vector<unsigned char>& pixelRows() const { return pixels_; }

  // The stored value of the pixel at (x, y) counted from the top-left: a palette index,
  // or the pixel's bytes read as a little-endian number; 0 outside the picture.
  std::uint32_t pixel(int x, int y) const;

  static std::size_t rowBytesFor(int width, int bitsPerPixel) {
    return (static_cast<std::size_t>(bitsPerPixel) * static_cast<std::size_t>(width) + 31) / 32 * 4;
  }

 private:
  bool parse(std::span<const unsigned char> bytes);

  int width_ = 0;
  int height_ = 0;
  int bitsPerPixel_ = 0;
  std::int32_t xPixelsPerMetre_ = 0;
  std::int32_t yPixelsPerMetre_ = 0;
  std::vector<unsigned char> colourTable_;
  std::vector<unsigned char> pixels_;
};

}  // namespace tabulor
