// Which keyboard keys count as each of the game's keys. The defaults are the keys the game has
// always read; a binding replaces a key's list.
#include <array>
#include <mutex>

#include "platform/video/sdl/sdl_desktop.h"

namespace platform {
namespace {

struct Binding {
  std::vector<std::string> names;
  std::vector<SDL_Scancode> codes;
};

constexpr int kKeys = static_cast<int>(Key::Count);

std::array<Binding, kKeys> DefaultBindings() {
  std::array<Binding, kKeys> b;
  auto set = [&](Key key, std::vector<std::string> names, std::vector<SDL_Scancode> codes) {
    b[static_cast<int>(key)] = {std::move(names), std::move(codes)};
  };
  set(Key::Left, {"Left"}, {SDL_SCANCODE_LEFT});
  set(Key::Right, {"Right"}, {SDL_SCANCODE_RIGHT});
  set(Key::Up, {"Up"}, {SDL_SCANCODE_UP});
  set(Key::Down, {"Down"}, {SDL_SCANCODE_DOWN});
  set(Key::Space, {"Space"}, {SDL_SCANCODE_SPACE});
  set(Key::Shift, {"Left Shift", "Right Shift"}, {SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT});
  set(Key::Enter, {"Return", "Keypad Enter"}, {SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER});
  set(Key::Escape, {"Escape"}, {SDL_SCANCODE_ESCAPE});
  return b;
}

std::mutex bindings_lock;
std::array<Binding, kKeys>& Bindings() {
  static std::array<Binding, kKeys> bindings = DefaultBindings();
  return bindings;
}

bool ValidKey(Key key) { return static_cast<int>(key) >= 0 && key < Key::Count; }

// A scancode name first (where the key sits), then a key name of the current layout.
SDL_Scancode ScancodeByName(const std::string& name) {
  SDL_Scancode code = SDL_GetScancodeFromName(name.c_str());
  if (code != SDL_SCANCODE_UNKNOWN) return code;
  SDL_Keycode keycode = SDL_GetKeyFromName(name.c_str());
  return keycode == SDLK_UNKNOWN ? SDL_SCANCODE_UNKNOWN : SDL_GetScancodeFromKey(keycode);
}

bool enter_swallowed = false;
}  // namespace

bool BindKeyboardKeys(Key key, const std::vector<std::string>& names, std::string* unknown) {
  if (!ValidKey(key)) return false;
  Binding binding;
  for (const std::string& name : names) {
    const SDL_Scancode code = ScancodeByName(name);
    if (code == SDL_SCANCODE_UNKNOWN) {
      if (unknown) *unknown = name;
      return false;
    }
    binding.names.push_back(name);
    binding.codes.push_back(code);
  }
  std::lock_guard<std::mutex> guard(bindings_lock);
  Bindings()[static_cast<int>(key)] = std::move(binding);
  return true;
}

std::vector<std::string> KeyboardKeyNames(Key key) {
  if (!ValidKey(key)) return {};
  std::lock_guard<std::mutex> guard(bindings_lock);
  return Bindings()[static_cast<int>(key)].names;
}

std::vector<std::string> DefaultKeyboardKeyNames(Key key) {
  if (!ValidKey(key)) return {};
  return DefaultBindings()[static_cast<int>(key)].names;
}

namespace sdl {

void SwallowEnterUntilReleased() { enter_swallowed = true; }

bool KeyboardHeld(Key key, const Uint8* keyboard) {
  if (!ValidKey(key) || !keyboard) return false;
  std::lock_guard<std::mutex> guard(bindings_lock);
  bool down = false;
  for (SDL_Scancode code : Bindings()[static_cast<int>(key)].codes) down = down || keyboard[code];
  if (key != Key::Enter) return down;
  // Alt+Enter switches the display; its Enter is not the game's, until it is let go.
  const bool return_down = keyboard[SDL_SCANCODE_RETURN] || keyboard[SDL_SCANCODE_KP_ENTER];
  if (enter_swallowed && !return_down) enter_swallowed = false;
  const bool alt_down = keyboard[SDL_SCANCODE_LALT] || keyboard[SDL_SCANCODE_RALT];
  return down && !enter_swallowed && !(alt_down && return_down);
}

}  // namespace sdl
}  // namespace platform
