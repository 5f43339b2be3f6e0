// The full screen in terminals from one line to a large window, and its cost while paused.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <sstream>
#include <thread>

#include "tests/support/encoded_files.h"
#include "tests/tools/dar3play/dar3play_runner.h"

namespace {

using namespace std::chrono_literals;

// One dar3play inside a detached tmux server of its own, of the given size.
class SizedTerminal {
 public:
  SizedTerminal(int columns, int rows, const std::string& arguments, const std::filesystem::path& exit_file)
      : server_("dar3play-size-" + std::to_string(getpid()) + "-" + std::to_string(columns) + "x" +
                std::to_string(rows)) {
    const std::string command = "LC_ALL=C.UTF-8 JED_HEADLESS=0 SDL_AUDIODRIVER=dummy " + Quote(Dar3playPath()) + " " +
                                arguments + " 2>" + Quote(exit_file.string() + ".err") + "; echo $? > " +
                                Quote(exit_file.string()) + "; sleep 60";
    started_ = RunCommand("tmux -L " + server_ + " new-session -d -s main -x " + std::to_string(columns) + " -y " +
                          std::to_string(rows) + " " + Quote(command))
                   .status == 0;
  }
  ~SizedTerminal() {
    if (started_) RunCommand("tmux -L " + server_ + " kill-server");
  }
  bool started() const { return started_; }
  std::string Screen() const { return RunCommand("tmux -L " + server_ + " capture-pane -p -t main").out; }
  void Press(const std::string& key) const { RunCommand("tmux -L " + server_ + " send-keys -t main " + key); }
  // Sends a signal to the player (the child of the pane's shell).
  void Signal(const std::string& name) const {
    RunCommand("(kill -" + name + " $(pgrep -P $(tmux -L " + server_ + " display -p -t main '#{pane_pid}')))");
  }

  // The screen once `pattern` shows on it, or the last one seen after a generous wait.
  std::string WaitFor(const std::regex& pattern) const {
    std::string screen;
    for (auto end = std::chrono::steady_clock::now() + 60s; std::chrono::steady_clock::now() < end;) {
      screen = Screen();
      if (std::regex_search(screen, pattern)) break;
      std::this_thread::sleep_for(100ms);
    }
    return screen;
  }

 private:
  std::string server_;
  bool started_ = false;
};

std::vector<std::string> Lines(const std::string& screen) {
  std::vector<std::string> lines;
  std::istringstream in(screen);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class ScreenSizes : public EncodedFilesTest {
 protected:
  ScreenSizes() : EncodedFilesTest(true) {}
  ScratchDir scratch_;
};

TEST_F(ScreenSizes, EverySizeShowsTheTimeWithoutLinesOverDrawn) {
  // The clock of the 40 s song: "0:03 / 0:40" or, when narrow, "0:03/0:40".
  const std::regex clock(R"(\b0:[0-9]{2} ?/ ?0:40\b)");
  const char* const labels[] = {"Title:", "Artist:", "Album:", "Format:", "Status:", "Volume ", "Loop ", "dar3play "};
  for (const auto& [columns, rows] : {std::pair{20, 5}, {40, 10}, {80, 24}, {160, 50}, {40, 1}}) {
    SCOPED_TRACE(std::to_string(columns) + "x" + std::to_string(rows));
    SizedTerminal term(columns, rows, Quote(files_->long_sweep.string()), scratch_ / "exit");
    ASSERT_TRUE(term.started());
    const std::string screen = term.WaitFor(clock);
    EXPECT_TRUE(std::regex_search(screen, clock)) << screen;
    const std::vector<std::string> lines = Lines(screen);
    EXPECT_LE(int(lines.size()), rows) << screen;
    for (const std::string& line : lines) {
      // Each labelled line holds its own label only, at its start: nothing drawn over it.
      int found = 0;
      for (const char* label : labels) {
        const size_t at = line.find(label);
        if (at == std::string::npos) continue;
        ++found;
        if (std::string(label) != "Loop " && std::string(label) != "Volume ") {
          EXPECT_EQ(at, 0u) << line;
        }
      }
      EXPECT_LE(found, 1) << line;
    }
    if (rows == 1) {
      EXPECT_EQ(screen.rfind("Long Sweep", 0), 0u) << screen;
    }
    if (rows >= 5) {
      EXPECT_NE(screen.find("Title:  Long"), std::string::npos) << screen;
    }
    if (rows >= 24) {
      EXPECT_NE(screen.find("Space pause"), std::string::npos) << screen;
    }
    term.Press("q");
  }
}

TEST_F(ScreenSizes, PausedScreenIsNotRedrawnWhileNothingChanges) {
  const auto exit_file = scratch_ / "exit";
  SizedTerminal term(80, 24, "--stats " + Quote(files_->long_sweep.string()), exit_file);
  ASSERT_TRUE(term.started());
  term.WaitFor(std::regex("PLAYING"));
  term.Press("Space");
  term.WaitFor(std::regex("PAUSED"));
  std::this_thread::sleep_for(4s);
  term.Press("q");
  std::string stats;
  for (auto end = std::chrono::steady_clock::now() + 30s; std::chrono::steady_clock::now() < end && stats.empty();) {
    std::this_thread::sleep_for(100ms);
    stats = RunCommand("cat " + Quote(exit_file.string() + ".err")).out;
  }
  // "dar3play: N refreshes in T s (R Hz), ...": four paused seconds must not cost a hundred.
  std::smatch m;
  ASSERT_TRUE(std::regex_search(stats, m, std::regex(R"(([0-9]+) refreshes in ([0-9.]+) s)"))) << stats;
  const double refreshes = std::stod(m[1]), seconds = std::stod(m[2]);
  ASSERT_GT(seconds, 4.0);
  EXPECT_LT(refreshes, 25.0 * (seconds - 4.0) + 10) << stats;
}

TEST_F(ScreenSizes, ASkippedEntryShowsOnTheStatusLineAndSigtermRestoresTheTerminal) {
  const auto exit_file = scratch_ / "exit";
  SizedTerminal term(80, 24, Quote(files_->garbage.string()) + " " + Quote(files_->cbr.string()), exit_file);
  ASSERT_TRUE(term.started());
  const std::string screen = term.WaitFor(std::regex("Title:  Night Falls"));
  // The line is cut at the screen's width: its start names the file and why.
  EXPECT_NE(screen.find("Status: " + files_->garbage.string() + ": not an MP3 file"), std::string::npos) << screen;
  term.Signal("TERM");
  std::string status;
  for (auto end = std::chrono::steady_clock::now() + 30s; std::chrono::steady_clock::now() < end && status.empty();) {
    std::this_thread::sleep_for(100ms);
    status = RunCommand("cat " + Quote(exit_file.string())).out;
  }
  EXPECT_EQ(status, "143\n");
  // The full screen is gone: the terminal shows the shell's screen again.
  EXPECT_EQ(term.Screen().find("Status:"), std::string::npos);
}

}  // namespace
