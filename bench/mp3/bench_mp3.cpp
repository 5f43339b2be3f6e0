// Player figures: decoding CPU time in the no-output mode against madplay and mpg123 on the same
// 128 kbit/s file, the same with a second thread polling every getter at 1 kHz, the cost of one
// getter call, CPU load of real-time playback, Play-to-first-buffer and Stop latencies.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/mp3/lame_track.h"
#include "bench/mp3/public_player.h"
#include "dar3/dar3.h"
#include "platform/audio.h"
#include "platform/sync.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds(const rusage& r) {
  return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) + double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

double SelfCpu() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return CpuSeconds(r);
}

// Runs a command and returns the CPU time its process used.
double ChildCpu(const std::vector<std::string>& args) {
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    freopen("/dev/null", "w", stdout);
    freopen("/dev/null", "w", stderr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage r{};
  wait4(pid, &status, 0, &r);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1.0;
  return CpuSeconds(r);
}

std::string MakeTrack(int seconds) {
  uint32_t noise = 1;
  return bench::LameTrack("bench_mp3_track", seconds, [&noise](int i, int16_t* s) {
    const double t = i / 44100.0;
    noise = noise * 1664525u + 1013904223u;
    const double n = (int32_t(noise) / 2147483648.0) * 0.05;
    s[0] = int16_t((0.3 * std::sin(2 * M_PI * (220 + 20 * std::sin(t)) * t) + n) * 32767);
    s[1] = int16_t((0.3 * std::sin(2 * M_PI * 330 * t + std::sin(3 * t)) + n) * 32767);
  });
}

std::atomic<uint64_t> consumed_blocks{0};
int32_t ConsumeBlock(uint32_t message, intptr_t, intptr_t) {
  if (message == MP3_EVENT_WAVE_BUFFER) {
    ++consumed_blocks;
    return 1;
  }
  return 0;
}

// Blocks handed on since the last reset: answered 0, so each goes on to the device.
std::atomic<int> blocks_out{0};
int32_t CountBlock(uint32_t message, intptr_t, intptr_t) {
  if (message == MP3_EVENT_WAVE_BUFFER) ++blocks_out;
  return 0;
}

double DecodeNoOutput(const std::string& path, bool with_callback = true) {
  PublicPlayer player;
  if (with_callback) player->SetCallbackFunc(&ConsumeBlock, MP3_EVENT_WAVE_BUFFER);
  player->OpenFile(path.c_str(), 0, 0, 0);
  MP3_STATUS status{};
  const double before = SelfCpu();
  player->Play();
  do {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    player->GetStatus(&status);
  } while (status.playing);
  const double used = SelfCpu() - before;
  player->Close();
  return used;
}

// The least a synchronous hand-off can cost here: two bare threads, one queue and one answer
// each, no player code. The sender works `work_s` between sends, as the decoder decodes a block
// between two WAVE_BUFFER messages, so the answering thread goes idle in between as it does in
// the player. Returns the CPU seconds per round trip beyond the work itself.
double HandOffFloor(int round_trips, double work_s) {
  platform::ThreadMessageQueue queue;
  std::mutex lock;
  std::condition_variable answered;
  int answers = 0;
  std::thread answerer([&] {
    platform::ThreadMessage message;
    while (queue.Get(&message)) {
      {
        std::lock_guard<std::mutex> guard(lock);
        ++answers;
      }
      answered.notify_all();
    }
  });
  volatile double sink = 1.0;
  const double before = SelfCpu();
  for (int i = 1; i <= round_trips; ++i) {
    const auto until = Clock::now() + std::chrono::duration<double>(work_s);
    while (Clock::now() < until) sink = sink * 1.0000001;
    queue.Post(0x400);
    std::unique_lock<std::mutex> guard(lock);
    answered.wait(guard, [&] { return answers >= i; });
  }
  const double used = SelfCpu() - before;
  queue.Post(platform::kThreadQuit);
  answerer.join();
  return (used - round_trips * work_s) / round_trips;
}

// What a window's UI thread does: every getter, `hz` times a second, until told to stop.
class GetterPoller {
 public:
  GetterPoller(MP3_HANDLE player, int hz) : player_(player), period_(std::chrono::microseconds(1000000 / hz)) {
    thread_ = std::thread([this] { Run(); });
  }
  ~GetterPoller() { Stop(); }
  uint64_t rounds() const { return rounds_; }
  // The poller thread's own CPU seconds; known once it has been stopped.
  double own_cpu() const { return own_cpu_; }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

 private:
  void Run() {
    auto next = Clock::now();
    while (!stop_) {
      PollAll(player_);
      ++rounds_;
      next += period_;
      std::this_thread::sleep_until(next);
    }
    timespec own{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &own);
    own_cpu_ = double(own.tv_sec) + own.tv_nsec / 1e9;
  }

 public:
  static void PollAll(MP3_HANDLE p) {
    MP3_TIME time{};
    MP3_STATUS status{};
    MP3_STREAM_INFO info{};
    unsigned vu_left = 0, vu_right = 0;
    int left = 0, right = 0, preamp = 0, gains[32] = {};
    int mode = 0, delay = 0, input = 0, echo = 0, output = 0;
    int32_t freqs[257], amplitudes[257];
    char title[64];
    Mp3_GetPosition(p, &time);
    Mp3_GetStatus(p, &status);
    Mp3_GetFFTValues(p, 512, WINDOW_HANN, FFT_OUT_HARMONIC_FREQ | FFT_OUT_LEFT_AMPLITUDE, nullptr, freqs, amplitudes,
                     nullptr, nullptr, nullptr);
    Mp3_GetVUData(p, &vu_left, &vu_right);
    Mp3_GetMp3Info(p, &info);
    Mp3_GetSongLength(p, &time);
    Mp3_GetID3Field(p, ID3_TAG_V2, ID3_SELECT_TITLE, title, sizeof title);
    Mp3_GetEQParam(p, 0, &preamp, gains);
    Mp3_GetSfxParam(p, &mode, &delay, &input, &echo, &output);
    Mp3_GetVolume(p, &left, &right);
    Mp3_GetBitrate(p, 0);
  }

 private:
  MP3_HANDLE player_;
  std::chrono::microseconds period_;
  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> rounds_{0};
  double own_cpu_ = 0;
  std::thread thread_;
};

// A no-output decode through the flat exports, with or without a 1 kHz getter poller: the
// process's CPU seconds without the poller thread's own (what polling costs the decoding), and
// that poller's own in `*poller_cpu`.
double DecodeFlat(const std::string& path, bool poll, double* poller_cpu = nullptr) {
  MP3_HANDLE p = Mp3_Initialize();
  Mp3_SetCallbackFunc(p, &ConsumeBlock, MP3_EVENT_WAVE_BUFFER);
  Mp3_OpenFile(p, path.c_str(), 0, 0, 0);
  MP3_STATUS status{};
  const double before = SelfCpu();
  double polling = 0;
  {
    std::unique_ptr<GetterPoller> poller(poll ? new GetterPoller(p, 1000) : nullptr);
    Mp3_Play(p);
    do {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      Mp3_GetStatus(p, &status);
    } while (status.playing);
    if (poller) {
      poller->Stop();
      polling = poller->own_cpu();
    }
  }
  if (poller_cpu) *poller_cpu = polling;
  const double used = SelfCpu() - before - polling;
  Mp3_Destroy(p);
  return used;
}

// Nanoseconds per call of `getter`, over `calls` calls.
template <typename Getter>
double NsPerCall(int calls, Getter getter) {
  const auto t0 = Clock::now();
  for (int i = 0; i < calls; ++i) getter();
  return std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / calls;
}

void GetterFigures(const std::string& path) {
  constexpr int kCalls = 1000000;
  MP3_HANDLE p = Mp3_Initialize();
  Mp3_SetCallbackFunc(p, &ConsumeBlock, MP3_EVENT_WAVE_BUFFER);
  Mp3_OpenFile(p, path.c_str(), 0, 0, 0);
  MP3_TIME time{};
  MP3_STATUS status{};
  const auto position = [&] { Mp3_GetPosition(p, &time); };
  const auto get_status = [&] { Mp3_GetStatus(p, &status); };
  const double position_idle = NsPerCall(kCalls, position);
  const double status_idle = NsPerCall(kCalls, get_status);
  // While the decoding thread runs: batches as long as it still does.
  Mp3_Play(p);
  double position_busy = 0, status_busy = 0;
  int batches = 0;
  for (;;) {
    const double position_ns = NsPerCall(10000, position);
    const double status_ns = NsPerCall(10000, get_status);
    if (!status.playing) break;
    position_busy += position_ns;
    status_busy += status_ns;
    ++batches;
  }
  Mp3_Destroy(p);
  position_busy /= batches ? batches : 1;
  status_busy /= batches ? batches : 1;
  const bool still_decoding = batches > 0;
  std::printf("GetPosition             : %.0f ns per call uncontended, %.0f ns while decoding%s\n", position_idle,
              position_busy, still_decoding ? "" : " (the decode ended first)");
  std::printf("GetStatus               : %.0f ns per call uncontended, %.0f ns while decoding\n", status_idle,
              status_busy);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 180;
  const std::string track = MakeTrack(seconds);
  if (track.empty()) {
    std::fprintf(stderr, "lame failed\n");
    return 1;
  }
  std::printf("track: %s (%d s, 128 kbit/s CBR)\n\n", track.c_str(), seconds);

  std::fflush(stdout);
  // Decoding speed, best of five runs each, interleaved so that load affects all alike.
  double ours = 1e9, dropped = 1e9, madplay = 1e9, mpg123 = 1e9;
  for (int run = 0; run < 5; ++run) {
    ours = std::min(ours, DecodeNoOutput(track));
    dropped = std::min(dropped, DecodeNoOutput(track, false));
    const double m = ChildCpu({"madplay", "-Q", "-o", "null:", track});
    if (m >= 0) madplay = std::min(madplay, m);
    const double g = ChildCpu({"mpg123", "-q", "-t", track});
    if (g >= 0) mpg123 = std::min(mpg123, g);
  }
  std::printf("decode, no-output mode  : %.3f s CPU (%.0fx real time)\n", ours, seconds / ours);
  std::printf("  without the callback  : %.3f s CPU (blocks dropped)\n", dropped);
  std::printf("madplay -o null:        : %.3f s CPU\n", madplay);
  std::printf("mpg123 -t               : %.3f s CPU\n", mpg123);
  std::printf("ratio player / madplay  : %.3f (target <= 1.05)\n", ours / madplay);
  std::printf("ratio player / mpg123   : %.3f (for the record)\n", ours / mpg123);
  // Every block is a synchronous message answered on the callback thread; what a bare
  // two-thread round trip costs on this machine bounds what the player can reach.
  const int blocks = int(consumed_blocks / 5);
  double floor_s = 1e9;
  for (int run = 0; run < 3; ++run) floor_s = std::min(floor_s, HandOffFloor(blocks, dropped / blocks));
  std::printf("block hand-offs         : %d per decode; a bare thread round trip costs %.1f us here\n", blocks,
              floor_s * 1e6);
  std::printf("  least reachable ratio : %.3f (decoding without the callback + %d bare round trips)\n\n",
              (dropped + blocks * floor_s) / madplay, blocks);

  // The getters: their cost per call, and what an application polling them all at 1 kHz adds
  // to a decode (through the flat exports, as applications call them).
  GetterFigures(track);
  double quiet = 1e9, polled = 1e9, poller_own = 0;
  for (int run = 0; run < 5; ++run) {
    quiet = std::min(quiet, DecodeFlat(track, false));
    double own = 0;
    const double with_poller = DecodeFlat(track, true, &own);
    if (with_poller < polled) polled = with_poller, poller_own = own;
  }
  std::printf(
      "decode, flat exports    : %.3f s CPU; with every getter polled at 1 kHz %.3f s (%+.1f%%, target within 3%%)\n"
      "  the poller's own CPU  : %.3f s (its FFT and the other getters' work, the application's)\n\n",
      quiet, polled, 100.0 * (polled - quiet) / quiet, poller_own);

  // Real-time playback: CPU of the whole process (decoding thread, engine) over wall time,
  // and of the silent real-time output alone, so that the player's share shows.
  platform::AudioConsumeInRealTime(true);
  double idle_load = 0.0;
  {
    const double cpu0 = SelfCpu();
    const auto wall0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    idle_load = 100.0 * (SelfCpu() - cpu0) / std::chrono::duration<double>(Clock::now() - wall0).count();
  }
  {
    PublicPlayer player;
    player->OpenFile(track.c_str(), 800, 0, 0);
    player->Play();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const double cpu0 = SelfCpu();
    const auto wall0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const double cpu = SelfCpu() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
    player->Stop();
    std::printf("real-time playback load : %.2f%% of one core (process, incl. the silent output)\n",
                100.0 * cpu / wall);
    std::printf("  silent output alone   : %.2f%%, so the player's share is %.2f%%\n", idle_load,
                100.0 * cpu / wall - idle_load);
  }

  // Latencies.
  std::vector<double> first_buffer, stop;
  {
    PublicPlayer player;
    player->OpenFile(track.c_str(), 800, 0, 0);
    player->SetCallbackFunc(&CountBlock, MP3_EVENT_WAVE_BUFFER);
    for (int i = 0; i < 30; ++i) {
      blocks_out = 0;
      const auto t0 = Clock::now();
      player->Play();
      while (blocks_out == 0) std::this_thread::yield();
      first_buffer.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
      const auto t1 = Clock::now();
      player->Stop();
      stop.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t1).count());
    }
  }
  platform::AudioConsumeInRealTime(false);
  std::printf("Play to first buffer    : median %.2f ms, max %.2f ms (target < 150)\n", Median(first_buffer),
              *std::max_element(first_buffer.begin(), first_buffer.end()));
  std::printf("Stop while playing      : median %.2f ms, max %.2f ms (target < 50)\n", Median(stop),
              *std::max_element(stop.begin(), stop.end()));
  return 0;
}
