#pragma once
// The video and window service's backend table: an SDL window on the screen, or the headless
// frame store driven by injected keys.
#include "platform/video.h"
#include "platform/window.h"

namespace platform {

struct VideoBackend {
  // Opens the game window (headless: nothing to open). False when it cannot be shown.
  bool (*open_window)(const char* title, int width, int height);
  // Puts a finished picture on the screen (headless: keeps a copy of its pixels and palette).
  // Runs with the present lock held; palette may be null.
  void (*show)(const Surface* surface, const Palette* palette);
  // The picture shown last as RGB, one pixel per picture pixel; false when there is none.
  // Runs with the present lock held.
  bool (*capture)(Frame* frame);
  // Delivers window-system events (a close request ends the program's phases).
  void (*pump_events)();
  // Is the key held now.
  bool (*key_held)(Key key);
  // Shows or hides the mouse cursor; the display count after the call (0 shown, -1 hidden).
  int (*show_cursor)(bool show);
  // A modal error box, closed by the user (headless: none). False when nothing was shown.
  bool (*show_error_box)(const char* title, const char* text);
};

extern const VideoBackend kSdlVideo;                        // video/sdl
bool SdlShowErrorBox(const char* title, const char* text);  // video/sdl/sdl_message_box.cpp
extern const VideoBackend kHeadlessVideo;                   // video/headless

// The backend of this process, chosen on first use.
const VideoBackend& Video();

}  // namespace platform
