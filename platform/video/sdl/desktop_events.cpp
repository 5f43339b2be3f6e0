// The window-system events beside the game's keys: Alt+Enter and F11 switch the display, F12
// takes a screenshot, resizing keeps the letterbox, pads come and go, and a lost focus is posted
// to the game window.
#include "platform/video/present.h"
#include "platform/video/sdl/sdl_desktop.h"

namespace platform::sdl {
namespace {

void HandleKeyDown(const SDL_KeyboardEvent& key) {
  if (key.repeat) return;
  const SDL_Scancode code = key.keysym.scancode;
  const bool alt = (key.keysym.mod & KMOD_ALT) != 0;
  if (code == SDL_SCANCODE_F11 || (alt && (code == SDL_SCANCODE_RETURN || code == SDL_SCANCODE_KP_ENTER))) {
    if (code != SDL_SCANCODE_F11) SwallowEnterUntilReleased();
    ToggleFullscreen();
  } else if (code == SDL_SCANCODE_F12) {
    SaveScreenshot();
  } else {
    NotePress({false, SDL_GetScancodeName(code)});
  }
}

void FocusLost() {
  if (KeysLatched()) {
    NoteFocusLost();  // posted with the next frame's keys, so a replay posts it at the same point
    return;
  }
  if (HWND window = GameWindowHandle()) PostMessage(window, WM_ACTIVATE, WA_INACTIVE, 0);
}

}  // namespace

void HandleDesktopEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN: HandleKeyDown(event.key); break;
    case SDL_CONTROLLERBUTTONDOWN:
      if (const char* name =
              SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(event.cbutton.button)))
        NotePress({true, name});
      break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED: HandlePadEvent(event); break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) FocusLost();
      HandleWindowEvent(event.window);
      break;
    default: break;
  }
}

}  // namespace platform::sdl
