// Gamepads answer the game's key test: every default control, the dead zone, several pads at
// once, re-binding, and pads plugged in and pulled out while a level runs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "game/phase_loop.h"
#include "game/win_main.h"
#include "game/world.h"
#include "platform/backend.h"
#include "platform/desktop.h"
#include "platform/window.h"
#include "tests/platform/video/sdl/virtual_pad.h"

using platform::Key;

namespace {

constexpr Key kGameKeys[] = {Key::Left, Key::Right, Key::Up, Key::Space, Key::Shift, Key::Enter, Key::Escape};

// The game's window on the SDL backend (the dummy video driver shows nothing).
void OpenGameWindow() {
  ASSERT_TRUE(platform::SelectBackend(platform::Backend::Sdl));
  ASSERT_TRUE(platform::RegisterWindowClass("WINCLASS1", GameWindowProc));
  ASSERT_NE(platform::CreateGameWindow("WINCLASS1", "Jed Grimstorm", 640, 480), nullptr);
}

// The keys the key test reports now, as KeyBit masks.
uint32_t KeysDown() {
  uint32_t keys = 0;
  for (Key key : kGameKeys)
    if (platform::KeyDown(key)) keys |= platform::KeyBit(key);
  return keys;
}

// Pads arrive (and leave) as events: pumping them is part of the key test.
bool WaitForPads(int count) {
  for (int i = 0; i < 100 && platform::ConnectedPads() != count; ++i) {
    KeysDown();
    SDL_Delay(1);
  }
  return platform::ConnectedPads() == count;
}

class GamepadTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // No window has the focus under the dummy display: let the pads through all the same.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
    OpenGameWindow();
  }
};

TEST_F(GamepadTest, DefaultControlsAnswerTheKeyTest) {
  VirtualPad pad;
  ASSERT_TRUE(pad.attached()) << SDL_GetError();
  ASSERT_TRUE(WaitForPads(1));
  EXPECT_EQ(KeysDown(), 0u);
  const struct {
    SDL_GameControllerButton button;
    Key key;
  } kButtons[] = {{SDL_CONTROLLER_BUTTON_A, Key::Space},        {SDL_CONTROLLER_BUTTON_B, Key::Up},
                  {SDL_CONTROLLER_BUTTON_X, Key::Shift},        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, Key::Shift},
                  {SDL_CONTROLLER_BUTTON_START, Key::Enter},    {SDL_CONTROLLER_BUTTON_BACK, Key::Escape},
                  {SDL_CONTROLLER_BUTTON_DPAD_LEFT, Key::Left}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, Key::Right}};
  for (const auto& [button, key] : kButtons) {
    pad.Button(button, true);
    EXPECT_EQ(KeysDown(), platform::KeyBit(key)) << SDL_GameControllerGetStringForButton(button);
    pad.Button(button, false);
    EXPECT_EQ(KeysDown(), 0u) << SDL_GameControllerGetStringForButton(button);
  }
  pad.Button(SDL_CONTROLLER_BUTTON_Y, true);  // no key of the game
  EXPECT_EQ(KeysDown(), 0u);
  pad.Button(SDL_CONTROLLER_BUTTON_Y, false);
}

TEST_F(GamepadTest, LeftStickWalksOutsideTheDeadZone) {
  VirtualPad pad;
  ASSERT_TRUE(WaitForPads(1));
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
  EXPECT_EQ(KeysDown(), platform::KeyBit(Key::Left));
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 30000);
  EXPECT_EQ(KeysDown(), platform::KeyBit(Key::Right));
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 6000);  // a resting stick's drift, inside 25 %
  EXPECT_EQ(KeysDown(), 0u);
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -6000);
  EXPECT_EQ(KeysDown(), 0u);
  platform::SetPadDeadZone(10);
  EXPECT_EQ(KeysDown(), platform::KeyBit(Key::Left));
  platform::SetPadDeadZone(25);
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);  // up on the stick is not a jump
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
  EXPECT_EQ(KeysDown(), 0u);
}

TEST_F(GamepadTest, AnyOfSeveralPadsDrivesTheHero) {
  VirtualPad first, second;
  ASSERT_TRUE(WaitForPads(2));
  first.Button(SDL_CONTROLLER_BUTTON_A, true);
  second.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  EXPECT_EQ(KeysDown(), platform::KeyBit(Key::Space) | platform::KeyBit(Key::Right));
  first.Unplug();
  ASSERT_TRUE(WaitForPads(1));
  EXPECT_EQ(KeysDown(), platform::KeyBit(Key::Right));  // the pad left with its button down
}

TEST_F(GamepadTest, BindingsReplaceTheDefaults) {
  VirtualPad pad;
  ASSERT_TRUE(WaitForPads(1));
  std::string unknown;
  ASSERT_TRUE(platform::BindPadControls(Key::Up, {"y", "+righttrigger"}, &unknown));
  EXPECT_FALSE(platform::BindPadControls(Key::Up, {"a", "wheel"}, &unknown));
  EXPECT_EQ(unknown, "wheel");
  pad.Button(SDL_CONTROLLER_BUTTON_B, true);
  EXPECT_EQ(KeysDown(), 0u);
  pad.Button(SDL_CONTROLLER_BUTTON_B, false);
  pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
  EXPECT_EQ(KeysDown(), platform::KeyBit(Key::Up));
  pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);
  ASSERT_TRUE(platform::BindPadControls(Key::Up, {"b"}, &unknown));
}

// A whole game on the pad: Start through the title and the story, a pad plugged in mid-level
// walks the hero, pulling it out stops him at once, and another pad's Back leaves the level.
TEST_F(GamepadTest, HotPlugDuringALevel) {
  ASSERT_EQ(chdir(JED_ASSET_DIR), 0);
  std::unique_ptr<VirtualPad> pad;
  uint64_t frame = 0, phase_start = 0;
  GamePhase phase = GamePhase::Starting;
  bool level_seen = false;
  float x_at_plug = 0, x_at_unplug = 0, x_after_unplug = 0, x_later = 0;
  // Start pressed and let go: the screen goes on once it is released (held into the level it
  // would pause it at once).
  auto tap_start = [&](uint64_t f) {
    if (f == 5) {
      pad = std::make_unique<VirtualPad>();
      pad->Button(SDL_CONTROLLER_BUTTON_START, true);
    }
    if (f == 15) pad.reset();
  };
  platform::SetPresentHook([&](uint64_t) {
    ++frame;
    if (CurrentPhase() != phase) {
      phase = CurrentPhase();
      phase_start = frame;
    }
    const uint64_t f = frame - phase_start;
    if (frame > 3000) platform::RequestQuit();  // the pad failed to get through
    if (phase == GamePhase::Title || phase == GamePhase::Story) tap_start(f);
    if (phase != GamePhase::Level) return;
    level_seen = true;
    if (f == 10) {
      x_at_plug = Hero.x;
      pad = std::make_unique<VirtualPad>();
      pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    }
    if (f == 40) {
      x_at_unplug = Hero.x;
      pad.reset();
    }
    if (f == 45) x_after_unplug = Hero.x;
    if (f == 52) x_later = Hero.x;
    // Back, pressed and let go, ends the level (held, it keeps asking and the level waits).
    if (f == 55) {
      pad = std::make_unique<VirtualPad>();
      pad->Button(SDL_CONTROLLER_BUTTON_BACK, true);
    }
    if (f == 65) pad.reset();
  });
  WinMain();
  platform::SetPresentHook(nullptr);
  pad.reset();
  EXPECT_TRUE(level_seen) << "Start never led to the level";
  EXPECT_GT(x_at_unplug, x_at_plug + 30) << "the plugged-in pad did not walk the hero";
  EXPECT_GE(x_at_unplug, x_at_plug);
  EXPECT_LT(x_after_unplug - x_at_unplug, 10) << "the hero walked on after the pad was pulled out";
  EXPECT_EQ(x_later, x_after_unplug) << "the hero walked on after the pad was pulled out";
  EXPECT_FALSE(platform::QuitRequested()) << "Back did not end the level";
  EXPECT_EQ(CurrentPhase(), GamePhase::Finished);
}

}  // namespace
