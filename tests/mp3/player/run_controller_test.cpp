// The run controller alone: one launch of two at once, each start result to its own waiter,
// a stop from the run's first notice with the next run started there, and joins that wait.
#include "mp3/player/run_controller.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/support/watchdog.h"

namespace {

using test_support::WithinOrFail;

using namespace std::chrono_literals;

// What the player does with the controller's change notices: wakes its waiters.
struct Waker {
  std::mutex lock;
  std::condition_variable changed;
  void Notify() {
    std::lock_guard<std::mutex> hold(lock);
    changed.notify_all();
  }
  template <typename Pred>
  void WaitUntil(Pred pred) {
    std::unique_lock<std::mutex> hold(lock);
    changed.wait(hold, pred);
  }
};

TEST(RunControllerAlone, OfTwoStartsAtOnceOneLaunchesAndTheOtherFindsItBusy) {
  WithinOrFail("two starts", 20s, [] {
    Waker waker;
    RunController runs([&] { waker.Notify(); });
    for (int round = 0; round < 200; ++round) {
      std::atomic<int> claimed{0}, busy{0};
      std::atomic<bool> release{false};
      const auto starter = [&] {
        if (runs.ClaimLaunch() != RunController::Claim::kClaimed) {
          ++busy;
          return;
        }
        ++claimed;
        auto run = runs.Launch([&](RunFlags& own) {
          runs.SignalStart(own, 1);
          while (!release) std::this_thread::yield();
        });
        ASSERT_NE(run, nullptr);
        waker.WaitUntil([&] { return run->start >= 0; });
        EXPECT_EQ(run->start, 1);
      };
      std::thread a(starter), b(starter);
      a.join();
      b.join();
      EXPECT_EQ(claimed, 1) << "round " << round;
      EXPECT_EQ(busy, 1) << "round " << round;
      release = true;
      runs.Join(runs.Current());
      EXPECT_EQ(runs.Current(), nullptr);
    }
  });
}

TEST(RunControllerAlone, AStopFromTheFirstNoticeEndsTheRunAndTheNextStartsThere) {
  WithinOrFail("stop from the first notice", 20s, [] {
    Waker waker;
    RunController runs([&] { waker.Notify(); });
    std::atomic<bool> stop{false};
    std::vector<int> order;
    std::mutex order_lock;
    const auto note = [&](int step) {
      std::lock_guard<std::mutex> hold(order_lock);
      order.push_back(step);
    };
    std::shared_ptr<RunFlags> next;
    // The "callback thread": takes the first run's first notice, stops the run, waits until
    // it let go, retires it and starts the next one, as a PLAY handler that plays again does.
    std::thread handler;
    ASSERT_EQ(runs.ClaimLaunch(), RunController::Claim::kClaimed);
    auto first = runs.Launch([&](RunFlags& own) {
      handler = std::thread([&] {
        const std::shared_ptr<RunFlags> mine = runs.Current();  // the launch has ended by then
        stop = true;
        waker.WaitUntil([&] { return mine->done.load(); });
        runs.Retire(mine);
        EXPECT_EQ(runs.ClaimLaunch(), RunController::Claim::kClaimed);
        next = runs.Launch([&](RunFlags& second) {
          note(3);
          runs.SignalStart(second, 1);
        });
      });
      while (!stop) std::this_thread::yield();
      note(1);
      runs.SignalStart(own, 0);
      note(2);
      runs.MarkDone(own);  // the next run may start from here on
    });
    ASSERT_NE(first, nullptr);
    waker.WaitUntil([&] { return first->start >= 0; });
    EXPECT_EQ(first->start, 0);
    handler.join();
    ASSERT_NE(next, nullptr);
    waker.WaitUntil([&] { return next->start >= 0; });
    runs.JoinAll();
    EXPECT_TRUE(runs.AllExited());
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  });
}

TEST(RunControllerAlone, ASecondJoinerReturnsOnlyOnceTheRunHasExited) {
  WithinOrFail("two joiners", 20s, [] {
    RunController runs(nullptr);
    std::atomic<bool> release{false};
    ASSERT_EQ(runs.ClaimLaunch(), RunController::Claim::kClaimed);
    auto run = runs.Launch([&](RunFlags&) {
      while (!release) std::this_thread::yield();
    });
    std::atomic<int> returned{0};
    std::atomic<bool> exited_before_return{true};
    std::vector<std::thread> joiners;
    for (int i = 0; i < 2; ++i)
      joiners.emplace_back([&] {
        runs.Join(run);
        if (!run->exited) exited_before_return = false;
        ++returned;
      });
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(returned, 0);
    release = true;
    for (std::thread& joiner : joiners) joiner.join();
    EXPECT_TRUE(exited_before_return);
  });
}

TEST(RunControllerAlone, NothingLaunchesAfterRefuseAndDroppedClaimsFreeTheLaunch) {
  RunController runs(nullptr);
  ASSERT_EQ(runs.ClaimLaunch(), RunController::Claim::kClaimed);
  EXPECT_EQ(runs.ClaimLaunch(), RunController::Claim::kBusy);
  runs.DropClaim();
  ASSERT_EQ(runs.ClaimLaunch(), RunController::Claim::kClaimed);
  runs.DropClaim();
  runs.Refuse();
  EXPECT_EQ(runs.ClaimLaunch(), RunController::Claim::kRefused);
  EXPECT_EQ(runs.Current(), nullptr);
  EXPECT_TRUE(runs.AllExited());
}

}  // namespace
