#include "game/options_menu.h"

#include <strings.h>

#include <algorithm>

#include "game/game_actions.h"
#include "game/screen_keys.h"
#include "game/volumes.h"

using platform::Key;

namespace {

using Action = GameAction;
constexpr const auto& kActions = kGameActions;
constexpr int kActionCount = static_cast<int>(std::size(kActions));

// The rows: four values, the keyboard and pad bindings, then the two commands.
enum Row {
  kMusic,
  kEffects,
  kDisplay,
  kScaling,
  kFirstKey,
  kFirstPad = kFirstKey + kActionCount,
  kReset = kFirstPad + kActionCount,
  kBack,
  kRows
};

constexpr int kVolumeStep = 10;

bool Same(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

std::string Joined(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
  return joined.empty() ? "-" : joined;
}

// The action other than `except` that the control is bound to, or null.
const Action* BoundElsewhere(const platform::PressedControl& press, Key except) {
  for (const Action& action : kActions) {
    if (action.key == except) continue;
    const auto names = press.pad ? platform::PadControlNames(action.key) : platform::KeyboardKeyNames(action.key);
    for (const std::string& name : names)
      if (Same(name, press.name)) return &action;
  }
  return nullptr;
}

}  // namespace

OptionsMenu::OptionsMenu(SoundVolumes* volumes, std::function<void()> changed)
    : volumes_(volumes), changed_(std::move(changed)) {}

OptionsMenu::Move OptionsMenu::MoveOf(const platform::PressedControl& press) {
  struct Named {
    const char* key;
    const char* button;
    Move move;
  };
  static constexpr Named kMoves[] = {
      {"Up", "dpup", Move::Up},          {"Down", "dpdown", Move::Down}, {"Left", "dpleft", Move::Left},
      {"Right", "dpright", Move::Right}, {"Return", "a", Move::Choose},  {"Keypad Enter", "start", Move::Choose},
      {"Space", "", Move::Choose},       {"Escape", "b", Move::Back},    {"Backspace", "back", Move::Back}};
  for (const Named& named : kMoves)
    if (press.name == (press.pad ? named.button : named.key)) return named.move;
  return Move::None;
}

bool OptionsMenu::Press(const platform::PressedControl& press) {
  if (waiting_) {
    Bind(press);
    return true;
  }
  notice_.clear();
  switch (MoveOf(press)) {
    case Move::Up: selected_ = (selected_ + kRows - 1) % kRows; break;
    case Move::Down: selected_ = (selected_ + 1) % kRows; break;
    case Move::Left: Change(-1); break;
    case Move::Right: Change(1); break;
    case Move::Choose:
      if (selected_ == kBack) return false;
      Choose();
      break;
    case Move::Back: return false;
    case Move::None: break;
  }
  return true;
}

void OptionsMenu::Change(int direction) {
  platform::DisplayMode mode = platform::CurrentDisplayMode();
  if (selected_ == kMusic || selected_ == kEffects) {
    int& volume = selected_ == kMusic ? volumes_->music : volumes_->effects;
    volume = std::clamp(volume + direction * kVolumeStep, 0, 100);
    ApplyVolumes(*volumes_);
  } else if (selected_ == kDisplay) {
    mode.fullscreen = !mode.fullscreen;
    platform::SetDisplayMode(mode);
  } else if (selected_ == kScaling) {
    mode.scaling = static_cast<platform::Scaling>((static_cast<int>(mode.scaling) + 3 + direction) % 3);
    platform::SetDisplayMode(mode);
  } else {
    return;
  }
  if (changed_) changed_();
}

void OptionsMenu::Choose() {
  if (selected_ >= kFirstKey && selected_ < kReset) {
    waiting_ = true;
    const bool pad = selected_ >= kFirstPad;
    notice_ = std::string("Press the ") + (pad ? "pad button" : "key") + " for " +
              kActions[(selected_ - kFirstKey) % kActionCount].label + (pad ? " (Escape: keep)" : " (F1: keep)");
    return;
  }
  if (selected_ == kReset) {
    RestoreDefaultSettings(volumes_);
    ApplyVolumes(*volumes_);
    notice_ = "Every setting is back to its default";
    if (changed_) changed_();
    return;
  }
  Change(1);  // the value rows turn over on Enter as on Right
}

void OptionsMenu::Bind(const platform::PressedControl& press) {
  const bool pad_row = selected_ >= kFirstPad;
  const Action& action = kActions[(selected_ - kFirstKey) % kActionCount];
  if (press.pad != pad_row) {
    // Escape on the keyboard gives up waiting for a button; F1 gives up waiting for a key.
    if (!press.pad && press.name == "Escape") {
      waiting_ = false;
      notice_.clear();
    }
    return;
  }
  waiting_ = false;
  if (!pad_row && press.name == "F1") {
    notice_.clear();
    return;
  }
  if (Same(press.name, pad_row ? kOptionsPadButton : kOptionsKeyName) ||
      Same(press.name, pad_row ? kScoresPadButton : kScoresKeyName)) {
    notice_ = press.name + " opens the options or the scores: not changed";
    return;
  }
  if (const Action* other = BoundElsewhere(press, action.key)) {
    notice_ = press.name + " is already " + other->label + ": not changed";
    return;
  }
  std::string unknown;
  const bool bound = pad_row ? platform::BindPadControls(action.key, {press.name}, &unknown)
                             : platform::BindKeyboardKeys(action.key, {press.name}, &unknown);
  notice_ = bound ? std::string(action.label) + " is now " + press.name : "no key is called " + unknown;
  if (bound && changed_) changed_();
}

std::vector<std::string> OptionsMenu::Lines() const {
  const platform::DisplayMode mode = platform::CurrentDisplayMode();
  std::vector<std::string> lines = {
      "Music volume        " + std::to_string(volumes_->music),
      "Effects volume      " + std::to_string(volumes_->effects),
      std::string("Display             ") + (mode.fullscreen ? "full screen" : "window"),
      std::string("Scaling             ") + platform::ScalingName(mode.scaling),
  };
  for (const Action& action : kActions)
    lines.push_back(std::string("Key for ") + action.label + ": " + Joined(platform::KeyboardKeyNames(action.key)));
  for (const Action& action : kActions)
    lines.push_back(std::string("Pad for ") + action.label + ": " + Joined(platform::PadControlNames(action.key)));
  lines.push_back("Reset to defaults");
  lines.push_back("Back");
  for (int row = 0; row < kRows; ++row) lines[row] = (row == selected_ ? "> " : "   ") + lines[row];
  return lines;
}
