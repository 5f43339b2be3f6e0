// Keys sampled once per frame for recorded runs: what the game reads during a frame is exactly
// the sample a recording writes down, and a replay sets the same sample at the same present.
#include <atomic>
#include <mutex>

#include "platform/desktop.h"
#include "platform/video/present.h"
#include "platform/video/video_backend.h"

namespace platform {
namespace {
std::atomic<bool> latched{false};
std::mutex latch_lock;
FrameInput sample;
bool focus_lost_pending = false;
}  // namespace

void LatchKeysPerFrame() { latched.store(true); }

bool KeysLatched() { return latched.load(); }

FrameInput LatchedInput() {
  std::lock_guard<std::mutex> guard(latch_lock);
  return sample;
}

bool LatchedKeyDown(Key key) {
  std::lock_guard<std::mutex> guard(latch_lock);
  if (key == Key::Escape && sample.close) return true;
  return (sample.keys & KeyBit(key)) != 0;
}

bool LatchedCloseRequest() {
  std::lock_guard<std::mutex> guard(latch_lock);
  return sample.close;
}

void NoteFocusLost() {
  std::lock_guard<std::mutex> guard(latch_lock);
  focus_lost_pending = true;
}

void SampleLatchedKeys() {
  if (!KeysLatched()) return;
  Video().pump_events();
  FrameInput next;
  for (int k = 0; k < static_cast<int>(Key::Count); ++k)
    if (Video().key_held(static_cast<Key>(k))) next.keys |= KeyBit(static_cast<Key>(k));
  next.close = CloseRequestedNow();
  {
    std::lock_guard<std::mutex> guard(latch_lock);
    next.close = next.close || sample.close;  // a close request is for ever
    next.focus_lost = focus_lost_pending;
    focus_lost_pending = false;
    sample = next;
  }
  if (next.focus_lost)
    if (HWND window = GameWindowHandle()) PostMessage(window, WM_ACTIVATE, WA_INACTIVE, 0);
}

}  // namespace platform
