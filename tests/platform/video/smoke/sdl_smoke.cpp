// Starts the SDL backend, presents a picture with a known palette and reads the screen back.
#include <cstdio>

#include "platform/backend.h"
#include "platform/video.h"
#include "platform/window.h"

namespace {
intptr_t Procedure(platform::HWND, uint32_t, uintptr_t, intptr_t) { return 0; }

int Fail(const char* what) {
  std::fprintf(stderr, "sdl_smoke: %s\n", what);
  return 1;
}
}  // namespace

int main() {
  using namespace platform;
  if (!SelectBackend(Backend::Sdl)) return Fail("SDL backend not selectable");
  if (!RegisterWindowClass("SMOKE", Procedure)) return Fail("class");
  HWND window = CreateGameWindow("SMOKE", "Jed Grimstorm", 640, 480);
  if (!window) return Fail("window");
  Display* display = Display::Create();
  if (!display->SetDisplayMode(640, 480, 8)) return Fail("mode");
  Surface* primary = display->CreatePrimary(1);
  PaletteEntry colors[256] = {};
  colors[1] = {255, 0, 0, 0};
  colors[2] = {0, 0, 255, 0};
  Palette* palette = Palette::Create(colors);
  primary->SetPalette(palette);
  Surface* back = primary->attached_back();
  // Left half red, right half blue, one green-free marker row.
  Rect left{0, 0, 320, 480}, right{320, 0, 640, 480};
  back->Blt(&left, nullptr, nullptr, kBltColorFill, 1);
  back->Blt(&right, nullptr, nullptr, kBltColorFill, 2);
  if (!primary->Flip()) return Fail("flip");
  const Frame& frame = LastPresentedFrame();
  if (frame.width != 640 || frame.height != 480) return Fail("no picture read back");
  auto at = [&](int x, int y) { return &frame.rgb[(static_cast<size_t>(y) * 640 + x) * 3]; };
  const uint8_t* a = at(10, 240);
  const uint8_t* b = at(630, 240);
  if (a[0] != 255 || a[1] != 0 || a[2] != 0) return Fail("left half is not red");
  if (b[0] != 0 || b[1] != 0 || b[2] != 255) return Fail("right half is not blue");
  if (!SaveLastFramePng("sdl_smoke.png")) return Fail("png");
  std::printf("sdl_smoke: picture shown and read back\n");
  primary->Release();
  palette->Release();
  display->Release();
  return 0;
}
