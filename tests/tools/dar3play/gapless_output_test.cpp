// Tracks in a row: the output stays open while the sample rate stays, and an album cut from one
// recording comes back whole, sample for sample in length, with no step at the joins.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "tests/tools/dar3play/dar3play_runner.h"

namespace {

class GaplessOutput : public ::testing::Test {
 protected:
  // A one-second tone at `rate`, encoded by lame.
  std::string Tone(const std::string& name, int rate, int hz) {
    const std::string wav = (scratch_ / (name + ".wav")).string(), mp3 = (scratch_ / (name + ".mp3")).string();
    EXPECT_EQ(RunCommand("sox -n -r " + std::to_string(rate) + " -c 2 -b 16 " + Quote(wav) + " synth 1 sine " +
                         std::to_string(hz) + " gain -6")
                  .status,
              0);
    EXPECT_EQ(RunCommand("lame --quiet -b 128 " + Quote(wav) + " " + Quote(mp3)).status, 0);
    return Quote(mp3);
  }

  ScratchDir scratch_;
};

TEST_F(GaplessOutput, TheDeviceIsOpenedOnceWhileTheRateStays) {
  const std::string a = Tone("a", 44100, 300), b = Tone("b", 44100, 500), c = Tone("c", 44100, 700);
  const RunResult same = RunDar3play("--output null --stats " + a + " " + b + " " + c);
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(same.out, "Playing 1/3: a.mp3 (0:01)\nPlaying 2/3: b.mp3 (0:01)\nPlaying 3/3: c.mp3 (0:01)\n");
  EXPECT_NE(same.err.find("sound output opened 1 time(s)"), std::string::npos) << same.err;

  // 48000 Hz between two 44100 Hz tracks: the device is opened anew for it and after it.
  const std::string other = Tone("other", 48000, 500);
  const RunResult mixed = RunDar3play("--output null --stats " + a + " " + other + " " + c);
  EXPECT_EQ(mixed.status, 0) << mixed.err;
  EXPECT_EQ(mixed.out, "Playing 1/3: a.mp3 (0:01)\nPlaying 2/3: other.mp3 (0:01)\nPlaying 3/3: c.mp3 (0:01)\n");
  EXPECT_NE(mixed.err.find("sound output opened 3 time(s)"), std::string::npos) << mixed.err;
}

TEST_F(GaplessOutput, ThreeTracksCutFromOneRecordingDecodeToItExactly) {
  // A rising sweep: every sample differs from its neighbours, so a lost or doubled stretch at a
  // join would show. Cut at points that are no multiple of a frame.
  const std::string whole = (scratch_ / "whole.wav").string();
  ASSERT_EQ(RunCommand("sox -n -r 44100 -c 2 -b 16 " + Quote(whole) + " synth 3 sine 200-2000 gain -6").status, 0);
  const std::pair<const char*, const char*> cuts[] = {{"0", "0.9137"}, {"0.9137", "1.2511"}, {"2.1648", "-0"}};
  std::string inputs;
  int n = 0;
  for (const auto& [start, length] : cuts) {
    const std::string part = (scratch_ / ("part" + std::to_string(++n))).string();
    const std::string trim = std::string(length) == "-0" ? start : std::string(start) + " " + length;
    // NOLINTNEXTLINE(performance-inefficient-string-concatenation): a command line, once per track
    ASSERT_EQ(RunCommand("sox " + Quote(whole) + " " + Quote(part + ".wav") + " trim " + trim).status, 0);
    ASSERT_EQ(RunCommand("lame --quiet -b 192 " + Quote(part + ".wav") + " " + Quote(part + ".mp3")).status, 0);
    inputs += " " + Quote(part + ".mp3");
  }
  const std::string joined = (scratch_ / "joined.wav").string();
  const RunResult r = RunDar3play("--replaygain off --decode" + inputs + " " + Quote(joined));
  ASSERT_EQ(r.status, 0) << r.err;
  Wav original, decoded;
  ASSERT_TRUE(ReadWav(whole, &original));
  ASSERT_TRUE(ReadWav(joined, &decoded));
  ASSERT_EQ(decoded.samples.size(), original.samples.size()) << "length difference in samples";

  // The lossy coding differs from the original everywhere by a little. The largest step
  // between neighbouring samples tells a click: a step the recording does not have.
  const size_t frames = original.samples.size() / 2;
  auto largest_error = [&](const std::vector<int16_t>& s, size_t from, size_t to) {
    int worst = 0;
    for (size_t i = from * 2; i < to * 2; ++i) worst = std::max(worst, std::abs(s[i] - original.samples[i]));
    return worst;
  };
  auto largest_step = [](const std::vector<int16_t>& s, size_t from, size_t to) {
    int worst = 0;
    for (size_t i = from * 2; i + 2 < to * 2; ++i) worst = std::max(worst, std::abs(s[i + 2] - s[i]));
    return worst;
  };
  // Each track's middle lines up with the recording: a track shifted by even one sample would
  // differ there by far more than the coding does.
  std::vector<size_t> bounds = {0};
  for (const auto& cut : cuts)
    if (std::string(cut.first) != "0") bounds.push_back(size_t(std::lround(std::strtod(cut.first, nullptr) * 44100)));
  bounds.push_back(frames);
  for (size_t t = 0; t + 1 < bounds.size(); ++t) {
    const size_t middle = (bounds[t] + bounds[t + 1]) / 2;
    const int error = largest_error(decoded.samples, middle - 2205, middle + 2205);
    std::printf("track %zu: largest error in its middle %d\n", t + 1, error);
    EXPECT_LE(error, 1000) << "track " << t + 1;
  }
  // At the joins the separately coded ends differ more, as they do for mpg123, whose gapless
  // decode of the same three files is the yardstick: nothing like a gap or a click of our own.
  const std::string peer_path = (scratch_ / "mpg123.wav").string();
  ASSERT_EQ(RunCommand("mpg123 -q -w " + Quote(peer_path) + inputs).status, 0);
  Wav peer;
  ASSERT_TRUE(ReadWav(peer_path, &peer));
  ASSERT_EQ(peer.samples.size(), original.samples.size());
  for (size_t t = 1; t + 1 < bounds.size(); ++t) {
    const size_t from = bounds[t] - 64, to = bounds[t] + 64;
    const int error = largest_error(decoded.samples, from, to), peer_error = largest_error(peer.samples, from, to);
    const int step = largest_step(decoded.samples, from, to), peer_step = largest_step(peer.samples, from, to);
    std::printf("join at frame %zu: largest error %d (mpg123 %d), largest step %d (mpg123 %d, the recording %d)\n",
                bounds[t], error, peer_error, step, peer_step, largest_step(original.samples, from, to));
    EXPECT_LE(error, peer_error + 8) << "join at " << bounds[t];
    EXPECT_LE(step, peer_step + 8) << "join at " << bounds[t];
  }
}

}  // namespace
