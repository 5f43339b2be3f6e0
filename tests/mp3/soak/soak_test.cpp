// Four players, each in its own thread, go through OpenFile/Play/Seek/Pause/Resume/Stop/Close
// again and again on different files (CBR, VBR, MPEG-2 mono, MPEG-2 stereo) while a fifth
// thread pushes a managed stream block by block. A watchdog ends the program when no thread
// has finished a cycle for a minute (a deadlock), and the resident memory at the end may be at
// most 5 MB above what it was once every thread had finished its first cycle.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <barrier>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "dar3/dar3.h"
#include "tests/support/encoded_files.h"
#include "tests/support/files.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;  // the sanitizers' own bookkeeping grows the resident set
#else
constexpr bool kSanitized = false;
#endif

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBufferMs = 200;
constexpr long kAllowedGrowthBytes = 5L * 1024 * 1024;
constexpr auto kStallLimit = std::chrono::seconds(60);
constexpr size_t kFirstBlock = 64 * 1024;
constexpr size_t kPushBlock = 8 * 1024;

int Cycles() {
  const char* text = std::getenv("JED_SOAK_CYCLES");
  const int cycles = text ? std::atoi(text) : 300;
  return cycles > 0 ? cycles : 300;
}

long ResidentBytes() {
  long pages = 0, resident = 0;
  std::ifstream statm("/proc/self/statm");
  statm >> pages >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

std::vector<uint8_t> ReadAll(const std::string& path) { return test_support::ReadFileBytes(path); }

// Ends the program, naming the stuck threads, when no cycle finishes for kStallLimit.
class Watchdog {
 public:
  explicit Watchdog(std::vector<std::atomic<int>>* progress) : progress_(progress), thread_([this] { Watch(); }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> hold(lock_);
      done_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

 private:
  void Watch() {
    std::vector<int> last(progress_->size(), -1);
    auto moved = Clock::now();
    std::unique_lock<std::mutex> hold(lock_);
    while (!wake_.wait_for(hold, std::chrono::seconds(1), [this] { return done_; })) {
      bool any = false;
      for (size_t i = 0; i < last.size(); ++i) {
        const int now = (*progress_)[i];
        any = any || now != last[i];
        last[i] = now;
      }
      if (any) moved = Clock::now();
      if (Clock::now() - moved > kStallLimit) {
        for (size_t i = 0; i < last.size(); ++i)
          std::fprintf(stderr, "soak: thread %zu stuck after %d cycles\n", i, last[i]);
        std::fflush(stderr);
        std::abort();
      }
    }
  }

  std::vector<std::atomic<int>>* progress_;
  std::mutex lock_;
  std::condition_variable wake_;
  bool done_ = false;
  std::thread thread_;
};

// What a thread saw go wrong; the test reports them all at the end.
struct Failures {
  std::mutex lock;
  std::vector<std::string> list;
  void Add(const std::string& what) {
    std::lock_guard<std::mutex> hold(lock);
    if (list.size() < 20) list.push_back(what);
  }
};

std::string Error(MP3_HANDLE player) {
  char text[512] = {};
  Mp3_GetError(player, text, sizeof text);
  return text;
}

// Stop answers 0 for a song that has already ended by itself; either way nothing plays after it.
template <typename Check>
void StopAndClose(MP3_HANDLE player, const Check& check) {
  Mp3_Stop(player);
  MP3_STATUS status{};
  check(Mp3_GetStatus(player, &status), "GetStatus");
  check(!status.playing, "still playing after Stop");
  check(Mp3_Close(player), "Close");
}

void PlayerCycle(MP3_HANDLE player, const std::string& path, int cycle, Failures* failures) {
  auto check = [&](int ok, const char* what) {
    if (!ok) failures->Add(path + " cycle " + std::to_string(cycle) + ": " + what + ": " + Error(player));
    return ok != 0;
  };
  if (!check(Mp3_OpenFile(player, path.c_str(), kBufferMs, 0, 0), "OpenFile")) return;
  MP3_TIME length{};
  check(Mp3_GetSongLength(player, &length), "GetSongLength");
  check(Mp3_Play(player), "Play");
  MP3_TIME to{};
  // Somewhere before the last second, so that the song mostly still plays when it is stopped.
  to.ms = length.ms > 1000 ? uint32_t((cycle * 997u) % (length.ms - 1000)) : 0;
  // A seek stops the song where it lands; playing goes on from there.
  check(Mp3_Seek(player, TIME_FORMAT_MS, &to, MOVE_FROM_START), "Seek");
  check(Mp3_Play(player), "Play after Seek");
  std::this_thread::sleep_for(std::chrono::milliseconds(3 * (cycle % 7)));
  check(Mp3_Pause(player), "Pause");
  check(Mp3_Resume(player), "Resume");
  std::this_thread::sleep_for(std::chrono::milliseconds(3 * (cycle % 5)));
  MP3_TIME position{};
  check(Mp3_GetPosition(player, &position), "GetPosition");
  StopAndClose(player, check);
}

void StreamCycle(MP3_HANDLE player, const std::vector<uint8_t>& song, int cycle, Failures* failures) {
  auto check = [&](int ok, const char* what) {
    if (!ok) failures->Add("stream cycle " + std::to_string(cycle) + ": " + what + ": " + Error(player));
    return ok != 0;
  };
  const size_t first = std::min(song.size(), kFirstBlock);
  if (!check(Mp3_OpenStream(player, 1, 1, song.data(), unsigned(first), kBufferMs), "OpenStream")) return;
  check(Mp3_Play(player), "Play");
  // Part of the song, a different part each cycle, then the end of the data or a plain stop.
  const size_t pushed_until = std::min(song.size(), first + kPushBlock * size_t(1 + cycle % 8));
  for (size_t at = first; at < pushed_until; at += kPushBlock)
    check(Mp3_PushDataToStream(player, song.data() + at, unsigned(std::min(kPushBlock, pushed_until - at))), "Push");
  if (cycle % 2) check(Mp3_PushDataToStream(player, nullptr, 0), "end of data");
  STREAM_LOAD_INFO load{};
  check(Mp3_GetStreamLoad(player, &load), "GetStreamLoad");
  std::this_thread::sleep_for(std::chrono::milliseconds(3 * (cycle % 6)));
  StopAndClose(player, check);
}

TEST(Soak, FourPlayersAndAStreamCycleWithoutStallOrGrowth) {
  std::string why_not;
  const EncodedFiles* files = GetEncodedFiles(&why_not);
  if (!files) GTEST_SKIP() << "cannot make test files: " << why_not;
  const std::vector<std::string> paths = {files->cbr.string(), files->vbr.string(), files->mono.string(),
                                          JED_MPEG2_FILE};
  ASSERT_FALSE(ReadAll(JED_MPEG2_FILE).empty()) << JED_MPEG2_FILE;
  const std::vector<uint8_t> stream_song = ReadAll(files->vbr.string());
  const int cycles = Cycles();
  const size_t threads = paths.size() + 1;

  Failures failures;
  std::vector<std::atomic<int>> progress(threads);
  long after_first = 0;
  std::barrier first_done(std::ptrdiff_t(threads + 1));
  const auto started = Clock::now();
  {
    Watchdog watchdog(&progress);
    std::vector<std::thread> workers;
    for (size_t t = 0; t < threads; ++t) {
      workers.emplace_back([&, t] {
        MP3_HANDLE player = Mp3_Initialize();
        for (int cycle = 0; cycle < cycles; ++cycle) {
          if (t < paths.size()) {
            PlayerCycle(player, paths[t], cycle, &failures);
          } else {
            StreamCycle(player, stream_song, cycle, &failures);
          }
          progress[t] = cycle + 1;
          if (cycle == 0) first_done.arrive_and_wait();
        }
        Mp3_Destroy(player);
      });
    }
    first_done.arrive_and_wait();
    after_first = ResidentBytes();
    for (std::thread& worker : workers) worker.join();
  }
  const long at_end = ResidentBytes();
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
  std::printf("soak: %d cycles x %zu threads in %.1f s; resident %.1f MB after the first cycle, %.1f MB at the end\n",
              cycles, threads, seconds, after_first / 1048576.0, at_end / 1048576.0);
  for (const std::string& failure : failures.list) ADD_FAILURE() << failure;
  if (!kSanitized) {
    EXPECT_LE(at_end - after_first, kAllowedGrowthBytes);
  }
}

}  // namespace
