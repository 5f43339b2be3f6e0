#pragma once
// The game's one window, its message queue and the keyboard, with the Win32 rules the phase
// loops rely on.
#include <cstdint>
#include <functional>

namespace platform {

struct WindowTag;
using HWND = WindowTag*;
using WindowProc = intptr_t (*)(HWND window, uint32_t message, uintptr_t wparam, intptr_t lparam);

constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_USER = 0x0400;

struct MSG {
  HWND hwnd;
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

// RegisterClassEx: remembers the class name and its window procedure. False for a null
// procedure or an empty name.
bool RegisterWindowClass(const char* class_name, WindowProc procedure);
// CreateWindowEx of the single game window (a borderless full-screen window with the SDL
// backend, nothing visible headless). Sends WM_CREATE. Null when the class is unknown or the
// window cannot be made.
HWND CreateGameWindow(const char* class_name, const char* title, int width, int height);
HWND GameWindowHandle();

bool PostMessage(HWND window, uint32_t message, uintptr_t wparam, intptr_t lparam);
// PeekMessage with PM_REMOVE for any window: false when nothing is waiting. A quit request
// (PostQuitMessage) yields WM_QUIT only once no posted message is left.
bool PeekMessage(MSG* message);
intptr_t DispatchMessage(const MSG* message);
void PostQuitMessage(int exit_code);
intptr_t DefWindowProc(HWND window, uint32_t message, uintptr_t wparam, intptr_t lparam);
// BeginPaint/EndPaint pair: validates the window.
void ValidateWindow(HWND window);

enum class Key : int { Left, Right, Up, Down, Space, Shift, Enter, Escape, Count };
// GetAsyncKeyState(...) & 0x8000: is the key held now. Pumps window-system events itself, so it
// works where nobody pumps messages. After a close request (window closed, SIGINT, SIGTERM)
// Escape reads as held for ever, which leads every phase to its normal end.
bool KeyDown(Key key);
bool QuitRequested();
void RequestQuit();

int ShowCursor(bool show);

// Headless backend: the keys held from now on (bit 1 << Key). The SDL backend reads the real
// keyboard and ignores them.
// A hook run at every present, after the frame is handed to the backend, so a script can change
// the keys frame by frame (it also drives the screens that loop without pumping messages).
void SetHeldKeys(uint32_t key_mask);
uint32_t HeldKeys();
constexpr uint32_t KeyBit(Key key) { return 1u << static_cast<int>(key); }
using PresentHook = std::function<void(uint64_t frame_number)>;
void SetPresentHook(PresentHook hook);

}  // namespace platform
