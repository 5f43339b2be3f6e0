#pragma once
// Inside the platform layer: how a finished picture reaches the screen (or the headless frame
// store), and which palette 8-bit pictures are shown with.
#include "platform/video.h"
#include "platform/window.h"

namespace platform {

// The palette attached to the visible primary; null before one is attached.
Palette* ShownPalette();
void SetShownPrimary(Surface* primary);  // no reference is taken
Surface* ShownPrimary();
void ForgetSurface(const Surface* surface);  // called when a surface dies

// Converts the surface to RGB with the shown palette, keeps it as the last presented frame,
// runs the headless present hook, and with the SDL backend puts it on the screen.
void PresentSurface(const Surface* surface);
bool WriteFramePng(const char* path, const Frame& frame);
// The close request as it stands now (the key test may answer from a sample taken earlier).
bool CloseRequestedNow();

// Backend parts (platform/sdl, platform/headless).
namespace sdl {
bool OpenWindow(const char* title, int width, int height);
// Converts and shows the picture; reads back what the window shows (after scaling) as RGB.
void ShowSurface(const Surface* surface, const Palette* palette);
bool ReadScreen(Frame* frame);
void PumpEvents();
bool KeyHeld(int key);  // platform::Key as int
int ShowCursor(bool show);
// Recorded runs: takes the keys the next frame reads (nothing unless keys are latched).
void SampleLatchedKeys();
bool LatchedKeyDown(Key key);
bool LatchedCloseRequest();
}  // namespace sdl
namespace headless {
void RunPresentHook(uint64_t frame_number);
}

}  // namespace platform
