// What a web stream tells while it plays: the station's name, the title on the air and news of
// its connection (a reconnect). The feeder thread writes them, the player's loop reads them.
// A title arrives ahead of its sound, by what the player holds queued; it becomes the title on
// the air once playback reaches it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <utility>

// What a web address tells beside the audio, as far as it has been read.
struct WebStreamFacts {
  std::string station;  // icy-name
  std::string title;    // the first StreamTitle: on the air when listening began
  bool live = false;    // a broadcast, without end
  int64_t size = -1;    // the body's bytes, -1 when the server gave none
};

class StreamNotes {
 public:
  struct Snapshot {
    std::string station;
    std::string title;
    std::string news;
    unsigned serial = 0;  // counts every change
  };

  void SetStation(const std::string& station) { Set(&Snapshot::station, station); }
  void SetTitle(const std::string& title) { Set(&Snapshot::title, title); }
  // A title that starts `at` bytes into the audio handed to the player.
  void AddTitleAt(uint64_t at, const std::string& title) {
    std::lock_guard<std::mutex> hold(lock_);
    if (first_title_.empty()) first_title_ = title;
    coming_.emplace_back(at, title);
  }
  // What the server's first reply said of its body: the size in bytes (-1 when it gave none),
  // and whether it is a live broadcast, which has no length at all.
  void SetBody(int64_t size, bool live) {
    std::lock_guard<std::mutex> hold(lock_);
    body_size_ = size;
    live_ = live;
  }
  // Whether the server puts metadata blocks into the audio (icy-metaint).
  void ExpectMetadata(bool expected) {
    std::lock_guard<std::mutex> hold(lock_);
    metadata_expected_ = expected;
  }
  // The first metadata block has come, or the data has ended without one.
  void MetadataCame() {
    {
      std::lock_guard<std::mutex> hold(lock_);
      metadata_came_ = true;
    }
    metadata_changed_.notify_all();
  }
  // Waits up to `limit` for the first metadata block the server announced, which holds the
  // title on the air; at once when none was announced.
  void WaitForMetadata(std::chrono::milliseconds limit) const {
    std::unique_lock<std::mutex> hold(lock_);
    metadata_changed_.wait_for(hold, limit, [this] { return !metadata_expected_ || metadata_came_; });
  }
  WebStreamFacts Facts() const {
    std::lock_guard<std::mutex> hold(lock_);
    return {now_.station, first_title_, live_, body_size_};
  }
  // All the audio handed to the player so far.
  void SetHandedOut(uint64_t bytes) {
    std::lock_guard<std::mutex> hold(lock_);
    handed_out_ = bytes;
  }
  // The player holds `queued` bytes unplayed: the titles it has reached are on the air.
  void Played(uint64_t queued) {
    std::lock_guard<std::mutex> hold(lock_);
    const uint64_t played = handed_out_ > queued ? handed_out_ - queued : 0;
    while (!coming_.empty() && coming_.front().first <= played) {
      Change(&Snapshot::title, coming_.front().second);
      coming_.pop_front();
    }
  }
  void SetNews(const std::string& news) { Set(&Snapshot::news, news); }
  Snapshot Get() const {
    std::lock_guard<std::mutex> hold(lock_);
    return now_;
  }

 private:
  void Set(std::string Snapshot::*field, const std::string& value) {
    std::lock_guard<std::mutex> hold(lock_);
    Change(field, value);
  }
  void Change(std::string Snapshot::*field, const std::string& value) {
    if (now_.*field == value) return;
    now_.*field = value;
    ++now_.serial;
  }

  mutable std::mutex lock_;
  mutable std::condition_variable metadata_changed_;
  bool metadata_expected_ = false;
  bool metadata_came_ = false;
  Snapshot now_;
  std::deque<std::pair<uint64_t, std::string>> coming_;
  uint64_t handed_out_ = 0;
  std::string first_title_;
  int64_t body_size_ = -1;
  bool live_ = false;
};
