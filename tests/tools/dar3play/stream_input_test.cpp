// --stream and "-" (standard input): the song is pushed while it is read, from files and pipes;
// folders, devices and empty files are refused with the messages file mode gives.
#include <gtest/gtest.h>

#include "tests/support/encoded_files.h"
#include "tests/support/id3_tags.h"
#include "tests/tools/dar3play/dar3play_runner.h"

namespace {

class StreamInput : public EncodedFilesTest {
 protected:
  // The message dar3play gives for a source, and its status.
  static RunResult Info(const std::string& options, const std::string& source) {
    return RunDar3play(options + "--info " + source);
  }

  ScratchDir scratch_;
};

TEST_F(StreamInput, StandardInputDecodesAsTheFileDoes) {
  for (const auto& mp3 : {files_->cbr, files_->vbr, files_->mono}) {
    const auto from_file = scratch_ / "file.wav", from_pipe = scratch_ / "pipe.wav";
    // Untrimmed both ways: every sample of the decode is compared.
    ASSERT_EQ(RunDar3play("--no-gapless --decode " + Quote(mp3.string()) + " " + Quote(from_file.string())).status, 0);
    const RunResult piped = RunCommand("(cat " + Quote(mp3.string()) + " | " + Quote(Dar3playPath()) +
                                       " --no-gapless --decode - " + Quote(from_pipe.string()) + ")");
    ASSERT_EQ(piped.status, 0) << piped.err;
    Wav file, pipe;
    ASSERT_TRUE(ReadWav(from_file, &file));
    ASSERT_TRUE(ReadWav(from_pipe, &pipe));
    EXPECT_EQ(pipe.samples, file.samples) << mp3;
  }
  const RunResult info = RunCommand("(" + Quote(Dar3playPath()) + " --info - < " + Quote(files_->cbr.string()) + ")");
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("Night Falls"), std::string::npos) << info.out;
}

// Cover art larger than the first block read: the stream opens once the reading reaches the
// frames, and plays gapless as the file does.
TEST_F(StreamInput, ASongBehindALargeTagDecodesFromAPipeAsFromTheFile) {
  std::vector<uint8_t> song = test_support::Id3v2TagWithArt("Cover Song", "Art Heavy", 150000);
  const std::vector<uint8_t> audio = test_support::ReadFileBytes(files_->mono);
  ASSERT_FALSE(audio.empty());
  song.insert(song.end(), audio.begin(), audio.end());
  const auto path = scratch_ / "cover.mp3", from_file = scratch_ / "file.wav", from_pipe = scratch_ / "pipe.wav";
  ASSERT_TRUE(test_support::WriteFileBytes(path, song.data(), song.size()));
  ASSERT_EQ(RunDar3play("--decode " + Quote(path.string()) + " " + Quote(from_file.string())).status, 0);
  const RunResult piped = RunCommand("(cat " + Quote(path.string()) + " | " + Quote(Dar3playPath()) + " --decode - " +
                                     Quote(from_pipe.string()) + ")");
  ASSERT_EQ(piped.status, 0) << piped.err;
  Wav file, pipe;
  ASSERT_TRUE(ReadWav(from_file, &file));
  ASSERT_TRUE(ReadWav(from_pipe, &pipe));
  EXPECT_EQ(pipe.samples, file.samples);
  EXPECT_EQ(file.samples.size() / file.channels, size_t(6 * 22050)) << "gapless: the encoder's input";
  const RunResult info = RunCommand("(" + Quote(Dar3playPath()) + " --info - < " + Quote(path.string()) + ")");
  EXPECT_NE(info.out.find("Cover Song"), std::string::npos) << info.out << info.err;
}

// The reader pushes as it reads: --info answers from the first block while the pipe is still
// open, where reading everything first would wait for an end that never comes.
TEST_F(StreamInput, APipeThatStaysOpenIsPlayedWithoutWaitingForItsEnd) {
  const std::string fifo = (scratch_ / "song.fifo").string();
  const RunResult r = RunCommand("mkfifo " + Quote(fifo) + " && (timeout 60 " + Quote(Dar3playPath()) + " --info - < " +
                                 Quote(fifo) + " & pid=$!; exec 3> " + Quote(fifo) + "; cat " +
                                 Quote(files_->cbr.string()) + " >&3; wait $pid; echo status=$?; exec 3>&-)");
  EXPECT_NE(r.out.find("status=0"), std::string::npos) << r.out << r.err;
  EXPECT_NE(r.out.find("Night Falls"), std::string::npos) << r.out;
}

TEST_F(StreamInput, FoldersDevicesAndEmptyFilesGetFileModesMessages) {
  const std::string empty = (scratch_ / "empty.mp3").string();
  ASSERT_EQ(RunCommand(": > " + Quote(empty)).status, 0);
  // A folder is played for its songs; one without any is refused by name.
  const std::string no_songs = (scratch_ / "no-songs").string();
  ASSERT_EQ(RunCommand("mkdir " + Quote(no_songs)).status, 0);
  for (const std::string& source : {no_songs, std::string("/dev/zero"), empty}) {
    const RunResult file_mode = Info("", Quote(source));
    const RunResult stream_mode = Info("--stream ", Quote(source));
    EXPECT_EQ(file_mode.status, 1) << source;
    EXPECT_EQ(stream_mode.status, 1) << source;
    EXPECT_EQ(stream_mode.err, file_mode.err) << source;
    EXPECT_EQ(file_mode.err.find("basic_filebuf"), std::string::npos) << file_mode.err;
    EXPECT_NE(file_mode.err.find("dar3play: " + source + ": "), std::string::npos) << file_mode.err;
  }
  EXPECT_NE(Info("", Quote(empty)).err.find("the file is empty"), std::string::npos);
  EXPECT_NE(Info("", Quote(no_songs)).err.find("folder"), std::string::npos);
  // Standard input: a device is refused, an empty pipe is an empty file. (The parentheses keep
  // the /dev/null RunCommand gives a command line away from dar3play.)
  EXPECT_NE(RunCommand("(" + Quote(Dar3playPath()) + " --info - < /dev/zero)").err.find("standard input: not a file"),
            std::string::npos);
  const RunResult empty_pipe = RunCommand("(: | " + Quote(Dar3playPath()) + " --info -)");
  EXPECT_EQ(empty_pipe.status, 1);
  EXPECT_NE(empty_pipe.err.find("standard input: the file is empty"), std::string::npos) << empty_pipe.err;
}

}  // namespace
