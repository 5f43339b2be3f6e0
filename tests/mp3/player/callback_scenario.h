#pragma once
// A callback scenario for the player's tests: the callback carries no user pointer, so the
// handler under test and what it saw live in one place; and a watchdog that turns a hang into
// a failed test instead of a blocked suite.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "dar3/dar3.h"

class RUVe3;

namespace callback_scenario {

using namespace std::chrono_literals;

// The callback has no user pointer: the scenario under test lives here.
struct Scenario {
  using Handler = std::function<int32_t(uint32_t, intptr_t, intptr_t)>;
  RUVe3* player = nullptr;
  Handler handler;  // under lock: the callback threads read it
  std::mutex lock;
  std::vector<uint32_t> seen;
  std::vector<std::thread::id> threads;

  void SetHandler(Handler h) {
    std::lock_guard<std::mutex> hold(lock);
    handler = std::move(h);
  }
  Handler GetHandler() {
    std::lock_guard<std::mutex> hold(lock);
    return handler;
  }
  void Clear() {
    std::lock_guard<std::mutex> hold(lock);
    seen.clear();
    threads.clear();
  }
  void Record(uint32_t message) {
    std::lock_guard<std::mutex> hold(lock);
    seen.push_back(message);
    threads.push_back(std::this_thread::get_id());
  }
  int Count(uint32_t message) {
    std::lock_guard<std::mutex> hold(lock);
    int n = 0;
    for (uint32_t m : seen) n += m == message;
    return n;
  }
  bool WaitFor(uint32_t message, int times = 1, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      if (Count(message) >= times) return true;
      std::this_thread::sleep_for(2ms);
    }
    return false;
  }
};
inline Scenario* current = nullptr;

inline int32_t Route(uint32_t message, intptr_t wparam, intptr_t lparam) {
  current->Record(message);
  const Scenario::Handler handler = current->GetHandler();
  return handler ? handler(message, wparam, lparam) : (message == MP3_EVENT_WAVE_BUFFER ? 1 : 0);
}

// A deadlock cannot be failed gracefully: say which step hung and end the run.
inline void WithinOrAbort(const char* what, std::chrono::milliseconds limit, const std::function<void()>& step) {
  auto done = std::async(std::launch::async, step);
  if (done.wait_for(limit) != std::future_status::ready) {
    std::fprintf(stderr, "hung: %s\n", what);
    std::fflush(stderr);
    std::abort();
  }
  done.get();
}

}  // namespace callback_scenario
