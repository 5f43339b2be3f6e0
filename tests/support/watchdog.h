// Bounded steps for threaded tests: a step that does not finish in time ends the program with a
// message, instead of hanging the suite; and the threads of the process, to tell none was left.
#pragma once

#include <dirent.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <thread>

namespace test_support {

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

// The thread count once it is down to `expected`, or as it stands after `limit`: a joined
// thread leaves /proc/self/task a moment after its join returned, later still on a busy machine.
inline int ThreadCountSettled(int expected, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto until = std::chrono::steady_clock::now() + limit;
  int count = ThreadCount();
  while (count > expected && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    count = ThreadCount();
  }
  return count;
}

}  // namespace test_support
