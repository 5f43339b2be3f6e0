#include "game/end_screens.h"

#include <cstdio>

#include "display/display.h"
#include "display/frame_clock.h"
#include "game/close_request.h"
#include "game/game_keys.h"
#include "game/game_text.h"
#include "game/music.h"
#include "game/pictures.h"
#include "game/scores_screen.h"
#include "game/sound_marks.h"
#include "game/world.h"
#include "sound/sound.h"

namespace {

constexpr uint32_t kFramePeriodMs = 30;
constexpr int kFramesPerSecond = 30;
constexpr int32_t kVictoryTextX = 30;

char TextBuffer[80];
bool Showing = false;

void LoadEndScreen(const char* name) {
  if (LoadScreenPicture(&EndScreenImage, name)) UseLoadedPalette();
}

// Draws the end picture (and the texts) each frame until Escape or Enter is down.
template <typename DrawTexts>
void RunEndScreen(int seconds_played, DrawTexts draw_texts) {
  Showing = true;
  while (!EscapeOrEnterDown()) {
    StartClock();
    FillSurface(back_surface, 0, nullptr);
    LockBackSurface();
    DrawBitmapImage(&EndScreenImage, back_buffer, back_pitch, 0);
    UnlockBackSurface();
    draw_texts();
    FlipDisplay();
    WaitClock(kFramePeriodMs);
  }
  Showing = false;
  ShowScoresAfterRun(seconds_played);  // on the desktop only; elsewhere the screen ends here
  PostCloseRequest();
}

void DrawNumberLine(const char* format, int value, int32_t y) {
  std::snprintf(TextBuffer, sizeof TextBuffer, format, value);
  DrawGameText(TextBuffer, kVictoryTextX, y);
}

}  // namespace

bool EndScreenShowing() { return Showing; }

int ScoreMultiplierFor(int par_time, int finish_time, int current) {
  const int d = par_time - finish_time;
  if (d > 120) return 4;
  if (d > 60) return 3;
  if (d > 0) return 2;
  return current;
}

void ShowVictoryScreen() {
  LoadEndScreen("gamewin.bmp");
  StopAllSoundEffects();
  SwitchMusicTrack(TitleMusicFile);
  FrameCounter = FrameCounter / kFramesPerSecond;
  ScoreMultiplier = ScoreMultiplierFor(ParTime, FrameCounter, ScoreMultiplier);
  Score = Score * ScoreMultiplier;
  RunEndScreen(FrameCounter, [] {
    DrawGameText("I've searched the neighborhood, the subway and the warehouse and still", kVictoryTextX, 320);
    DrawGameText("no sign of Norah. Maybe the downtown area holds some clues...", kVictoryTextX, 340);
    DrawGameText("To be continued...", kVictoryTextX, 380);
    DrawNumberLine("Finish Time: %d", FrameCounter, 420);
    DrawNumberLine("Earned Score Multiplier: %d", ScoreMultiplier, 440);
    DrawNumberLine("Final Score: %d", Score, 460);
  });
}

void ShowGameOverScreen() {
  LoadEndScreen("gameover.bmp");
  StopAllSoundEffects();
  StopMusic();
  // The laugh over silence: the music has just stopped.
  if (SoundLaugh >= 0) PlaySoundEffect(SoundLaugh, 0);
  RunEndScreen(FrameCounter / kFramesPerSecond, [] {});
}
