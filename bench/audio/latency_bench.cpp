// Latency from PlaySoundEffect to the first mixed sample on the SDL backend: the time until the
// mixer has consumed the first frames of the effect (its play cursor moves). Without a sound
// card this is the silent real-time device, which mixes one device buffer per period like a card.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "bench/audio/bench_files.h"
#include "platform/audio.h"
#include "platform/backend.h"
#include "sound/sound.h"

int main(int argc, char** argv) {
  const int trials = argc > 1 ? std::atoi(argv[1]) : 200;
  platform::SelectBackend(platform::Backend::Sdl);
  if (SoundInit() != 1) {
    std::fprintf(stderr, "no audio engine\n");
    return 1;
  }
  std::string path = bench_audio::WriteToneWav("latency.wav", 44100, 1, 16, 0.5);
  const int id = LoadWavSound(path.c_str(), 224);
  platform::SoundBuffer* buffer = sound_table[id].buffer;
  std::vector<double> ms;
  uint32_t seed = 1;
  for (int t = 0; t < trials; ++t) {
    seed = seed * 214013 + 2531011;
    std::this_thread::sleep_for(std::chrono::microseconds(1000 + (seed >> 16) % 12000));  // any phase
    const auto start = std::chrono::steady_clock::now();
    PlaySoundEffect(id, 0);
    uint32_t position = 0;
    while (position == 0) {
      platform::GetSoundBufferPosition(buffer, &position);
      if (position == 0) std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    StopSoundEffect(id);
  }
  std::sort(ms.begin(), ms.end());
  double mean = 0;
  for (double v : ms) mean += v;
  mean /= ms.size();
  const double device_buffer_ms = 1000.0 * platform::kAudioDeviceBufferFrames / platform::kAudioOutputRate;
  std::printf("output: %s, device buffer %u frames = %.1f ms, %d trials\n", platform::AudioOutputName(),
              platform::kAudioDeviceBufferFrames, device_buffer_ms, trials);
  std::printf("play-to-first-mix latency: mean %.2f ms, median %.2f ms, p99 %.2f ms, max %.2f ms\n", mean,
              ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back());
  std::printf("max / one device buffer: %.2f (target <= 1 buffer of 1024 frames = 23.2 ms: %s)\n",
              ms.back() / device_buffer_ms, ms.back() <= 23.22 ? "met" : "missed");
  StopAllSoundEffects();
  DeleteAllSoundEffects();
  SoundShutdown();
  platform::AudioShutdown();
  return 0;
}
