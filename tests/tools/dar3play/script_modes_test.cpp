// --info, --decode and --stream against files made by lame and tagged by real taggers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/support/encoded_files.h"
#include "tests/tools/dar3play/dar3play_runner.h"

namespace {

class ScriptModes : public EncodedFilesTest {
 protected:
  static std::string Field(const std::string& text, const std::string& name) {
    const std::string key = name + ":";
    size_t at = text.rfind(key, 0) == 0 ? 0 : text.find("\n" + key);
    if (at == std::string::npos) return "<missing " + name + ">";
    at = text.find_first_not_of(' ', at + key.size() + (at ? 1 : 0));
    return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
  }

  static std::string JsonField(const std::string& json, const std::string& name) {
    const std::string key = "\"" + name + "\": ";
    size_t at = json.find(key);
    if (at == std::string::npos) return "<missing " + name + ">";
    at += key.size();
    if (json[at] == '"') return json.substr(at + 1, json.find('"', at + 1) - at - 1);
    return json.substr(at, json.find_first_of(",\n", at) - at);
  }

  // Decodes with dar3play and with mpg123 (no gapless trimming, stereo like the player).
  void DecodeBoth(const std::filesystem::path& mp3, const std::string& options, Wav* ours, Wav* peer) {
    const auto our_path = scratch_ / "ours.wav", peer_path = scratch_ / "peer.wav";
    const RunResult r = RunDar3play(options + " --decode " + Quote(mp3.string()) + " " + Quote(our_path.string()));
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(ReadWav(our_path, ours));
    if (!peer) return;
    const RunResult p =
        RunCommand("mpg123 -q --no-gapless --stereo -w " + Quote(peer_path.string()) + " " + Quote(mp3.string()));
    ASSERT_EQ(p.status, 0) << p.err;
    ASSERT_TRUE(ReadWav(peer_path, peer));
  }

  ScratchDir scratch_;
};

TEST_F(ScriptModes, InfoReportsFormatLengthAndTagsAsWritten) {
  const RunResult cbr = RunDar3play("--info " + Quote(files_->cbr.string()));
  ASSERT_EQ(cbr.status, 0) << cbr.err;
  EXPECT_EQ(Field(cbr.out, "version"), "MPEG-1");
  EXPECT_EQ(Field(cbr.out, "layer"), "3");
  EXPECT_EQ(Field(cbr.out, "sample rate"), "44100");
  EXPECT_EQ(Field(cbr.out, "channels"), "2");
  EXPECT_EQ(Field(cbr.out, "bitrate"), "128");
  EXPECT_EQ(Field(cbr.out, "vbr"), "no");
  EXPECT_EQ(Field(cbr.out, "title"), "Night Falls");
  EXPECT_EQ(Field(cbr.out, "artist"), "Jed Band");
  EXPECT_EQ(Field(cbr.out, "album"), "City Lights");
  EXPECT_EQ(Field(cbr.out, "year"), "1999");
  EXPECT_EQ(Field(cbr.out, "track"), "7");

  // lame pads with its delay and a partial frame: the length lies within two frames above.
  for (const auto& mp3 : {files_->cbr, files_->vbr, files_->mono}) {
    const RunResult json = RunDar3play("--info --json " + Quote(mp3.string()));
    ASSERT_EQ(json.status, 0) << json.err;
    const double length_ms = std::atof(JsonField(json.out, "length_ms").c_str());
    EXPECT_GE(length_ms, files_->source_seconds * 1000) << mp3;
    EXPECT_LE(length_ms, files_->source_seconds * 1000 + 110) << mp3;
    EXPECT_EQ(JsonField(json.out, "file"), mp3.string());
  }

  const RunResult vbr = RunDar3play("--info --json " + Quote(files_->vbr.string()));
  EXPECT_EQ(JsonField(vbr.out, "vbr"), "true");
  EXPECT_EQ(JsonField(vbr.out, "title"), "Grüße aus Köln");
  EXPECT_EQ(JsonField(vbr.out, "artist"), "Ünïcode Artist");
  EXPECT_EQ(JsonField(vbr.out, "year"), "2024");
  const int average = std::atoi(JsonField(vbr.out, "bitrate").c_str());
  // A steady two-tone signal at -V 2 averages well below the 128 kbit/s file.
  EXPECT_GT(average, 32);
  EXPECT_LT(average, 200);

  const RunResult mono = RunDar3play("--info --json " + Quote(files_->mono.string()));
  EXPECT_EQ(JsonField(mono.out, "version"), "MPEG-2");
  EXPECT_EQ(JsonField(mono.out, "sample_rate"), "22050");
  EXPECT_EQ(JsonField(mono.out, "channels"), "1");
  EXPECT_EQ(JsonField(mono.out, "mode"), "mono");
  EXPECT_EQ(JsonField(mono.out, "bitrate"), "64");
  EXPECT_EQ(JsonField(mono.out, "tag"), "0");
  EXPECT_EQ(JsonField(mono.out, "title"), "");
}

TEST_F(ScriptModes, DecodeMatchesMpg123SampleBySample) {
  for (const auto& mp3 : {files_->cbr, files_->vbr, files_->mono}) {
    Wav ours, peer;
    // mpg123 leaves the loudness alone unless asked, and so must we to compare.
    DecodeBoth(mp3, "--no-gapless --replaygain off", &ours, &peer);
    if (HasFatalFailure()) return;
    EXPECT_EQ(ours.channels, 2);
    EXPECT_EQ(ours.sample_rate, peer.sample_rate) << mp3;
    ASSERT_EQ(ours.samples.size(), peer.samples.size()) << mp3;
    // Both decode with libmad-grade precision; only the rounding to 16 bits (our dither,
    // mpg123's rounding) differs.
    int worst = 0;
    for (size_t i = 0; i < ours.samples.size(); ++i)
      worst = std::max(worst, std::abs(ours.samples[i] - peer.samples[i]));
    EXPECT_LE(worst, 8) << mp3;
    EXPECT_GT(Rms(ours.samples), 1000) << mp3;
  }
}

TEST_F(ScriptModes, StreamFeedDecodesLikeTheFile) {
  for (const auto& mp3 : {files_->cbr, files_->vbr}) {
    Wav from_file, from_stream;
    // Untrimmed both ways: every sample of the decode is compared.
    DecodeBoth(mp3, "--no-gapless", &from_file, nullptr);
    DecodeBoth(mp3, "--no-gapless --stream", &from_stream, nullptr);
    if (HasFatalFailure()) return;
    EXPECT_EQ(from_stream.samples, from_file.samples) << mp3;
  }
  const RunResult info = RunDar3play("--stream --info " + Quote(files_->cbr.string()));
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(Field(info.out, "sample rate"), "44100");
}

// Each effect must change the sound it claims to; one the library lacks must fail loudly.
TEST_F(ScriptModes, DecodeEffectsChangeTheSoundOrFailLoudly) {
  Wav plain;
  DecodeBoth(files_->cbr, "", &plain, nullptr);
  if (HasFatalFailure()) return;
  const double plain_rms = Rms(plain.samples);
  for (const std::string options : {"--echo 3", "--eq bass", "--eq treble", "--volume 50", "--reverse"}) {
    const auto out = scratch_ / "effect.wav";
    const RunResult r = RunDar3play(options + " --decode " + Quote(files_->cbr.string()) + " " + Quote(out.string()));
    if (r.status != 0) {
      EXPECT_NE(r.err.find("dar3play: " + files_->cbr.string() + ": "), std::string::npos) << options << r.err;
      EXPECT_EQ(r.err.find("->"), std::string::npos) << "library wording reached the user: " << options << r.err;
      continue;
    }
    Wav changed;
    ASSERT_TRUE(ReadWav(out, &changed)) << options;
    EXPECT_NE(changed.samples, plain.samples) << options;
    EXPECT_GT(changed.samples.size(), plain.samples.size() * 9 / 10) << options;
    if (options == "--volume 50") {
      EXPECT_NEAR(Rms(changed.samples) / plain_rms, 0.2162, 0.02);
    }
  }
}

TEST_F(ScriptModes, ErrorsNameTheFileAndTheNextFileStillWorks) {
  const std::string missing = (files_->dir / "missing.mp3").string();
  const RunResult r = RunDar3play("--info " + Quote(missing) + " " + Quote(files_->garbage.string()) + " " +
                                  Quote(files_->cbr.string()));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("dar3play: " + missing + ": "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("dar3play: " + files_->garbage.string() + ": "), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("Night Falls"), std::string::npos) << r.out;

  // In JSON the files that opened form one array.
  const RunResult json = RunDar3play("--info --json " + Quote(missing) + " " + Quote(files_->cbr.string()) + " " +
                                     Quote(files_->vbr.string()));
  EXPECT_EQ(json.status, 1);
  ASSERT_GE(json.out.size(), 4u);
  EXPECT_EQ(json.out.front(), '[');
  EXPECT_EQ(json.out.substr(json.out.size() - 2), "]\n");
  EXPECT_NE(json.out.find("},\n{"), std::string::npos) << json.out;

  const RunResult unwritable = RunDar3play("--decode " + Quote(files_->cbr.string()) + " /nonexistent-dir/out.wav");
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.err.find("/nonexistent-dir/out.wav"), std::string::npos) << unwritable.err;

  const RunResult garbage =
      RunDar3play("--decode " + Quote(files_->garbage.string()) + " " + Quote((scratch_ / "g.wav").string()));
  EXPECT_EQ(garbage.status, 1);

  for (const std::string bad :
       {"--bogus x.mp3", "--echo 10 x.mp3", "--volume -1 x.mp3", "--eq loud x.mp3", "--decode only-one.mp3", ""}) {
    const RunResult usage = RunDar3play(bad);
    EXPECT_EQ(usage.status, 2) << bad;
    EXPECT_NE(usage.err.find("dar3play: "), std::string::npos) << bad;
  }
  const RunResult help = RunDar3play("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: dar3play"), std::string::npos);
  // One screen of an 80x24 terminal, the prompt after it included.
  EXPECT_LE(std::count(help.out.begin(), help.out.end(), '\n'), 23) << help.out;
}

// Ctrl+C during a long decode ends it like any failure: status 130 and no half-written WAV.
TEST_F(ScriptModes, AnInterruptedDecodeLeavesNoFile) {
  const auto long_file = scratch_ / "long.mp3", out = scratch_ / "long.wav";
  // Forty minutes of audio: several seconds of decoding even at hundreds of times real time.
  const RunResult made = RunCommand("(for i in $(seq 60); do cat " + Quote(files_->long_sweep.string()) + "; done > " +
                                    Quote(long_file.string()) + ")");
  ASSERT_EQ(made.status, 0) << made.err;
  const RunResult r = RunCommand("(" + Quote(Dar3playPath()) + " --decode " + Quote(long_file.string()) + " " +
                                 Quote(out.string()) + " & pid=$!; " +
                                 // The interrupt comes once the decode has begun (its output exists),
                                 // however long the start takes on a busy machine.
                                 "for i in $(seq 600); do [ -s " + Quote(out.string()) +
                                 " ] && break; sleep 0.1; done; " + "kill -INT $pid; wait $pid; echo status=$?)");
  ASSERT_NE(r.out.find("status="), std::string::npos) << r.out << r.err;
  EXPECT_NE(r.out.find("status=130"), std::string::npos) << r.out << "\n" << r.err;
  EXPECT_NE(r.err.find("interrupted"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
