// Figures of the drawing library: the hero's wall-box colour scan and triangle fill rates.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "display/display.h"
#include "display/draw/color_scan.h"
#include "display/draw/triangles.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

std::vector<uint8_t>& Screen() {
  static std::vector<uint8_t> pixels(kWidth * kHeight, 10);
  return pixels;
}

// The hero's 22 x 38 wall box on a 640 x 480 buffer. Without a wall in it the whole box is read,
// which is the common case and the slowest.
void BM_ColorScanWallBox(benchmark::State& state) {
  screen_width = kWidth, screen_height = kHeight;
  std::vector<uint8_t>& pixels = Screen();
  const bool hit = state.range(0) != 0;
  if (hit) pixels[(200 + 37) * kWidth + 321] = 64;  // last pixel of the box
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    benchmark::DoNotOptimize(ColorScan(300, 200, 321, 237, 64, 64, pixels.data(), kWidth));
  }
  pixels[(200 + 37) * kWidth + 321] = 10;
  state.SetBytesProcessed(state.iterations() * 22 * 38);
}
BENCHMARK(BM_ColorScanWallBox)->Arg(0)->Arg(1)->ArgName("hit_in_last_pixel");

using TriangleFn = int (*)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, uint8_t, uint8_t*, int32_t);

// A triangle of `size` (legs of the right angle) filled repeatedly; pixels per second counted
// from what one call really sets. size 21 gives the 200-pixel triangle.
void TriangleRate(benchmark::State& state, TriangleFn draw) {
  screen_width = kWidth, screen_height = kHeight;
  clip_left = 0, clip_top = 0, clip_right = kWidth - 1, clip_bottom = kHeight - 1;
  std::vector<uint8_t>& pixels = Screen();
  const int size = static_cast<int>(state.range(0));
  const int x = 100, y = 100;
  std::fill(pixels.begin(), pixels.end(), 0);
  draw(x, y, x + size, y + size / 3, x + size / 4, y + size, 1, pixels.data(), kWidth);
  int64_t per_call = 0;
  for (uint8_t p : pixels) per_call += p == 1;
  uint8_t color = 2;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    draw(x, y, x + size, y + size / 3, x + size / 4, y + size, color++, pixels.data(), kWidth);
    benchmark::ClobberMemory();
  }
  state.counters["pixels"] = static_cast<double>(per_call);
  state.SetItemsProcessed(state.iterations() * per_call);
}

void BM_DrawTriangleFloat(benchmark::State& state) { TriangleRate(state, DrawTriangle); }
void BM_DrawTriangleFixed(benchmark::State& state) { TriangleRate(state, DrawTriangleFixed); }
BENCHMARK(BM_DrawTriangleFloat)->Arg(21)->Arg(200);
BENCHMARK(BM_DrawTriangleFixed)->Arg(21)->Arg(200);

}  // namespace

BENCHMARK_MAIN();
