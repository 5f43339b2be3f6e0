// Gapless decoding: the output is the encoder's input, sample for sample, as LAME and FFmpeg
// describe it in their tag; off, the output stays the whole decode.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/mp3/player/mp3_test_support.h"

namespace {

struct GaplessCase {
  const char* name;
  int rate;
  bool mono;
  double seconds;
  const char* lame;  // null: FFmpeg's LAME encoder
};

const GaplessCase kCases[] = {
    {"Cbr128", 44100, false, 3.0, "-b 128"},     {"VbrV2", 44100, false, 3.0, "-V2"},
    {"Rate22050", 22050, false, 3.0, "-b 64"},   {"Mono", 44100, true, 3.0, "-m m -b 96"},
    {"Twenty_ms", 44100, false, 0.02, "-b 128"}, {"FfmpegLame", 44100, false, 3.0, nullptr},
};

// Interleaved stereo of the tone, or its left channel only.
std::vector<int16_t> Samples(const Bytes& pcm, bool mono) {
  std::vector<int16_t> s(pcm.size() / 2);
  std::memcpy(s.data(), pcm.data(), s.size() * 2);
  if (!mono) return s;
  std::vector<int16_t> left(s.size() / 2);
  for (size_t i = 0; i < left.size(); ++i) left[i] = s[2 * i];
  return left;
}

std::string Encode(const GaplessCase& c, const Bytes& input) {
  const std::string name = std::string("gapless_") + c.name;
  if (c.lame) return EncodeWithLame(name + ".mp3", input, c.rate, c.lame);
  const std::string wav = WriteTemp(name + ".raw", input);
  const std::string out = wav + ".mp3";
  const std::string command = "ffmpeg -v quiet -y -f s16le -ar " + std::to_string(c.rate) + " -ac " +
                              (c.mono ? "1" : "2") + " -i '" + wav + "' -c:a libmp3lame -b:a 128k '" + out + "'";
  return std::system(command.c_str()) == 0 ? out : "";
}

// mpg123's gapless decode (its default), as 16-bit samples in the file's channel count.
std::vector<int16_t> Mpg123(const std::string& path) {
  const std::string raw = path + ".mpg123.raw";
  const std::string command = "mpg123 -q -e s16 -s '" + path + "' > '" + raw + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) return {};
  const Bytes bytes = ReadFile(raw);
  std::vector<int16_t> s(bytes.size() / 2);
  std::memcpy(s.data(), bytes.data(), s.size() * 2);
  return s;
}

// The player's two output channels as the encoder's channel count.
std::vector<int16_t> AsChannels(const std::vector<int16_t>& stereo, bool mono) {
  if (!mono) return stereo;
  std::vector<int16_t> left(stereo.size() / 2);
  for (size_t i = 0; i < left.size(); ++i) left[i] = stereo[2 * i];
  return left;
}

double Snr(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
  double signal = 0, noise = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    signal += double(b[i]) * b[i];
    noise += double(a[i] - b[i]) * (a[i] - b[i]);
  }
  return noise == 0 ? 200.0 : 10 * std::log10(signal / noise);
}

// The shift (in frames of `channels` samples) of `out` against `in` with the best correlation.
int BestLag(const std::vector<int16_t>& out, const std::vector<int16_t>& in, int channels, int range) {
  int best = 0;
  double best_sum = -1e300;
  const size_t frames = std::min(out.size(), in.size()) / channels;
  for (int lag = -range; lag <= range; ++lag) {
    double sum = 0;
    for (size_t i = size_t(range); i + size_t(range) < frames; ++i)
      sum += double(out[(i + lag) * channels]) * in[i * channels];
    if (sum > best_sum) {
      best_sum = sum;
      best = lag;
    }
  }
  return best;
}

class Gapless : public ::testing::TestWithParam<GaplessCase> {};

}  // namespace

TEST_P(Gapless, OutputIsTheEncodersInputAndMatchesMpg123) {
  const GaplessCase& c = GetParam();
  Bytes pcm = TonePcm(c.rate, c.seconds);
  const std::vector<int16_t> input = Samples(pcm, c.mono);
  if (c.mono) {  // the encoder gets one channel
    pcm.resize(input.size() * 2);
    std::memcpy(pcm.data(), input.data(), pcm.size());
  }
  const std::string path = Encode(c, pcm);
  ASSERT_FALSE(path.empty());
  const Decoded trimmed = DecodeAll(path, 0, true);
  ASSERT_TRUE(trimmed.opened) << trimmed.error;
  const std::vector<int16_t> out = AsChannels(trimmed.stereo, c.mono);
  const int channels = c.mono ? 1 : 2;
  EXPECT_EQ(out.size(), input.size()) << "the encoder's input length";
  EXPECT_EQ(trimmed.length.ms, uint32_t(input.size() / channels * 1000 / c.rate));
  if (c.seconds >= 1.0) {
    EXPECT_EQ(BestLag(out, input, channels, 40), 0) << "lined up at offset 0";
  }

  const std::vector<int16_t> reference = Mpg123(path);
  ASSERT_FALSE(reference.empty()) << "mpg123 failed";
  EXPECT_EQ(out.size(), reference.size()) << "mpg123's gapless length";
  EXPECT_GT(Snr(out, reference), 70.0);
}

TEST_P(Gapless, OffGivesTheWholeDecodeOfWhichTheTrimmedOutputIsAPart) {
  const GaplessCase& c = GetParam();
  Bytes pcm = TonePcm(c.rate, c.seconds);
  if (c.mono) {
    const std::vector<int16_t> left = Samples(pcm, true);
    pcm.resize(left.size() * 2);
    std::memcpy(pcm.data(), left.data(), pcm.size());
  }
  const std::string path = Encode(c, pcm);
  ASSERT_FALSE(path.empty());
  const Decoded whole = DecodeAll(path);
  const Decoded trimmed = DecodeAll(path, 0, true);
  ASSERT_TRUE(whole.opened && trimmed.opened);
  const size_t begin = (576 + 529) * 2;  // LAME's delay and the decoder's, in stereo samples
  ASSERT_GE(whole.stereo.size(), begin + trimmed.stereo.size());
  // Trimming drops samples and changes none; only the dither, which runs over the samples
  // kept, may differ (a shift by one sample would differ by hundreds).
  SampleDifference diff;
  diff.Add(trimmed.stereo.data(), whole.stereo.data() + begin, trimmed.stereo.size());
  EXPECT_LE(diff.worst, 8);
  EXPECT_LT(diff.Rms(), 2.0);
  EXPECT_EQ(uint64_t(whole.length.frames) * (c.rate < 32000 ? 576 : 1152), whole.stereo.size() / 2)
      << "off, every decoded sample is there";
}

INSTANTIATE_TEST_SUITE_P(Encoders, Gapless, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<GaplessCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(GaplessSeek, ASeekLandsOnTheTrimmedTimelinesSample) {
  const std::string path = EncodeWithLame("gapless_seek.mp3", TonePcm(44100, 3.0), 44100, "-V2");
  ASSERT_FALSE(path.empty());
  const Decoded trimmed = DecodeAll(path, 0, true);
  ASSERT_TRUE(trimmed.opened);
  Player p;
  CallbackLog::Reset();
  Mp3_SetGapless(p, 1);
  p->SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP);
  ASSERT_EQ(p->OpenFile(path.c_str(), 0, 0, 0), 1);
  MP3_TIME at{};
  at.ms = 1234;
  ASSERT_EQ(p->Seek(TIME_FORMAT_MS, &at, MOVE_FROM_START), 1);
  ASSERT_EQ(p->Play(), 1);
  ASSERT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 20000));
  const std::vector<int16_t> heard = CallbackLog::Samples();
  const size_t from = NearestSample(1234, 44100) * 2;
  ASSERT_EQ(heard.size(), trimmed.stereo.size() - from);
  SampleDifference diff;
  diff.Add(heard.data(), trimmed.stereo.data() + from, heard.size());
  // Only the dither may differ: a sample off would differ by far more.
  EXPECT_LE(diff.worst, 8);
  EXPECT_LT(diff.Rms(), 2.0);
}

TEST(GaplessJoin, ThreeTracksCutFromOneSweepJoinWithoutAClick) {
  // A one-channel sweep from 200 Hz to 2 kHz over six seconds, cut in three and encoded apart.
  const int rate = 44100;
  const size_t total = size_t(rate) * 6;
  std::vector<int16_t> sweep(total);
  double phase = 0;
  for (size_t i = 0; i < total; ++i) {
    phase += 2 * M_PI * (200.0 + 1800.0 * double(i) / double(total)) / rate;
    sweep[i] = int16_t(12000 * std::sin(phase));
  }
  int own_step = 0;
  for (size_t i = 1; i < total; ++i) own_step = std::max(own_step, std::abs(sweep[i] - sweep[i - 1]));
  std::vector<int16_t> joined;
  std::vector<size_t> joins;
  for (int part = 0; part < 3; ++part) {
    const size_t from = total / 3 * size_t(part);
    Bytes pcm((total / 3) * 2);
    std::memcpy(pcm.data(), sweep.data() + from, pcm.size());
    const std::string path = EncodeWithLame("sweep_" + std::to_string(part) + ".mp3", pcm, rate, "-m m -b 128");
    ASSERT_FALSE(path.empty());
    const Decoded d = DecodeAll(path, 0, true);
    ASSERT_TRUE(d.opened);
    ASSERT_EQ(d.stereo.size() / 2, total / 3) << "each track as long as its cut";
    if (part > 0) joins.push_back(joined.size());
    for (size_t i = 0; i < d.stereo.size(); i += 2) joined.push_back(d.stereo[i]);
  }
  for (size_t at : joins) {
    const int step = std::abs(joined[at] - joined[at - 1]);
    EXPECT_LE(step, own_step * 3 / 2) << "a click where the tracks meet, at sample " << at;
  }
}
