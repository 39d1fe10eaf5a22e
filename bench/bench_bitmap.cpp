#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "editing/bitmap/bitmap.h"

namespace {

using tabulor::Bitmap;
using tabulor::RotationDirection;

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

void putU32(std::vector<unsigned char>& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// A photo-sized picture of varied pixels at the given depth.
Bitmap picture(int bitsPerPixel) {
  const std::size_t colours = bitsPerPixel <= 8 ? std::size_t{1} << bitsPerPixel : 0;
  const std::size_t offset = 54 + 4 * colours;
  const std::size_t rows = Bitmap::rowBytesFor(kWidth, bitsPerPixel) * kHeight;
  std::vector<unsigned char> bytes(offset + rows);
  bytes[0] = 'B';
  bytes[1] = 'M';
  putU32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
  putU32(bytes, 10, static_cast<std::uint32_t>(offset));
  putU32(bytes, 14, 40);
  putU32(bytes, 18, kWidth);
  putU32(bytes, 22, kHeight);
  putU32(bytes, 26, 1u | static_cast<std::uint32_t>(bitsPerPixel) << 16);
  std::uint32_t state = 12345;
  for (std::size_t i = 54; i < bytes.size(); ++i) {
    state = state * 1664525u + 1013904223u;
    bytes[i] = static_cast<unsigned char>(state >> 24);
  }
  Bitmap bitmap;
  bitmap.load(bytes);
  return bitmap;
}

// The baseline: one plain copy of the same pixel rows into a buffer already allocated.
void BM_CopyPixelRows(benchmark::State& state) {
  const Bitmap bitmap = picture(static_cast<int>(state.range(0)));
  std::vector<unsigned char> copy(bitmap.pixelRows().size());
  for (auto _ : state) {
    std::memcpy(copy.data(), bitmap.pixelRows().data(), copy.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * copy.size()));
}
BENCHMARK(BM_CopyPixelRows)->Arg(24)->Unit(benchmark::kMillisecond);

// A copy into new memory, as a turn must make: the first touch of every page is paid here too.
void BM_CopyBitmap(benchmark::State& state) {
  const Bitmap bitmap = picture(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Bitmap copy = bitmap;
    benchmark::DoNotOptimize(copy.pixelRows().data());
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * bitmap.pixelRows().size()));
}
BENCHMARK(BM_CopyBitmap)->Arg(24)->Unit(benchmark::kMillisecond);

// The turn allocates and fills a new picture, as the viewer's turn does.
void BM_Rotate(benchmark::State& state) {
  const Bitmap bitmap = picture(static_cast<int>(state.range(0)));
  const auto direction =
      state.range(1) == 0 ? RotationDirection::Clockwise : RotationDirection::Anticlockwise;
  for (auto _ : state) {
    Bitmap turned = bitmap.rotate(direction);
    benchmark::DoNotOptimize(turned.pixelRows().data());
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * bitmap.pixelRows().size()));
}
BENCHMARK(BM_Rotate)
    ->ArgNames({"bpp", "anticlockwise"})
    ->ArgsProduct({{24}, {0, 1}})
    ->Args({1, 0})
    ->Args({4, 0})
    ->Args({8, 0})
    ->Args({16, 0})
    ->Args({32, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
