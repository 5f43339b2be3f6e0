// Loops and reverse play with gapless on: both work on the trimmed timeline, so a loop repeats
// exactly the gapless decode's samples between its bounds, and reverse play from a position
// gives the gapless decode up to there, backwards.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/mp3/player/flat_capture.h"

namespace {

size_t NearestSample(uint32_t ms, uint32_t rate) { return (size_t(ms) * rate + 500) / 1000; }

// Only the dither may tell the two apart: a sample out of place differs by far more.
void ExpectSameSound(const int16_t* heard, const int16_t* expected, size_t count, const std::string& what) {
  int worst = 0;
  double squares = 0;
  for (size_t i = 0; i < count; ++i) {
    const int d = std::abs(int(heard[i]) - int(expected[i]));
    worst = std::max(worst, d);
    squares += double(d) * d;
  }
  EXPECT_LE(worst, 8) << what;
  EXPECT_LT(std::sqrt(squares / double(count ? count : 1)), 2.0) << what;
}

MP3_TIME Ms(uint32_t ms) {
  MP3_TIME t{};
  t.ms = ms;
  return t;
}

class GaplessTimeline : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    path_ = EncodeTone(dir_, "timeline.mp3", 3.0, 44100, GetParam());
    ASSERT_FALSE(path_.empty());
    std::string error;
    gapless_ = DecodeFileFlat(path_, true, &error);
    ASSERT_FALSE(gapless_.empty()) << error;
    Mp3_SetGapless(capture_.handle(), 1);
    ASSERT_EQ(Mp3_OpenFile(capture_.handle(), path_.c_str(), 0, 0, 0), 1) << capture_.Error();
  }
  test_support::ScratchDir dir_;
  std::string path_;
  std::vector<int16_t> gapless_;
  FlatCapture capture_;
};

}  // namespace

TEST_P(GaplessTimeline, ALoopRepeatsTheGaplessSamplesBetweenItsBounds) {
  for (const auto& [a, b] : {std::pair{0u, 700u}, {1234u, 2001u}, {2500u, 3000u}}) {
    SCOPED_TRACE(std::to_string(a) + ".." + std::to_string(b) + " ms");
    MP3_TIME start = Ms(a), end = Ms(b);
    const std::vector<int16_t> heard =
        capture_.Run([&](MP3_HANDLE p) { return Mp3_PlayLoop(p, TIME_FORMAT_MS, &start, TIME_FORMAT_MS, &end, 2); });
    const size_t from = NearestSample(a, 44100) * 2;
    const size_t to = std::min(NearestSample(b, 44100) * 2, gapless_.size());
    ASSERT_LT(from, to);
    const size_t pass = to - from;
    ASSERT_EQ(heard.size(), 3 * pass) << "three passes of the loop, each as long as the trimmed section";
    for (int i = 0; i < 3; ++i)
      ExpectSameSound(heard.data() + i * pass, gapless_.data() + from, pass, "pass " + std::to_string(i));
  }
}

TEST_P(GaplessTimeline, ReversePlayGivesTheGaplessDecodeBackwards) {
  MP3_HANDLE p = capture_.handle();
  MP3_TIME length{};
  ASSERT_EQ(Mp3_GetSongLength(p, &length), 1);
  ASSERT_EQ(Mp3_ReverseMode(p, 1), 1) << capture_.Error();
  for (uint32_t ms : {length.ms, 1777u}) {
    SCOPED_TRACE(std::to_string(ms) + " ms");
    MP3_TIME at = Ms(ms);
    ASSERT_EQ(Mp3_Seek(p, TIME_FORMAT_MS, &at, MOVE_FROM_START), 1);
    const std::vector<int16_t> heard = capture_.Run();
    const size_t until = ms == length.ms ? gapless_.size() : NearestSample(ms, 44100) * 2;
    ASSERT_EQ(heard.size(), until) << "from the position back to the music's first sample";
    std::vector<int16_t> backwards(until);
    for (size_t i = 0; i < until; i += 2) {
      backwards[i] = gapless_[until - 2 - i];
      backwards[i + 1] = gapless_[until - 1 - i];
    }
    ExpectSameSound(heard.data(), backwards.data(), until, "backwards");
  }
}

INSTANTIATE_TEST_SUITE_P(Encodings, GaplessTimeline, ::testing::Values("-b 128", "-V2"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param[1] == 'b' ? "Cbr128" : "VbrV2");
                         });
