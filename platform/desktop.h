#pragma once
// What a desktop player expects around the game's keys: other keyboard keys or gamepad controls
// for them, a window that switches to full screen and back (Alt+Enter, F11) and can be resized,
// screenshots (F12), a notice when the window loses the focus, and keys sampled once per frame for
// recorded runs. None of it changes what the game sees unless the player uses it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/video.h"
#include "platform/window.h"

namespace platform {

// The keyboard keys (SDL key names, e.g. "Left Shift", "A", "Keypad Enter") that count as the
// game's key from now on, replacing the earlier list. False, with the offending name in *unknown
// and nothing changed, when a name is not a key. An empty list leaves the key unbound.
bool BindKeyboardKeys(Key key, const std::vector<std::string>& names, std::string* unknown);
// The gamepad controls for the key: SDL button names ("a", "start", "dpleft", "rightshoulder")
// and stick directions ("-leftx", "+lefty", "+righttrigger"). Same rules as above.
bool BindPadControls(Key key, const std::vector<std::string>& names, std::string* unknown);
// The names bound now (as given, or the defaults).
std::vector<std::string> KeyboardKeyNames(Key key);
std::vector<std::string> DefaultKeyboardKeyNames(Key key);
std::vector<std::string> PadControlNames(Key key);
std::vector<std::string> DefaultPadControlNames(Key key);
// How far a stick must move (percent of its travel, 0..99) before it counts as pressed.
constexpr int kDefaultPadDeadZone = 25;
void SetPadDeadZone(int percent);
int PadDeadZone();
// Gamepads connected now.
int ConnectedPads();
// A file of extra pad mappings (SDL's gamecontrollerdb.txt format) read when pads start; beside
// SDL's own database and SDL_GAMECONTROLLERCONFIG. A missing file is no error.
void SetPadMappingsFile(const std::string& path);

// How the picture fills a screen or window larger than itself: fit (as large as the output
// allows with its shape kept, sharp: whole factor by nearest pixel, then one smooth step),
// integer (whole factors only, letterboxed) or stretch (the whole output, shape not kept).
enum class Scaling { Fit, Integer, Stretch };
const char* ScalingName(Scaling scaling);  // "fit", "integer", "stretch"
bool ScalingNamed(const std::string& name, Scaling* scaling);

// Keys and pad buttons as pressed, for screens that ask the player to press the one to use:
// keyboard keys by SDL scancode name ("A", "Left Shift"), pad buttons by SDL button name ("y").
// Only kept while collection is on, at most the last 16.
struct PressedControl {
  bool pad = false;
  std::string name;
};
void CollectPresses(bool on);  // turning it on or off forgets what was kept
bool TakePress(PressedControl* press);
// Called by the backend for each press (headless: by the program driving it).
void NotePress(const PressedControl& press);

struct DisplayMode {
  bool fullscreen = true;
  int window_width = 1280, window_height = 960;  // the window's size when not full screen
  Scaling scaling = Scaling::Fit;
  bool operator==(const DisplayMode&) const = default;
};
// Before the window opens: how it will open (JED_WINDOWED=1 still forces a window). Afterwards the
// window changes at once.
void SetDisplayMode(const DisplayMode& mode);
DisplayMode CurrentDisplayMode();
// Called (on the game's thread) after the player switched mode or resized the window.
void SetDisplayModeObserver(std::function<void(const DisplayMode&)> observer);
// Where the 640 x 480 picture goes in an output of the given size, centred. Integer: the largest
// whole scale that fits (a smaller output gets the largest fitting fraction instead); fit: the
// largest size of the picture's shape; stretch: the whole output.
struct ShownArea {
  int x, y, width, height;
};
ShownArea PictureArea(int output_width, int output_height, int picture_width, int picture_height,
                      Scaling scaling = Scaling::Integer);
// The whole factor the picture is first enlarged by (nearest pixel) before the last smooth step
// to the area: the largest that does not exceed the area, at least 1.
int SharpPrescale(const ShownArea& area, int picture_width, int picture_height);
// A window of the wanted size (its inside) with the given frame around it, put on the usable part
// of the desktop: shrunk with its shape kept until frame and all fit, and centred there. Gives the
// inside's place and size.
struct WindowFrame {
  int left = 0, top = 0, right = 0, bottom = 0;
};
ShownArea PlaceWindow(const ShownArea& usable, const WindowFrame& frame, int width, int height);
// The window's icon (any size; 64 x 64 or so suits every desktop), set now or when it opens.
void SetWindowIcon(const Frame& picture);

// F12: the last presented picture as PNG in the pictures folder; the path is printed on stdout.
// Returns the path, or "" (with a message on stderr) when it could not be written.
std::string SaveScreenshot();
// The folder screenshots go to: XDG_PICTURES_DIR (environment, then ~/.config/user-dirs.dirs)
// when it exists, else ~/Pictures when it exists, else $XDG_DATA_HOME/jed-grimstorm/screenshots
// (~/.local/share/... without it), made when the first screenshot is written.
std::string ScreenshotFolder();
// Called with the frame number and path of every screenshot written.
void SetScreenshotObserver(std::function<void(uint64_t frame, const std::string& path)> observer);

// The window lost the focus: WM_ACTIVATE with WA_INACTIVE is posted to the game window.
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uintptr_t WA_INACTIVE = 0;

// Recorded runs: from now on the keys (and a close request) are sampled at every present and the
// key test answers from that sample until the next one, as the headless backend does with a
// script. Window-system notices (focus loss) are posted at the present too.
void LatchKeysPerFrame();
bool KeysLatched();
struct FrameInput {
  uint32_t keys = 0;        // KeyBit masks
  bool close = false;       // the window was closed or the program signalled
  bool focus_lost = false;  // WM_ACTIVATE(WA_INACTIVE) was posted with this sample
};
// The sample the next frame reads (taken at the last present).
FrameInput LatchedInput();

}  // namespace platform
