// Prints the time to build the frame index of a lame-made 128 kbit/s file, and the time from
// Seek (while playing) until the restarted run hands its first block to the device.
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "bench/mp3/lame_track.h"
#include "bench/mp3/public_player.h"
#include "mp3/format/frame_index.h"
#include "platform/audio.h"

namespace {
using Clock = std::chrono::steady_clock;

std::string MakeFile(int seconds) {
  return bench::LameTrack("bench_seek", seconds, [](int i, int16_t* s) {
    s[0] = int16_t(9000 * std::sin(i * 0.0627));
    s[1] = int16_t(7000 * std::sin(i * 0.0391));
  });
}

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

std::vector<uint8_t> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Blocks handed on since the last reset: answered 0, so each goes on to the device.
std::atomic<int> blocks_out{0};
int32_t CountBlock(uint32_t message, intptr_t, intptr_t) {
  if (message == MP3_EVENT_WAVE_BUFFER) ++blocks_out;
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 300;
  const std::string path = MakeFile(seconds);
  if (path.empty()) return 1;
  platform::AudioConsumeInRealTime(true);
  PublicPlayer p;
  if (!p->OpenFile(path.c_str(), 800, 0, 0)) return 1;
  p->SetCallbackFunc(&CountBlock, MP3_EVENT_WAVE_BUFFER);
  const std::vector<uint8_t> file = ReadWhole(path);
  double best = 1e9;
  std::vector<const uint8_t*> index;
  for (int round = 0; round < 5; ++round) {
    const auto a = Clock::now();
    BuildFrameIndex(file.data(), uint32_t(file.size()), &index);
    best = std::min(best, Ms(a, Clock::now()));
  }
  std::printf("frame index of %d s at 128 kbit/s: %zu frames in %.2f ms (best of 5)\n", seconds, index.size(), best);

  double worst = 0, sum = 0;
  const int seeks = 10;
  for (int i = 0; i < seeks; ++i) {
    p->Play();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    MP3_TIME t{};
    t.ms = uint32_t((i + 1) * 1000 * seconds / (seeks + 1));
    const auto a = Clock::now();
    p->Seek(TIME_FORMAT_MS, &t, MOVE_FROM_START);
    blocks_out = 0;
    p->Play();
    while (blocks_out == 0) std::this_thread::yield();
    const double ms = Ms(a, Clock::now());
    worst = std::max(worst, ms);
    sum += ms;
    p->Stop();
  }
  std::printf("Seek while playing to the first block out: mean %.2f ms, worst %.2f ms (%d seeks)\n", sum / seeks, worst,
              seeks);
  return 0;
}
