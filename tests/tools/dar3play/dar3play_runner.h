// dar3play as the tests run it: headless, with SDL's dummy audio driver.
#pragma once

#include <string>

#include "tests/support/tool_runner.h"

inline std::string Dar3playPath() { return DAR3PLAY_PATH; }

// dar3play with the given argument text (already quoted where needed).
inline RunResult RunDar3play(const std::string& arguments) {
  return RunCommand("JED_HEADLESS=1 SDL_AUDIODRIVER=dummy " + Quote(Dar3playPath()) + " " + arguments);
}
