#include "game/scores_screen.h"

#include <cstdio>
#include <vector>

#include "display/display.h"
#include "display/frame_clock.h"
#include "game/game_keys.h"
#include "game/game_text.h"
#include "game/key_labels.h"
#include "game/scores.h"
#include "game/world.h"
#include "platform/window.h"

namespace {

constexpr uint32_t kFramePeriodMs = 30;
constexpr int32_t kLeft = 170, kTop = 120, kLineHeight = 22;

std::string ScoresFile;
bool Retry = false;

void DrawTable(const std::vector<ScoreEntry>& table, int highlight, const std::string& prompt) {
  StartClock();
  FillSurface(back_surface, 0, nullptr);
  DrawGameText("HIGH SCORES", kLeft, 80);
  char line[96];
  for (size_t i = 0; i < table.size(); ++i) {
    const ScoreEntry& entry = table[i];
    std::snprintf(line, sizeof line, "%s%2zu.  %6d   %3d:%02d   %s", static_cast<int>(i) == highlight ? "> " : "   ",
                  i + 1, entry.score, entry.seconds / 60, entry.seconds % 60, entry.date.c_str());
    DrawGameText(line, kLeft, kTop + static_cast<int32_t>(i) * kLineHeight);
  }
  if (table.empty()) DrawGameText("No runs yet.", kLeft, kTop);
  DrawGameText(prompt.c_str(), 60, 400);
  FlipDisplay();
  WaitClock(kFramePeriodMs);
}

bool Closing() { return platform::QuitRequested(); }

}  // namespace

void EnableScoresScreen(const std::string& path) { ScoresFile = path; }
bool ScoresScreenEnabled() { return !ScoresFile.empty(); }

void ShowScoresAfterRun(int seconds) {
  if (!ScoresScreenEnabled()) return;
  std::vector<ScoreEntry> table;
  std::vector<std::string> problems;
  int rank = -1;
  RecordScore(ScoresFile, {Score, seconds, TodaysDate()}, &table, &rank, &problems);
  for (const std::string& problem : problems) std::fprintf(stderr, "jed-grimstorm: %s\n", problem.c_str());
  const std::string prompt = "Press " + KeyLabel(platform::Key::Space, "SPACE BAR", true) + " to play again, " +
                             KeyLabel(platform::Key::Enter, "ENTER", true) + " or " +
                             KeyLabel(platform::Key::Escape, "ESCAPE", true) + " to exit";
  // The Enter or Escape that left the end screen is not this screen's answer.
  while (EscapeOrEnterDown() && !Closing()) DrawTable(table, rank, prompt);
  while (!Closing()) {
    if (platform::KeyDown(platform::Key::Space)) {
      Retry = true;
      break;
    }
    if (EscapeOrEnterDown()) break;
    DrawTable(table, rank, prompt);
  }
}

void ShowScoresFromTitle() {
  if (!ScoresScreenEnabled()) return;
  std::vector<std::string> problems;
  const std::vector<ScoreEntry> table = ReadScores(ScoresFile, &problems);
  for (const std::string& problem : problems) std::fprintf(stderr, "jed-grimstorm: %s\n", problem.c_str());
  const std::string prompt = "Press " + KeyLabel(platform::Key::Enter, "ENTER", true) + ", " +
                             KeyLabel(platform::Key::Escape, "ESCAPE", true) + " or " +
                             KeyLabel(platform::Key::Space, "SPACE BAR", true) + " to go back";
  while (!Closing() && !EscapeOrEnterDown() && !platform::KeyDown(platform::Key::Space)) DrawTable(table, -1, prompt);
  // The title goes on with Enter and ends with Escape: not with this screen's key.
  while (!Closing() && EscapeOrEnterDown()) DrawTable(table, -1, prompt);
}

bool TakeRetryRequest() {
  const bool retry = Retry;
  Retry = false;
  return retry;
}
