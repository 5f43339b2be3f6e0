// Why a run ended, read inside the STOP handler for every cause, and a playlist built on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "tests/mp3/player/mp3_test_support.h"

namespace {

using namespace std::chrono_literals;

// The callback has no user pointer: the player and what the STOP handler read live here.
std::atomic<RUVe3*> g_player{nullptr};
std::mutex g_lock;
std::vector<int> g_reasons;

int32_t ReadReasonOnStop(uint32_t message, intptr_t wparam, intptr_t lparam) {
  if (message == MP3_EVENT_STOP) {
    EXPECT_EQ(wparam, 0);
    EXPECT_EQ(lparam, 0);
    int reason = -1;
    RUVe3* p = g_player.load();
    if (p) Mp3_GetStopReason(p, &reason);
    std::lock_guard<std::mutex> hold(g_lock);
    g_reasons.push_back(reason);
  }
  return message == MP3_EVENT_WAVE_BUFFER ? 1 : 0;
}

std::vector<int> Reasons() {
  std::lock_guard<std::mutex> hold(g_lock);
  return g_reasons;
}

bool WaitForStops(size_t count) {
  for (auto end = std::chrono::steady_clock::now() + 30s; std::chrono::steady_clock::now() < end;) {
    if (Reasons().size() >= count) return true;
    std::this_thread::sleep_for(2ms);
  }
  return false;
}

class StopReason : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = EncodeWithLame("stop_reason.mp3", TonePcm(44100, 4.0), 44100, "-b 128");
    ASSERT_FALSE(path_.empty());
    {
      std::lock_guard<std::mutex> hold(g_lock);
      g_reasons.clear();
    }
    player_ = CreateRUVe3();
    g_player = player_;
    player_->SetCallbackFunc(&ReadReasonOnStop, MP3_EVENT_STOP);
  }
  void TearDown() override {
    g_player = nullptr;
    if (player_) player_->Release();
  }
  // Plays with a device, and waits until it has begun.
  void PlayWithDevice() {
    ASSERT_EQ(player_->OpenFile(path_.c_str(), 800, 0, 0), 1) << player_->GetError();
    ASSERT_EQ(player_->Play(), 1) << player_->GetError();
    WaitDecoding(*player_);
  }
  int LastStopReason(size_t stops) {
    EXPECT_TRUE(WaitForStops(stops));
    const std::vector<int> reasons = Reasons();
    return reasons.empty() ? -1 : reasons.back();
  }

  std::string path_;
  RUVe3* player_ = nullptr;
};

}  // namespace

TEST_F(StopReason, NoneBeforeAnyRunAndANullPointerFails) {
  int reason = -1;
  ASSERT_EQ(Mp3_GetStopReason(player_, &reason), 1);
  EXPECT_EQ(reason, MP3_STOP_REASON_NONE);
  EXPECT_EQ(Mp3_GetStopReason(player_, nullptr), 0);
  EXPECT_STREQ(player_->GetError(), "GetStopReason->int *pReason can't be NULL");
}

TEST_F(StopReason, EachCallerThatEndsARunNamesItself) {
  PlayWithDevice();
  ASSERT_EQ(player_->Stop(), 1);
  EXPECT_EQ(LastStopReason(1), MP3_STOP_REASON_STOP);

  ASSERT_EQ(player_->Play(), 1);
  MP3_TIME at{};
  at.ms = 1000;
  ASSERT_EQ(player_->Seek(TIME_FORMAT_MS, &at, MOVE_FROM_START), 1);
  EXPECT_EQ(LastStopReason(2), MP3_STOP_REASON_SEEK) << "the seek's own stop reads as a seek";

  ASSERT_EQ(player_->Play(), 1);
  ASSERT_EQ(player_->ReverseMode(1), 1);
  EXPECT_EQ(LastStopReason(3), MP3_STOP_REASON_REVERSE_MODE);

  ASSERT_EQ(player_->Close(), 1);
  EXPECT_EQ(LastStopReason(4), MP3_STOP_REASON_CLOSE);

  PlayWithDevice();
  ASSERT_EQ(player_->OpenFile(path_.c_str(), 800, 0, 0), 1) << "an open of the next song";
  EXPECT_EQ(LastStopReason(5), MP3_STOP_REASON_CLOSE);

  ASSERT_EQ(player_->Play(), 1);
  WaitDecoding(*player_);
  g_player = nullptr;  // the handler must not touch a player being destroyed
  player_->Release();
  player_ = nullptr;
  ASSERT_TRUE(WaitForStops(6));
  EXPECT_EQ(Reasons().back(), -1) << "the handler ran";
}

TEST_F(StopReason, DestroyIsTheReasonTheHandlerReads) {
  // The handler reads the reason through the flat export while Destroy stops the run: the
  // export answers although destruction began (every other command is refused by then).
  RUVe3* p = CreateRUVe3();
  ASSERT_EQ(Mp3_OpenFile(p, path_.c_str(), 800, 0, 0), 1);
  ASSERT_EQ(Mp3_Play(p), 1);
  WaitDecoding(*p);
  std::atomic<int> seen{-1};
  static std::atomic<int>* s_seen;
  static MP3_HANDLE s_player;
  s_seen = &seen;
  s_player = p;
  Mp3_SetCallbackFunc(
      p,
      [](uint32_t message, intptr_t, intptr_t) -> int32_t {
        int reason = -1;
        if (message == MP3_EVENT_SYNC_STOP && Mp3_GetStopReason(s_player, &reason)) s_seen->store(reason);
        return 0;
      },
      MP3_EVENT_SYNC_STOP);
  ASSERT_EQ(Mp3_Destroy(p), 1);
  EXPECT_EQ(seen.load(), MP3_STOP_REASON_DESTROY);
}

TEST_F(StopReason, TheSongsEndAndTheCallbacksRefusal) {
  player_->SetCallbackFunc(&ReadReasonOnStop, MP3_EVENT_STOP | MP3_EVENT_WAVE_BUFFER);
  ASSERT_EQ(player_->OpenFile(path_.c_str(), 0, 0, 0), 1);
  ASSERT_EQ(player_->Play(), 1);
  EXPECT_EQ(LastStopReason(1), MP3_STOP_REASON_SONG_ENDED);

  CallbackLog::Reset(1);
  g_player = nullptr;
  player_->SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_SYNC_PLAY | MP3_EVENT_STOP);
  ASSERT_EQ(player_->Play(), 1) << "the run starts and the PLAY answer ends it";
  ASSERT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 5000));
  int reason = -1;
  ASSERT_EQ(Mp3_GetStopReason(player_, &reason), 1);
  EXPECT_EQ(reason, MP3_STOP_REASON_CALLBACK);
}

TEST_F(StopReason, AStreamThatChangesItsRateEndsThereWithItsText) {
  const Bytes first = ReadFile(EncodeWithLame("rate_a.mp3", TonePcm(44100, 2.0), 44100, "-t -b 128"));
  const Bytes second = ReadFile(EncodeWithLame("rate_b.mp3", TonePcm(22050, 2.0), 22050, "-t -b 64"));
  const std::string mixed = WriteTemp("rate_mixed.mp3", Concat({first, second}));
  const Decoded alone = DecodeAll(WriteTemp("rate_first.mp3", first));
  player_->SetCallbackFunc(&ReadReasonOnStop, MP3_EVENT_STOP | MP3_EVENT_WAVE_BUFFER);
  ASSERT_EQ(player_->OpenFile(mixed.c_str(), 0, 0, 0), 1);
  MP3_TIME length{};
  ASSERT_EQ(player_->GetSongLength(&length), 1);
  EXPECT_EQ(length.frames, alone.length.frames) << "the length ends at the change";
  ASSERT_EQ(player_->Play(), 1);
  EXPECT_EQ(LastStopReason(1), MP3_STOP_REASON_FORMAT_CHANGE);
  EXPECT_STREQ(player_->GetError(), "_ThreadFunc->The stream changes its sample rate here; playback ends !");
}

// How a reason is kept against a later cause is StopReasonRecord's test; here each Seek of a
// playing run names itself and only the real end reads as the song's end.
TEST_F(StopReason, APlaylistThatSkipsOnlyAtTheSongsEndSurvivesThirtySeeks) {
  // The song has to reach its end through a device that plays in real time.
  platform::AudioConsumeInRealTime(true);
  struct Restore {
    ~Restore() { platform::AudioConsumeInRealTime(false); }
  } restore;
  PlayWithDevice();
  constexpr int kSeeks = 30;
  for (int i = 0; i < kSeeks; ++i) {
    MP3_TIME at{};
    at.ms = uint32_t(i * 37 % 3000);
    ASSERT_EQ(player_->Seek(TIME_FORMAT_MS, &at, MOVE_FROM_START), 1);
    ASSERT_EQ(player_->Play(), 1);
  }
  ASSERT_TRUE(WaitForStops(kSeeks));
  const auto track_changes = [] {
    const std::vector<int> reasons = Reasons();
    return std::count(reasons.begin(), reasons.end(), MP3_STOP_REASON_SONG_ENDED);
  };
  EXPECT_EQ(track_changes(), 0) << "every seek stops the run, none ends the song";
  MP3_TIME near_end{};
  near_end.ms = 3800;
  ASSERT_EQ(player_->Seek(TIME_FORMAT_MS, &near_end, MOVE_FROM_START), 1);
  ASSERT_EQ(player_->Play(), 1);
  ASSERT_TRUE(WaitForStops(kSeeks + 2));
  EXPECT_EQ(Reasons().back(), MP3_STOP_REASON_SONG_ENDED);
  EXPECT_EQ(track_changes(), 1);
}
