// The reported length against the whole decode, for every kind of file: the frame index wins
// over headers that lie, are missing or describe more than the data holds.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/mp3/player/mp3_test_support.h"

namespace {

struct LengthCase {
  const char* name;
  std::string (*make)();
};

std::string Lame(const char* name, int rate, const char* options, double seconds = 6.0) {
  return EncodeWithLame(name, TonePcm(rate, seconds), rate, options);
}

// A VBR file whose Xing header claims a twentieth of its frames.
std::string LyingXing() {
  const std::string path = Lame("len_lying.mp3", 44100, "-V4");
  Bytes file = ReadFile(path);
  for (size_t i = 0; i + 12 < file.size() && i < 200; ++i) {
    if (std::memcmp(&file[i], "Xing", 4) != 0) continue;
    const uint32_t frames = uint32_t(file[i + 8]) << 24 | file[i + 9] << 16 | file[i + 10] << 8 | file[i + 11];
    const uint32_t lie = frames / 20;
    for (int b = 0; b < 4; ++b) file[i + 8 + b] = uint8_t(lie >> (24 - 8 * b));
    return WriteTemp("len_lying_patched.mp3", file);
  }
  return "";
}

// A CBR file with its Info header, cut to two thirds: the header still counts them all.
std::string Truncated() {
  Bytes file = ReadFile(Lame("len_whole.mp3", 44100, "-b 128"));
  file.resize(file.size() * 2 / 3);
  return WriteTemp("len_truncated.mp3", file);
}

const LengthCase kCases[] = {
    {"Cbr", [] { return Lame("len_cbr.mp3", 44100, "-b 128"); }},
    {"VbrXing", [] { return Lame("len_vbr.mp3", 44100, "-V4"); }},
    {"VbrWithoutHeader", [] { return Lame("len_vbr_bare.mp3", 44100, "-t -V4"); }},
    {"LyingXing", LyingXing},
    {"Truncated", Truncated},
    {"LayerI", [] { return TestData("l1-fl1.bit"); }},
    {"LayerII", [] { return TestData("l2-fl10.bit"); }},
    {"Mpeg2", [] { return Lame("len_mpeg2.mp3", 22050, "-V4"); }},
    {"Mpeg25", [] { return Lame("len_mpeg25.mp3", 11025, "-t -V6"); }},
    {"FreeFormat", [] { return TestData("l3-he_free.bit"); }},
};

class TrueLength : public ::testing::TestWithParam<LengthCase> {};

}  // namespace

TEST_P(TrueLength, FramesSamplesAndTimeMatchTheWholeDecode) {
  const std::string path = GetParam().make();
  ASSERT_FALSE(path.empty()) << "the file could not be made";
  const Decoded d = DecodeAll(path);
  ASSERT_TRUE(d.opened) << d.error;
  const uint32_t rate = uint32_t(d.info.sample_rate);
  const uint32_t spf = d.info.layer == 1 ? 384 : (d.info.version == 1 || d.info.layer == 2 ? 1152 : 576);
  const uint64_t samples = d.stereo.size() / 2;
  ASSERT_GT(samples, 0u);
  EXPECT_EQ(uint64_t(d.length.frames) * spf, samples) << "frames reported: " << d.length.frames;
  EXPECT_EQ(d.length.ms, samples * 1000 / rate);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TrueLength, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LengthCase>& info) { return std::string(info.param.name); });

TEST(TrueLength, TheEndOfAVbrFileWithoutHeaderCanBeReachedBySeeking) {
  const std::string path = Lame("len_vbr_seek.mp3", 44100, "-t -V4");
  const Decoded whole = DecodeAll(path);
  ASSERT_TRUE(whole.opened);
  Player p;
  CallbackLog::Reset();
  p->SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP);
  ASSERT_EQ(p->OpenFile(path.c_str(), 0, 0, 0), 1);
  MP3_TIME at{};
  at.ms = whole.length.ms - 500;
  ASSERT_EQ(p->Seek(TIME_FORMAT_MS, &at, MOVE_FROM_START), 1);
  ASSERT_EQ(p->Play(), 1);
  ASSERT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 20000));
  const size_t heard = CallbackLog::Samples().size() / 2;
  const size_t expected = whole.stereo.size() / 2 - NearestSample(at.ms, 44100);
  EXPECT_EQ(heard, expected) << "the last half second plays from its exact sample";
}
