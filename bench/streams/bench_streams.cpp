// Decoding speed of a managed stream fed from another thread in 4 KB pushes, against opening
// the same file, both in the no-output mode. Rounds alternate so that both see the same load;
// the figures are medians of the rounds' wall-clock times.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/mp3/lame_track.h"
#include "bench/mp3/public_player.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kPushBytes = 4096;

std::string MakeTrack(int seconds) {
  return bench::LameTrack("bench_streams_track", seconds, [](int i, int16_t* s) {
    const double t = i / 44100.0;
    s[0] = int16_t(9000 * std::sin(2 * M_PI * (220 + 20 * std::sin(t)) * t));
    s[1] = int16_t(9000 * std::sin(2 * M_PI * 330 * t + std::sin(3 * t)));
  });
}

std::mutex stop_lock;
std::condition_variable stop_changed;
bool stopped = false;
std::atomic<uint64_t> blocks{0};

int32_t Consume(uint32_t message, intptr_t, intptr_t) {
  if (message == MP3_EVENT_WAVE_BUFFER) {
    ++blocks;
    return 1;
  }
  if (message == MP3_EVENT_STOP) {
    std::lock_guard<std::mutex> guard(stop_lock);
    stopped = true;
    stop_changed.notify_all();
  }
  return 0;
}

void WaitStop() {
  std::unique_lock<std::mutex> guard(stop_lock);
  stop_changed.wait(guard, [] { return stopped; });
  stopped = false;
}

double TimeFile(const std::string& path) {
  PublicPlayer p;
  p->SetCallbackFunc(&Consume, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP);
  const auto start = Clock::now();
  if (!p->OpenFile(path.c_str(), 0, 0, 0) || !p->Play()) return -1;
  WaitStop();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double TimeStream(const std::vector<uint8_t>& file, int buffered) {
  PublicPlayer p;
  p->SetCallbackFunc(&Consume, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP);
  const auto start = Clock::now();
  if (!p->OpenStream(buffered, 1, file.data(), kPushBytes, 0) || !p->Play()) return -1;
  std::thread pusher([&] {
    for (size_t at = kPushBytes; at < file.size(); at += kPushBytes)
      p->PushDataToStream(file.data() + at, unsigned(std::min(kPushBytes, file.size() - at)));
    p->PushDataToStream(nullptr, 0);
  });
  WaitStop();
  pusher.join();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 120;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const std::string path = MakeTrack(seconds);
  if (path.empty()) {
    std::fprintf(stderr, "lame failed\n");
    return 1;
  }
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
  std::vector<double> file_times, unbuffered_times, buffered_times;
  for (int r = 0; r < rounds; ++r) {
    file_times.push_back(TimeFile(path));
    unbuffered_times.push_back(TimeStream(file, 0));
    buffered_times.push_back(TimeStream(file, 1));
  }
  const double f = Median(file_times), u = Median(unbuffered_times), b = Median(buffered_times);
  std::printf("%d s of 128 kbit/s music (%zu bytes), %d rounds, medians:\n", seconds, file.size(), rounds);
  std::printf("  OpenFile, no output:                    %8.3f s (%.0f x real time)\n", f, seconds / f);
  std::printf("  managed stream, 4 KB pushes, unbuffered: %8.3f s, speed %.3f x the file's\n", u, f / u);
  std::printf("  managed stream, 4 KB pushes, buffered:   %8.3f s, speed %.3f x the file's\n", b, f / b);
  return 0;
}
