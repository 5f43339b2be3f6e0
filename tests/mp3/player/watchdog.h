#pragma once
// Bounded waits for the threaded player tests: a step that does not finish in time fails the
// test and ends the program, instead of hanging the suite.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <functional>
#include <future>

inline void WithinOrFail(const char* what, std::chrono::milliseconds limit, const std::function<void()>& step) {
  auto done = std::async(std::launch::async, step);
  if (done.wait_for(limit) != std::future_status::ready) {
    std::fprintf(stderr, "hung: %s (more than %lld ms)\n", what, static_cast<long long>(limit.count()));
    std::fflush(stderr);
    std::_Exit(3);
  }
  done.get();
}

// Threads of this process now.
inline int ThreadCount() {
  int count = 0;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (const dirent* entry = readdir(tasks))
      if (entry->d_name[0] != '.') ++count;
    closedir(tasks);
  }
  return count;
}
