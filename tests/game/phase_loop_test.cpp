// The phase loops: one message per turn, the frame in every turn, WM_DESTROY as the end of a
// phase, and what held keys do to the title and the story.
#include "game/phase_loop.h"

#include <gtest/gtest.h>

#include <functional>

#include "display/display.h"
#include "game/title_story.h"
#include "game/world.h"
#include "platform/backend.h"
#include "platform/window.h"

namespace {

using platform::Key;
using platform::KeyBit;

class PhaseLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SelectBackend(platform::Backend::Headless);
    ASSERT_TRUE(platform::RegisterWindowClass("WINCLASS1", GameWindowProc));
    window_ = platform::CreateGameWindow("WINCLASS1", "Jed Grimstorm", 640, 480);
    ASSERT_NE(window_, nullptr);
    platform::MSG msg{};
    while (platform::PeekMessage(&msg)) {
    }
  }
  void TearDown() override {
    platform::SetPresentHook(nullptr);
    platform::SetHeldKeys(0);
  }
  void PostClose() { platform::PostMessage(window_, platform::WM_DESTROY, 0, 0); }

  platform::HWND window_ = nullptr;
};

TEST_F(PhaseLoopTest, WindowProcedureAnswersItsMessages) {
  EXPECT_EQ(GameWindowProc(window_, platform::WM_CREATE, 0, 0), 0);
  EXPECT_EQ(GameWindowProc(window_, platform::WM_PAINT, 0, 0), 0);
  EXPECT_EQ(GameWindowProc(window_, platform::WM_DESTROY, 0, 0), 0);
  platform::MSG msg{};
  ASSERT_TRUE(platform::PeekMessage(&msg));
  EXPECT_EQ(msg.message, platform::WM_QUIT);
  EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(PhaseLoopTest, AQuitEndsOnlyTheCurrentPhase) {
  int title_frames = 0;
  const PhaseEnd title = RunPhaseLoop([&] {
    if (++title_frames == 3) PostClose();
  });
  // Posted in turn 3, dispatched in turn 4 (whose frame still runs), quit taken in turn 5.
  EXPECT_EQ(title_frames, 4);
  EXPECT_EQ(title.exit_code, 0u);
  EXPECT_FALSE(title.program_quit);

  int story_frames = 0;
  RunPhaseLoop([&] {
    if (++story_frames == 2) PostClose();
  });
  EXPECT_EQ(story_frames, 3) << "the next phase starts afresh";
}

TEST_F(PhaseLoopTest, OneMessagePerTurnAndTheFrameRunsEveryTurn) {
  for (int i = 0; i < 3; ++i) platform::PostMessage(window_, platform::WM_USER + i, 0, 0);
  int frames = 0;
  RunPhaseLoop([&] {
    if (++frames == 1) PostClose();
  });
  // Three turns dispatch a WM_USER message each, the fourth the WM_DESTROY; each runs a frame.
  EXPECT_EQ(frames, 4);
}

TEST_F(PhaseLoopTest, ARequestPostedEveryFrameHoldsThePhaseOpen) {
  // As while a key stays down: the phase ends only once the requests stop.
  int frames = 0;
  RunPhaseLoop([&] {
    if (++frames <= 10) PostClose();
  });
  EXPECT_EQ(frames, 11);
  int next = 0;
  RunPhaseLoop([&] {
    if (++next == 1) PostClose();
  });
  EXPECT_EQ(next, 2) << "no request is left over for the next phase";
}

// The real title and story frames, with keys set after each presented frame.
class TitleStoryTest : public PhaseLoopTest {
 protected:
  void SetUp() override {
    PhaseLoopTest::SetUp();
    DisplayInit(640, 480, 8, 0);
    platform::SetPresentHook([this](uint64_t) {
      ++presented_;
      if (keys_for_) platform::SetHeldKeys(keys_for_(presented_ + 1));
    });
    presented_ = 0;
  }

  // Keys by presented frame number (from 1), counted across phases.
  void Script(std::function<uint32_t(int)> keys) {
    keys_for_ = std::move(keys);
    platform::SetHeldKeys(keys_for_(1));
  }

  int RunStory() {
    int frames = 0;
    StoryFrameCount = 1;
    StoryPage = 0;
    RunPhaseLoop([&] {
      StoryFrame();
      StoryFrameCount += 1;
      ++frames;
    });
    return frames;
  }

  int presented_ = 0;
  std::function<uint32_t(int)> keys_for_;
};

TEST_F(TitleStoryTest, EscapeOnTheTitleLeadsToTheStory) {
  Script([](int frame) {
    if (frame <= 2) return KeyBit(Key::Escape);
    if (frame == 3 + 6) return KeyBit(Key::Enter);  // sixth story frame
    return 0u;
  });
  int title_frames = 0;
  const PhaseEnd title = RunPhaseLoop([&] {
    TitleFrame();
    ++title_frames;
  });
  EXPECT_FALSE(title.program_quit);
  EXPECT_EQ(title_frames, 3);
  EXPECT_EQ(RunStory(), 7);
}

TEST_F(TitleStoryTest, HeldEnterDoesNotSkipTheStory) {
  Script([](int frame) {
    if (frame <= 10) return KeyBit(Key::Enter);
    if (frame == 11 + 50) return KeyBit(Key::Enter);
    return 0u;
  });
  int title_frames = 0;
  RunPhaseLoop([&] {
    TitleFrame();
    ++title_frames;
  });
  EXPECT_EQ(title_frames, 11);
  EXPECT_EQ(RunStory(), 51);
}

TEST_F(TitleStoryTest, StoryPagesTurnEvery250FramesAndStayOnTheLast) {
  Script([](int) { return 0u; });
  StoryFrameCount = 1;
  StoryPage = 0;
  int page_at[1200] = {};
  for (int frame = 1; frame < 1200; ++frame) {
    StoryFrame();
    page_at[frame] = StoryPage;
    StoryFrameCount += 1;
  }
  EXPECT_EQ(page_at[249], 0);
  EXPECT_EQ(page_at[250], 1);
  EXPECT_EQ(page_at[500], 2);
  EXPECT_EQ(page_at[750], 3);
  EXPECT_EQ(page_at[1000], 4) << "the number keeps growing; page 3 stays on screen";
}

}  // namespace
