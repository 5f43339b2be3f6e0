// The flat exports on one player from several threads at once, as applications use them: a
// playlist that plays the next track from the STOP handler while another thread polls every
// getter, Destroy while a STOP handler plays again, and two threads calling the playback
// operations at random. Each step is bounded by a watchdog; none may crash, hang, mix two
// streams' figures or leave a thread behind.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "dar3/dar3.h"
#include "platform/audio.h"
#include "tests/mp3/player/tracks.h"
#include "tests/support/watchdog.h"

namespace {

using test_support::ThreadCount;
using test_support::ThreadCountSettled;
using test_support::WithinOrFail;

using namespace std::chrono_literals;

const std::vector<Track>& Tracks() {
  static const std::vector<Track> tracks = {MakeTrack("threads_a.mp3", 0, 5, "Track A"),
                                            MakeTrack("threads_b.mp3", 2, 4, "Track B")};
  return tracks;
}

// What one getter may answer: one of the two tracks' figures, or the "not open" failure.
struct Expected {
  std::set<uint32_t> lengths;
  std::set<int> rates;
  std::set<std::string> titles;
};

const Expected& Figures() {
  static const Expected expected = [] {
    Expected e;
    MP3_HANDLE p = Mp3_Initialize();
    for (const Track& track : Tracks()) {
      EXPECT_EQ(Mp3_OpenFile(p, track.path.c_str(), 0, 0, 0), 1);
      MP3_TIME length{};
      Mp3_GetSongLength(p, &length);
      e.lengths.insert(length.ms);
      e.rates.insert(track.sample_rate);
      e.titles.insert(track.title);
    }
    Mp3_Destroy(p);
    return e;
  }();
  return expected;
}

int32_t Ignore(uint32_t, intptr_t, intptr_t) { return 0; }

// The slow variant (DAR3_THREAD_TESTS_FULL=1) runs the long forms: 300 tracks on the silent
// device and 20 s of random calls; the default run takes a tenth of the tracks and 3 s.
bool FullLength() {
  const char* full = std::getenv("DAR3_THREAD_TESTS_FULL");
  return full && std::strcmp(full, "1") == 0;
}

// The process's threads with no player alive, after one player has played and gone: threads
// that start on first use and stay (a sanitizer's own) are counted in.
int SettledThreadCount() {
  MP3_HANDLE p = Mp3_Initialize();
  Mp3_SetCallbackFunc(p, &Ignore, MP3_EVENT_STOP);
  Mp3_OpenFile(p, Tracks()[0].path.c_str(), 0, 0, 0);
  Mp3_Play(p);
  MP3_STATUS status{};
  do {
    std::this_thread::sleep_for(1ms);
    Mp3_GetStatus(p, &status);
  } while (status.playing);
  Mp3_Destroy(p);
  // The threads just joined leave /proc a moment later: the count is read once it holds still.
  int count = ThreadCount();
  for (int i = 0; i < 100; ++i) {
    std::this_thread::sleep_for(10ms);
    const int now = ThreadCount();
    if (now == count) break;
    count = now;
  }
  return count;
}

// A second thread calling every getter in a tight loop, checking each answer against Figures.
class Poller {
 public:
  explicit Poller(MP3_HANDLE player) : player_(player), thread_([this] { Run(); }) {}
  ~Poller() { Finish(); }
  void Finish() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  int rounds() const { return rounds_; }
  int seen_open() const { return seen_open_; }
  const std::vector<std::string>& faults() const { return faults_; }

 private:
  void Fault(const std::string& what) {
    if (faults_.size() < 10) faults_.push_back(what);
  }
  void Run() {
    const Expected& expected = Figures();
    while (!stop_) {
      MP3_TIME time{};
      if (Mp3_GetPosition(player_, &time) != 1) Fault("GetPosition failed");
      MP3_STATUS status{};
      if (Mp3_GetStatus(player_, &status) != 1) Fault("GetStatus failed");
      int32_t freqs[64], left[64], right[64];
      Mp3_GetFFTValues(player_, 64, WINDOW_HANN,
                       FFT_OUT_HARMONIC_FREQ | FFT_OUT_LEFT_AMPLITUDE | FFT_OUT_RIGHT_AMPLITUDE, nullptr, freqs, left,
                       right, nullptr, nullptr);
      unsigned vu_left = 0, vu_right = 0;
      if (Mp3_GetVUData(player_, &vu_left, &vu_right) != 1) Fault("GetVUData failed");
      MP3_STREAM_INFO info{};
      if (Mp3_GetMp3Info(player_, &info) == 1) {
        ++seen_open_;
        if (!expected.rates.count(info.sample_rate))
          Fault("a rate of neither track: " + std::to_string(info.sample_rate));
      }
      MP3_TIME length{};
      if (Mp3_GetSongLength(player_, &length) == 1 && !expected.lengths.count(length.ms))
        Fault("a length of neither track: " + std::to_string(length.ms));
      char title[64] = {};
      if (Mp3_GetID3Field(player_, ID3_TAG_V1, ID3_SELECT_TITLE, title, sizeof title) > 0 &&
          !expected.titles.count(title))
        Fault(std::string("a title of neither track: ") + title);
      int preamp = 0, gains[32] = {};
      Mp3_GetEQParam(player_, 0, &preamp, gains);
      int mode = 0, delay = 0, input = 0, echo = 0, output = 0;
      Mp3_GetSfxParam(player_, &mode, &delay, &input, &echo, &output);
      int volume_left = 0, volume_right = 0;
      Mp3_GetVolume(player_, &volume_left, &volume_right);
      Mp3_GetBitrate(player_, rounds_ & 1);
      ++rounds_;
    }
  }

  MP3_HANDLE player_;
  std::atomic<bool> stop_{false};
  int rounds_ = 0;
  int seen_open_ = 0;
  std::vector<std::string> faults_;
  std::thread thread_;
};

// The playlist: each STOP notice opens the next track and plays it, until `target` have played.
struct Playlist {
  std::atomic<MP3_HANDLE> player{nullptr};
  int buffer_ms = 0;
  int target = 0;
  std::atomic<int> played{0};
  std::atomic<bool> finished{false};
  std::mutex lock;
  std::string failure;
};
Playlist* playlist = nullptr;

int32_t PlayNext(uint32_t message, intptr_t, intptr_t) {
  if (message != MP3_EVENT_STOP || playlist->finished) return 0;
  const int n = ++playlist->played;
  MP3_HANDLE p = playlist->player;
  const Track& next = Tracks()[size_t(n) % Tracks().size()];
  if (n < playlist->target && Mp3_OpenFile(p, next.path.c_str(), playlist->buffer_ms, 0, 0) == 1 && Mp3_Play(p) == 1)
    return 0;
  if (n < playlist->target) {
    char error[256] = {};
    Mp3_GetError(p, error, sizeof error);
    std::lock_guard<std::mutex> hold(playlist->lock);
    playlist->failure = "track " + std::to_string(n) + ": " + error;
  }
  playlist->finished = true;
  return 0;
}

void PlayPlaylist(int tracks, int buffer_ms, std::chrono::seconds limit) {
  Figures();
  Playlist list;
  list.buffer_ms = buffer_ms;
  list.target = tracks;
  playlist = &list;
  const int threads_before = SettledThreadCount();
  WithinOrFail("a playlist switched from the STOP handler", limit, [&] {
    MP3_HANDLE p = Mp3_Initialize();
    list.player = p;
    ASSERT_EQ(Mp3_OpenFile(p, Tracks()[0].path.c_str(), buffer_ms, 0, 0), 1);
    ASSERT_EQ(Mp3_SetCallbackFunc(p, &PlayNext, MP3_EVENT_STOP), 1);
    Poller poller(p);
    ASSERT_EQ(Mp3_Play(p), 1);
    while (!list.finished) std::this_thread::sleep_for(1ms);
    poller.Finish();
    EXPECT_EQ(Mp3_Destroy(p), 1);
    EXPECT_TRUE(poller.faults().empty()) << poller.faults().front();
    EXPECT_GT(poller.seen_open(), 0) << "the getters never saw an open stream";
  });
  playlist = nullptr;
  EXPECT_EQ(list.failure, "");
  EXPECT_EQ(list.played, tracks);
  EXPECT_EQ(ThreadCountSettled(threads_before), threads_before) << "a thread of the player is left";
}

TEST(ConcurrentCalls, APlaylistSwitchedFromTheStopHandlerWhileAThreadPollsEveryGetter) { PlayPlaylist(3000, 0, 120s); }

TEST(ConcurrentCalls, APlaylistOnTheSilentDeviceWhileAThreadPollsEveryGetter) {
  // The headless engine plays in real time on its silent device, whose thread starts with the
  // first device opened: before the count of the player's threads.
  platform::AudioConsumeInRealTime(true);
  MP3_HANDLE warm = Mp3_Initialize();
  ASSERT_EQ(Mp3_OpenFile(warm, Tracks()[1].path.c_str(), 200, 0, 0), 1);
  ASSERT_EQ(Mp3_Play(warm), 1);
  Mp3_Destroy(warm);
  PlayPlaylist(FullLength() ? 300 : 30, 200, 240s);
  platform::AudioConsumeInRealTime(false);
}

// Destroy while a STOP handler plays the track again (repeat-one).
std::atomic<MP3_HANDLE> repeating{nullptr};
std::mutex refusals_lock;
std::set<std::string> refusals;

int32_t PlayAgain(uint32_t message, intptr_t, intptr_t) {
  if (message != MP3_EVENT_STOP && message != MP3_EVENT_SYNC_STOP) return 0;
  MP3_HANDLE p = repeating;
  if (Mp3_Play(p) == 1) return 0;
  char error[256] = {};
  Mp3_GetError(p, error, sizeof error);
  std::lock_guard<std::mutex> hold(refusals_lock);
  refusals.insert(error);
  return 0;
}

TEST(ConcurrentCalls, DestroyWhileTheStopHandlerPlaysAgainReturnsAndLeavesNoThread) {
  Figures();
  const int threads_before = SettledThreadCount();
  for (int round = 0; round < 200; ++round) {
    WithinOrFail("Destroy while the STOP handler plays again", 10s, [&] {
      MP3_HANDLE p = Mp3_Initialize();
      repeating = p;
      ASSERT_EQ(Mp3_OpenFile(p, Tracks()[round % 2].path.c_str(), 0, 0, 0), 1);
      // Every other round the handler is synchronous: the run waits for its answer.
      ASSERT_EQ(Mp3_SetCallbackFunc(p, &PlayAgain, round % 2 ? MP3_EVENT_SYNC_STOP : MP3_EVENT_STOP), 1);
      ASSERT_EQ(Mp3_Play(p), 1);
      std::this_thread::sleep_for(std::chrono::microseconds(500 * (round % 7)));
      EXPECT_EQ(Mp3_Destroy(p), 1);
    });
    ASSERT_EQ(ThreadCountSettled(threads_before), threads_before) << "round " << round;
  }
  // Every refusal says why; the calls made after destruction began say that.
  std::lock_guard<std::mutex> hold(refusals_lock);
  EXPECT_FALSE(refusals.count("")) << "a call failed without a text";
  EXPECT_TRUE(refusals.count("Play->Player is being destroyed !"));
}

TEST(ConcurrentCalls, TwoThreadsCallingPlayStopSeekCloseAndOpenAtRandom) {
  Figures();
  const auto seconds = std::chrono::seconds(FullLength() ? 20 : 3);
  WithinOrFail("two threads calling at random", seconds + 60s, [&] {
    MP3_HANDLE p = Mp3_Initialize();
    ASSERT_EQ(Mp3_OpenFile(p, Tracks()[0].path.c_str(), 0, 0, 0), 1);
    Poller poller(p);
    std::atomic<int> odd_results{0};
    const auto caller = [&](unsigned seed) {
      std::mt19937 random(seed);
      const auto until = std::chrono::steady_clock::now() + seconds;
      while (std::chrono::steady_clock::now() < until) {
        MP3_TIME at{};
        at.ms = random() % 400;
        int result = 0;
        switch (random() % 6) {
          case 0: result = Mp3_Play(p); break;
          case 1: result = Mp3_Stop(p); break;
          case 2: result = Mp3_Seek(p, TIME_FORMAT_MS, &at, MOVE_FROM_START); break;
          case 3: result = Mp3_Close(p); break;
          case 4: result = Mp3_OpenFile(p, Tracks()[random() % 2].path.c_str(), random() % 3 ? 0 : 200, 0, 0); break;
          case 5: result = Mp3_PlayLoop(p, TIME_FORMAT_MS, &at, TIME_FORMAT_MS, &at, 1); break;
          default: break;  // six cases cover every draw
        }
        if (result != 0 && result != 1) ++odd_results;
      }
    };
    std::thread first(caller, 1u), second(caller, 2u);
    first.join();
    second.join();
    poller.Finish();
    EXPECT_EQ(Mp3_Destroy(p), 1);
    EXPECT_EQ(odd_results, 0);
    EXPECT_TRUE(poller.faults().empty()) << poller.faults().front();
    EXPECT_GT(poller.rounds(), 0);
  });
}

}  // namespace
