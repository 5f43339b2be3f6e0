#pragma once
// Helpers of the player targets: one no-output player for the whole fuzzing run, and a bounded
// wait for a run to end.
#include <chrono>
#include <thread>

#include "dar3/dar3.h"
#include "dar3/ruve3.hpp"

// A player in the no-output mode, through the public interface (the target compiles the
// exports in); its wave buffers are consumed at once.
inline RUVe3* FuzzPlayer(MP3_CALLBACK_FUNC callback, unsigned int mask) {
  RUVe3* player = CreateRUVe3();
  player->SetCallbackFunc(callback, mask | MP3_EVENT_WAVE_BUFFER);
  return player;
}

// Waits until the run ends by itself; after `limit`, or as soon as `stalled` says nothing more
// can happen (a stream waiting for data that will never come, say), it is stopped. True when it
// ended by itself.
inline bool WaitForRunEnd(RUVe3* player, std::chrono::milliseconds limit, bool (*stalled)() = nullptr) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  MP3_STATUS status{};
  for (;;) {
    player->GetStatus(&status);
    if (!status.playing) return true;
    if (std::chrono::steady_clock::now() > deadline || (stalled && stalled())) {
      player->Stop();
      return false;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}
