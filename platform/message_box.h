#pragma once
// An error message for a person at the screen (MessageBox with MB_ICONERROR).
namespace platform {

// Shows a modal error box and waits until it is closed. False, with nothing shown, on the
// headless backend or when no display can be opened.
bool ShowErrorBox(const char* title, const char* text);

}  // namespace platform
