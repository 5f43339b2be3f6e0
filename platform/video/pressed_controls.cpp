// The presses a "press the key to use" screen reads, in the order they came.
#include <deque>
#include <mutex>

#include "platform/desktop.h"

namespace platform {
namespace {
constexpr size_t kKept = 16;
std::mutex presses_lock;
bool collecting = false;
std::deque<PressedControl> presses;
}  // namespace

void CollectPresses(bool on) {
  std::lock_guard<std::mutex> guard(presses_lock);
  collecting = on;
  presses.clear();
}

bool TakePress(PressedControl* press) {
  std::lock_guard<std::mutex> guard(presses_lock);
  if (presses.empty()) return false;
  *press = std::move(presses.front());
  presses.pop_front();
  return true;
}

void NotePress(const PressedControl& press) {
  std::lock_guard<std::mutex> guard(presses_lock);
  if (!collecting || press.name.empty()) return;
  if (presses.size() == kKept) presses.pop_front();
  presses.push_back(press);
}

}  // namespace platform
