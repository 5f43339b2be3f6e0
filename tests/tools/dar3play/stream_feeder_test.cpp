// The reader behind --stream and "-": a source that fails part-way ends the song where the data
// ends, and says why, instead of passing for a song that was simply shorter.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/support/encoded_files.h"
#include "tests/support/files.h"
#include "tools/dar3play/player.h"
#include "tools/dar3play/stream_source.h"

namespace {

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) { return test_support::ReadFileBytes(path); }

// Plays the opened song in the no-output mode to its end (60 s at most); true when it ended.
bool PlayToTheEnd(Player* player) {
  if (!Mp3_Play(player->handle())) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  MP3_STATUS status{};
  do {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    Mp3_GetStatus(player->handle(), &status);
  } while (status.playing && std::chrono::steady_clock::now() < deadline);
  return !status.playing;
}

// A pseudo-terminal in raw mode: what is written to its far side comes out of `near`
// unchanged, and once the far side is closed, reading `near` fails with EIO: a real read error.
struct Terminal {
  int near = -1, far = -1;
  bool Open() {
    near = posix_openpt(O_RDWR | O_NOCTTY);
    if (near < 0 || grantpt(near) != 0 || unlockpt(near) != 0) return false;
    far = ::open(ptsname(near), O_RDWR | O_NOCTTY);
    termios raw{};
    if (far < 0 || tcgetattr(far, &raw) != 0) return false;
    cfmakeraw(&raw);
    return tcsetattr(far, TCSANOW, &raw) == 0;
  }
};

TEST(StreamFeeder, AReadErrorPartWayEndsTheSongWithItsReason) {
  std::string why_not;
  const EncodedFiles* files = GetEncodedFiles(&why_not);
  if (!files) GTEST_SKIP() << "cannot make test files: " << why_not;
  const std::vector<uint8_t> song = ReadAll(files->cbr);
  ASSERT_GT(song.size(), 90u * 1024);
  Terminal terminal;
  if (!terminal.Open()) GTEST_SKIP() << "no pseudo-terminal here";
  // More than the first block, less than the song: the error comes while the song plays.
  std::thread writer([&] {
    size_t written = 0;
    while (written < 80 * 1024) {
      const ssize_t n = ::write(terminal.far, song.data() + written, 80 * 1024 - written);
      if (n <= 0) break;
      written += size_t(n);
    }
    // The reader drains what is queued before it sees the far side go.
    tcdrain(terminal.far);
    ::close(terminal.far);
  });
  Player player;
  const bool opened = player.OpenStream(StreamSource::Adopt(terminal.near, "the terminal"), 0);
  if (!opened) writer.join();
  ASSERT_TRUE(opened) << player.failure();
  EXPECT_TRUE(PlayToTheEnd(&player));
  writer.join();
  EXPECT_EQ(player.StreamProblem(), "the terminal: Input/output error (the song ends where the reading stopped)");
}

TEST(StreamFeeder, ASourceReadToItsEndLeavesNoProblem) {
  std::string why_not;
  const EncodedFiles* files = GetEncodedFiles(&why_not);
  if (!files) GTEST_SKIP() << "cannot make test files: " << why_not;
  std::string why;
  std::unique_ptr<StreamSource> source = StreamSource::Open(files->cbr.string(), &why);
  ASSERT_TRUE(source) << why;
  Player player;
  ASSERT_TRUE(player.OpenStream(std::move(source), 0)) << player.failure();
  EXPECT_TRUE(PlayToTheEnd(&player));
  EXPECT_EQ(player.StreamProblem(), "");
}

// Writes `bytes` to a pipe in pieces of `piece` bytes, `pause` apart, as a slow
// server sends; false when the pipe refused them.
bool WriteSlowly(int fd, const uint8_t* bytes, size_t size, size_t piece, std::chrono::milliseconds pause) {
  for (size_t at = 0; at < size;) {
    const ssize_t n = ::write(fd, bytes + at, std::min(piece, size - at));
    if (n <= 0) return false;
    at += size_t(n);
    std::this_thread::sleep_for(pause);
  }
  return true;
}

// A source that sends slowly, as a radio does in real time: the song opens once its first frames
// have come, not after a fixed first block, and then plays whole.
TEST(StreamFeeder, ASlowSourceOpensOnceItsFirstFramesHaveCome) {
  std::string why_not;
  const EncodedFiles* files = GetEncodedFiles(&why_not);
  if (!files) GTEST_SKIP() << "cannot make test files: " << why_not;
  const std::vector<uint8_t> song = ReadAll(files->cbr);
  constexpr size_t kHead = 12 * 1024;  // well short of 64 KiB
  ASSERT_GT(song.size(), 80u * 1024);
  int pipe_ends[2];
  ASSERT_EQ(::pipe(pipe_ends), 0);
  std::mutex lock;
  std::condition_variable changed;
  bool opened = false, gave_up_waiting = false;
  std::thread writer([&] {
    WriteSlowly(pipe_ends[1], song.data(), kHead, 1024, std::chrono::milliseconds(1));
    // Nothing more comes until the stream has opened (or long past the time it should have).
    std::unique_lock<std::mutex> hold(lock);
    gave_up_waiting = !changed.wait_for(hold, std::chrono::seconds(20), [&] { return opened; });
    hold.unlock();
    WriteSlowly(pipe_ends[1], song.data() + kHead, song.size() - kHead, 16 * 1024, std::chrono::milliseconds(0));
    ::close(pipe_ends[1]);
  });
  Player player;
  const bool ok = player.OpenStream(StreamSource::Adopt(pipe_ends[0], "the radio"), 0);
  {
    std::lock_guard<std::mutex> hold(lock);
    opened = true;
  }
  changed.notify_all();
  if (!ok) writer.join();
  ASSERT_TRUE(ok) << player.failure();
  EXPECT_TRUE(PlayToTheEnd(&player));
  writer.join();
  EXPECT_FALSE(gave_up_waiting) << "the stream waited for more than its first frames";
  EXPECT_EQ(player.StreamProblem(), "");
  MP3_STREAM_INFO info{};
  ASSERT_TRUE(Mp3_GetMp3Info(player.handle(), &info));
  EXPECT_EQ(info.sample_rate, 44100);
}

// Junk before the first frame, more than the first try holds, comes in small pieces: the head
// grows until the opener finds the frames.
TEST(StreamFeeder, JunkLongerThanTheFirstTryStillOpens) {
  std::string why_not;
  const EncodedFiles* files = GetEncodedFiles(&why_not);
  if (!files) GTEST_SKIP() << "cannot make test files: " << why_not;
  std::vector<uint8_t> stream(20 * 1024, 0);
  const std::vector<uint8_t> song = ReadAll(files->cbr);
  stream.insert(stream.end(), song.begin(), song.end());
  int pipe_ends[2];
  ASSERT_EQ(::pipe(pipe_ends), 0);
  std::thread writer([&] {
    WriteSlowly(pipe_ends[1], stream.data(), stream.size(), 2048, std::chrono::milliseconds(2));
    ::close(pipe_ends[1]);
  });
  Player player;
  const bool ok = player.OpenStream(StreamSource::Adopt(pipe_ends[0], "the pipe"), 0);
  if (!ok) writer.join();
  ASSERT_TRUE(ok) << player.failure();
  EXPECT_TRUE(PlayToTheEnd(&player));
  writer.join();
  EXPECT_EQ(player.StreamProblem(), "");
}

}  // namespace
