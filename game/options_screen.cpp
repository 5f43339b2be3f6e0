#include "game/options_screen.h"

#include <string>

#include "display/display.h"
#include "display/frame_clock.h"
#include "game/game_keys.h"
#include "game/game_text.h"
#include "game/options_menu.h"
#include "platform/desktop.h"
#include "platform/window.h"

namespace {

constexpr uint32_t kFramePeriodMs = 30;
constexpr int32_t kLeft = 40, kTop = 40, kLineHeight = 18;

SoundVolumes* Volumes = nullptr;
std::function<void()> Changed;

void DrawMenuFrame(const OptionsMenu& menu) {
  StartClock();
  FillSurface(back_surface, 0, nullptr);
  DrawGameText("OPTIONS", kLeft, 12);
  const std::vector<std::string> lines = menu.Lines();
  for (size_t i = 0; i < lines.size(); ++i)
    DrawGameText(lines[i].c_str(), kLeft, kTop + static_cast<int32_t>(i) * kLineHeight);
  if (!menu.Notice().empty()) DrawGameText(menu.Notice().c_str(), kLeft, 436);
  DrawGameText("Up/Down: choose   Left/Right/Enter: change   Escape: back", kLeft, 456);
  FlipDisplay();
  WaitClock(kFramePeriodMs);
}

}  // namespace

void EnableOptionsScreen(SoundVolumes* volumes, std::function<void()> changed) {
  Volumes = volumes;
  Changed = std::move(changed);
  platform::CollectPresses(volumes != nullptr);
}

bool OptionsScreenEnabled() { return Volumes != nullptr; }

void DrawOptionsHint(int32_t x, int32_t y, bool with_scores) {
  if (!OptionsScreenEnabled()) return;
  // One hint a line, so the pair stays narrow enough to keep clear of the title's own prompt.
  if (with_scores) {
    DrawGameText("O (pad: Y) = Options", x, y - 16);
    DrawGameText("S (pad: LB) = Scores", x, y);
  } else {
    DrawGameText("O (pad: Y) = Options", x, y);
  }
}

void RunOptionsScreen() {
  if (!OptionsScreenEnabled()) return;
  OptionsMenu menu(Volumes, Changed);
  platform::CollectPresses(true);
  bool open = true;
  while (open && !platform::QuitRequested()) {
    platform::KeyDown(platform::Key::Escape);  // takes the window system's events in
    platform::PressedControl press;
    while (open && platform::TakePress(&press)) open = menu.Press(press);
    DrawMenuFrame(menu);
  }
  while (EscapeOrEnterDown() && !platform::QuitRequested()) DrawMenuFrame(menu);
  platform::CollectPresses(true);
}
