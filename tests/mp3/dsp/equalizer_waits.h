#pragma once
// Waiting for the FFT equalizer's design worker, shared by the suites that change its gains.
#include <chrono>
#include <cstdint>
#include <thread>

#include "mp3/dsp/equalizers.h"

namespace dsp_test {

// Waits (60 s at most, for a loaded machine) until `count` designs are finished, so what is
// processed next uses the filter just asked for.
inline bool WaitForDesigns(const dsp::Equalizers& eq, uint32_t count) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (eq.DesignCount() < count) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace dsp_test
