// Playing lists without a screen, as scripts and terminals without curses see it: one line a
// track, failures on stderr when reached, and an exit status that tells the truth.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/encoded_files.h"
#include "tests/tools/dar3play/dar3play_runner.h"

namespace {

class ListPlayback : public EncodedFilesTest {
 protected:
  void SetUp() override {
    EncodedFilesTest::SetUp();
    if (IsSkipped()) return;
    // Short songs keep real-time playback quick.
    const std::string wav = Quote((scratch_ / "short.wav").string());
    ASSERT_EQ(RunCommand("sox -n -r 44100 -c 2 -b 16 " + wav + " synth 1 sine 500 gain -6").status, 0);
    for (const char* name : {"album/01 first.mp3", "album/02 second.mp3"}) {
      std::filesystem::create_directories(scratch_ / "album");
      ASSERT_EQ(RunCommand("lame --quiet -b 128 " + wav + " " + Quote((scratch_ / name).string())).status, 0);
    }
    ASSERT_EQ(
        RunCommand("id3v2 -t 'Second Song' -a 'Jed Band' " + Quote((scratch_ / "album/02 second.mp3").string())).status,
        0);
  }

  void WriteList(const std::string& name, const std::string& text) { std::ofstream(scratch_ / name) << text; }

  ScratchDir scratch_;
};

TEST_F(ListPlayback, BrokenEntriesAreReportedWhenReachedAndTheRestPlays) {
  std::filesystem::copy_file(files_->garbage, scratch_ / "album/00 broken.mp3");
  WriteList("mix.m3u",
            "#EXTM3U\n#EXTINF:1,Listed Title\nalbum/01 first.mp3\n# not played\nmissing.mp3\n"
            "album/00 broken.mp3\nalbum/02 second.mp3\n");
  const RunResult r = RunDar3play("--output null " + Quote((scratch_ / "mix.m3u").string()));
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out, "Playing 1/4: Listed Title (0:01)\nPlaying 4/4: Second Song - Jed Band (0:01)\n");
  EXPECT_NE(r.err.find("missing.mp3: "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("00 broken.mp3: not an MP3 file, or damaged"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("->"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find('\x1b'), std::string::npos);

  // The same songs from their folder, in natural order, all good: status 0; quiet says nothing.
  std::filesystem::remove(scratch_ / "album/00 broken.mp3");
  const RunResult folder = RunDar3play("--output null --repeat off " + Quote((scratch_ / "album").string()));
  EXPECT_EQ(folder.status, 0) << folder.err;
  EXPECT_EQ(folder.out, "Playing 1/2: 01 first.mp3 (0:01)\nPlaying 2/2: Second Song - Jed Band (0:01)\n");
  const RunResult quiet = RunDar3play("--output null -q " + Quote((scratch_ / "album").string()));
  EXPECT_EQ(quiet.status, 0) << quiet.err;
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, "");

  // Shuffle plays every entry once.
  const RunResult shuffled = RunDar3play("--output null --shuffle " + Quote((scratch_ / "album").string()));
  EXPECT_EQ(shuffled.status, 0) << shuffled.err;
  EXPECT_NE(shuffled.out.find("01 first.mp3"), std::string::npos) << shuffled.out;
  EXPECT_NE(shuffled.out.find("Second Song"), std::string::npos) << shuffled.out;
}

TEST_F(ListPlayback, NoSoundDeviceIsSaidAndNotPlayedThrough) {
  // A sound driver that does not exist stands for a machine without a card.
  const std::string song = Quote((scratch_ / "album/01 first.mp3").string());
  const std::string without_card = "JED_HEADLESS=0 SDL_AUDIODRIVER=no-such-driver " + Quote(Dar3playPath()) + " ";
  const RunResult r = RunCommand(without_card + song);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no sound device: nothing will be heard"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  const RunResult null_output = RunCommand(without_card + "--output null " + song);
  EXPECT_EQ(null_output.status, 0) << null_output.err;
  EXPECT_NE(null_output.out.find("Playing 1/1"), std::string::npos);
}

TEST_F(ListPlayback, SignalsEndWithTheShellsStatus) {
  for (const auto& [signal, status] : {std::pair<std::string, int>{"INT", 130}, {"TERM", 143}}) {
    const RunResult r =
        RunCommand("(" + Quote(Dar3playPath()) + " --output null " + Quote(files_->long_sweep.string()) + " > " +
                   Quote((scratch_ / "log").string()) + " & pid=$!; " + "for i in $(seq 300); do [ -s " +
                   Quote((scratch_ / "log").string()) + " ] && break; sleep 0.1; done; kill -" + signal +
                   " $pid; wait $pid; echo status=$?)");
    EXPECT_NE(r.out.find("status=" + std::to_string(status)), std::string::npos) << signal << ": " << r.out << r.err;
  }
}

TEST_F(ListPlayback, ACutFileShowsTheLengthItHasAndEndsQuietly) {
  // The VBR header promises six seconds; only the first third of the data is there. The
  // library measures the length from the frames, so the player shows about two seconds, not
  // the header's six, and the song ends where it says.
  const auto cut = scratch_ / "cut.mp3";
  const auto size = std::filesystem::file_size(files_->vbr);
  std::filesystem::copy_file(files_->vbr, cut);
  std::filesystem::resize_file(cut, size / 3);
  const RunResult info = RunDar3play("--info " + Quote(cut.string()));
  EXPECT_EQ(info.status, 0) << info.err;
  const size_t ms_at = info.out.find('(', info.out.find("length:"));
  ASSERT_NE(ms_at, std::string::npos) << info.out;
  const int length_ms = std::atoi(info.out.c_str() + ms_at + 1);
  EXPECT_GT(length_ms, 1000) << info.out;
  EXPECT_LT(length_ms, 2500) << info.out;
  const RunResult r = RunDar3play("--output null " + Quote(cut.string()));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("cut short"), std::string::npos) << r.err;
  // A whole file ends quietly.
  const RunResult whole = RunDar3play("--output null " + Quote(files_->vbr.string()));
  EXPECT_EQ(whole.status, 0) << whole.err;
  EXPECT_EQ(whole.err, "");
}

TEST_F(ListPlayback, DecodeJoinsSeveralInputsIntoOneWav) {
  const auto one = scratch_ / "one.wav", both = scratch_ / "both.wav";
  const std::string first = Quote((scratch_ / "album/01 first.mp3").string());
  ASSERT_EQ(RunDar3play("--decode " + first + " " + Quote(one.string())).status, 0);
  WriteList("two.pls", "[playlist]\nFile1=album/01 first.mp3\nFile2=album/01 first.mp3\n");
  const RunResult r = RunDar3play("--decode " + Quote((scratch_ / "two.pls").string()) + " " +
                                  Quote(files_->mono.string()) + " " + Quote(both.string()));
  // The mono file's 22050 Hz cannot join a 44100 Hz WAV: it is left out, and the status says so.
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("22050 Hz differs from the first input's 44100 Hz"), std::string::npos) << r.err;
  Wav single, joined;
  ASSERT_TRUE(ReadWav(one, &single));
  ASSERT_TRUE(ReadWav(both, &joined));
  ASSERT_EQ(joined.samples.size(), 2 * single.samples.size());
  EXPECT_TRUE(std::equal(single.samples.begin(), single.samples.end(), joined.samples.begin()));
  EXPECT_TRUE(
      std::equal(single.samples.begin(), single.samples.end(), joined.samples.begin() + long(single.samples.size())));
}

TEST_F(ListPlayback, AWebAddressGetsAClearAnswer) {
  const RunResult r = RunDar3play("--info http://127.0.0.1:9/live.mp3 " + Quote(files_->cbr.string()));
  EXPECT_EQ(r.status, 1);
  // Nothing listens on the discard port: the address is refused, the file after it still plays.
  EXPECT_NE(r.err.find("http://127.0.0.1:9/live.mp3: the server refused the connection"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("Night Falls"), std::string::npos) << r.out;
}

TEST_F(ListPlayback, TagsTheLocaleCannotShowBecomeQuestionMarks) {
  const RunResult c = RunCommand("LC_ALL=C " + Quote(Dar3playPath()) + " --info " + Quote(files_->vbr.string()));
  EXPECT_EQ(c.status, 0) << c.err;
  EXPECT_NE(c.out.find("Gr??e aus K?ln"), std::string::npos) << c.out;
  const RunResult utf8 =
      RunCommand("LC_ALL=C.UTF-8 " + Quote(Dar3playPath()) + " --info " + Quote(files_->vbr.string()));
  EXPECT_NE(utf8.out.find("Grüße aus Köln"), std::string::npos) << utf8.out;
  // JSON stays UTF-8 whatever the locale: it is read by programs.
  const RunResult json =
      RunCommand("LC_ALL=C " + Quote(Dar3playPath()) + " --info --json " + Quote(files_->vbr.string()));
  EXPECT_NE(json.out.find("Grüße aus Köln"), std::string::npos) << json.out;
}

}  // namespace
