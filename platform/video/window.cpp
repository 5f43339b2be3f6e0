#include "platform/window.h"

#include <atomic>
#include <csignal>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#include "platform/desktop.h"
#include "platform/video/present.h"
#include "platform/video/video_backend.h"

namespace platform {

struct WindowTag {
  std::string title;
  WindowProc procedure;
};

namespace {
std::mutex queue_lock;
std::deque<MSG> posted;
bool quit_requested_flag = false;
int quit_code = 0;

std::map<std::string, WindowProc> window_classes;
WindowTag* game_window = nullptr;

std::atomic<bool> close_requested{false};
std::mutex hook_lock;
PresentHook present_hook;

void OnSignal(int) { close_requested.store(true); }

void InstallSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}
}  // namespace

bool RegisterWindowClass(const char* class_name, WindowProc procedure) {
  if (!class_name || !*class_name || !procedure) return false;
  window_classes[class_name] = procedure;
  return true;
}

HWND CreateGameWindow(const char* class_name, const char* title, int width, int height) {
  if (!class_name) return nullptr;
  auto found = window_classes.find(class_name);
  if (found == window_classes.end()) return nullptr;
  if (!game_window) {
    if (!Video().open_window(title ? title : "", width, height)) return nullptr;
    game_window = new WindowTag{title ? title : "", found->second};
    InstallSignalHandlers();
  }
  game_window->procedure = found->second;
  game_window->procedure(game_window, WM_CREATE, 0, 0);
  return game_window;
}

HWND GameWindowHandle() { return game_window; }

bool PostMessage(HWND window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  std::lock_guard<std::mutex> guard(queue_lock);
  posted.push_back({window, message, wparam, lparam});
  return true;
}

bool PeekMessage(MSG* message) {
  if (!message) return false;
  Video().pump_events();
  std::lock_guard<std::mutex> guard(queue_lock);
  if (!posted.empty()) {
    *message = posted.front();
    posted.pop_front();
    return true;
  }
  if (quit_requested_flag) {
    quit_requested_flag = false;
    *message = {nullptr, WM_QUIT, static_cast<uintptr_t>(quit_code), 0};
    return true;
  }
  return false;
}

intptr_t DispatchMessage(const MSG* message) {
  if (!message || !message->hwnd || message->hwnd != game_window) return 0;
  return game_window->procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

void PostQuitMessage(int exit_code) {
  std::lock_guard<std::mutex> guard(queue_lock);
  quit_requested_flag = true;
  quit_code = exit_code;
}

intptr_t DefWindowProc(HWND, uint32_t message, uintptr_t, intptr_t) {
  if (message == WM_CLOSE) RequestQuit();
  return 0;
}

void ValidateWindow(HWND) {}

bool KeyDown(Key key) {
  if (KeysLatched()) return LatchedKeyDown(key);
  if (key == Key::Escape && close_requested.load()) return true;
  Video().pump_events();
  if (key == Key::Escape && close_requested.load()) return true;
  return Video().key_held(key);
}

bool QuitRequested() { return KeysLatched() ? LatchedCloseRequest() : close_requested.load(); }
bool CloseRequestedNow() { return close_requested.load(); }
void RequestQuit() { close_requested.store(true); }

int ShowCursor(bool show) { return Video().show_cursor(show); }

void SetPresentHook(PresentHook hook) {
  std::lock_guard<std::mutex> guard(hook_lock);
  present_hook = std::move(hook);
}

void RunPresentHook(uint64_t frame_number) {
  PresentHook hook;
  {
    std::lock_guard<std::mutex> guard(hook_lock);
    hook = present_hook;
  }
  if (hook) hook(frame_number);
}

}  // namespace platform
