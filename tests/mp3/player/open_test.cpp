// Opening sources: the messages of every refusal, tag stripping, the two-frame first-frame
// check, VBR headers (trusted only when sane) and the length figures.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "mp3/format/vbr_header.h"
#include "mp3/output/buffer_plan.h"
#include "platform/files.h"
#include "tests/mp3/player/mp3_test_support.h"

namespace {

std::string Error(RUVe3& p) { return p.GetError(); }

Bytes Id3v2Tag(uint32_t body) {
  Bytes tag(10 + body, 0);
  std::memcpy(tag.data(), "ID3", 3);
  tag[3] = 3;
  tag[6] = uint8_t((body >> 21) & 0x7F);
  tag[7] = uint8_t((body >> 14) & 0x7F);
  tag[8] = uint8_t((body >> 7) & 0x7F);
  tag[9] = uint8_t(body & 0x7F);
  return tag;
}

TEST(Open, RefusalsCarryTheirMessagesAndLeaveThePlayerClosed) {
  Player p;
  EXPECT_EQ(p->Close(), 1) << "closing a closed player";
  EXPECT_EQ(p->OpenFile("/nonexistent/x.mp3", 800, 0, 0), 0);
  EXPECT_EQ(Error(p), "OpenMp3FileEx->Can't open file:  /nonexistent/x.mp3  !");

  const std::string cbr = WriteTemp("cbr.mp3", Repeat(SilentFrame(128), 40));
  EXPECT_EQ(p->OpenFile(cbr.c_str(), 800, 40 * 417, 0), 0);
  EXPECT_EQ(Error(p), "OpenMp3FileEx->Seek value out of range !");
  EXPECT_EQ(p->OpenFile(cbr.c_str(), 800, 417, 40 * 417), 0);
  EXPECT_EQ(Error(p), "OpenMp3FileEx->Size value out of range !");
  EXPECT_EQ(p->OpenFile(cbr.c_str(), 100, 0, 0), 0);
  EXPECT_EQ(Error(p), "_Open->Buffer can't be smaller than 200 ms");
  EXPECT_EQ(p->Play(), 0);
  EXPECT_EQ(Error(p), "Play->Stream isn't open !");
  EXPECT_EQ(p->Stop(), 0);
  EXPECT_EQ(Error(p), "Stop->Stream isn't open !");

  EXPECT_EQ(p->OpenFile(WriteTemp("seven.mp3", Bytes{0xFF, 0xFB, 0x90, 0, 0, 0, 0}).c_str(), 800, 0, 0), 0);
  EXPECT_EQ(Error(p), "_OpenMp3->Invalid stream!");
  Bytes junk(5000);
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = uint8_t(i * 7 + 3);
  EXPECT_EQ(p->OpenFile(WriteTemp("junk.mp3", junk).c_str(), 800, 0, 0), 0);
  EXPECT_EQ(Error(p), "_OpenMp3->Can't find first valid mp3 frame");

  // A tag-only file is under 8 bytes of audio once the tag is stripped.
  Bytes tag_only(128 + 5, 0);
  std::memcpy(tag_only.data() + 5, "TAG", 3);
  EXPECT_EQ(p->OpenFile(WriteTemp("tag.mp3", tag_only).c_str(), 800, 0, 0), 0);
  EXPECT_EQ(Error(p), "_OpenMp3->Invalid stream!");

  // Offset and size select a range; buffer length 0 opens without a device: blocks answered
  // "play it" reach the end although nobody pulls the headless device.
  EXPECT_EQ(p->OpenFile(cbr.c_str(), 0, 417 * 2, 417 * 30), 1) << Error(p);
  MP3_TIME length{};
  ASSERT_EQ(p->GetSongLength(&length), 1);
  EXPECT_EQ(length.bytes, 417u * 30);
  CallbackLog::Reset(0, 0);
  ASSERT_EQ(p->SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP), 1);
  ASSERT_EQ(p->Play(), 1) << Error(p);
  EXPECT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 10000)) << "the no-output mode waits for no device";
  EXPECT_EQ(CallbackLog::Samples().size(), 30u * 1152 * 2);
}

// A file that opens but cannot be mapped (here: no address space left for it, in a child
// process) fails with the view's message; a bad range is still reported as such first.
TEST(Open, AFileThatCannotBeMappedSaysSo) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers need the address space this test takes away";
#else
  const std::string big = WriteTemp("unmappable.mp3", Repeat(SilentFrame(128), 20000));  // 8 MB
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    Player p;
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    // Whatever is mapped now plus 4 MB: too little for the file.
    std::ifstream maps("/proc/self/status");
    std::string line;
    size_t vm_kb = 0;
    while (std::getline(maps, line))
      if (line.rfind("VmSize:", 0) == 0) vm_kb = std::stoul(line.substr(7));
    limit.rlim_cur = (vm_kb + 4096) * 1024;
    if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(3);
    const bool bad_range = p->OpenFile(big.c_str(), 0, 9000000, 0) == 0 &&
                           std::string(p->GetError()) == "OpenMp3FileEx->Seek value out of range !";
    const bool no_view = p->OpenFile(big.c_str(), 0, 0, 0) == 0 &&
                         std::string(p->GetError()) == "DAr3::OpenMp3File->Can't create file view !";
    _exit(bad_range && no_view ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}

TEST(Open, BufferRingFollowsTheRequestedLength) {
  Player p;
  const std::string cbr = WriteTemp("ring.mp3", Repeat(SilentFrame(128), 40));
  ASSERT_EQ(p->OpenFile(cbr.c_str(), 800, 0, 0), 1) << Error(p);
  // Blocks of the plan's 4 frames (its ring arithmetic is BufferPlan's test), the last one the
  // 40 frames' rest.
  const BufferPlan plan = PlanBuffers(44100, 1152, 800);
  ASSERT_EQ(plan.frames_per_buffer, 4u);
  CallbackLog::Reset();
  ASSERT_EQ(p->SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP), 1);
  ASSERT_EQ(p->Play(), 1) << Error(p);
  ASSERT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 10000));
  EXPECT_EQ(CallbackLog::BlockSizes(), std::vector<size_t>(10, 4u * 1152 * 4));
  p->SetCallbackFunc(nullptr, 0);

  // A length no ring could hold fails cleanly instead of taking the machine's memory; a long
  // one that fits still opens.
  EXPECT_EQ(p->OpenFile(cbr.c_str(), INT32_MAX, 0, 0), 0);
  EXPECT_EQ(Error(p), "_Open->Can't initialize wave out");
  ASSERT_EQ(p->OpenFile(cbr.c_str(), 60000, 0, 0), 1) << Error(p);
}

// Frames of a managed stream opened on its first block, the whole file: there only a VBR header
// the opener believes can give the song's length, so its use shows.
uint32_t ManagedStreamFrames(const Bytes& file) {
  Player p;
  EXPECT_EQ(p->OpenStream(0, 1, file.data(), uint32_t(file.size()), 0), 1) << p->GetError();
  return SongLength(p).frames;
}

// Whichever step of an open fails, nothing of it is left: no source, no ring, no figures.
TEST(Open, AFailedOpenLeavesNothingOfItBehind) {
  Player p;
  const std::string vbr = EncodeWithLame("failed_open.mp3", TonePcm(44100, 1.0), 44100, "-V 5");
  ASSERT_FALSE(vbr.empty());
  const auto expect_closed = [&](const char* step) {
    MP3_TIME length{};
    EXPECT_EQ(p->GetSongLength(&length), 0) << step;
    EXPECT_STREQ(p->GetError(), "GetSongLength->Stream isn't open !") << step;
    EXPECT_EQ(length.ms, 0u) << step;
    MP3_STREAM_INFO info{};
    EXPECT_EQ(p->GetMp3Info(&info), 0) << step;
    EXPECT_EQ(p->Play(), 0) << step;
    EXPECT_STREQ(p->GetError(), "Play->Stream isn't open !") << step;
  };
  EXPECT_EQ(p->OpenFile(vbr.c_str(), 100, 0, 0), 0);
  EXPECT_EQ(Error(p), "_Open->Buffer can't be smaller than 200 ms");
  expect_closed("buffer time");
  EXPECT_EQ(p->OpenFile(vbr.c_str(), INT32_MAX, 0, 0), 0);
  EXPECT_EQ(Error(p), "_Open->Can't initialize wave out");
  expect_closed("wave ring");
  ASSERT_EQ(p->OpenFile(vbr.c_str(), 800, 0, 0), 1) << Error(p);
  EXPECT_EQ(StreamInfo(p).vbr, 1);
  EXPECT_GT(StreamInfo(p).header_size, 0) << "the Info frame is not audio";
  EXPECT_EQ(ManagedStreamFrames(ReadFile(vbr)), SongLength(p).frames) << "its VBR header is believed";
  ASSERT_EQ(p->Play(), 1) << Error(p);
}

TEST(Open, WideNamesAndResourcesOpenTheSameBytes) {
  const Bytes stream = Repeat(SilentFrame(128), 20);
  const std::string path = WriteTemp("m\xC3\xBCsic \xE2\x99\xAB.mp3", stream);
  Player p;
  const std::string dir = path.substr(0, path.rfind('/') + 1);
  const std::wstring wide = std::wstring(dir.begin(), dir.end()) + L"m\u00FCsic \u266B.mp3";
  ASSERT_EQ(p->OpenFileW(wide.c_str(), 800, 0, 0), 1) << Error(p);
  EXPECT_EQ(StreamInfo(p).header_size, 0);
  EXPECT_EQ(SongLength(p).bytes, stream.size());

  ASSERT_TRUE(platform::RegisterResource("SONG", "MP3", stream.data(), stream.size()));
  ASSERT_EQ(p->OpenResource(nullptr, "SONG", "MP3", 800, 0, 0), 1) << Error(p);
  MP3_STREAM_INFO info{};
  ASSERT_EQ(p->GetMp3Info(&info), 1);
  EXPECT_EQ(info.sample_rate, 44100);
  EXPECT_EQ(info.bitrate, 128);
  EXPECT_EQ(p->OpenResource(nullptr, "NOPE", "MP3", 800, 0, 0), 0);
  EXPECT_EQ(Error(p), "OpenMp3Resource->Can't find resource !");
  EXPECT_EQ(p->OpenResource(nullptr, "SONG", "MP3", 800, uint32_t(stream.size()), 0), 0);
  EXPECT_EQ(Error(p), "OpenMp3Resource->Seek value out of range !");
  platform::UnregisterResource("SONG", "MP3");
}

TEST(Open, TagsAreStrippedOrSkipped) {
  Player p;
  MP3_STREAM_INFO info{};
  // A tag followed directly by a frame: the audio starts at the frame.
  const Bytes frames = Repeat(SilentFrame(128), 20);
  ASSERT_EQ(p->OpenFile(WriteTemp("id3.mp3", Concat({Id3v2Tag(300), frames})).c_str(), 800, 0, 0), 1);
  ASSERT_EQ(p->GetMp3Info(&info), 1);
  EXPECT_EQ(info.header_size, 310);
  EXPECT_EQ(SongLength(p).bytes, frames.size()) << "the tag is not audio";
  // A tag followed by junk stays in the data; the frame search finds the first real frame.
  const Bytes junk(57, 0x11);
  ASSERT_EQ(p->OpenFile(WriteTemp("id3junk.mp3", Concat({Id3v2Tag(300), junk, frames})).c_str(), 800, 0, 0), 1);
  ASSERT_EQ(p->GetMp3Info(&info), 1);
  EXPECT_EQ(info.header_size, 310 + 57);
  // ID3v1 at the end is kept out of the audio.
  Bytes v1(128, ' ');
  std::memcpy(v1.data(), "TAG", 3);
  ASSERT_EQ(p->OpenFile(WriteTemp("id3v1.mp3", Concat({frames, v1})).c_str(), 800, 0, 0), 1);
  EXPECT_EQ(SongLength(p).bytes, frames.size());
#if DAR3_WITH_ID3
  MP3_ID3_FIELDS fields{};
  EXPECT_EQ(p->LoadID3(ID3_TAG_V1, &fields), 1) << "the tag is kept for the tag reader";
#endif
}

TEST(Open, ALoneFrameOfAnotherRateIsNotTheFirstFrame) {
  Player p;
  const Bytes stream = Concat({SilentFrame(128, 0), Repeat(SilentFrame(128, 2), 20)});
  ASSERT_EQ(p->OpenFile(WriteTemp("lone.mp3", stream).c_str(), 800, 0, 0), 1) << Error(p);
  MP3_STREAM_INFO info{};
  ASSERT_EQ(p->GetMp3Info(&info), 1);
  EXPECT_EQ(info.sample_rate, 32000);
  EXPECT_EQ(info.header_size, 417);
}

TEST(Open, LengthFiguresOfConstantBitrate) {
  // 1,280,000 bytes at 128 kbit/s would be 80 s, but they hold 3069 frames (and 227 bytes of
  // zeros): the frames count, 3069 x 1152 samples.
  Bytes stream = Repeat(SilentFrame(128), 3069);
  stream.resize(1280000, 0);
  Player p;
  ASSERT_EQ(p->OpenFile(WriteTemp("cbr80.mp3", stream).c_str(), 800, 0, 0), 1) << Error(p);
  MP3_TIME t{};
  ASSERT_EQ(p->GetSongLength(&t), 1);
  EXPECT_EQ(t.ms, 3069u * 1152 * 1000 / 44100);
  EXPECT_EQ(t.frames, 3069u);
  EXPECT_EQ(t.sec, 80u);
  EXPECT_EQ(t.hms_minute, 1u);
  EXPECT_EQ(t.hms_second, 20u);
  EXPECT_EQ(StreamInfo(p).vbr, 0);
}

// The VBR header's view of a whole MPEG-1 stereo frame: its ancillary data starts after the
// 4-byte header and 32 bytes of side information.
VbrFrame WholeVbrFrame(const Bytes& frame) {
  VbrFrame vf;
  vf.frame = frame.data();
  vf.frame_length = frame.size();
  vf.ancillary = frame.data() + 36;
  vf.ancillary_bits = (frame.size() - 36) * 8;
  return vf;
}

TEST(Open, XingHeaderGivesLengthOnlyWhenSane) {
  Player p;
  MP3_TIME t{};
  const Bytes audio = Repeat(SilentFrame(128), 100);
  ASSERT_EQ(p->OpenFile(WriteTemp("xing.mp3", Concat({XingFrame(100, 100 * 417), audio})).c_str(), 800, 0, 0), 1);
  ASSERT_EQ(p->GetSongLength(&t), 1);
  EXPECT_EQ(t.ms, 100u * 1152 * 1000 / 44100);
  EXPECT_EQ(t.frames, 100u);
  EXPECT_EQ(ManagedStreamFrames(Concat({XingFrame(90, 90 * 417), audio})), 90u) << "a sane header is believed";
  MP3_STREAM_INFO info{};
  p->GetMp3Info(&info);
  EXPECT_EQ(info.header_size, 417) << "the audio starts after the Xing frame";

  // A frame count the data cannot hold is ignored: the length comes from the frames.
  const Bytes bad = Concat({XingFrame(0xFFFFFFF0u, 1), audio});
  ASSERT_EQ(p->OpenFile(WriteTemp("xingbad.mp3", bad).c_str(), 800, 0, 0), 1);
  ASSERT_EQ(p->GetSongLength(&t), 1);
  EXPECT_EQ(ManagedStreamFrames(bad), 100u);
  EXPECT_EQ(t.ms, 100u * 1152 * 1000 / 44100);
  EXPECT_EQ(t.frames, 100u);
  const Bytes zero = Concat({XingFrame(0, 0, "Info"), audio});
  ASSERT_EQ(p->OpenFile(WriteTemp("xingzero.mp3", zero).c_str(), 800, 0, 0), 1);
  EXPECT_EQ(ManagedStreamFrames(zero), 100u);

  // A Xing frame too short for its table of contents.
  Bytes small = SilentFrame(32);
  std::memcpy(small.data() + 36, "Xing\0\0\0\x0F\0\0\0\x64", 12);
  const Bytes short_header = Concat({small, Repeat(SilentFrame(32), 50)});
  ASSERT_EQ(p->OpenFile(WriteTemp("xingshort.mp3", short_header).c_str(), 800, 0, 0), 1);
  EXPECT_EQ(ManagedStreamFrames(short_header), 51u) << "the short frame is audio, not the 100 it claims";
  VbrHeaderInfo parsed;
  ParseVbrHeader(WholeVbrFrame(small), &parsed);
  EXPECT_EQ(parsed.xing_flags, 0u);
}

TEST(VbrHeader, LameTagIsAcceptedOnlyWithItsChecksum) {
  Bytes frame = XingFrame(10, 4170);
  uint8_t* tag = frame.data() + 36 + 120;
  std::copy_n("LAME3.100", 9, tag);
  tag[9] = 0x01;   // revision 0, method 1
  tag[21] = 0x02;  // encoder delay 576 / padding...
  tag[22] = 0x40;
  const uint16_t crc = Crc16Arc(frame.data(), 190);
  frame[190] = uint8_t(crc >> 8);
  frame[191] = uint8_t(crc);
  const VbrFrame vf = WholeVbrFrame(frame);
  VbrHeaderInfo info;
  ASSERT_TRUE(ParseVbrHeader(vf, &info));
  EXPECT_EQ(info.flags & (VBR_HAS_XING | VBR_HAS_LAME), VBR_HAS_XING | VBR_HAS_LAME);
  EXPECT_STREQ(info.encoder, "LAME3.100");
  EXPECT_EQ(info.frames, 10u);
  EXPECT_EQ(info.lame.encoder_delay, 0x024u);
  frame[191] ^= 1;
  ASSERT_TRUE(ParseVbrHeader(vf, &info));
  EXPECT_EQ(info.flags & VBR_HAS_LAME, 0u);
  EXPECT_EQ(Crc16Arc(reinterpret_cast<const uint8_t*>("123456789"), 9), 0xBB3D);

  // Any prefix of the header parses without reading past it.
  for (size_t bits = 0; bits < vf.ancillary_bits; bits += 13) {
    VbrFrame cut = vf;
    cut.ancillary_bits = bits;
    cut.frame_length = 36 + bits / 8;
    ParseVbrHeader(cut, &info);
  }
}

TEST(VbrHeader, VbriTableOfContentsRisesFromZero) {
  Bytes frame = SilentFrame(128);
  uint8_t* v = frame.data() + 36;
  std::memcpy(v, "VBRI", 4);
  const uint8_t fields[] = {0, 1, 0x04, 0x40, 0, 75, 0, 0, 0x50, 0, 0, 0, 0, 200, 0, 10, 0, 1, 0, 2, 0, 20};
  std::memcpy(v + 4, fields, sizeof fields);  // 20480 bytes, 200 frames, 10 entries of 2 bytes
  for (int e = 0; e < 10; ++e) {
    v[26 + 2 * e] = 0x08;  // 2048 bytes per entry
    v[27 + 2 * e] = 0x00;
  }
  const VbrFrame vf = WholeVbrFrame(frame);
  VbrHeaderInfo info;
  ASSERT_TRUE(ParseVbrHeader(vf, &info));
  EXPECT_EQ(info.flags & (VBR_HAS_VBRI | VBR_HAS_XING), VBR_HAS_VBRI | VBR_HAS_XING);
  EXPECT_EQ(info.frames, 200u);
  EXPECT_EQ(info.vbri_delay, 0x0440u);
  EXPECT_LT(info.toc[0], 30);
  for (int i = 1; i < 100; ++i) EXPECT_GE(info.toc[i], info.toc[i - 1]);
  EXPECT_GT(info.toc[99], 200);
}

double FfprobeSeconds(const std::string& path) {
  const std::string command = "ffprobe -v error -show_entries format=duration -of csv=p=0 '" + path + "'";
  FILE* pipe = popen(command.c_str(), "r");
  double seconds = -1.0;
  if (pipe) {
    if (fscanf(pipe, "%lf", &seconds) != 1) seconds = -1.0;
    pclose(pipe);
  }
  return seconds;
}

struct LameCase {
  const char* name;
  int rate;
  const char* options;
  bool vbr;
  int bitrate;  // kbit/s for constant bitrate
  int version;  // MP3_STREAM_INFO version bit
  int channels;
};

class LameFiles : public ::testing::TestWithParam<LameCase> {};

TEST_P(LameFiles, FiguresMatchTheEncoder) {
  const LameCase c = GetParam();
  const std::string path = EncodeWithLame(std::string(c.name) + ".mp3", TonePcm(c.rate, 6.0), c.rate, c.options);
  ASSERT_FALSE(path.empty()) << "lame failed";
  const Bytes file = ReadFile(path);
  Player p;
  ASSERT_EQ(p->OpenFile(path.c_str(), 800, 0, 0), 1) << p->GetError();
  MP3_STREAM_INFO info{};
  MP3_TIME t{};
  ASSERT_EQ(p->GetMp3Info(&info), 1);
  ASSERT_EQ(p->GetSongLength(&t), 1);
  EXPECT_EQ(info.vbr, c.vbr ? 1 : 0);
  EXPECT_EQ(info.version, c.version);
  EXPECT_EQ(info.channels, c.channels);
  EXPECT_EQ(info.sample_rate, c.rate);
  // Lame leaves out its Info header where a frame is too small to hold it; a header frame
  // is not audio.
  const uint32_t header_frame = info.header_size > 0 ? 1 : 0;
  EXPECT_EQ(header_frame, c.rate > 8000 ? 1u : 0u);
  if (header_frame) EXPECT_EQ(ManagedStreamFrames(file), t.frames) << "the Info header gives the length";
  EXPECT_EQ(t.frames + header_frame, CountFrames(file));
  const uint32_t spf = c.version == 1 ? 1152 : 576;
  if (header_frame) {
    EXPECT_EQ(t.ms, uint64_t(t.frames) * spf * 1000 / uint32_t(c.rate));
  }
  EXPECT_NEAR(double(t.ms), FfprobeSeconds(path) * 1000.0, 1000.0 * spf / c.rate + 30.0);
  if (!c.vbr) {
    EXPECT_EQ(info.bitrate, c.bitrate);
  } else {
    const double bytes = double(file.size() - info.header_size);
    EXPECT_NEAR(info.bitrate, bytes * 8 / (t.ms / 1000.0) / 1000.0, 2.0);
  }
}

INSTANTIATE_TEST_SUITE_P(Encoder, LameFiles,
                         ::testing::Values(LameCase{"cbr128", 44100, "-b 128 -m j", false, 128, 1, 2},
                                           LameCase{"vbr", 44100, "-V 2", true, 0, 1, 2},
                                           LameCase{"abr", 44100, "--abr 160", true, 0, 1, 2},
                                           LameCase{"mono", 44100, "-a -b 64", false, 64, 1, 1},
                                           LameCase{"mpeg2_22050", 22050, "-b 64 --resample 22.05", false, 64, 2, 2},
                                           LameCase{"mpeg2_24000", 24000, "-b 64 --resample 24", false, 64, 2, 2},
                                           LameCase{"mpeg25_8000", 8000, "-b 16 --resample 8", false, 16, 4, 2}),
                         [](const ::testing::TestParamInfo<LameCase>& info) { return std::string(info.param.name); });

}  // namespace

#if DAR3_WITH_ID3
namespace {

TEST(Open, TagsOfTheOpenSourceAreRead) {
  Player p;
  MP3_ID3_FIELDS fields{};
  fields.title = "untouched";
  EXPECT_EQ(p->LoadID3(ID3_TAG_V1, &fields), 0);
  EXPECT_STREQ(p->GetError(), "LoadID3->Stream isn't open !");
  EXPECT_STREQ(fields.title, "untouched");

  Bytes v1(128, 0);
  std::memcpy(v1.data(), "TAGNight", 8);
  std::memcpy(v1.data() + 93, "2026", 4);
  v1[126] = 7;   // track 7
  v1[127] = 17;  // Rock
  const std::string path = WriteTemp("tagged.mp3", Concat({Repeat(SilentFrame(128), 20), v1}));
  ASSERT_EQ(p->OpenFile(path.c_str(), 800, 0, 0), 1);
  ASSERT_EQ(p->LoadID3(ID3_TAG_V1, &fields), 1);
  EXPECT_STREQ(fields.title, "Night");
  EXPECT_STREQ(fields.year, "2026");
  EXPECT_STREQ(fields.track, "7");
  EXPECT_STREQ(fields.genre, "Rock");
  char small[3];
  EXPECT_EQ(Mp3_GetID3Field(p, ID3_TAG_V1, ID3_SELECT_TITLE, small, 3), 2);
  EXPECT_STREQ(small, "Ni");
  EXPECT_EQ(Mp3_GetID3Field(p, ID3_TAG_V1, ID3_SELECT_TITLE, nullptr, 0), 6);
  EXPECT_EQ(Mp3_GetID3Field(p, ID3_TAG_V1, 3, small, 3), 0);
  EXPECT_EQ(p->LoadID3(ID3_TAG_V2, &fields), 0);
  EXPECT_EQ(fields.title, nullptr);
}

}  // namespace
#endif
