// Runs programs (ours and the peer tools: sox, lame, mpg123 ...) and captures what they print.
#pragma once

#include <string>

#include "tests/support/files.h"
#include "tests/support/signal.h"
#include "tests/support/wav.h"

struct RunResult {
  int status = -1;  // exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs a shell command line with no standard input; stdout and stderr are collected separately.
RunResult RunCommand(const std::string& command);
// Quotes one argument for the shell.
std::string Quote(const std::string& text);

using test_support::Rms;
using test_support::ScratchDir;
