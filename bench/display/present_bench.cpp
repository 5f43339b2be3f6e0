// Presenting a 640 x 480 8-bit frame, and the CPU cost of the frame clock.
//
//   bench_display                      palette conversion alone (what headless does) and the
//                                      frame clock's CPU share on the real clock
//   xvfb-run -a bench_display --sdl    also the SDL present: conversion, upload, scaled copy
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "display/display.h"
#include "display/frame_clock.h"
#include "platform/backend.h"
#include "platform/window.h"

namespace {
intptr_t Procedure(platform::HWND, uint32_t, uintptr_t, intptr_t) { return 0; }

void FillPattern() {
  LockBackSurface();
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) back_buffer[y * back_pitch + x] = static_cast<uint8_t>(x ^ y);
  UnlockBackSurface();
}

bool with_window = false;

double Median(const std::vector<double>& v) {
  std::vector<double> sorted(v);
  std::sort(sorted.begin(), sorted.end());
  return sorted[sorted.size() / 2];
}

// What the headless backend does per present: the palette conversion alone.
void BM_ConvertFrame(benchmark::State& state) {
  DisplayInit(640, 480, 8, 0);
  FillPattern();
  platform::Frame frame;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    platform::ConvertSurfaceToRgb(back_surface, &frame);
    benchmark::DoNotOptimize(frame.rgb.data());
  }
}
BENCHMARK(BM_ConvertFrame)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("median", Median)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The SDL backend's present: palette conversion into the texture, upload, scaled copy, present.
void BM_PresentFrame(benchmark::State& state) {
  if (!with_window) {
    state.SkipWithError("needs --sdl and a display (xvfb-run)");
    return;
  }
  DisplayInit(640, 480, 8, 0);
  FillPattern();
  // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop drives the timer
  for (auto _ : state) benchmark::DoNotOptimize(FlipDisplay());
}
BENCHMARK(BM_PresentFrame)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("median", Median)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One second of 30 ms frames doing nothing but StartClock/WaitClock(30) on the real clock.
void BM_FrameClockCpuShare(benchmark::State& state) {
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    double cpu_before = CpuSeconds();
    uint32_t wall_before = GetClock();
    for (int frame = 0; frame < 33; ++frame) {
      StartClock();
      WaitClock(30);
    }
    double wall = (GetClock() - wall_before) / 1000.0;
    state.counters["cpu_share_percent"] = 100.0 * (CpuSeconds() - cpu_before) / wall;
  }
}
BENCHMARK(BM_FrameClockCpuShare)->Iterations(1)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
  bool sdl = false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--sdl") == 0) sdl = true;
  // The SDL backend: its clock is the real one, which the frame-clock figure needs.
  platform::SelectBackend(platform::Backend::Sdl);
  if (sdl) {
    platform::RegisterWindowClass("BENCH", Procedure);
    with_window = platform::CreateGameWindow("BENCH", "Jed Grimstorm", 640, 480) != nullptr;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
