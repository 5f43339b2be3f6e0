// Waiting for another thread or process with a deadline, never for ever.
#pragma once

#include <chrono>
#include <thread>

namespace test_support {

// Checks `done` every `step` until it holds (true) or `limit` has passed (false).
template <typename Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds limit,
               std::chrono::milliseconds step = std::chrono::milliseconds(1)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(step);
  }
  return true;
}

}  // namespace test_support
