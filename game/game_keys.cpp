#include "game/game_keys.h"

#include "platform/window.h"

using platform::Key;
using platform::KeyDown;

GameKeys ReadGameKeys() {
  GameKeys keys;
  keys.left = KeyDown(Key::Left);
  keys.right = KeyDown(Key::Right);
  keys.up = KeyDown(Key::Up);
  keys.space = KeyDown(Key::Space);
  keys.shift = KeyDown(Key::Shift);
  keys.enter = KeyDown(Key::Enter);
  keys.escape = KeyDown(Key::Escape);
  return keys;
}

bool EscapeOrEnterDown() { return KeyDown(Key::Escape) || KeyDown(Key::Enter); }
