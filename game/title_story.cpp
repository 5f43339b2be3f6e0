#include "game/title_story.h"

#include <algorithm>
#include <string>

#include "display/display.h"
#include "display/frame_clock.h"
#include "game/close_request.h"
#include "game/game_keys.h"
#include "game/game_text.h"
#include "game/key_labels.h"
#include "game/options_screen.h"
#include "game/scores_screen.h"
#include "game/screen_keys.h"
#include "game/world.h"

namespace {

constexpr uint32_t kFramePeriodMs = 30;

constexpr const char* kContinuePrompt = "*Press Enter to Continue*";

struct StoryLine {
  const char* text;
  int32_t y;
};
struct StoryPageText {
  StoryLine lines[3];
  int count;
};

const StoryPageText kStoryPages[4] = {
    {{{"As night falls on the city, trouble is afoot.", 330}}, 1},
    {{{"Jed returns home after a long day's work.", 250},
      {"But something is not right! Where is his girlfriend, Norah?", 290}},
     2},
    {{{"Jed's cell phone rings...", 200},
      {"Stranger: Your girlfriend is mine now! Muahahahaa!!!", 220},
      {"Who could this man be?", 260}},
     3},
    {{{"Jed: I've got to find Norah and stop this evil villain!", 250},
      {"         I won't stop until every thug in this city eats a big fist sandwich!", 270},
      {kContinuePrompt, 310}},
     3},
};
constexpr int32_t kStoryTextX = 10;

void CloseOnEscapeOrEnter() {
  if (EscapeOrEnterDown()) PostCloseRequest();
}

}  // namespace

int TitleFrame() {
  switch (TakeScreenKey()) {
    case ScreenKey::Options: RunOptionsScreen(); break;
    case ScreenKey::Scores: ShowScoresFromTitle(); break;
    case ScreenKey::None: break;
  }
  CloseOnEscapeOrEnter();
  StartClock();
  FillSurface(back_surface, 0, nullptr);
  LockBackSurface();
  DrawBitmapImage(&ScreenImages[0], back_buffer, back_pitch, 0);
  UnlockBackSurface();
  DrawOptionsHint(10, 458, ScoresScreenEnabled());
  FlipDisplay();
  WaitClock(kFramePeriodMs);
  return 1;
}

int StoryFrame() {
  CloseOnEscapeOrEnter();
  StartClock();
  FillSurface(back_surface, 0, nullptr);
  LockBackSurface();
  if (StoryFrameCount % STORY_PAGE_FRAMES == 0) StoryPage += 1;
  // Every page number from 3 on shows the last page.
  const int page = std::clamp(StoryPage, 0, 3);
  DrawBitmapImage(&ScreenImages[page], back_buffer, back_pitch, 0);
  // Text goes on the unlocked surface, over the picture just copied.
  UnlockBackSurface();
  for (int i = 0; i < kStoryPages[page].count; ++i) {
    const StoryLine& line = kStoryPages[page].lines[i];
    // The prompt names the key bound now.
    const std::string text = line.text == kContinuePrompt ? ContinuePromptText() : line.text;
    DrawGameText(text.c_str(), kStoryTextX, line.y);
  }
  FlipDisplay();
  WaitClock(kFramePeriodMs);
  return 1;
}
