// Seeks by time start the heard output on the target sample: what comes out after the seek is
// the whole-file decode from that sample on, in every kind of stream, but for the dither (its
// noise-shaped error and random state differ between the two runs: a few steps of the last
// bit, never a sample's shift); and GetPosition reports the target before a sample is heard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tests/mp3/player/mp3_test_support.h"

namespace {

struct Kind {
  const char* name;
  int rate;
  const char* lame;
};

std::vector<int16_t> PlayFromSeek(RUVe3& p, int format, const MP3_TIME& at) {
  MP3_TIME time = at;
  EXPECT_EQ(p.Seek(format, &time, MOVE_FROM_START), 1) << p.GetError();
  MP3_TIME position{};
  p.GetPosition(&position);
  EXPECT_EQ(position.ms, at.ms + at.sec * 1000 + at.hms_second * 1000 + at.hms_millisecond) << "before playing";
  CallbackLog::Reset();
  p.SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP);
  EXPECT_EQ(p.Play(), 1) << p.GetError();
  EXPECT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 20000));
  return CallbackLog::Samples();
}

class SampleExactSeek : public ::testing::TestWithParam<Kind> {};

TEST_P(SampleExactSeek, OutputFromTheTargetSampleOnEqualsTheWholeDecode) {
  const Kind& kind = GetParam();
  const std::string path =
      EncodeWithLame(std::string("exact_") + kind.name + ".mp3", TonePcm(kind.rate, 3.0), kind.rate, kind.lame);
  ASSERT_FALSE(path.empty());
  const Decoded whole = DecodeAll(path);
  ASSERT_TRUE(whole.opened) << whole.error;
  Player p;
  ASSERT_EQ(p->OpenFile(path.c_str(), 0, 0, 0), 1);
  const uint32_t rate = uint32_t(StreamInfo(p).sample_rate);
  SampleDifference difference;
  for (const uint32_t ms : {1000u, 1234u, 7u, 2501u}) {
    MP3_TIME at{};
    int format = TIME_FORMAT_MS;
    at.ms = ms;
    if (ms == 2501u) {  // hours, minutes, seconds and milliseconds
      format = TIME_FORMAT_HMS;
      at = MP3_TIME{};
      at.hms_second = 2;
      at.hms_millisecond = 501;
    }
    const std::vector<int16_t> heard = PlayFromSeek(p, format, at);
    const size_t target = NearestSample(ms, rate) * 2;
    ASSERT_LT(target, whole.stereo.size());
    ASSERT_EQ(heard.size(), whole.stereo.size() - target) << kind.name << " at " << ms << " ms";
    difference.Add(heard.data(), whole.stereo.data() + target, heard.size());
    EXPECT_LE(difference.worst, 8) << kind.name << " at " << ms << " ms: only the dither may differ";
  }
  // Whole seconds too.
  MP3_TIME at{};
  at.sec = 2;
  const std::vector<int16_t> heard = PlayFromSeek(p, TIME_FORMAT_SEC, at);
  EXPECT_EQ(heard.size(), whole.stereo.size() - size_t(2 * rate) * 2);
  EXPECT_LT(difference.Rms(), 2.0) << kind.name;
  RecordProperty("worst_difference", difference.worst);
  std::printf("%s: difference from the whole decode: worst %d, rms %.2f (16-bit steps)\n", kind.name, difference.worst,
              difference.Rms());
}

INSTANTIATE_TEST_SUITE_P(Kinds, SampleExactSeek,
                         ::testing::Values(Kind{"cbr", 44100, "-b 128"}, Kind{"vbr_xing", 44100, "-V 5"},
                                           Kind{"vbr_no_header", 44100, "-V 5 -t"}, Kind{"mpeg2", 22050, "-b 32"},
                                           Kind{"mpeg25", 11025, "-b 16"}, Kind{"mono", 44100, "-m m -b 64"}),
                         [](const ::testing::TestParamInfo<Kind>& info) { return std::string(info.param.name); });

}  // namespace
