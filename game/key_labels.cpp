#include "game/key_labels.h"

#include <cctype>

#include "platform/desktop.h"

using platform::Key;

namespace {
std::string BoundNames(Key key) {
  std::string label;
  for (const std::string& name : platform::KeyboardKeyNames(key)) label += (label.empty() ? "" : "/") + name;
  return label.empty() ? "(no key)" : label;
}
}  // namespace

std::string KeyLabel(Key key, const char* default_label, bool upper) {
  if (platform::KeyboardKeyNames(key) == platform::DefaultKeyboardKeyNames(key)) return default_label;
  std::string label = BoundNames(key);
  if (upper)
    for (char& c : label) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return label;
}

std::string PauseText() {
  return "PAUSED:  Press " + KeyLabel(Key::Space, "SPACE BAR", true) + " to return, " +
         KeyLabel(Key::Escape, "ESCAPE", true) + " to exit";
}

std::string MovementControlText() {
  const bool arrows = platform::KeyboardKeyNames(Key::Left) == platform::DefaultKeyboardKeyNames(Key::Left) &&
                      platform::KeyboardKeyNames(Key::Right) == platform::DefaultKeyboardKeyNames(Key::Right);
  if (arrows) return "Left/Right Arrows = Movement";
  return BoundNames(Key::Left) + ", " + BoundNames(Key::Right) + " = Movement";
}

std::string JumpControlText() { return KeyLabel(Key::Up, "Up Arrow") + " = Jump"; }
std::string PunchControlText() { return KeyLabel(Key::Space, "Space") + " = Regular Attack"; }
std::string SpecialControlText() { return KeyLabel(Key::Shift, "Shift") + " = Special Attack(uses RAGE)"; }
std::string ContinuePromptText() { return "*Press " + KeyLabel(Key::Enter, "Enter") + " to Continue*"; }
