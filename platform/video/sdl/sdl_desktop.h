#pragma once
// Inside the SDL backend: the desktop parts (bindings, gamepads, display mode, window-system
// notices) as the window code calls them.
#include <SDL.h>

#include "platform/desktop.h"

namespace platform::sdl {

SDL_Window* GameSdlWindow();

// Keyboard: is one of the key's bound keys down in this keyboard state.
bool KeyboardHeld(Key key, const Uint8* keyboard);
// Enter read while Alt is down, or still held from an Alt+Enter switch, is not the game's Enter.
void SwallowEnterUntilReleased();

// Gamepads: opens the controller subsystem (pads already plugged in arrive as device events).
void StartGamepads();
bool PadHeld(Key key);
void HandlePadEvent(const SDL_Event& event);

// Display: the flags and size the window opens with; switching and resizing.
Uint32 OpeningWindowFlags(int picture_width, int picture_height, int* width, int* height);
void ToggleFullscreen();
// A window (not full screen) of the given inside size, shrunk to fit the usable desktop with its
// frame and centred there.
void PutWindowOnDesktop(int width, int height);
void PlaceOnDesktop(int width, int height);  // the same, as a window-system event asks again
// The icon given to SetWindowIcon, on the game window (nothing before it opens).
void ApplyWindowIcon();
void HandleWindowEvent(const SDL_WindowEvent& event);

// Everything of the above that an event asks for; called for each event the backend takes.
void HandleDesktopEvent(const SDL_Event& event);

}  // namespace platform::sdl
