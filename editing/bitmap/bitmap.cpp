// Reading a BMP file image, turning its pixel rows tile by tile, and writing it back.

#include "editing/bitmap/bitmap.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace tabulor {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::size_t kCoreColourSize = 3;
constexpr std::size_t kColourSize = 4;
// Larger sides come from no decoder we use (JPEG stops at 65535) and only invite overflow.
constexpr std::int64_t kMaxSide = 65535;
// The most memory the pixel rows may take, checked turned and unturned (padding differs).
constexpr std::uint64_t kMaxPixelBytes = std::uint64_t{1} << 29;
// Square tiles of this many pixels keep the source rows being read and the turned rows
// being written in the cache while columns turn into rows.
constexpr int kTile = 128;

std::uint32_t readU16(std::span<const unsigned char> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8;
}

std::uint32_t readU32(std::span<const unsigned char> bytes, std::size_t at) {
  return readU16(bytes, at) | readU16(bytes, at + 2) << 16;
}

std::int32_t readI32(std::span<const unsigned char> bytes, std::size_t at) {
  return static_cast<std::int32_t>(readU32(bytes, at));
}

void putU16(std::vector<unsigned char>& out, std::uint32_t value) {
  out.push_back(static_cast<unsigned char>(value & 0xFF));
  out.push_back(static_cast<unsigned char>(value >> 8 & 0xFF));
}

void putU32(std::vector<unsigned char>& out, std::uint32_t value) {
  putU16(out, value & 0xFFFF);
  putU16(out, value >> 16);
}

bool isSupportedDepth(std::uint32_t bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      return true;
    default:
      return false;
  }
}

// Walks the turned picture in square tiles, one run of a turned row at a time: run(r, c0,
// c1, sourceRow, sourceColumn, rowStep) fills stored row r, columns c0 to c1 - 1, whose
// pixel at column c comes from stored source row sourceRow + (c - c0) * rowStep.
// Clockwise, top-left (x, y) goes to (H - 1 - y, x); with rows stored bottom-up that is
// turned[r][c] = source[c][W - 1 - r]. Anticlockwise (x, y) goes to (y, W - 1 - x), that
// is turned[r][c] = source[H - 1 - c][r].
template <class Run>
void forEachTurnedRun(int width, int height, RotationDirection direction, Run run) {
  const bool clockwise = direction == RotationDirection::Clockwise;
  for (int r0 = 0; r0 < width; r0 += kTile) {
    const int r1 = std::min(r0 + kTile, width);
    for (int c0 = 0; c0 < height; c0 += kTile) {
      const int c1 = std::min(c0 + kTile, height);
      for (int r = r0; r < r1; ++r) {
        if (clockwise)
          run(r, c0, c1, c0, width - 1 - r, 1);
        else
          run(r, c0, c1, height - 1 - c0, r, -1);
      }
    }
  }
}

template <std::size_t PixelBytes>
void turnWholeBytes(const unsigned char* source, std::size_t sourceStride, unsigned char* turned,
                    std::size_t turnedStride, int width, int height, RotationDirection direction) {
  const auto stride = static_cast<std::ptrdiff_t>(sourceStride);
  forEachTurnedRun(width, height, direction,
                   [&](int r, int c0, int c1, int sourceRow, int sourceColumn, int rowStep) {
                     unsigned char* out = turned + static_cast<std::size_t>(r) * turnedStride +
                                          static_cast<std::size_t>(c0) * PixelBytes;
                     std::ptrdiff_t at = sourceRow * stride +
                                         sourceColumn * static_cast<std::ptrdiff_t>(PixelBytes);
                     const std::ptrdiff_t step = rowStep * stride;
                     for (int c = c0; c < c1; ++c, out += PixelBytes, at += step)
                       std::memcpy(out, source + at, PixelBytes);
                   });
}

// 1 and 4 bits per pixel: the leftmost pixel sits in the most significant bits of a byte.
void turnPackedBits(const unsigned char* source, std::size_t sourceStride, unsigned char* turned,
                    std::size_t turnedStride, int width, int height, int bitsPerPixel,
                    RotationDirection direction) {
  const int perByte = 8 / bitsPerPixel;
  const unsigned mask = (1u << bitsPerPixel) - 1;
  auto shiftOf = [&](int column) { return 8 - bitsPerPixel * (column % perByte + 1); };
  const auto stride = static_cast<std::ptrdiff_t>(sourceStride);
  forEachTurnedRun(width, height, direction,
                   [&](int r, int c0, int c1, int sourceRow, int sourceColumn, int rowStep) {
                     unsigned char* out = turned + static_cast<std::size_t>(r) * turnedStride;
                     std::ptrdiff_t at = sourceRow * stride + sourceColumn / perByte;
                     const int sourceShift = shiftOf(sourceColumn);
                     const std::ptrdiff_t step = rowStep * stride;
                     for (int c = c0; c < c1; ++c, at += step)
                       out[c / perByte] |= static_cast<unsigned char>(
                           (source[at] >> sourceShift & mask) << shiftOf(c));
                   });
}

}  // namespace

bool Bitmap::load(std::span<const unsigned char> bytes) {
  Bitmap parsed;
  const bool ok = parsed.parse(bytes);
  *this = ok ? std::move(parsed) : Bitmap{};
  return ok;
}

bool Bitmap::parse(std::span<const unsigned char> bytes) {
  if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
    return false;
  const std::uint32_t headerSize = readU32(bytes, 14);
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint32_t planes = 0;
  std::uint32_t bitsPerPixel = 0;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 0;
  std::size_t colourSize = kColourSize;
  if (headerSize == kInfoHeaderSize) {
    width = readI32(bytes, 18);
    height = readI32(bytes, 22);
    planes = readU16(bytes, 26);
    bitsPerPixel = readU16(bytes, 28);
    compression = readU32(bytes, 30);
    xPixelsPerMetre_ = readI32(bytes, 38);
    yPixelsPerMetre_ = readI32(bytes, 42);
    coloursUsed = readU32(bytes, 46);
  } else if (headerSize == kCoreHeaderSize) {
    width = readU16(bytes, 18);
    height = readU16(bytes, 20);
    planes = readU16(bytes, 22);
    bitsPerPixel = readU16(bytes, 24);
    colourSize = kCoreColourSize;
  } else {
    return false;
  }
  if (planes != 1 || compression != 0 || !isSupportedDepth(bitsPerPixel)) return false;

  // A negative height marks rows stored top row first.
  const bool topDown = height < 0;
  height = topDown ? -height : height;
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
  const std::size_t stride = rowBytesFor(static_cast<int>(width), static_cast<int>(bitsPerPixel));
  const std::size_t turnedStride =
      rowBytesFor(static_cast<int>(height), static_cast<int>(bitsPerPixel));
  const std::uint64_t pixelBytes = std::uint64_t{stride} * static_cast<std::uint64_t>(height);
  if (pixelBytes > kMaxPixelBytes ||
      std::uint64_t{turnedStride} * static_cast<std::uint64_t>(width) > kMaxPixelBytes)
    return false;

  std::size_t colours = 0;
  if (bitsPerPixel <= 8) {
    const std::uint32_t full = 1u << bitsPerPixel;
    if (coloursUsed > full) return false;
    colours = coloursUsed == 0 ? full : coloursUsed;
  }
  const std::size_t tableStart = kFileHeaderSize + headerSize;
  const std::size_t tableEnd = tableStart + colours * colourSize;
  const std::uint32_t dataOffset = readU32(bytes, 10);
  if (dataOffset < tableEnd || dataOffset > bytes.size() || bytes.size() - dataOffset < pixelBytes)
    return false;

  width_ = static_cast<int>(width);
  height_ = static_cast<int>(height);
  bitsPerPixel_ = static_cast<int>(bitsPerPixel);
  colourTable_.assign(colours * kColourSize, 0);
  for (std::size_t i = 0; i < colours; ++i)
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(tableStart + i * colourSize),
                colourSize, colourTable_.begin() + static_cast<std::ptrdiff_t>(i * kColourSize));
  const auto data = bytes.subspan(dataOffset, static_cast<std::size_t>(pixelBytes));
  if (!topDown) {
    pixels_.assign(data.begin(), data.end());
    return true;
  }
  pixels_.resize(data.size());
  for (int row = 0; row < height_; ++row)
    std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(stride * row), stride,
                pixels_.begin() + static_cast<std::ptrdiff_t>(stride * (height_ - 1 - row)));
  return true;
}

Bitmap Bitmap::rotate(RotationDirection direction) const {
  Bitmap turned;
  if (isEmpty()) return turned;
  turned.width_ = height_;
  turned.height_ = width_;
  turned.bitsPerPixel_ = bitsPerPixel_;
  turned.xPixelsPerMetre_ = yPixelsPerMetre_;
  turned.yPixelsPerMetre_ = xPixelsPerMetre_;
  turned.colourTable_ = colourTable_;
  turned.pixels_.assign(turned.rowBytes() * static_cast<std::size_t>(turned.height_), 0);

  const unsigned char* from = pixels_.data();
  unsigned char* to = turned.pixels_.data();
  const std::size_t fromStride = rowBytes();
  const std::size_t toStride = turned.rowBytes();
  switch (bitsPerPixel_) {
    case 8:
      turnWholeBytes<1>(from, fromStride, to, toStride, width_, height_, direction);
      break;
    case 16:
      turnWholeBytes<2>(from, fromStride, to, toStride, width_, height_, direction);
      break;
    case 24:
      turnWholeBytes<3>(from, fromStride, to, toStride, width_, height_, direction);
      break;
    case 32:
      turnWholeBytes<4>(from, fromStride, to, toStride, width_, height_, direction);
      break;
    default:
      turnPackedBits(from, fromStride, to, toStride, width_, height_, bitsPerPixel_, direction);
      break;
  }
  return turned;
}

std::vector<unsigned char> Bitmap::save() const {
  std::vector<unsigned char> out;
  if (isEmpty()) return out;
  const auto dataOffset =
      static_cast<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize + colourTable_.size());
  const auto total = static_cast<std::uint32_t>(dataOffset + pixels_.size());
  out.reserve(total);
  out.push_back('B');
  out.push_back('M');
  putU32(out, total);
  putU16(out, 0);
  putU16(out, 0);
  putU32(out, dataOffset);

  putU32(out, kInfoHeaderSize);
  putU32(out, static_cast<std::uint32_t>(width_));
  putU32(out, static_cast<std::uint32_t>(height_));
  putU16(out, 1);
  putU16(out, static_cast<std::uint32_t>(bitsPerPixel_));
  putU32(out, 0);
  putU32(out, static_cast<std::uint32_t>(pixels_.size()));
  putU32(out, static_cast<std::uint32_t>(xPixelsPerMetre_));
  putU32(out, static_cast<std::uint32_t>(yPixelsPerMetre_));
  putU32(out, static_cast<std::uint32_t>(colourCount()));
  putU32(out, 0);

  out.insert(out.end(), colourTable_.begin(), colourTable_.end());
  out.insert(out.end(), pixels_.begin(), pixels_.end());
  return out;
}

std::uint32_t Bitmap::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const unsigned char* row =
      pixels_.data() + rowBytes() * static_cast<std::size_t>(height_ - 1 - y);
  if (bitsPerPixel_ < 8) {
    const int perByte = 8 / bitsPerPixel_;
    const int shift = 8 - bitsPerPixel_ * (x % perByte + 1);
    return static_cast<std::uint32_t>(row[x / perByte] >> shift) & ((1u << bitsPerPixel_) - 1);
  }
  const int pixelBytes = bitsPerPixel_ / 8;
  std::uint32_t value = 0;
  for (int i = pixelBytes - 1; i >= 0; --i) value = value << 8 | row[x * pixelBytes + i];
  return value;
}

}  // namespace tabulor
