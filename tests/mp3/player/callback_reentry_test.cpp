// Callbacks that call back into the player: volume reads during fades, a callback replaced from
// inside itself, loops restarted from a stop notice, operations that cannot run on the decoding
// thread, and the notices a player still owes when it is destroyed. None may hang or abort.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/mp3/player/callback_scenario.h"
#include "tests/mp3/player/mp3_test_support.h"

namespace {

using namespace std::chrono_literals;
using namespace callback_scenario;

const std::string& Tone() {
  static const std::string path = EncodeWithLame("reentry_tone.mp3", TonePcm(44100, 3.0), 44100, "-b 128");
  return path;
}

class CallbackReentry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Tone().empty());
    current = &scenario_;
  }
  void TearDown() override { current = nullptr; }
  Scenario scenario_;
};

TEST_F(CallbackReentry, VolumeReadFromAFadeNoticeWhileASynchronousNoticeWaits) {
  auto* p = CreateRUVe3();
  scenario_.player = p;
  // The posted fade-start notice reads the volume late, while the decoding thread waits for
  // the synchronous fade-end answer.
  scenario_.SetHandler([&](uint32_t message, intptr_t, intptr_t) -> int32_t {
    if (message == MP3_EVENT_FADE_OUT_START) {
      std::this_thread::sleep_for(50ms);
      int left = -1, right = -1;
      scenario_.player->GetPlayerVolume(&left, &right);
      EXPECT_EQ(left, 100);
    }
    return message == MP3_EVENT_WAVE_BUFFER ? 1 : 0;
  });
  ASSERT_EQ(p->OpenFile(Tone().c_str(), 0, 0, 0), 1) << p->GetError();
  ASSERT_EQ(p->SetCallbackFunc(&Route, MP3_EVENT_FADE_OUT_START | MP3_EVENT_SYNC_FADE_OUT_END | MP3_EVENT_WAVE_BUFFER |
                                           MP3_EVENT_STOP),
            1);
  MP3_TIME one_frame{};
  one_frame.ms = 26;
  ASSERT_EQ(p->FadeVolume(2, TIME_FORMAT_MS, &one_frame), 1);
  ASSERT_EQ(p->Play(), 1) << p->GetError();
  EXPECT_TRUE(scenario_.WaitFor(MP3_EVENT_SYNC_FADE_OUT_END));
  WithinOrAbort("Stop and Release after a fade notice read the volume", 10s, [&] {
    p->Stop();
    p->Release();
  });
  EXPECT_EQ(scenario_.Count(MP3_EVENT_FADE_OUT_START), 1);
}

TEST_F(CallbackReentry, ACallbackReplacedOrRemovedFromInsideItself) {
  auto* p = CreateRUVe3();
  scenario_.player = p;
  ASSERT_EQ(p->OpenFile(Tone().c_str(), 0, 0, 0), 1);
  // On the posted play notice: wait until the thread is sending synchronous block notices,
  // then install a second function (the first's thread retires), which the rest reaches.
  std::atomic<int> replaced{0};
  std::atomic<int64_t> bytes{0};
  scenario_.SetHandler([&](uint32_t message, intptr_t, intptr_t lparam) -> int32_t {
    if (message == MP3_EVENT_PLAY && !replaced.exchange(1)) {
      std::this_thread::sleep_for(30ms);
      EXPECT_EQ(scenario_.player->SetCallbackFunc(&Route, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP), 1);
    }
    if (message == MP3_EVENT_WAVE_BUFFER) bytes += lparam;
    return message == MP3_EVENT_WAVE_BUFFER ? 1 : 0;
  });
  ASSERT_EQ(p->SetCallbackFunc(&Route, MP3_EVENT_PLAY | MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP), 1);
  WithinOrAbort("a run with the callback replaced from inside itself", 20s, [&] {
    ASSERT_EQ(p->Play(), 1);
    EXPECT_TRUE(scenario_.WaitFor(MP3_EVENT_STOP, 1, 15s));
  });
  EXPECT_EQ(bytes.load(), int64_t(DecodeAll(Tone()).stereo.size() * 2)) << "every block went through a callback";

  // Removed from inside itself on the first block: nothing more arrives, and the player still
  // plays, stops and goes away.
  scenario_.Clear();
  scenario_.SetHandler([&](uint32_t message, intptr_t, intptr_t) -> int32_t {
    if (message == MP3_EVENT_PLAY) {
      EXPECT_EQ(scenario_.player->SetCallbackFunc(nullptr, 0), 1);
    }
    return 0;
  });
  ASSERT_EQ(p->SetCallbackFunc(&Route, MP3_EVENT_PLAY | MP3_EVENT_STOP), 1);
  WithinOrAbort("a run with the callback removed from inside itself, then Release", 20s, [&] {
    ASSERT_EQ(p->Play(), 1);
    std::this_thread::sleep_for(100ms);
    p->Stop();
    p->Release();
  });
  EXPECT_EQ(scenario_.Count(MP3_EVENT_PLAY), 1);
  EXPECT_EQ(scenario_.Count(MP3_EVENT_STOP), 0);
}

TEST_F(CallbackReentry, ALoopStartedFromTheStopNoticeWithSynchronousPlayNotices) {
  Player p;
  scenario_.player = p;
  ASSERT_EQ(p->OpenFile(Tone().c_str(), 0, 0, 0), 1);
  std::atomic<int> looped{0};
  std::atomic<int> loop_result{-1};
  scenario_.SetHandler([&](uint32_t message, intptr_t, intptr_t) -> int32_t {
    if (message == MP3_EVENT_STOP && !looped.exchange(1)) {
      MP3_TIME from{}, to{};
      from.ms = 500;
      to.ms = 1000;
      loop_result = scenario_.player->PlayLoop(TIME_FORMAT_MS, &from, TIME_FORMAT_MS, &to, 0);
    }
    return message == MP3_EVENT_WAVE_BUFFER ? 1 : 0;
  });
  ASSERT_EQ(p->SetCallbackFunc(&Route, MP3_EVENT_STOP | MP3_EVENT_SYNC_PLAY | MP3_EVENT_WAVE_BUFFER), 1);
  WithinOrAbort("PlayLoop from the stop notice", 20s, [&] {
    ASSERT_EQ(p->Play(), 1);
    EXPECT_TRUE(scenario_.WaitFor(MP3_EVENT_STOP, 2, 15s)) << "the loop ran and stopped";
  });
  EXPECT_EQ(loop_result.load(), 1) << p->GetError();
  EXPECT_EQ(scenario_.Count(MP3_EVENT_SYNC_PLAY), 2);
  p->SetCallbackFunc(nullptr, 0);
}

TEST_F(CallbackReentry, OperationsThatWouldWaitForTheDecodingThreadRefuseOnIt) {
  Player p;
  scenario_.player = p;
  ASSERT_EQ(p->OpenFile(Tone().c_str(), 0, 0, 0), 1);
  std::atomic<int> close_result{-1}, open_result{-1};
  std::string close_error;
  std::thread::id decoding_thread;
  scenario_.SetHandler([&](uint32_t message, intptr_t, intptr_t) -> int32_t {
    if (message == MP3_EVENT_WAVE_BUFFER && close_result < 0) {
      // Nothing is queued, so this synchronous notice is answered on the decoding thread.
      decoding_thread = std::this_thread::get_id();
      close_result = scenario_.player->Close();
      close_error = scenario_.player->GetError();
      open_result = scenario_.player->OpenFile(Tone().c_str(), 0, 0, 0);
      return 2;
    }
    return 1;
  });
  ASSERT_EQ(p->SetCallbackFunc(&Route, MP3_EVENT_WAVE_BUFFER), 1);
  WithinOrAbort("Close from a block notice", 10s, [&] {
    ASSERT_EQ(p->Play(), 1);
    for (int i = 0; i < 4000 && close_result < 0; ++i) std::this_thread::sleep_for(2ms);
    p->Stop();
  });
  EXPECT_NE(decoding_thread, std::this_thread::get_id());
  EXPECT_EQ(close_result.load(), 0);
  EXPECT_EQ(close_error, "Close->Can't close the stream from inside a synchronous callback !");
  EXPECT_EQ(open_result.load(), 0);
  p->SetCallbackFunc(nullptr, 0);
  EXPECT_EQ(p->Close(), 1) << "from the caller's thread it closes";
}

TEST_F(CallbackReentry, ReleaseDeliversTheStopNoticeOfTheRunItEnds) {
  auto* p = CreateRUVe3();
  scenario_.player = p;
  ASSERT_EQ(p->OpenFile(Tone().c_str(), 0, 0, 0), 1);
  // The play notice keeps the callback thread busy while the run is ended by Release.
  scenario_.SetHandler([&](uint32_t message, intptr_t, intptr_t) -> int32_t {
    if (message == MP3_EVENT_PLAY) std::this_thread::sleep_for(100ms);
    return message == MP3_EVENT_WAVE_BUFFER ? 1 : 0;
  });
  ASSERT_EQ(p->SetCallbackFunc(&Route, MP3_EVENT_PLAY | MP3_EVENT_STOP), 1);
  ASSERT_EQ(p->Play(), 1);
  WithinOrAbort("Release while a notice is being handled", 10s, [&] { p->Release(); });
  EXPECT_EQ(scenario_.Count(MP3_EVENT_PLAY), 1);
  EXPECT_EQ(scenario_.Count(MP3_EVENT_STOP), 1);
}

TEST_F(CallbackReentry, ASeekRightAfterARunStoppedItselfIsKept) {
  Player p;
  scenario_.player = p;
  ASSERT_EQ(p->OpenFile(Tone().c_str(), 800, 0, 0), 1);
  // The first block's answer ends the run; the seek lands while its thread may still be ending
  // (closing the device takes a while). Under ThreadSanitizer an unguarded rewind at the end
  // of the run shows as a race even when the timing is lucky.
  scenario_.SetHandler(
      [](uint32_t message, intptr_t, intptr_t) -> int32_t { return message == MP3_EVENT_WAVE_BUFFER ? 2 : 0; });
  ASSERT_EQ(p->SetCallbackFunc(&Route, MP3_EVENT_WAVE_BUFFER), 1);
  for (int run = 0; run < 15; ++run) {
    ASSERT_EQ(p->Play(), 1) << p->GetError();
    MP3_STATUS status{};
    do p->GetStatus(&status);
    while (status.playing);
    MP3_TIME at{};
    at.ms = 2000;
    ASSERT_EQ(p->Seek(TIME_FORMAT_MS, &at, MOVE_FROM_START), 1);
    std::this_thread::sleep_for(2ms);
    MP3_TIME position{};
    ASSERT_EQ(p->GetPosition(&position), 1);
    ASSERT_EQ(position.ms, 2000u) << "run " << run;
  }
  p->SetCallbackFunc(nullptr, 0);
}

// Smaller rules of the same operations: the error text's size, and ReverseMode without an index.
TEST(PlayerRules, ErrorTextKeeps512CharactersAndReverseOffLeavesALoopAlone) {
  Player p;
  // Texts of 512 and of 600 characters, from a file name that cannot be opened.
  const auto text_for = [](size_t length) {
    const std::string prefix = "OpenMp3FileEx->Can't open file:  /nonexistent/", suffix = "  !";
    return prefix + std::string(length - prefix.size() - suffix.size(), 'e') + suffix;
  };
  const auto open_failure = [&](size_t length) {
    const std::string text = text_for(length);
    const std::string name = text.substr(text.find("/nonexistent/"), length - text.find("/nonexistent/") - 3);
    EXPECT_EQ(p->OpenFile(name.c_str(), 0, 0, 0), 0);
    return std::string(p->GetError());
  };
  EXPECT_EQ(open_failure(512), text_for(512));
  EXPECT_EQ(open_failure(600), text_for(600).substr(0, 512));

  // Switching reverse play off when it was never on only sets the flag: the loop plays on.
  ASSERT_EQ(p->OpenFile(Tone().c_str(), 800, 0, 0), 1);
  MP3_TIME from{}, to{};
  from.ms = 500;
  to.ms = 1500;
  ASSERT_EQ(p->PlayLoop(TIME_FORMAT_MS, &from, TIME_FORMAT_MS, &to, 5), 1) << p->GetError();
  ASSERT_EQ(p->ReverseMode(0), 1);
  MP3_STATUS status{};
  ASSERT_EQ(p->GetStatus(&status), 1);
  EXPECT_EQ(status.loop, 1);
  EXPECT_EQ(status.playing, 1);
  p->Stop();
}

}  // namespace
