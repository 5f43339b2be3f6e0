#include "game/phase_loop.h"

#include "game/focus_pause.h"
#include "platform/desktop.h"

using namespace platform;

intptr_t GameWindowProc(HWND window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  switch (message) {
    case WM_CREATE: return 0;
    case WM_PAINT: ValidateWindow(window); return 0;
    case WM_DESTROY:
      // The window stays; the message only marks the end of the phase.
      PostQuitMessage(0);
      return 0;
    case WM_ACTIVATE:
      if (wparam == WA_INACTIVE) PauseOnLostFocus();
      return 0;
    default: return DefWindowProc(window, message, wparam, lparam);
  }
}

PhaseEnd RunPhaseLoop(const std::function<void()>& frame) {
  PhaseEnd end;
  for (;;) {
    // A closed window ends every phase at once; the caller then tears the game down.
    if (QuitRequested()) {
      end.program_quit = true;
      return end;
    }
    MSG msg{};
    if (PeekMessage(&msg)) {
      if (msg.message == WM_QUIT) {
        end.exit_code = msg.wParam;
        return end;
      }
      DispatchMessage(&msg);
    }
    frame();
  }
}
