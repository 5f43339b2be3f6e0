#pragma once
// The game window's procedure and the phase loops: one message at most per turn, then one frame.
#include <cstdint>
#include <functional>

#include "platform/window.h"

// WM_CREATE and WM_PAINT are answered here, a lost focus pauses the level, WM_DESTROY becomes the quit that ends the
// phase, everything else goes to DefWindowProc.
intptr_t GameWindowProc(platform::HWND window, uint32_t message, uintptr_t wparam, intptr_t lparam);

struct PhaseEnd {
  uintptr_t exit_code = 0;    // wParam of the WM_QUIT that ended the phase
  bool program_quit = false;  // the window was closed or the program was signalled
};

// Runs turns until a WM_QUIT is taken from the queue, or the program is asked to quit. The frame
// runs in every turn, whether or not a message was dispatched in it.
PhaseEnd RunPhaseLoop(const std::function<void()>& frame);
