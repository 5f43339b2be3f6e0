// The full-screen player inside tmux: keys go in with send-keys, the screen comes back with
// capture-pane, sound goes to SDL's dummy driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "tests/support/encoded_files.h"
#include "tests/tools/dar3play/dar3play_runner.h"

namespace {

using namespace std::chrono_literals;

struct ScreenClock {
  bool found = false;
  int position_s = 0;
  int length_s = 0;
  std::string state;
};

class TmuxPlayer : public EncodedFilesTest {
 protected:
  TmuxPlayer() : EncodedFilesTest(true) {}
  static constexpr std::chrono::milliseconds kDeadline = 60000ms;

  void SetUp() override {
    EncodedFilesTest::SetUp();
    if (IsSkipped()) return;
    session_ = "dar3play-" + std::to_string(getpid());
    exit_file_ = scratch_ / "exit";
    // The SDL backend with its dummy driver consumes sound in real time, as a listener would.
    const std::string player = "JED_HEADLESS=0 SDL_AUDIODRIVER=dummy " + Quote(Dar3playPath()) + " " +
                               Quote(files_->long_sweep.string()) + " " + Quote(files_->cbr.string()) + "; echo $? > " +
                               Quote(exit_file_.string()) + "; sleep 60";
    const RunResult r =
        RunCommand("tmux -L " + session_ + " new-session -d -s " + session_ + " -x 120 -y 40 " + Quote(player));
    ASSERT_EQ(r.status, 0) << r.err;
    started_ = true;
  }

  void TearDown() override {
    if (started_) RunCommand("tmux -L " + session_ + " kill-server");
  }

  std::string Screen() { return RunCommand("tmux -L " + session_ + " capture-pane -p -t " + session_).out; }
  void Press(const std::string& key) { RunCommand("tmux -L " + session_ + " send-keys -t " + session_ + " " + key); }

  // Waits until the screen shows every one of the texts (a capture may catch a screen half
  // drawn); returns the screen. The deadlines are generous: a busy machine must not fail a test.
  std::string WaitFor(std::initializer_list<std::string> texts, std::chrono::milliseconds limit = kDeadline) {
    const auto end = std::chrono::steady_clock::now() + limit;
    std::string screen;
    while (std::chrono::steady_clock::now() < end) {
      screen = Screen();
      if (std::all_of(texts.begin(), texts.end(),
                      [&](const std::string& t) { return screen.find(t) != std::string::npos; }))
        break;
      std::this_thread::sleep_for(100ms);
    }
    return screen;
  }
  std::string WaitFor(const std::string& text, std::chrono::milliseconds limit = kDeadline) {
    return WaitFor({text}, limit);
  }

  // Waits until the progress line has moved at least `seconds` past `from`; returns its clock.
  ScreenClock WaitForPosition(int from, int seconds) {
    const auto end = std::chrono::steady_clock::now() + kDeadline;
    ScreenClock now;
    do {
      now = Clock(Screen());
      if (now.found && now.position_s >= from + seconds) break;
      std::this_thread::sleep_for(100ms);
    } while (std::chrono::steady_clock::now() < end);
    return now;
  }

  // Waits until the status line holds text, or a library refusal ("->"); returns the screen.
  std::string WaitForStatus(const std::string& text, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    std::string screen;
    while (std::chrono::steady_clock::now() < end) {
      screen = Screen();
      const std::string status = StatusLine(screen);
      if (status.find(text) != std::string::npos || status.find("->") != std::string::npos) break;
      std::this_thread::sleep_for(100ms);
    }
    return screen;
  }

  // Reads "m:ss / m:ss  STATE" from the progress line.
  static ScreenClock Clock(const std::string& screen) {
    ScreenClock c;
    const size_t slash = screen.find(" / ");
    if (slash == std::string::npos) return c;
    size_t start = slash;
    while (start > 0 && (std::isdigit(static_cast<unsigned char>(screen[start - 1])) || screen[start - 1] == ':'))
      --start;
    unsigned pm = 0, ps = 0, lm = 0, ls = 0;
    char state[16] = {};
    if (std::sscanf(screen.c_str() + start, "%u:%u / %u:%u %15[A-Z]", &pm, &ps, &lm, &ls, state) == 5) {
      c.found = true;
      c.position_s = int(pm * 60 + ps);
      c.length_s = int(lm * 60 + ls);
      c.state = state;
    }
    return c;
  }

  static std::string StatusLine(const std::string& screen) {
    const size_t at = screen.find("Status: ");
    if (at == std::string::npos) return "";
    const size_t from = at + 8;
    std::string line = screen.substr(from, screen.find('\n', from) - from);
    return line.substr(0, line.find_last_not_of(' ') + 1);
  }

  std::string ExitStatus(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      std::ifstream in(exit_file_);
      std::string status;
      if (in >> status) return status;
      std::this_thread::sleep_for(100ms);
    }
    return "<still running>";
  }

  ScratchDir scratch_;
  std::string session_;
  std::filesystem::path exit_file_;
  bool started_ = false;
};

TEST_F(TmuxPlayer, ShowsTheSongAndFollowsTheKeys) {
  std::string screen = WaitFor({"Title:  Long Sweep", "Artist: Tester", "MPEG-1 Layer III", "Space pause", " / "});
  ASSERT_NE(screen.find("Title:  Long Sweep"), std::string::npos) << screen;
  EXPECT_NE(screen.find("Artist: Tester"), std::string::npos) << screen;
  EXPECT_NE(screen.find("MPEG-1 Layer III, 44100 Hz"), std::string::npos) << screen;
  EXPECT_NE(screen.find("Space pause"), std::string::npos) << screen;

  // The position advances while playing.
  const ScreenClock first = Clock(screen);
  ASSERT_TRUE(first.found) << screen;
  EXPECT_EQ(first.length_s, 40);
  const ScreenClock later = WaitForPosition(first.position_s, 1);
  EXPECT_EQ(later.state, "PLAYING");
  EXPECT_GE(later.position_s, first.position_s + 1);

  // Pause holds it.
  Press("Space");
  screen = WaitFor("PAUSED");
  const ScreenClock paused = Clock(screen);
  EXPECT_EQ(paused.state, "PAUSED") << screen;
  EXPECT_EQ(StatusLine(screen), "Paused");
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(Clock(Screen()).position_s, paused.position_s);
  Press("Space");
  EXPECT_EQ(Clock(WaitFor("PLAYING")).state, "PLAYING");

  // Seeking moves it, or says why it can't.
  const ScreenClock before_seek = Clock(Screen());
  Press("Right");
  screen = WaitFor("Seek");
  const std::string seek_status = StatusLine(screen);
  if (seek_status.rfind("Seek to", 0) == 0) {
    EXPECT_GE(Clock(screen).position_s, before_seek.position_s + 4) << screen;
  } else {
    EXPECT_NE(seek_status.find("Seek->"), std::string::npos) << screen;
  }

  // Every effect key answers on the status line.
  const std::pair<const char*, const char*> keys[] = {{"e", "Echo"},    {"g", "Equalizer"}, {"w", "Spectrum window"},
                                                      {"Up", "Volume"}, {"v", "Vocal"},     {"m", "Channels"},
                                                      {"[", "Loop"}};
  for (const auto& [key, answer] : keys) {
    Press(key);
    // The answer's word may already stand elsewhere on the screen ("Echo off" in the settings):
    // wait for the status line itself.
    screen = WaitForStatus(answer, kDeadline);
    const std::string status = StatusLine(screen);
    EXPECT_TRUE(status.find(answer) != std::string::npos || status.find("->") != std::string::npos)
        << key << ": " << status << "\n"
        << screen;
  }

  // Next file, then quit with status 0.
  Press("n");
  screen = WaitFor({"Title:  Night Falls", "2/2"});
  EXPECT_NE(screen.find("Title:  Night Falls"), std::string::npos) << screen;
  EXPECT_NE(screen.find("2/2"), std::string::npos) << screen;
  Press("q");
  EXPECT_EQ(ExitStatus(kDeadline), "0");
}

TEST_F(TmuxPlayer, FadeOutQuitsOnItsOwn) {
  WaitFor("Long Sweep");
  Press("f");
  EXPECT_EQ(ExitStatus(kDeadline), "0");
}

}  // namespace
