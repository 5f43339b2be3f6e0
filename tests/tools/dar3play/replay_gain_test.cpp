// ReplayGain: the texts and frames taggers write, the factor dar3play plays with, and a whole
// decode of tagged files measured against the same decode without it.
#include "tools/dar3play/replay_gain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/encoded_files.h"
#include "tests/tools/dar3play/dar3play_runner.h"
#include "tools/dar3play/replay_gain_tags.h"

namespace {

// An ID3v2 tag of the given version around frames already laid out.
std::vector<uint8_t> Tag(uint8_t version, const std::vector<uint8_t>& frames) {
  std::vector<uint8_t> tag = {'I', 'D', '3', version, 0, 0};
  const size_t size = frames.size();
  for (int shift : {21, 14, 7, 0}) tag.push_back(uint8_t((size >> shift) & 0x7F));
  tag.insert(tag.end(), frames.begin(), frames.end());
  return tag;
}

// A 2.3/2.4 frame (sizes below 128 are the same in both).
std::vector<uint8_t> Frame(const std::string& id, const std::vector<uint8_t>& body) {
  std::vector<uint8_t> frame(id.begin(), id.end());
  for (int shift : {24, 16, 8, 0}) frame.push_back(uint8_t(body.size() >> shift));
  frame.push_back(0);
  frame.push_back(0);
  frame.insert(frame.end(), body.begin(), body.end());
  return frame;
}

std::vector<uint8_t> Txxx(const std::string& description, const std::string& value) {
  std::vector<uint8_t> body = {0};  // ISO-8859-1
  body.insert(body.end(), description.begin(), description.end());
  body.push_back(0);
  body.insert(body.end(), value.begin(), value.end());
  return Frame("TXXX", body);
}

// RVA2 with the master volume in 1/512 dB and a 16-bit peak.
std::vector<uint8_t> Rva2(const std::string& identification, int16_t gain, uint16_t peak) {
  std::vector<uint8_t> body(identification.begin(), identification.end());
  body.push_back(0);
  // A front-right channel first: it is not the master volume and is passed over.
  for (uint8_t b : {2, 0x10, 0x00, 8, 0xFF}) body.push_back(b);
  for (uint8_t b :
       {uint8_t(1), uint8_t(uint16_t(gain) >> 8), uint8_t(gain), uint8_t(16), uint8_t(peak >> 8), uint8_t(peak)})
    body.push_back(b);
  return Frame("RVA2", body);
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(ReplayGainText, GainsAndPeaksAsTaggersWriteThem) {
  double db = 0.0;
  const std::pair<const char*, double> good[] = {{"-6.50 dB", -6.5}, {"+1.2 dB", 1.2}, {" 3 ", 3.0},
                                                 {"-0.75dB", -0.75}, {"2.5 DB", 2.5},  {"-12", -12.0}};
  for (const auto& [text, want] : good) {
    EXPECT_TRUE(ParseGainDb(text, &db)) << text;
    EXPECT_DOUBLE_EQ(db, want) << text;
  }
  db = 42.0;
  for (const char* bad : {"", "dB", "abc", "- 6 dB", "6.5 xyz", "1e3", "nan", "inf dB", "0x10", "75 dB", "6,5 dB"}) {
    EXPECT_FALSE(ParseGainDb(bad, &db)) << bad;
  }
  EXPECT_EQ(db, 42.0) << "a refused text leaves the value alone";

  double peak = 0.0;
  EXPECT_TRUE(ParsePeak("0.988831", &peak));
  EXPECT_DOUBLE_EQ(peak, 0.988831);
  for (const char* bad : {"-0.5", "", "loud", "1.0 dB"}) EXPECT_FALSE(ParsePeak(bad, &peak)) << bad;

  ReplayGainMode mode = ReplayGainMode::kOff;
  EXPECT_TRUE(ParseReplayGainMode("album", &mode));
  EXPECT_EQ(mode, ReplayGainMode::kAlbum);
  EXPECT_FALSE(ParseReplayGainMode("Album", &mode));
}

TEST(ReplayGainFactorTest, ModeFallbackAndPeakLimit) {
  ReplayGainInfo info;
  info.track = {true, -6.0, 0.0};
  info.album = {true, -12.0, 0.0};
  EXPECT_NEAR(ReplayGainFactor(info, ReplayGainMode::kTrack), std::pow(10.0, -6.0 / 20), 1e-9);
  EXPECT_NEAR(ReplayGainFactor(info, ReplayGainMode::kAlbum), std::pow(10.0, -12.0 / 20), 1e-9);
  EXPECT_EQ(ReplayGainFactor(info, ReplayGainMode::kOff), 1.0);
  // Album asked, only a track value: the track's is used, and the other way round.
  ReplayGainInfo track_only;
  track_only.track = {true, -3.0, 0.0};
  EXPECT_NEAR(ReplayGainFactor(track_only, ReplayGainMode::kAlbum), std::pow(10.0, -3.0 / 20), 1e-9);
  EXPECT_EQ(ReplayGainFactor(ReplayGainInfo{}, ReplayGainMode::kTrack), 1.0);
  // +10 dB on a peak of 0.5 would clip: the factor stops at 2.
  ReplayGainInfo loud;
  loud.track = {true, 10.0, 0.5};
  EXPECT_DOUBLE_EQ(ReplayGainFactor(loud, ReplayGainMode::kTrack), 2.0);
  // The album's peak guards an album gain given without one of its own.
  loud.album = {true, 10.0, 0.0};
  EXPECT_DOUBLE_EQ(ReplayGainFactor(loud, ReplayGainMode::kAlbum), 2.0);

  std::vector<int16_t> samples = {1000, -1000, 30000, -30000, 0};
  ScaleSamples(samples.data(), samples.size(), 2.0);
  EXPECT_EQ(samples, (std::vector<int16_t>{2000, -2000, 32767, -32768, 0}));
}

TEST(ReplayGainTags, TxxxRva2AndTheirOrder) {
  ReplayGainInfo info;
  // ID3v2.3 TXXX, names in any case, with peaks; other TXXX frames are passed over.
  const auto v23 = Tag(3, Join({Txxx("MusicBrainz Album Id", "x"), Txxx("replaygain_track_gain", "-6.50 dB"),
                                Txxx("REPLAYGAIN_TRACK_PEAK", "0.912345"), Txxx("REPLAYGAIN_ALBUM_GAIN", "+1.20 dB"),
                                Txxx("REPLAYGAIN_ALBUM_PEAK", "0.998")}));
  ASSERT_TRUE(ReplayGainFromId3v2(v23, &info));
  EXPECT_EQ(info.source, "ID3v2 TXXX");
  EXPECT_TRUE(info.track.present && info.album.present);
  EXPECT_DOUBLE_EQ(info.track.gain_db, -6.5);
  EXPECT_DOUBLE_EQ(info.track.peak, 0.912345);
  EXPECT_DOUBLE_EQ(info.album.gain_db, 1.2);
  EXPECT_DOUBLE_EQ(info.album.peak, 0.998);
  EXPECT_EQ(DescribeReplayGain(info), "track -6.50 dB, peak 0.912345; album +1.20 dB, peak 0.998000 (ID3v2 TXXX)");

  // RVA2 (2.4): the master volume of the "track" and "album" identifications.
  const auto v24 = Tag(4, Join({Rva2("track", -3 * 512, 0x4000), Rva2("album", -1024, 0)}));
  ASSERT_TRUE(ReplayGainFromId3v2(v24, &info));
  EXPECT_EQ(info.source, "ID3v2 RVA2");
  EXPECT_DOUBLE_EQ(info.track.gain_db, -3.0);
  EXPECT_DOUBLE_EQ(info.track.peak, 0.5);
  EXPECT_DOUBLE_EQ(info.album.gain_db, -2.0);
  EXPECT_EQ(info.album.peak, 0.0);

  // Both kinds: TXXX wins, as the taggers that write it also keep it current.
  const auto both = Tag(4, Join({Rva2("track", -512, 0), Txxx("REPLAYGAIN_TRACK_GAIN", "-7 dB")}));
  ASSERT_TRUE(ReplayGainFromId3v2(both, &info));
  EXPECT_DOUBLE_EQ(info.track.gain_db, -7.0);
}

TEST(ReplayGainTags, DamagedTagsGiveNothingAndReadNothingOutside) {
  ReplayGainInfo info;
  info.source = "untouched";
  // A bad gain text, no values at all, a frame claiming more bytes than the tag holds, an RVA2
  // whose peak runs past its frame, a tag cut anywhere: nothing found, no crash.
  EXPECT_FALSE(ReplayGainFromId3v2(Tag(3, Txxx("REPLAYGAIN_TRACK_GAIN", "loud")), &info));
  EXPECT_FALSE(ReplayGainFromId3v2(Tag(3, Txxx("COMMENT", "-6 dB")), &info));
  std::vector<uint8_t> lying = Tag(3, Txxx("REPLAYGAIN_TRACK_GAIN", "-6 dB"));
  lying[10 + 7] = 0x7F;  // the frame's size
  EXPECT_FALSE(ReplayGainFromId3v2(lying, &info));
  std::vector<uint8_t> rva = Rva2("track", -512, 0x4000);
  rva.resize(rva.size() - 1);
  rva[7] = uint8_t(rva.size() - 10);
  EXPECT_FALSE(ReplayGainFromId3v2(Tag(4, rva), &info));
  const auto whole = Tag(3, Txxx("REPLAYGAIN_TRACK_GAIN", "-6 dB"));
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    EXPECT_FALSE(ReplayGainFromId3v2(std::span(whole.data(), cut), &info)) << cut;
  }
  EXPECT_EQ(info.source, "untouched");
  // A frame header alone, or bytes that only look like one, hold no LAME tag.
  const std::vector<uint8_t> header_only = {0xFF, 0xFB, 0x90, 0x64};
  EXPECT_FALSE(ReplayGainFromLameFrame(header_only, &info));
  EXPECT_FALSE(ReplayGainFromLameFrame(std::vector<uint8_t>(400, 0xFF), &info));
}

class ReplayGainDecode : public ::testing::Test {
 protected:
  void SetUp() override {
    // A sine at a quarter of full scale: room for +6 dB before it clips.
    wav_ = (scratch_ / "sine.wav").string();
    ASSERT_EQ(RunCommand("sox -n -r 44100 -c 2 -b 16 " + Quote(wav_) + " synth 2 sine 440 gain -12").status, 0);
  }

  // Encodes the sine without LAME's own gain, then tags it with mid3v2's TXXX frames.
  std::string Tagged(const std::string& name, const std::vector<std::string>& txxx) {
    const std::string mp3 = (scratch_ / name).string();
    EXPECT_EQ(RunCommand("lame --quiet --noreplaygain -b 192 " + Quote(wav_) + " " + Quote(mp3)).status, 0);
    std::string args;
    for (const std::string& frame : txxx) args += " --TXXX " + Quote(frame);
    if (!args.empty()) {
      EXPECT_EQ(RunCommand("mid3v2" + args + " " + Quote(mp3)).status, 0);
    }
    return mp3;
  }

  // RMS of the whole decode with the given --replaygain mode.
  double DecodedRms(const std::string& mp3, const std::string& mode) {
    const std::string out = (scratch_ / ("decoded-" + mode + ".wav")).string();
    const RunResult r = RunDar3play("--replaygain " + mode + " --decode " + Quote(mp3) + " " + Quote(out));
    EXPECT_EQ(r.status, 0) << r.err;
    Wav wav;
    EXPECT_TRUE(ReadWav(out, &wav));
    return Rms(wav.samples);
  }

  static double Db(double ratio) { return 20.0 * std::log10(ratio); }

  ScratchDir scratch_;
  std::string wav_;
};

TEST_F(ReplayGainDecode, TrackAndAlbumGainsAreHeardAndPeaksPreventClipping) {
  const std::string mp3 = Tagged("tagged.mp3", {"REPLAYGAIN_TRACK_GAIN:-6.00 dB", "REPLAYGAIN_ALBUM_GAIN:-10.00 dB"});
  const double off = DecodedRms(mp3, "off");
  ASSERT_GT(off, 1000.0);
  EXPECT_NEAR(Db(DecodedRms(mp3, "track") / off), -6.0, 0.05);
  EXPECT_NEAR(Db(DecodedRms(mp3, "album") / off), -10.0, 0.05);
  // Through standard input the tag is read from the stream's first block: the same samples as
  // the file's (gapless both ways).
  const std::string piped = (scratch_ / "piped.wav").string(), from_file = (scratch_ / "file.wav").string();
  const RunResult from_pipe =
      RunCommand("(cat " + Quote(mp3) + " | " + Quote(Dar3playPath()) + " --decode - " + Quote(piped) + ")");
  ASSERT_EQ(from_pipe.status, 0) << from_pipe.err;
  ASSERT_EQ(RunDar3play("--decode " + Quote(mp3) + " " + Quote(from_file)).status, 0);
  Wav piped_wav, file_wav;
  ASSERT_TRUE(ReadWav(piped, &piped_wav));
  ASSERT_TRUE(ReadWav(from_file, &file_wav));
  EXPECT_EQ(piped_wav.samples, file_wav.samples);

  // +12 dB asked, but the peak is a quarter of full scale: only x4 (+12.04 dB) fits, and a
  // stated peak of 0.5 allows x2.
  const std::string loud = Tagged("loud.mp3", {"REPLAYGAIN_TRACK_GAIN:+12 dB", "REPLAYGAIN_TRACK_PEAK:0.5"});
  EXPECT_NEAR(Db(DecodedRms(loud, "track") / DecodedRms(loud, "off")), Db(2.0), 0.05);

  // --info shows what it will play with, as text and as JSON.
  const RunResult info = RunDar3play("--info " + Quote(mp3));
  EXPECT_NE(info.out.find("replaygain:  track -6.00 dB; album -10.00 dB (ID3v2 TXXX)"), std::string::npos) << info.out;
  const RunResult json = RunDar3play("--info --json " + Quote(loud));
  EXPECT_NE(json.out.find("\"replaygain\": {\"track_gain_db\": 12, \"track_peak\": 0.5, \"album_gain_db\": null, "
                          "\"album_peak\": null, \"source\": \"ID3v2 TXXX\"}"),
            std::string::npos)
      << json.out;
}

TEST_F(ReplayGainDecode, LameTagGainIsReadWhenNoTagOverridesIt) {
  // LAME measures the track's gain itself unless told not to.
  const std::string mp3 = (scratch_ / "lame.mp3").string();
  ASSERT_EQ(RunCommand("lame --quiet --replaygain-accurate -b 192 " + Quote(wav_) + " " + Quote(mp3)).status, 0);
  const RunResult info = RunDar3play("--info --json " + Quote(mp3));
  EXPECT_NE(info.out.find("\"source\": \"LAME tag\""), std::string::npos) << info.out;
  ReplayGainInfo read = ReadReplayGain(mp3);
  ASSERT_TRUE(read.track.present);
  // A steady sine at a quarter of full scale: a gain of a few dB, and that quarter as the peak
  // (LAME's fixed-point peak read as such, not as the bits of a float).
  EXPECT_GT(read.track.gain_db, -10.0);
  EXPECT_LT(read.track.gain_db, 10.0);
  EXPECT_NEAR(read.track.peak, 0.25, 0.02);
  // The gain applied is limited by that peak.
  const double off = DecodedRms(mp3, "off");
  EXPECT_NEAR(DecodedRms(mp3, "track") / off, ReplayGainFactor(read, ReplayGainMode::kTrack), 0.01);
}

}  // namespace
