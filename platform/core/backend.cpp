#include "platform/backend.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace platform {
namespace {
std::atomic<int> chosen{-1};
std::mutex choose_lock;

int ChooseFromEnvironment() {
  const char* env = std::getenv("JED_HEADLESS");
  bool headless = env && *env && std::strcmp(env, "0") != 0;
  return static_cast<int>(headless ? Backend::Headless : Backend::Sdl);
}
}  // namespace

bool SelectBackend(Backend backend) {
  std::lock_guard<std::mutex> guard(choose_lock);
  if (chosen.load() != -1) return chosen.load() == static_cast<int>(backend);
  chosen.store(static_cast<int>(backend));
  return true;
}

Backend CurrentBackend() {
  int value = chosen.load();
  if (value == -1) {
    std::lock_guard<std::mutex> guard(choose_lock);
    if (chosen.load() == -1) chosen.store(ChooseFromEnvironment());
    value = chosen.load();
  }
  return static_cast<Backend>(value);
}

}  // namespace platform
