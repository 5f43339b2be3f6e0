#pragma once
// The game's seven bindable actions: their names in the settings file, on the options screen,
// and the key each one is.
#include "platform/window.h"

struct GameAction {
  const char* setting;  // settings file: walk_left
  const char* label;    // options screen: walk left
  platform::Key key;
};

constexpr GameAction kGameActions[] = {{"walk_left", "walk left", platform::Key::Left},
                                       {"walk_right", "walk right", platform::Key::Right},
                                       {"jump", "jump", platform::Key::Up},
                                       {"punch", "punch", platform::Key::Space},
                                       {"special", "special", platform::Key::Shift},
                                       {"pause", "pause", platform::Key::Enter},
                                       {"escape", "escape", platform::Key::Escape}};
