#include <gtest/gtest.h>

#include "platform/backend.h"
#include "platform/window.h"

using namespace platform;

namespace {
int destroys = 0;
intptr_t Procedure(HWND, uint32_t message, uintptr_t, intptr_t) {
  if (message == WM_DESTROY) {
    ++destroys;
    PostQuitMessage(0);
  }
  return 0;
}

HWND Window() {
  SelectBackend(Backend::Headless);
  RegisterWindowClass("TESTCLASS", Procedure);
  static HWND window = CreateGameWindow("TESTCLASS", "test", 640, 480);
  return window;
}

void Drain() {
  MSG message{};
  while (PeekMessage(&message)) {
  }
}
}  // namespace

TEST(MessageQueue, QuitComesOnlyAfterPostedMessagesAreGone) {
  HWND window = Window();
  ASSERT_NE(window, nullptr);
  Drain();
  PostMessage(window, WM_USER, 1, 0);
  PostQuitMessage(7);
  PostMessage(window, WM_USER, 2, 0);
  MSG message{};
  ASSERT_TRUE(PeekMessage(&message));
  EXPECT_EQ(message.message, WM_USER);
  EXPECT_EQ(message.wParam, 1u);
  ASSERT_TRUE(PeekMessage(&message));
  EXPECT_EQ(message.wParam, 2u);
  ASSERT_TRUE(PeekMessage(&message));
  EXPECT_EQ(message.message, WM_QUIT);
  EXPECT_EQ(message.wParam, 7u);
  EXPECT_FALSE(PeekMessage(&message)) << "the quit request is consumed by the WM_QUIT";
}

TEST(MessageQueue, RepeatedCloseRequestsKeepThePhaseAliveUntilTheyStop) {
  // A held key posts WM_DESTROY every frame; each dispatch sets the quit flag again, but the
  // WM_QUIT only appears once the queue is empty.
  HWND window = Window();
  Drain();
  destroys = 0;
  int quits = 0;
  for (int frame = 0; frame < 5; ++frame) {
    MSG message{};
    if (PeekMessage(&message)) {
      if (message.message == WM_QUIT)
        ++quits;
      else
        DispatchMessage(&message);
    }
    PostMessage(window, WM_DESTROY, 0, 0);
  }
  EXPECT_EQ(quits, 0);
  EXPECT_EQ(destroys, 4);
  MSG message{};
  ASSERT_TRUE(PeekMessage(&message));
  DispatchMessage(&message);
  ASSERT_TRUE(PeekMessage(&message));
  EXPECT_EQ(message.message, WM_QUIT);
}

TEST(MessageQueue, DispatchReachesTheClassProcedureOnlyForTheGameWindow) {
  HWND window = Window();
  Drain();
  destroys = 0;
  MSG to_window{window, WM_DESTROY, 0, 0};
  MSG to_nobody{nullptr, WM_DESTROY, 0, 0};
  DispatchMessage(&to_nobody);
  EXPECT_EQ(destroys, 0);
  DispatchMessage(&to_window);
  EXPECT_EQ(destroys, 1);
  Drain();
  EXPECT_EQ(CreateGameWindow("NO SUCH CLASS", "x", 640, 480), nullptr);
  EXPECT_FALSE(RegisterWindowClass("", Procedure));
  EXPECT_FALSE(RegisterWindowClass("X", nullptr));
}

TEST(Keys, HeadlessKeysAreInjectedAndACloseRequestHoldsEscape) {
  Window();
  SetHeldKeys(KeyBit(Key::Left) | KeyBit(Key::Space));
  EXPECT_TRUE(KeyDown(Key::Left));
  EXPECT_TRUE(KeyDown(Key::Space));
  EXPECT_FALSE(KeyDown(Key::Right));
  EXPECT_FALSE(KeyDown(Key::Escape));
  SetHeldKeys(0);
  EXPECT_FALSE(KeyDown(Key::Left));
}
