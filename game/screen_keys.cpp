#include "game/screen_keys.h"

#include "platform/desktop.h"

ScreenKey TakeScreenKey() {
  ScreenKey key = ScreenKey::None;
  platform::PressedControl press;
  while (platform::TakePress(&press)) {
    if (key != ScreenKey::None) continue;
    if (press.name == (press.pad ? kOptionsPadButton : kOptionsKeyName)) key = ScreenKey::Options;
    if (press.name == (press.pad ? kScoresPadButton : kScoresKeyName)) key = ScreenKey::Scores;
  }
  return key;
}
