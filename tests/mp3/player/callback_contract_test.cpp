// The callback contract of dar3.h: every call made from inside a callback returns; playlists
// start the next song from the STOP handler; Destroy inside a callback lets the player go once
// the callback has returned; synchronous messages are answered on the callback thread.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/mp3/player/callback_scenario.h"
#include "tests/mp3/player/mp3_test_support.h"
#include "tests/support/watchdog.h"

namespace {

using namespace callback_scenario;

// Three short songs of different kinds, so that each transition reopens a new stream.
const std::vector<std::string>& Songs() {
  static const std::vector<std::string> songs = {
      EncodeWithLame("contract_cbr.mp3", TonePcm(44100, 0.4), 44100, "-b 128"),
      EncodeWithLame("contract_vbr.mp3", TonePcm(44100, 0.4), 44100, "-V 5"),
      EncodeWithLame("contract_mono.mp3", TonePcm(44100, 0.4), 44100, "-m m -b 64"),
  };
  return songs;
}

class CallbackContract : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& song : Songs()) ASSERT_FALSE(song.empty());
    current = &scenario_;
  }
  void TearDown() override { current = nullptr; }

  // Plays `transitions` songs one after the other, each started by the previous one's stop
  // handler (the handler runs on `stop_message`), with `extra` in the mask.
  void PlayNextFromStop(uint32_t stop_message, uint32_t extra, int transitions) {
    Player p;
    scenario_.player = p;
    std::atomic<int> started{0}, failed{0};
    scenario_.SetHandler([&](uint32_t message, intptr_t, intptr_t) -> int32_t {
      if (message == stop_message && started < transitions) {
        const std::string& next = Songs()[size_t(started) % Songs().size()];
        if (p->OpenFile(next.c_str(), 0, 0, 0) != 1 || p->Play() != 1) ++failed;
        ++started;
      }
      return message == MP3_EVENT_WAVE_BUFFER ? 1 : 0;
    });
    ASSERT_EQ(p->OpenFile(Songs()[0].c_str(), 0, 0, 0), 1);
    ASSERT_EQ(p->SetCallbackFunc(&Route, stop_message | MP3_EVENT_WAVE_BUFFER | extra), 1);
    WithinOrAbort("songs started from the stop handler", 20s, [&] {
      ASSERT_EQ(p->Play(), 1) << p->GetError();
      EXPECT_TRUE(scenario_.WaitFor(stop_message, transitions + 1, 5s));
    });
    EXPECT_EQ(started.load(), transitions);
    EXPECT_EQ(failed.load(), 0) << p->GetError();
    if (extra & MP3_EVENT_SYNC_PLAY) {
      EXPECT_EQ(scenario_.Count(MP3_EVENT_SYNC_PLAY), transitions + 1);
    }
    WithinOrAbort("the playlist's player goes away", 10s, [&] { p->SetCallbackFunc(nullptr, 0); });
  }

  Scenario scenario_;
};

// Each of the three songs once per kind of stop handler; the playlist below runs longer.
TEST_F(CallbackContract, PlayTheNextSongFromTheStopHandler) {
  PlayNextFromStop(MP3_EVENT_STOP, 0, 3);
  scenario_.Clear();
  PlayNextFromStop(MP3_EVENT_STOP, MP3_EVENT_SYNC_PLAY, 3);
  scenario_.Clear();
  PlayNextFromStop(MP3_EVENT_SYNC_STOP, MP3_EVENT_SYNC_PLAY, 3);
}

// A playlist: 50 songs, each started from the previous one's stop handler, with the
// synchronous play message in the mask (the case that used to hang). The nested answers behind
// it are the dispatcher's own test; the long playlists run in ConcurrentCalls.
TEST_F(CallbackContract, SoakOf50SongsStartedFromTheStopHandler) {
  PlayNextFromStop(MP3_EVENT_STOP, MP3_EVENT_SYNC_PLAY | MP3_EVENT_PLAY, 50);
}

// Play waits here for its run's start while the PLAY handler stops that run and starts
// another: two callers wait for a start at once, and each must get its own run's result (one
// used to take the other's signal, and both Play calls, or Destroy, then waited for ever). Each
// waiter's own result is the run controller's test; here the player's wiring of it.
TEST_F(CallbackContract, PlayWaitingHereWhileThePlayHandlerRestartsTheRun) {
  Player p;
  scenario_.player = p;
  std::atomic<bool> restart{false};
  std::atomic<int> restarted{0}, restart_failed{0};
  scenario_.SetHandler([&](uint32_t message, intptr_t, intptr_t) -> int32_t {
    if (message == MP3_EVENT_PLAY && restart.exchange(false)) {
      p->Stop();
      if (p->Play() == 1)
        ++restarted;
      else
        ++restart_failed;
    }
    return message == MP3_EVENT_WAVE_BUFFER ? 1 : 0;
  });
  ASSERT_EQ(p->OpenFile(Songs()[2].c_str(), 0, 0, 0), 1);
  ASSERT_EQ(p->SetCallbackFunc(&Route, MP3_EVENT_PLAY | MP3_EVENT_STOP | MP3_EVENT_WAVE_BUFFER), 1);
  constexpr int kRounds = 10;
  WithinOrAbort("Play while the PLAY handler restarts the run", 30s, [&] {
    for (int round = 0; round < kRounds; ++round) {
      restart = true;
      EXPECT_EQ(p->Play(), 1) << p->GetError();
      MP3_STATUS status{};
      // Until the handler's Play has returned and the run it started has ended.
      for (int i = 0; i < 2500 && (restarted + restart_failed <= round || (p->GetStatus(&status), status.playing)); ++i)
        std::this_thread::sleep_for(2ms);
      p->Stop();
    }
  });
  EXPECT_EQ(restarted.load() + restart_failed.load(), kRounds);
  EXPECT_EQ(restart_failed.load(), 0) << p->GetError();
  WithinOrAbort("the player's callback goes away", 10s, [&] { p->SetCallbackFunc(nullptr, 0); });
}

// Play here and Play from the STOP handler at the same moment: one of them starts the next run,
// the other fails as a Play of a playing player does (the second launch used to overwrite the
// first run's thread object, which ends the process). One launch of two at once is the run
// controller's test; here the player's wiring of it.
TEST_F(CallbackContract, PlayHereAndPlayFromTheStopHandlerAtOnceStartOneRun) {
  Player p;
  scenario_.player = p;
  std::atomic<bool> go{false}, handler_play{false};
  std::atomic<int> handler_started{0}, handler_refused{0};
  scenario_.SetHandler([&](uint32_t message, intptr_t, intptr_t) -> int32_t {
    if (message == MP3_EVENT_STOP && handler_play.exchange(false)) {
      go = true;
      (p->Play() == 1 ? handler_started : handler_refused)++;
    }
    return message == MP3_EVENT_WAVE_BUFFER ? 1 : 0;
  });
  ASSERT_EQ(p->OpenFile(Songs()[2].c_str(), 0, 0, 0), 1);
  ASSERT_EQ(p->SetCallbackFunc(&Route, MP3_EVENT_STOP | MP3_EVENT_WAVE_BUFFER), 1);
  constexpr int kRounds = 15;
  int here_started = 0;
  WithinOrAbort("Play here and from the STOP handler at once", 60s, [&] {
    for (int round = 0; round < kRounds; ++round) {
      go = false;
      handler_play = true;  // the run's STOP notice (its own end, or the Stop) makes the handler play
      ASSERT_EQ(p->Play(), 1) << p->GetError();
      p->Stop();
      while (!go) std::this_thread::yield();
      if (p->Play() == 1) ++here_started;
      for (int i = 0; i < 2500 && handler_started + handler_refused <= round; ++i) std::this_thread::sleep_for(1ms);
      p->Stop();
    }
  });
  EXPECT_EQ(handler_started + handler_refused, kRounds);
  // Both may succeed one after the other; neither may be lost without an answer.
  EXPECT_GE(here_started + handler_started, kRounds);
  WithinOrAbort("the player's callback goes away", 10s, [&] { p->SetCallbackFunc(nullptr, 0); });
}

TEST_F(CallbackContract, DestroyInsideACallbackReleasesThePlayerAfterItReturns) {
  // ThreadSanitizer starts a helper thread of its own at the first thread creation; one
  // thread made and joined first keeps it out of the comparison.
  std::thread([] {}).join();
  const int threads_before = test_support::ThreadCount();
  for (const uint32_t destroy_on : {MP3_EVENT_STOP, MP3_EVENT_WAVE_BUFFER, MP3_EVENT_SYNC_PLAY}) {
    scenario_.Clear();
    auto* p = CreateRUVe3();
    scenario_.player = p;
    std::atomic<int> destroyed{0}, after{0};
    scenario_.SetHandler([&, p, destroy_on](uint32_t message, intptr_t, intptr_t) -> int32_t {
      if (destroyed) ++after;
      if (message == destroy_on && !destroyed.exchange(1)) {
        p->Release();
        // Still usable until this callback returns.
        MP3_STATUS status{};
        EXPECT_EQ(p->GetStatus(&status), 1);
      }
      return message == MP3_EVENT_WAVE_BUFFER ? 1 : 0;
    });
    ASSERT_EQ(p->OpenFile(Songs()[1].c_str(), 0, 0, 0), 1);
    ASSERT_EQ(p->SetCallbackFunc(&Route, MP3_EVENT_STOP | MP3_EVENT_WAVE_BUFFER | MP3_EVENT_SYNC_PLAY), 1);
    WithinOrAbort("Destroy inside a callback", 20s, [&] {
      ASSERT_EQ(p->Play(), 1);
      for (int i = 0; i < 7500 && !destroyed; ++i) std::this_thread::sleep_for(2ms);
      ASSERT_TRUE(destroyed);
      // This step runs on the watchdog's thread: one more than before.
      EXPECT_EQ(test_support::ThreadCountSettled(threads_before + 1), threads_before + 1)
          << "no thread of the player is left";
    });
    EXPECT_EQ(after.load(), 0) << "no callback after the one that destroyed the player";
  }
}

TEST_F(CallbackContract, StopFromAnAsynchronousCallbackWhileASynchronousMessageIsDue) {
  Player p;
  scenario_.player = p;
  std::atomic<int> stop_result{-1};
  scenario_.SetHandler([&](uint32_t message, intptr_t, intptr_t) -> int32_t {
    if (message == MP3_EVENT_PLAY) {
      // Meanwhile the decoding thread waits for the answer to its first block.
      std::this_thread::sleep_for(30ms);
      stop_result = p->Stop();
    }
    return message == MP3_EVENT_WAVE_BUFFER ? 1 : 0;
  });
  ASSERT_EQ(p->OpenFile(Songs()[0].c_str(), 0, 0, 0), 1);
  ASSERT_EQ(p->SetCallbackFunc(&Route, MP3_EVENT_PLAY | MP3_EVENT_WAVE_BUFFER | MP3_EVENT_SYNC_STOP), 1);
  WithinOrAbort("Stop from the play notice", 10s, [&] {
    ASSERT_EQ(p->Play(), 1);
    EXPECT_TRUE(scenario_.WaitFor(MP3_EVENT_SYNC_STOP));
  });
  EXPECT_EQ(stop_result.load(), 1);
  p->SetCallbackFunc(nullptr, 0);
}

TEST_F(CallbackContract, ControlCallsFromASynchronousCallbackOfTheLiveRun) {
  Player p;
  scenario_.player = p;
  std::atomic<int> blocks{0};
  int reverse = -1, play = -1, close = -1, stop = -1, seek = -1;
  std::string reverse_error, play_error;
  scenario_.SetHandler([&](uint32_t message, intptr_t, intptr_t) -> int32_t {
    if (message == MP3_EVENT_WAVE_BUFFER && ++blocks == 3) {
      reverse = p->ReverseMode(1);
      reverse_error = p->GetError();
      stop = p->Stop();
      play = p->Play();
      play_error = p->GetError();
      close = p->Close();
      MP3_TIME at{};
      at.ms = 200;
      seek = p->Seek(TIME_FORMAT_MS, &at, MOVE_FROM_START);
    }
    return message == MP3_EVENT_WAVE_BUFFER ? 1 : 0;
  });
  ASSERT_EQ(p->OpenFile(Songs()[0].c_str(), 0, 0, 0), 1);
  ASSERT_EQ(p->SetCallbackFunc(&Route, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP), 1);
  WithinOrAbort("control calls from a block notice", 10s, [&] {
    ASSERT_EQ(p->Play(), 1);
    EXPECT_TRUE(scenario_.WaitFor(MP3_EVENT_STOP));
  });
  EXPECT_EQ(reverse, 0);
  EXPECT_EQ(reverse_error,
            "ReverseMode->Can't restart playback inside a synchronous callback of the run still playing !");
  EXPECT_EQ(play, 0);
  EXPECT_EQ(close, 0);
  EXPECT_EQ(stop, 1) << "the stop is requested";
  EXPECT_EQ(play_error, "Play->Can't start playback inside a synchronous callback of the run still playing !");
  EXPECT_EQ(seek, 1);
  MP3_TIME position{};
  ASSERT_EQ(p->GetPosition(&position), 1);
  EXPECT_EQ(position.ms, 200u) << "the seek made inside the callback holds for the next run";
  WithinOrAbort("the player plays on from the caller's thread", 10s, [&] {
    scenario_.Clear();
    ASSERT_EQ(p->Play(), 1) << p->GetError();
    EXPECT_TRUE(scenario_.WaitFor(MP3_EVENT_STOP));
  });
  p->SetCallbackFunc(nullptr, 0);
}

TEST_F(CallbackContract, EveryMessageIsAnsweredOnTheCallbackThread) {
  Player p;
  scenario_.player = p;
  ASSERT_EQ(p->OpenFile(Songs()[2].c_str(), 0, 0, 0), 1);
  ASSERT_EQ(p->SetCallbackFunc(&Route, MP3_EVENT_PLAY | MP3_EVENT_SYNC_PLAY | MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP |
                                           MP3_EVENT_SYNC_STOP),
            1);
  WithinOrAbort("a run with every kind of message", 10s, [&] {
    ASSERT_EQ(p->Play(), 1);
    EXPECT_TRUE(scenario_.WaitFor(MP3_EVENT_STOP));
  });
  std::lock_guard<std::mutex> hold(scenario_.lock);
  ASSERT_GT(scenario_.threads.size(), 4u);
  for (const std::thread::id& id : scenario_.threads) EXPECT_EQ(id, scenario_.threads.front());
  EXPECT_NE(scenario_.threads.front(), std::this_thread::get_id());
  // In the order sent: the synchronous form of an event before its asynchronous one.
  EXPECT_EQ(scenario_.seen.front(), MP3_EVENT_SYNC_PLAY);
  EXPECT_EQ(scenario_.seen.back(), MP3_EVENT_STOP);
}

}  // namespace
