// The reader behind --stream and "-": a source that fails part-way ends the song where the data
// ends, and says why, instead of passing for a song that was simply shorter.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
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

}  // namespace
