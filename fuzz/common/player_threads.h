#pragma once
// Thread accounting of the targets that drive whole players: every input must end with each
// thread the players started gone.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "platform/audio.h"

inline int ThreadCount() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.compare(0, 8, "Threads:") == 0) return std::atoi(line.c_str() + 8);
  return -1;
}

// The process's own threads: the silent device is started once, and its threads stay.
inline int BaselineThreads() {
  static const int baseline = [] {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::AudioStart();
    return ThreadCount();
  }();
  return baseline;
}

// Waits up to two seconds for the players' threads to end; a thread left running is a finding.
inline void ExpectPlayerThreadsGone(const char* target) {
  const int baseline = BaselineThreads();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (ThreadCount() > baseline) {
    if (std::chrono::steady_clock::now() > deadline) {
      std::fprintf(stderr, "%s: %d threads left running:\n", target, ThreadCount() - baseline);
      std::system("cat /proc/$PPID/task/*/comm >&2");
      __builtin_trap();
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}
