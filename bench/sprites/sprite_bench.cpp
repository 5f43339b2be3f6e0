// Figures: LoadBitmapFile of a 640 x 480 8-bit file (target below 1 ms), DrawSprite of a 72 x 74
// keyed frame onto the clipped 640 x 480 back surface (below 10 us), DrawBitmapImage of a
// 640 x 480 picture (below 100 us). SDL2 doing the same jobs runs beside them as the peer.
// Run: bench_sprites --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <string>

#include "display/bitmap.h"
#include "platform/backend.h"
#include "sprites/sprite.h"
#include "tests/display/bitmap/bmp_builder.h"

namespace {

constexpr uint8_t kKey = 196;

const std::string& ScreenFile() {
  static const std::string path = [] {
    BmpSpec spec;
    spec.width = 640;
    spec.height = 480;
    spec.pixels = PatternPixels(640, 480);
    std::string name = "/tmp/bench_sprites_640x480x8.bmp";
    WriteFileBytes(name, BuildBmp(spec));
    return name;
  }();
  return path;
}

void InitDisplay() {
  static const bool ready = [] {
    platform::SelectBackend(platform::Backend::Headless);
    return DisplayInit(640, 480, 8, 0) == 1;
  }();
  if (!ready) std::abort();
}

void BM_LoadBitmapFile(benchmark::State& state) {
  BitmapFile bitmap{};
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    if (LoadBitmapFile(&bitmap, ScreenFile().c_str()) != 1) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(bitmap.buffer);
  }
  UnloadBitmapFile(&bitmap);
}
BENCHMARK(BM_LoadBitmapFile)->Unit(benchmark::kMicrosecond);

void BM_Peer_SDL_LoadBMP(benchmark::State& state) {
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    SDL_Surface* surface = SDL_LoadBMP(ScreenFile().c_str());
    if (surface == nullptr) state.SkipWithError(SDL_GetError());
    benchmark::DoNotOptimize(surface);
    SDL_FreeSurface(surface);
  }
}
BENCHMARK(BM_Peer_SDL_LoadBMP)->Unit(benchmark::kMicrosecond);

// A hero-sized frame, half of it the key colour, drawn at (x, y) of the clipped back surface.
void BM_DrawSprite(benchmark::State& state) {
  InitDisplay();
  Sprite sprite{};
  if (CreateSprite(&sprite, 0, 0, 72, 74, 1, SPRITE_VISIBLE | SPRITE_SINGLE_FRAME, DDSCAPS_SYSTEMMEMORY, kKey, 8) != 1)
    state.SkipWithError("no sprite");
  SpriteFrame* frame = sprite.frames[0];
  for (int y = 0; y < 74; ++y)
    for (int x = 0; x < 72; ++x) frame->pixels()[y * frame->pitch() + x] = (x + y) % 2 ? kKey : 103;
  SetSpritePosition(&sprite, static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    if (DrawSprite(&sprite, back_surface) != 1) state.SkipWithError("draw failed");
  }
  DestroySprite(&sprite);
}
BENCHMARK(BM_DrawSprite)->Args({300, 200})->Args({600, 440})->Unit(benchmark::kMicrosecond);

void BM_Peer_SDL_BlitKeyed(benchmark::State& state) {
  SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 8, SDL_PIXELFORMAT_INDEX8);
  SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormat(0, 72, 74, 8, SDL_PIXELFORMAT_INDEX8);
  SDL_LockSurface(frame);
  for (int y = 0; y < 74; ++y)
    for (int x = 0; x < 72; ++x) static_cast<uint8_t*>(frame->pixels)[y * frame->pitch + x] = (x + y) % 2 ? kKey : 103;
  SDL_UnlockSurface(frame);
  SDL_SetColorKey(frame, SDL_TRUE, kKey);
  SDL_Rect at{static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), 72, 74};
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    SDL_Rect target = at;
    SDL_BlitSurface(frame, nullptr, screen, &target);
  }
  SDL_FreeSurface(frame);
  SDL_FreeSurface(screen);
}
BENCHMARK(BM_Peer_SDL_BlitKeyed)->Args({300, 200})->Args({600, 440})->Unit(benchmark::kMicrosecond);

// The title picture into the locked back surface; range(0) is the transparent flag.
void BM_DrawBitmapImage(benchmark::State& state) {
  InitDisplay();
  BitmapFile bitmap{};
  BitmapImage image{};
  if (LoadBitmapFile(&bitmap, ScreenFile().c_str()) != 1 || CreateBitmapImage(&image, 0, 0, 640, 480, 8) != 1 ||
      LoadBitmapImage(&image, &bitmap, 0, 0, 1) != 1)
    state.SkipWithError("no picture");
  UnloadBitmapFile(&bitmap);
  LockBackSurface();
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    if (DrawBitmapImage(&image, back_buffer, back_pitch, static_cast<int32_t>(state.range(0))) != 1)
      state.SkipWithError("draw failed");
    benchmark::ClobberMemory();
  }
  UnlockBackSurface();
  DestroyBitmapImage(&image);
}
BENCHMARK(BM_DrawBitmapImage)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Peer_SDL_BlitPicture(benchmark::State& state) {
  SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 8, SDL_PIXELFORMAT_INDEX8);
  SDL_Surface* picture = SDL_LoadBMP(ScreenFile().c_str());
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    SDL_BlitSurface(picture, nullptr, screen, nullptr);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(picture);
  SDL_FreeSurface(screen);
}
BENCHMARK(BM_Peer_SDL_BlitPicture)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
