#include "game/level_frame.h"

#include "display/display.h"
#include "display/frame_clock.h"
#include "game/close_request.h"
#include "game/end_screens.h"
#include "game/game_keys.h"
#include "game/game_text.h"
#include "game/hero.h"
#include "game/hud.h"
#include "game/key_labels.h"
#include "game/options_screen.h"
#include "game/screen_keys.h"
#include "game/thugs.h"
#include "game/world.h"
#include "sprites/sprite.h"

namespace {

constexpr uint32_t kFramePeriodMs = 30;
constexpr float kVictoryX = 500.0f;

// Paused, lost or won: a black frame with at most the pause line.
void HeldFrame(const GameKeys& keys, bool options_asked) {
  if (Paused == 1 && GameOver == 0 && GameWon == 0) {
    if (options_asked) {
      RunOptionsScreen();
      FillSurface(back_surface, 0, nullptr);  // the menu's last frame is still on it
    }
    DrawGameText(PauseText().c_str(), 200, 240);
    DrawOptionsHint(200, 260);
    if (keys.space) Paused = 0;
  } else if (keys.enter || keys.escape) {
    PostCloseRequest();
  }
}

void PlayFrame(GameKeys keys) {
  LockBackSurface();
  DrawBitmapImage(&ScreenImages[ScreenIndex], back_buffer, back_pitch, 0);
  UnlockBackSurface();
  HeroMoved = 0;

  if (ScreenIndex == SCREEN_COUNT - 1 && Hero.x > kVictoryX) {
    GameWon = 1;
    ShowVictoryScreen();
    keys = ReadGameKeys();  // the rest of the frame sees the keyboard as the screen left it
  }
  ThugsAlertSound();
  if (Health < 1) {
    GameOver = 1;
    ShowGameOverScreen();
    keys = ReadGameKeys();
  } else {
    DrawHealthBar();
  }
  DrawRageAndLabels();
  DrawMessageBar();

  HeroWalk(keys);
  HeroPoseAndAttack(keys);
  HeroJumpAndFall(keys);
  ThugsUpdate();

  AnimateSprite(&Hero);
  for (Sprite& thug : Thugs)
    if (thug.active) AnimateSprite(&thug);

  // Picture and HUD only: ground and walls.
  LockBackSurface();
  HeroGroundAndWalls();
  ThugsWallTurn();
  UnlockBackSurface();

  for (Sprite& thug : Thugs)
    if (thug.active) DrawSprite(&thug, back_surface);

  // Thugs drawn: the hero's fists find them.
  LockBackSurface();
  HeroHitsThugs();
  UnlockBackSurface();

  DrawSprite(&Hero, back_surface);

  // Hero drawn: the thugs see and touch him.
  LockBackSurface();
  ThugsSightAndContact();
  UnlockBackSurface();

  ChangeScreenAtEdges();
}

}  // namespace

int LevelFrame() {
  const GameKeys keys = ReadGameKeys();
  const bool options_asked = TakeScreenKey() == ScreenKey::Options;  // only the pause screen opens them
  if (keys.escape) PostCloseRequest();
  if (keys.enter) Paused = 1;
  StartClock();
  FillSurface(back_surface, 0, nullptr);
  if (Paused || GameOver || GameWon)
    HeldFrame(keys, options_asked);
  else
    PlayFrame(keys);
  FlipDisplay();
  WaitClock(kFramePeriodMs);
  if (HitCooldown < 3) HitCooldown += 1;
  FrameCounter += 1;
  return 1;
}
