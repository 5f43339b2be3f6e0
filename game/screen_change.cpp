#include "game/level_frame.h"
#include "game/music.h"
#include "game/world.h"

namespace {

constexpr float kScreenWidth = 640.0f;
constexpr int kLastScreen = SCREEN_COUNT - 1;
constexpr int kCityMusicScreen = 3;
constexpr int kFinalMusicScreen = 9;

void ShiftThugs(float dx) {
  for (Sprite& thug : Thugs)
    if (thug.active) thug.x += dx;
}

}  // namespace

void ChangeScreenAtEdges() {
  const float half = static_cast<float>(Hero.width / 2);  // NOLINT(bugprone-integer-division): whole pixels
  if (Hero.x > kScreenWidth - half) {
    Hero.x -= static_cast<float>(HeroStep);
    if (ScreenIndex < kLastScreen) {
      ScreenIndex += 1;
      if (ScreenIndex == kCityMusicScreen) SwitchMusicTrack(CityMusicFile);
      if (ScreenIndex == kFinalMusicScreen) SwitchMusicTrack(FinalMusicFile);
      Hero.x = -half;
      ShiftThugs(-kScreenWidth);
    }
  } else if (Hero.x < -half) {
    Hero.x = -half;
    if (ScreenIndex > 0) {
      ScreenIndex -= 1;
      Hero.x = kScreenWidth - half;
      ShiftThugs(kScreenWidth);
    }
  }
}
