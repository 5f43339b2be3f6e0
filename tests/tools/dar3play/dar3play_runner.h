// dar3play as the tests run it: headless, with SDL's dummy audio driver.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/encoded_files.h"
#include "tests/support/tool_runner.h"

inline std::string Dar3playPath() { return DAR3PLAY_PATH; }

// dar3play with the given argument text (already quoted where needed).
inline RunResult RunDar3play(const std::string& arguments) {
  return RunCommand("JED_HEADLESS=1 SDL_AUDIODRIVER=dummy " + Quote(Dar3playPath()) + " " + arguments);
}

// A suite whose tests play the shared encoded files: each test is skipped, with the reason,
// where they cannot be made (or, with needs_tmux, where tmux is missing).
class EncodedFilesTest : public ::testing::Test {
 protected:
  explicit EncodedFilesTest(bool needs_tmux = false) : needs_tmux_(needs_tmux) {}
  void SetUp() override {
    std::string why_not;
    files_ = GetEncodedFiles(&why_not);
    if (!files_) GTEST_SKIP() << "cannot make test files: " << why_not;
    if (needs_tmux_ && RunCommand("tmux -V").status != 0) GTEST_SKIP() << "tmux is not installed";
  }
  const EncodedFiles* files_ = nullptr;

 private:
  bool needs_tmux_;
};
