#pragma once
// Inside the platform layer: how a finished picture reaches the screen (or the headless frame
// store), and which palette 8-bit pictures are shown with.
#include <cstdint>

#include "platform/video.h"

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

// 8-bit (with a palette; black without one) or 16-bit 5.6.5 pixels as RGB rows.
void ConvertPixels(const uint8_t* pixels, int width, int height, int bpp, int pitch, const PaletteEntries* palette,
                   Frame* frame);

}  // namespace platform
