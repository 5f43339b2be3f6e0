#pragma once
// Inside the platform layer: how a finished picture reaches the screen (or the headless frame
// store), and which palette 8-bit pictures are shown with.
#include <cstdint>

#include "platform/video.h"
#include "platform/window.h"

namespace platform {

// The palette attached to the visible primary; null before one is attached.
Palette* ShownPalette();
void SetShownPrimary(Surface* primary);  // no reference is taken
Surface* ShownPrimary();
void ForgetSurface(const Surface* surface);  // called when a surface dies

// Hands the surface to the backend with the shown palette, counts the frame, and runs the
// present hook.
void PresentSurface(const Surface* surface);
// Runs the hook set by SetPresentHook (video/window.cpp).
void RunPresentHook(uint64_t frame_number);
bool WriteFramePng(const char* path, const Frame& frame);

// Keys latched per frame for recorded runs (desktop.h, video/key_latch.cpp): takes the sample
// the next frame reads (nothing unless latched), and answers from the last one.
void SampleLatchedKeys();
bool LatchedKeyDown(Key key);
bool LatchedCloseRequest();
// A focus loss while keys are latched: posted with the next sample.
void NoteFocusLost();
// The close request as it stands now (the key test may answer from a sample taken earlier).
bool CloseRequestedNow();

// 8-bit (with a palette; black without one) or 16-bit 5.6.5 pixels as RGB rows.
void ConvertPixels(const uint8_t* pixels, int width, int height, int bpp, int pitch, const PaletteEntries* palette,
                   Frame* frame);

}  // namespace platform
