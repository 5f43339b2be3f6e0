// Reverse play in the decoding thread: blocks of frames come out from the end of the song to
// its start, each decoded after warm-up frames so it sounds as it does played forward.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "mp3/format/frame_index.h"
#include "tests/mp3/player/mp3_test_support.h"

namespace {

// Frames of the player's audio range of the file (after the header, the length's bytes), as the
// reverse-mode operation indexes them.
uint32_t IndexedFrames(RUVe3& p, const std::string& path) {
  const Bytes file = ReadFile(path);
  const size_t start = size_t(StreamInfo(p).header_size), size = SongLength(p).bytes;
  EXPECT_LE(start + size, file.size());
  std::vector<const uint8_t*> index;
  EXPECT_TRUE(BuildFrameIndex(file.data() + start, uint32_t(size), &index));
  return uint32_t(index.size());
}

// Puts the next run at ms, in reverse mode.
void ReverseFrom(RUVe3& p, uint32_t ms) {
  ASSERT_EQ(p.ReverseMode(1), 1) << p.GetError();
  MP3_TIME at{};
  at.ms = ms;
  ASSERT_EQ(p.Seek(TIME_FORMAT_MS, &at, MOVE_FROM_START), 1) << p.GetError();
}

std::vector<int16_t> PlayToEnd(RUVe3& p) {
  CallbackLog::Reset();
  p.SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP);
  EXPECT_EQ(p.Play(), 1) << p.GetError();
  EXPECT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 20000));
  return CallbackLog::Samples();
}

class Reverse : public ::testing::TestWithParam<const char*> {};

TEST_P(Reverse, BlocksComeOutFromTheEndBackwards) {
  const std::string path =
      EncodeWithLame(std::string("reverse") + std::to_string(std::hash<std::string>()(GetParam())) + ".mp3",
                     TonePcm(44100, 2.0), 44100, GetParam());
  ASSERT_FALSE(path.empty());
  Player p;
  ASSERT_EQ(p->OpenFile(path.c_str(), 0, 0, 0), 1);
  const std::vector<int16_t> forward = PlayToEnd(p);

  ReverseFrom(p, SongLength(p).ms);
  const uint32_t frames = IndexedFrames(p, path);
  ASSERT_GT(frames, 20u);
  const std::vector<int16_t> backward = PlayToEnd(p);
  const size_t frame_samples = size_t(SamplesPerFrame(p)) * 2;
  // Every indexed frame, the last one too, in blocks of one buffer.
  ASSERT_EQ(forward.size(), size_t(frames) * frame_samples);
  ASSERT_EQ(backward.size(), size_t(frames) * frame_samples);
  const uint32_t per_block = FramesPerBlock(p);
  size_t out = 0;
  for (uint32_t end = frames; end > 0;) {
    const uint32_t start = end >= per_block ? end - per_block : 0;
    double error = 0;
    // Each block comes out with its sample frames in reverse order.
    const size_t block_samples = size_t(end - start) * frame_samples;
    for (size_t i = 0; i < block_samples; ++i) {
      const size_t mirrored = block_samples - 2 - (i & ~size_t(1)) + (i & 1);
      const double d = double(backward[out + i]) - forward[start * frame_samples + mirrored];
      error += d * d;
    }
    const double mse = error / double((end - start) * frame_samples);
    EXPECT_LT(mse, 50.0) << "block of frames " << start << ".." << end;
    out += size_t(end - start) * frame_samples;
    end = start;
  }

  // From the start of the song there is nothing before it to play.
  ReverseFrom(p, 0);
  EXPECT_TRUE(PlayToEnd(p).empty());
}

// At 32 kbit/s the bit reservoir reaches back over several frames.
INSTANTIATE_TEST_SUITE_P(Bitrates, Reverse, ::testing::Values("-b 128", "-b 32 --resample 44.1", "-b 24", "-V 5"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param[1] == 'b' ? "cbr" : "vbr") + std::to_string(info.index);
                         });

}  // namespace
