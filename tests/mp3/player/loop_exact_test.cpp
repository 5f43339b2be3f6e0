// Loop passes start and end on the exact samples of the loop's bounds: a loop's output is the
// whole-file decode between the bounds, pass after pass, but for the dither's last bit; and the
// position reported while it plays follows the pass being heard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "tests/mp3/player/mp3_test_support.h"

namespace {

struct Kind {
  const char* name;
  const char* lame;
};

// The blocks of one loop run, and the position GetPosition gave at the end of each block.
struct LoopSink {
  RUVe3* player = nullptr;
  std::mutex lock;
  std::vector<int16_t> samples;
  std::vector<std::pair<size_t, uint32_t>> positions;  // stereo frames so far, ms reported
};
LoopSink sink;

int32_t SinkCallback(uint32_t message, intptr_t wparam, intptr_t lparam) {
  if (message == MP3_EVENT_WAVE_BUFFER) {
    MP3_TIME at{};
    sink.player->GetPosition(&at);
    std::lock_guard<std::mutex> hold(sink.lock);
    const int16_t* block = reinterpret_cast<const int16_t*>(wparam);
    sink.samples.insert(sink.samples.end(), block, block + lparam / 2);
    sink.positions.emplace_back(sink.samples.size() / 2, at.ms);
    return 1;
  }
  return CallbackLog::Callback(message, wparam, lparam);
}

std::vector<int16_t> PlayLoopRun(RUVe3& p, uint32_t from_ms, uint32_t to_ms, int repeats) {
  {
    std::lock_guard<std::mutex> hold(sink.lock);
    sink.player = &p;
    sink.samples.clear();
    sink.positions.clear();
  }
  CallbackLog::Reset();
  p.SetCallbackFunc(&SinkCallback, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP | MP3_EVENT_EXIT_LOOP);
  MP3_TIME from{}, to{};
  from.ms = from_ms;
  to.ms = to_ms;
  EXPECT_EQ(p.PlayLoop(TIME_FORMAT_MS, &from, TIME_FORMAT_MS, &to, repeats), 1) << p.GetError();
  EXPECT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 20000));
  p.SetCallbackFunc(nullptr, 0);
  std::lock_guard<std::mutex> hold(sink.lock);
  return sink.samples;
}

// The decode of the stereo frames [from, to) of `whole`, appended to `out`.
void AppendSection(std::vector<int16_t>* out, const std::vector<int16_t>& whole, size_t from, size_t to) {
  out->insert(out->end(), whole.begin() + std::ptrdiff_t(2 * from), whole.begin() + std::ptrdiff_t(2 * to));
}

class LoopExact : public ::testing::TestWithParam<Kind> {
 protected:
  void SetUp() override {
    path_ = EncodeWithLame(std::string("loop_exact_") + GetParam().name + ".mp3", TonePcm(44100, 3.0), 44100,
                           GetParam().lame);
    ASSERT_FALSE(path_.empty());
    whole_ = DecodeAll(path_);
    ASSERT_TRUE(whole_.opened) << whole_.error;
    ASSERT_EQ(p_->OpenFile(path_.c_str(), 0, 0, 0), 1);
    rate_ = uint32_t(StreamInfo(p_).sample_rate);
  }
  void ExpectSameAudio(const std::vector<int16_t>& heard, const std::vector<int16_t>& expected, const char* what) {
    ASSERT_EQ(heard.size(), expected.size()) << GetParam().name << ": " << what;
    SampleDifference difference;
    difference.Add(heard.data(), expected.data(), heard.size());
    const int worst = difference.worst;
    const double rms = difference.Rms();
    EXPECT_LE(worst, 8) << GetParam().name << ": " << what << ": only the dither may differ";
    EXPECT_LT(rms, 2.0) << GetParam().name << ": " << what;
    std::printf("%s, %s: worst %d, rms %.2f (16-bit steps)\n", GetParam().name, what, worst, rms);
  }
  std::string path_;
  Decoded whole_;
  Player p_;
  uint32_t rate_ = 0;
};

TEST_P(LoopExact, ThreePassesAreTheSectionBetweenTheBoundsThreeTimes) {
  const size_t from = NearestSample(611, rate_), to = NearestSample(1777, rate_);
  const std::vector<int16_t> heard = PlayLoopRun(p_, 611, 1777, 2);
  std::vector<int16_t> expected;
  for (int pass = 0; pass < 3; ++pass) AppendSection(&expected, whole_.stereo, from, to);
  ExpectSameAudio(heard, expected, "three passes");

  // Reported at the end of each block: the place in the pass being heard, never a pass off.
  const size_t pass = to - from;
  const double buffer_ms = 1000.0 * WaveBufferBytes(p_) / 4 / rate_;
  std::lock_guard<std::mutex> hold(sink.lock);
  ASSERT_FALSE(sink.positions.empty());
  for (const auto& [delivered, ms] : sink.positions) {
    const size_t passes_before = std::min<size_t>(delivered / pass, 2);
    const double expected_ms = 1000.0 * double(from + delivered - passes_before * pass) / rate_;
    EXPECT_NEAR(double(ms), expected_ms, buffer_ms + 1.0) << GetParam().name << " after " << delivered << " samples";
  }
}

TEST_P(LoopExact, APlayerThatWasPlayingGoesOnPastTheLastPassWithoutAGap) {
  // Paused counts as playing: after its passes the loop plays on to the song's end.
  ASSERT_EQ(p_->Pause(), 1);
  const size_t from = NearestSample(611, rate_), to = NearestSample(1777, rate_);
  const std::vector<int16_t> heard = PlayLoopRun(p_, 611, 1777, 1);
  std::vector<int16_t> expected;
  AppendSection(&expected, whole_.stereo, from, to);
  AppendSection(&expected, whole_.stereo, from, whole_.stereo.size() / 2);
  ExpectSameAudio(heard, expected, "a pass, then on to the end");
}

TEST_P(LoopExact, ALoopEndingPastTheDataRepeatsWhatThereIs) {
  const size_t from = NearestSample(2500, rate_), end = whole_.stereo.size() / 2;
  const std::vector<int16_t> heard = PlayLoopRun(p_, 2500, 10000, 1);
  std::vector<int16_t> expected;
  for (int pass = 0; pass < 2; ++pass) AppendSection(&expected, whole_.stereo, from, end);
  ExpectSameAudio(heard, expected, "two passes cut by the end of the data");
  const std::vector<uint32_t> m = CallbackLog::Messages();
  EXPECT_EQ(std::count(m.begin(), m.end(), MP3_EVENT_EXIT_LOOP), 1);
}

TEST_P(LoopExact, AnEmptyLoopPlaysNothingAndEndsOnce) {
  const std::vector<int16_t> heard = PlayLoopRun(p_, 900, 900, 1000000);
  EXPECT_TRUE(heard.empty()) << heard.size() / 2 << " samples of a loop with no length";
  const std::vector<uint32_t> m = CallbackLog::Messages();
  EXPECT_EQ(std::count(m.begin(), m.end(), MP3_EVENT_EXIT_LOOP), 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, LoopExact,
                         ::testing::Values(Kind{"cbr", "-b 128"}, Kind{"vbr_xing", "-V 5"}, Kind{"mono", "-m m -b 64"}),
                         [](const ::testing::TestParamInfo<Kind>& info) { return std::string(info.param.name); });

}  // namespace
