#pragma once
// Running one test of this program again in a child process on the SDL backend (the backend
// is chosen once per process), with its own audio driver settings.
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

extern char** environ;

namespace audio_test {

// Runs --gtest_filter=`filter` in a child with JED_AUDIO_TEST_SDL=1, JED_HEADLESS=0 and `extra`
// (NAME=VALUE entries) instead of this process's audio driver settings. Its exit status, or -1.
inline int RunSdlChild(const std::string& filter, const std::vector<std::string>& extra) {
  std::vector<std::string> env = {"JED_AUDIO_TEST_SDL=1", "JED_HEADLESS=0"};
  env.insert(env.end(), extra.begin(), extra.end());
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (entry.rfind("SDL_AUDIODRIVER=", 0) && entry.rfind("SDL_DISKAUDIO", 0) && entry.rfind("JED_HEADLESS=", 0) &&
        entry.rfind("JED_AUDIO_TEST_SDL=", 0))
      env.push_back(entry);
  }
  std::vector<char*> envp;
  for (auto& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string self = "/proc/self/exe", filter_arg = "--gtest_filter=" + filter;
  char* argv[] = {self.data(), filter_arg.data(), nullptr};
  pid_t pid;
  if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, envp.data()) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace audio_test
