// The four music tracks decode completely, last as long as they were composed to, and carry
// the headers and tags they were encoded with. The game's player opens each of them.
#include <gtest/gtest.h>
#include <mad.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "dar3/dar3.h"
#include "dar3/ruve3.hpp"
#include "tests/tools/assetgen/asset_files.h"
#include "tools/assetgen/songs.h"

namespace {

using namespace assettest;

struct Decoded {
  long frames = 0, samples = 0, errors = 0;
  unsigned rate = 0;
  int channels = 0;
  double peak = 0;
};

Decoded DecodeWithLibmad(const std::vector<uint8_t>& file) {
  Decoded d;
  mad_stream stream{};
  mad_frame frame{};
  mad_synth synth{};
  mad_stream_init(&stream);
  mad_frame_init(&frame);
  mad_synth_init(&synth);
  std::vector<uint8_t> data = file;
  data.resize(data.size() + MAD_BUFFER_GUARD, 0);
  mad_stream_buffer(&stream, data.data(), data.size());
  for (;;) {
    if (mad_frame_decode(&frame, &stream) != 0) {
      if (MAD_RECOVERABLE(stream.error)) {
        // Tags and the VBR header frame are skipped as lost sync; count real errors only.
        if (stream.error != MAD_ERROR_LOSTSYNC && stream.error != MAD_ERROR_BADDATAPTR) ++d.errors;
        continue;
      }
      break;
    }
    mad_synth_frame(&synth, &frame);
    ++d.frames;
    d.samples += synth.pcm.length;
    d.rate = synth.pcm.samplerate;
    d.channels = synth.pcm.channels;
    for (int i = 0; i < synth.pcm.length; ++i)
      d.peak = std::max(d.peak, std::fabs(mad_f_todouble(synth.pcm.samples[0][i])));
  }
  mad_synth_finish(&synth);
  mad_frame_finish(&frame);
  mad_stream_finish(&stream);
  return d;
}

bool Contains(const std::vector<uint8_t>& b, size_t from, size_t to, const char* text) {
  const size_t n = std::strlen(text);
  for (size_t i = from; i + n <= std::min(to, b.size()); ++i)
    if (std::memcmp(&b[i], text, n) == 0) return true;
  return false;
}

TEST(Music, EveryTrackDecodesWholeAtItsRateForItsComposedLength) {
  bool cbr = false, vbr = false, odd_rate = false, tagged = false;
  for (const assetgen::TrackSpec& spec : assetgen::MusicTracks()) {
    SCOPED_TRACE(spec.file_name);
    const std::vector<uint8_t> file = ReadBytes(AssetPath(spec.file_name));
    ASSERT_GT(file.size(), 100000u);
    const Decoded d = DecodeWithLibmad(file);
    EXPECT_EQ(d.errors, 0);
    EXPECT_EQ(d.rate, unsigned(spec.sample_rate));
    EXPECT_EQ(d.channels, 2);
    EXPECT_GE(spec.Seconds(), 60.0);
    EXPECT_LE(spec.Seconds(), 120.0);
    // The encoder adds its delay and pads the last frame: at most three frames more.
    const double seconds = double(d.samples) / d.rate;
    EXPECT_GE(seconds, spec.Seconds());
    EXPECT_LE(seconds, spec.Seconds() + 3 * 1152.0 / d.rate);
    EXPECT_GT(d.peak, 0.5) << "a track should not be near-silent";
    EXPECT_LT(d.peak, 1.0) << "a track should not clip";

    // Where the audio starts: after an ID3v2 tag if there is one.
    size_t start = 0;
    if (file[0] == 'I' && file[1] == 'D' && file[2] == '3') {
      EXPECT_EQ(file[3], 3) << "ID3v2.3";
      start = 10 + (size_t(file[6]) << 21 | size_t(file[7]) << 14 | size_t(file[8]) << 7 | file[9]);
      EXPECT_TRUE(Contains(file, 10, start, "TIT2"));
      EXPECT_TRUE(Contains(file, 10, start, "Jed Grimstorm"));
      ASSERT_GE(file.size(), 128u);
      const size_t v1 = file.size() - 128;
      EXPECT_EQ(std::string(file.begin() + long(v1), file.begin() + long(v1) + 3), "TAG");
      EXPECT_EQ(std::string(file.begin() + long(v1) + 33, file.begin() + long(v1) + 46), "Jed Grimstorm");
      tagged = spec.tagged;
    }
    ASSERT_EQ(file[start], 0xFF) << "the first frame follows the tag directly";
    const bool has_xing = Contains(file, start, start + 200, "Xing") || Contains(file, start, start + 200, "Info");
    if (spec.mode == assetgen::Bitrate::kVariable) {
      EXPECT_TRUE(Contains(file, start, start + 200, "Xing"));
      EXPECT_TRUE(Contains(file, start, start + 200, "LAME"));
      vbr = true;
    } else {
      EXPECT_FALSE(has_xing);
      cbr = true;
    }
    odd_rate = odd_rate || spec.sample_rate == 32000 || spec.sample_rate == 48000;
  }
  EXPECT_TRUE(cbr && vbr && odd_rate && tagged);
}

TEST(Music, ThePlayerOpensEveryTrackAsTheGameDoes) {
  RUVe3* player = CreateRUVe3();
  ASSERT_NE(player, nullptr);
  for (const assetgen::TrackSpec& spec : assetgen::MusicTracks()) {
    const std::string path = AssetPath(spec.file_name);
    EXPECT_EQ(player->OpenFile(path.c_str(), 800, 0, 0), 1) << path << ": " << player->GetError();
    MP3_STREAM_INFO info{};
    EXPECT_EQ(player->GetMp3Info(&info), 1);
    EXPECT_EQ(info.sample_rate, spec.sample_rate);
    EXPECT_EQ(info.vbr != 0, spec.mode == assetgen::Bitrate::kVariable) << spec.file_name;
    MP3_TIME length{};
    EXPECT_EQ(player->GetSongLength(&length), 1);
    EXPECT_NEAR(length.ms / 1000.0, spec.Seconds(), 0.5) << spec.file_name;
  }
  player->Release();
}

#ifdef MPG123_PROGRAM
TEST(Music, Mpg123TestsEveryTrackWithoutComplaint) {
  for (const assetgen::TrackSpec& spec : assetgen::MusicTracks()) {
    const std::string cmd = std::string(MPG123_PROGRAM) + " -q -t '" + AssetPath(spec.file_name) + "' 2>&1";
    FILE* out = popen(cmd.c_str(), "r");
    ASSERT_NE(out, nullptr);
    std::string text;
    char buf[256];
    while (std::fgets(buf, sizeof buf, out)) text += buf;
    EXPECT_EQ(pclose(out), 0) << spec.file_name;
    EXPECT_EQ(text.find("rror"), std::string::npos) << spec.file_name << ": " << text;
  }
}
#endif

#ifdef FFPROBE_PROGRAM
// An independent reader: ffprobe's duration of each track matches the composed length.
TEST(Music, FfprobeReadsEveryTrackWithItsComposedDuration) {
  for (const assetgen::TrackSpec& spec : assetgen::MusicTracks()) {
    const std::string cmd = std::string(FFPROBE_PROGRAM) +
                            " -v error -show_entries format=duration -of default=nw=1:nk=1 '" +
                            AssetPath(spec.file_name) + "' 2>&1";
    FILE* out = popen(cmd.c_str(), "r");
    ASSERT_NE(out, nullptr);
    std::string text;
    char buf[256];
    while (std::fgets(buf, sizeof buf, out)) text += buf;
    ASSERT_EQ(pclose(out), 0) << spec.file_name << ": " << text;
    EXPECT_NEAR(std::atof(text.c_str()), spec.Seconds(), 0.5) << spec.file_name << ": " << text;
  }
}
#endif

}  // namespace
