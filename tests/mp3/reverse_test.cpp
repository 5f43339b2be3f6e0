// Reverse play in the decoding thread: blocks of frames come out from the end of the song to
// its start, each decoded after warm-up frames so it sounds as it does played forward.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "tests/mp3/mp3_test_support.h"

namespace {

// Frame starts of the player's audio range, as the reverse-mode operation indexes them.
std::vector<const uint8_t*> IndexFrames(const StreamFormat& f) {
  std::vector<const uint8_t*> index;
  mad_stream stream;
  mad_header header;
  mad_stream_init(&stream);
  mad_header_init(&header);
  mad_stream_buffer(&stream, f.data_start, f.data_size);
  while (true) {
    if (mad_header_decode(&header, &stream) == 0) {
      index.push_back(stream.this_frame);
    } else if (!MAD_RECOVERABLE(stream.error)) {
      break;
    }
  }
  mad_stream_finish(&stream);
  return index;
}

std::vector<int16_t> PlayToEnd(DAr3& p) {
  CallbackLog::Reset();
  p.SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP);
  EXPECT_EQ(p.Play(), 1) << p.GetError();
  EXPECT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 20000));
  return CallbackLog::Samples();
}

class Reverse : public ::testing::TestWithParam<const char*> {};

TEST_P(Reverse, BlocksComeOutFromTheEndBackwards) {
  const std::string path = EncodeWithLame(std::string("reverse") + std::to_string(std::hash<std::string>()(GetParam())) + ".mp3", TonePcm(44100, 2.0), 44100, GetParam());
  ASSERT_FALSE(path.empty());
  DAr3 p;
  ASSERT_EQ(p.OpenFile(path.c_str(), 0, 0, 0), 1);
  const std::vector<int16_t> forward = PlayToEnd(p);

  // Without an index the run refuses to start, and says why.
  p.SetReversePlay(true, p.Format().song_length);
  CallbackLog::Reset();
  EXPECT_EQ(p.Play(), 0);
  EXPECT_STREQ(p.GetError(), "_ThreadFunc->pFramePtr is 0 !");
  EXPECT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 5000)) << "the refused run still reports its stop";
  MP3_STATUS status{};
  p.GetStatus(&status);
  EXPECT_EQ(status.stopped, 1);

  p.FrameIndex() = IndexFrames(p.Format());
  const uint32_t frames = uint32_t(p.FrameIndex().size());
  ASSERT_GT(frames, 20u);
  const std::vector<int16_t> backward = PlayToEnd(p);
  const size_t frame_samples = size_t(p.Format().samples_per_frame) * 2;
  // Everything before the last indexed frame, in blocks of one buffer.
  ASSERT_EQ(backward.size(), size_t(frames - 1) * frame_samples);
  const uint32_t per_block = p.Format().frames_per_buffer;
  size_t out = 0;
  for (uint32_t end = frames - 1; end > 0;) {
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
  p.SetReversePlay(true, 0);
  EXPECT_TRUE(PlayToEnd(p).empty());
  p.Close();
  EXPECT_TRUE(p.FrameIndex().empty()) << "the index goes with the stream";
}

// At 32 kbit/s the bit reservoir reaches back over several frames.
INSTANTIATE_TEST_SUITE_P(Bitrates, Reverse, ::testing::Values("-b 128", "-b 32 --resample 44.1", "-b 24", "-V 5"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param[1] == 'b' ? "cbr" : "vbr") + std::to_string(info.index);
                         });

}  // namespace
