#include "tools/dar3play/callback_router.h"

#include <mutex>

namespace {
std::mutex handler_lock;
PlayerEventHandler current_handler;
}  // namespace

void SetPlayerEventHandler(PlayerEventHandler handler) {
  std::lock_guard<std::mutex> hold(handler_lock);
  current_handler = std::move(handler);
}

int32_t RoutePlayerEvent(uint32_t message, intptr_t wparam, intptr_t lparam) {
  std::lock_guard<std::mutex> hold(handler_lock);
  return current_handler ? current_handler(message, wparam, lparam) : 0;
}
