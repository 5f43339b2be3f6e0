#pragma once
// RunController: the decoding threads of a player. One run at a time is current; a caller
// claims the launch, the run's thread starts, signals its start result, says when it has let
// go of the player's state (done: only its last notices are still to be sent) and exits. A run
// that ended while the callback thread waited for it is retired and joined later, since that
// thread may not join a run whose last notices wait for it.
//
// Lock table (nothing is held while joining or while `changed` runs):
//   lock_   current_, retired_, launching_, refused_, joining_
// A run's flags are atomics, written by its thread; after each change `changed` is called
// (the player wakes whoever waits for a run there) and joined_ is notified.
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/mutex.h"

struct RunFlags {
  std::atomic<int> start{-1};  // the run's own start result: -1 until known, then 0 or 1
  std::atomic<bool> done{false};
  std::atomic<bool> exited{false};
};

class RunController {
 public:
  explicit RunController(std::function<void()> changed) : changed_(std::move(changed)) {}
  ~RunController() { JoinAll(); }
  RunController(const RunController&) = delete;
  RunController& operator=(const RunController&) = delete;

  enum class Claim { kClaimed, kBusy, kRefused };
  // The right to launch the next run: kBusy while a run exists or another caller holds the
  // claim, kRefused once Refuse was called.
  Claim ClaimLaunch() EXCLUDES(lock_);
  void DropClaim() EXCLUDES(lock_);
  // Starts `body` on a new thread as the current run; the claim ends in the same hold that
  // makes the run exist. Null, with the claim dropped, when no thread can be made.
  std::shared_ptr<RunFlags> Launch(std::function<void(RunFlags&)> body) EXCLUDES(lock_);
  // No launch from now on (the player is being destroyed).
  void Refuse() EXCLUDES(lock_);

  // Called on the run's own thread.
  void SignalStart(RunFlags& run, int result);
  void MarkDone(RunFlags& run);

  std::shared_ptr<RunFlags> Current() const EXCLUDES(lock_);
  bool IsCurrent(const std::shared_ptr<RunFlags>& run) const EXCLUDES(lock_);
  // Joins `run` if it is still current; if another caller took it, waits until it exited.
  void Join(const std::shared_ptr<RunFlags>& run) EXCLUDES(lock_);
  // Hands `run` (if still current) to the retired runs, joined later.
  void Retire(const std::shared_ptr<RunFlags>& run) EXCLUDES(lock_);
  // Joins the retired runs: all of them, or those whose thread has returned.
  void JoinRetired(bool all) EXCLUDES(lock_);
  // Every run's thread, current or retired, has returned.
  bool AllExited() const EXCLUDES(lock_);
  void JoinAll() EXCLUDES(lock_);

 private:
  struct Thread {
    std::thread thread;
    std::shared_ptr<RunFlags> run;
  };
  void Changed();
  // A current run: its thread not yet joined.
  bool Exists() const REQUIRES(lock_) { return current_.thread.joinable() || joining_; }

  const std::function<void()> changed_;
  mutable platform::Mutex lock_;
  platform::CondVar exited_;
  Thread current_ GUARDED_BY(lock_);
  std::vector<Thread> retired_ GUARDED_BY(lock_);
  bool launching_ GUARDED_BY(lock_) = false;
  bool refused_ GUARDED_BY(lock_) = false;
  bool joining_ GUARDED_BY(lock_) = false;  // current_'s thread is being joined outside the lock
};
