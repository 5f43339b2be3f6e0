#include "tests/support/tool_runner.h"

#include <sys/wait.h>

#include <cstdlib>

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

RunResult RunCommand(const std::string& command) {
  test_support::ScratchDir capture;
  const std::string line =
      command + " >" + Quote((capture / "out").string()) + " 2>" + Quote((capture / "err").string()) + " </dev/null";
  RunResult result;
  const int raw = std::system(line.c_str());
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = test_support::ReadFileText(capture / "out");
  result.err = test_support::ReadFileText(capture / "err");
  return result;
}
