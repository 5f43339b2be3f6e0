// The callback dispatcher alone: order, synchronous answers (nested ones too), silence, a
// function replaced from inside itself, and a release run after the outermost callback.
#include "mp3/player/callback_dispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/support/watchdog.h"

namespace {

using test_support::WithinOrFail;

using namespace std::chrono_literals;

// The function carries no user pointer: one sink for the test that runs.
struct Sink {
  std::mutex lock;
  std::vector<uint32_t> messages;
  std::function<int32_t(uint32_t)> handler;
};
Sink* sink = nullptr;

int32_t Record(uint32_t message, intptr_t, intptr_t) {
  {
    std::lock_guard<std::mutex> hold(sink->lock);
    sink->messages.push_back(message);
  }
  return sink->handler ? sink->handler(message) : int32_t(message >> 16);
}

int32_t Other(uint32_t message, intptr_t, intptr_t) {
  std::lock_guard<std::mutex> hold(sink->lock);
  sink->messages.push_back(0x80000000u | message);
  return 0;
}

class Dispatcher : public ::testing::Test {
 protected:
  void SetUp() override { sink = &sink_; }
  void TearDown() override { sink = nullptr; }
  std::vector<uint32_t> Messages() {
    std::lock_guard<std::mutex> hold(sink_.lock);
    return sink_.messages;
  }
  Sink sink_;
};

TEST_F(Dispatcher, NoticesArriveInOrderAndEachSynchronousSenderGetsItsOwnAnswer) {
  WithinOrFail("order", 10s, [&] {
    CallbackDispatcher d;
    // Without a function nothing is queued and a synchronous send is answered at once.
    EXPECT_EQ(d.Send(MP3_EVENT_SYNC_PLAY, 0, 0), 0);
    ASSERT_TRUE(
        d.SetFunction(&Record, MP3_EVENT_STOP | MP3_EVENT_SYNC_STOP | MP3_EVENT_PLAY | MP3_EVENT_SYNC_ENTER_LOOP));
    EXPECT_EQ(d.Notify(MP3_EVENT_STOP), 1) << "the synchronous form's answer";
    EXPECT_EQ(d.Notify(MP3_EVENT_PLAY), 0) << "only the posted form is wanted";
    EXPECT_EQ(d.Notify(MP3_EVENT_ENTER_LOOP), 4);
    EXPECT_EQ(d.Notify(MP3_EVENT_FADE_IN_END), 0) << "not in the mask";
    d.Shutdown();  // what was posted is delivered before the thread ends
    EXPECT_EQ(Messages(),
              (std::vector<uint32_t>{MP3_EVENT_SYNC_STOP, MP3_EVENT_STOP, MP3_EVENT_PLAY, MP3_EVENT_SYNC_ENTER_LOOP}));
  });
}

TEST_F(Dispatcher, ACallWaitingOnTheCallbackThreadDeliversNestedNoticesAnsweredOutOfOrder) {
  WithinOrFail("nested answers", 10s, [&] {
    CallbackDispatcher d;
    std::atomic<bool> second_answered{false};
    std::atomic<int> nested_depth{0};
    sink_.handler = [&](uint32_t message) -> int32_t {
      if (message == MP3_EVENT_SYNC_PLAY) {
        // Waits for a send made meanwhile by another thread: it is delivered here, nested.
        d.WaitServing([&] { return second_answered.load(); });
        return 11;
      }
      nested_depth = d.SynchronousDepth();
      return 22;
    };
    ASSERT_TRUE(d.SetFunction(&Record, MP3_EVENT_SYNC_PLAY | MP3_EVENT_SYNC_STOP));
    int32_t first = 0;
    std::thread sender([&] { first = d.Send(MP3_EVENT_SYNC_PLAY, 0, 0); });
    while (Messages().empty()) std::this_thread::yield();
    EXPECT_EQ(d.Send(MP3_EVENT_SYNC_STOP, 0, 0), 22) << "answered while the first callback still runs";
    second_answered = true;
    d.Wake();
    sender.join();
    EXPECT_EQ(first, 11);
    EXPECT_EQ(nested_depth, 2);
    EXPECT_FALSE(d.OnCallbackThread());
  });
}

TEST_F(Dispatcher, SilencedOrRemovedFunctionsAreNotCalledAndSendsDoNotWait) {
  WithinOrFail("silence", 10s, [&] {
    CallbackDispatcher d;
    ASSERT_TRUE(d.SetFunction(&Record, MP3_EVENT_SYNC_STOP | MP3_EVENT_STOP));
    d.Silence();
    EXPECT_EQ(d.Send(MP3_EVENT_SYNC_STOP, 0, 0), 0);
    d.Send(MP3_EVENT_STOP, 0, 0);
    ASSERT_TRUE(d.SetFunction(nullptr, 0));
    EXPECT_FALSE(d.Wants(MP3_EVENT_STOP));
    EXPECT_EQ(d.Send(MP3_EVENT_SYNC_STOP, 0, 0), 0);
    EXPECT_TRUE(Messages().empty());
  });
}

TEST_F(Dispatcher, AFunctionReplacedFromInsideItselfGetsNothingMoreAndItsThreadEnds) {
  WithinOrFail("replace from inside", 10s, [&] {
    CallbackDispatcher d;
    sink_.handler = [&](uint32_t) -> int32_t {
      EXPECT_TRUE(d.SetFunction(&Other, MP3_EVENT_STOP | MP3_EVENT_SYNC_STOP));
      return 0;
    };
    ASSERT_TRUE(d.SetFunction(&Record, MP3_EVENT_STOP));
    d.Send(MP3_EVENT_STOP, 0, 0);
    while (Messages().empty()) std::this_thread::yield();
    EXPECT_EQ(d.Send(MP3_EVENT_SYNC_STOP, 0, 0), 0);
    d.Shutdown();
    EXPECT_EQ(Messages(), (std::vector<uint32_t>{MP3_EVENT_STOP, 0x80000000u | MP3_EVENT_SYNC_STOP}));
  });
}

TEST_F(Dispatcher, AReleaseAskedInsideACallbackRunsOnItsThreadAfterTheOutermostCallback) {
  WithinOrFail("release", 10s, [&] {
    auto* d = new CallbackDispatcher;
    std::atomic<bool> inside{false};
    std::atomic<bool> released_inside{true};
    std::atomic<bool> released{false};
    std::thread::id callback_thread, release_thread;
    sink_.handler = [&](uint32_t) -> int32_t {
      inside = true;
      callback_thread = std::this_thread::get_id();
      d->ReleaseAfterCallback([&, d] {
        released_inside = inside.load();
        release_thread = std::this_thread::get_id();
        delete d;
        released = true;
      });
      std::this_thread::sleep_for(20ms);
      inside = false;
      return 0;
    };
    ASSERT_TRUE(d->SetFunction(&Record, MP3_EVENT_STOP));
    d->Send(MP3_EVENT_STOP, 0, 0);
    while (!released) std::this_thread::sleep_for(1ms);
    EXPECT_FALSE(released_inside);
    EXPECT_EQ(release_thread, callback_thread);
  });
}

}  // namespace
