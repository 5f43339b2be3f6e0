// Gamepads through SDL's game-controller layer: its mapping database names every pad's controls
// alike, pads come and go while the game runs, and any pad's control counts for its key.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <mutex>

#include "platform/video/sdl/sdl_desktop.h"

namespace platform {
namespace {

// One control: a button, or a stick or trigger pushed in one direction.
struct PadControl {
  SDL_GameControllerButton button = SDL_CONTROLLER_BUTTON_INVALID;
  SDL_GameControllerAxis axis = SDL_CONTROLLER_AXIS_INVALID;
  int direction = 0;  // -1 or +1 for an axis
};
struct PadBinding {
  std::vector<std::string> names;
  std::vector<PadControl> controls;
};
constexpr int kKeys = static_cast<int>(Key::Count);

bool ParseControl(const std::string& name, PadControl* control) {
  if (name.size() > 1 && (name[0] == '+' || name[0] == '-')) {
    control->axis = SDL_GameControllerGetAxisFromString(name.c_str() + 1);
    control->direction = name[0] == '+' ? 1 : -1;
    return control->axis != SDL_CONTROLLER_AXIS_INVALID;
  }
  control->button = SDL_GameControllerGetButtonFromString(name.c_str());
  return control->button != SDL_CONTROLLER_BUTTON_INVALID;
}

PadBinding BindingOf(std::vector<std::string> names) {
  PadBinding binding;
  for (const std::string& name : names) {
    PadControl control;
    if (ParseControl(name, &control)) binding.controls.push_back(control);
  }
  binding.names = std::move(names);
  return binding;
}

std::array<PadBinding, kKeys> DefaultPadBindings() {
  std::array<PadBinding, kKeys> b;
  b[static_cast<int>(Key::Left)] = BindingOf({"dpleft", "-leftx"});
  b[static_cast<int>(Key::Right)] = BindingOf({"dpright", "+leftx"});
  b[static_cast<int>(Key::Up)] = BindingOf({"b"});
  b[static_cast<int>(Key::Space)] = BindingOf({"a"});
  b[static_cast<int>(Key::Shift)] = BindingOf({"x", "rightshoulder"});
  b[static_cast<int>(Key::Enter)] = BindingOf({"start"});
  b[static_cast<int>(Key::Escape)] = BindingOf({"back"});
  return b;
}

std::mutex pads_lock;
std::array<PadBinding, kKeys>& PadBindings() {
  static std::array<PadBinding, kKeys> bindings = DefaultPadBindings();
  return bindings;
}
std::map<SDL_JoystickID, SDL_GameController*> open_pads;
int dead_zone_percent = kDefaultPadDeadZone;
bool started = false;
std::string mappings_file;

bool ValidKey(Key key) { return static_cast<int>(key) >= 0 && key < Key::Count; }

bool ControlDown(SDL_GameController* pad, const PadControl& control) {
  if (control.button != SDL_CONTROLLER_BUTTON_INVALID) return SDL_GameControllerGetButton(pad, control.button) != 0;
  const int threshold = 32767 * dead_zone_percent / 100;
  const int value = SDL_GameControllerGetAxis(pad, control.axis);
  return control.direction > 0 ? value > threshold : value < -threshold;
}

void OpenPad(int device_index) {
  SDL_GameController* pad = SDL_GameControllerOpen(device_index);
  if (!pad) return;
  const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
  if (open_pads.count(id)) {
    SDL_GameControllerClose(pad);  // opened twice: the reference just taken goes back
    return;
  }
  open_pads[id] = pad;
}

void ClosePad(SDL_JoystickID id) {
  auto found = open_pads.find(id);
  if (found == open_pads.end()) return;
  SDL_GameControllerClose(found->second);
  open_pads.erase(found);
}
}  // namespace

bool BindPadControls(Key key, const std::vector<std::string>& names, std::string* unknown) {
  if (!ValidKey(key)) return false;
  for (const std::string& name : names) {
    PadControl control;
    if (!ParseControl(name, &control)) {
      if (unknown) *unknown = name;
      return false;
    }
  }
  std::lock_guard<std::mutex> guard(pads_lock);
  PadBindings()[static_cast<int>(key)] = BindingOf(names);
  return true;
}

std::vector<std::string> DefaultPadControlNames(Key key) {
  if (!ValidKey(key)) return {};
  return DefaultPadBindings()[static_cast<int>(key)].names;
}

std::vector<std::string> PadControlNames(Key key) {
  if (!ValidKey(key)) return {};
  std::lock_guard<std::mutex> guard(pads_lock);
  return PadBindings()[static_cast<int>(key)].names;
}

void SetPadDeadZone(int percent) {
  std::lock_guard<std::mutex> guard(pads_lock);
  dead_zone_percent = std::clamp(percent, 0, 99);
}

int PadDeadZone() {
  std::lock_guard<std::mutex> guard(pads_lock);
  return dead_zone_percent;
}

int ConnectedPads() {
  std::lock_guard<std::mutex> guard(pads_lock);
  return static_cast<int>(open_pads.size());
}

void SetPadMappingsFile(const std::string& path) {
  std::lock_guard<std::mutex> guard(pads_lock);
  mappings_file = path;
}

namespace sdl {

void StartGamepads() {
  if (started) return;
  started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  if (!started) {
    std::fprintf(stderr, "Gamepads are not available: %s\n", SDL_GetError());
    return;
  }
  std::lock_guard<std::mutex> guard(pads_lock);
  if (!mappings_file.empty() && access(mappings_file.c_str(), R_OK) == 0 &&
      SDL_GameControllerAddMappingsFromFile(mappings_file.c_str()) < 0)
    std::fprintf(stderr, "Pad mappings in %s not read: %s\n", mappings_file.c_str(), SDL_GetError());
}

void HandlePadEvent(const SDL_Event& event) {
  std::lock_guard<std::mutex> guard(pads_lock);
  if (event.type == SDL_CONTROLLERDEVICEADDED) OpenPad(event.cdevice.which);
  if (event.type == SDL_CONTROLLERDEVICEREMOVED) ClosePad(event.cdevice.which);
}

bool PadHeld(Key key) {
  if (!ValidKey(key)) return false;
  std::lock_guard<std::mutex> guard(pads_lock);
  for (const auto& [id, pad] : open_pads)
    for (const PadControl& control : PadBindings()[static_cast<int>(key)].controls)
      if (ControlDown(pad, control)) return true;
  return false;
}

}  // namespace sdl
}  // namespace platform
