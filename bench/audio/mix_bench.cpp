// Engine cost: 16 sound effects looping at once (mixed rates, widths and channel counts),
// mixed into 44.1 kHz stereo. The figure is CPU time per second of audio, as a share of a core.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/audio/bench_files.h"
#include "bench/audio/cpu_time.h"
#include "platform/audio.h"
#include "platform/backend.h"
#include "sound/sound.h"

namespace {

void BM_Mix16Effects(benchmark::State& state) {
  platform::SelectBackend(platform::Backend::Headless);
  SoundInit();
  const uint32_t rates[] = {11025, 22050, 44100, 48000};
  for (int i = 0; i < 16; ++i) {
    std::string path = bench_audio::WriteToneWav("mix" + std::to_string(i) + ".wav", rates[i % 4], 1 + (i / 4) % 2,
                                                 i % 8 < 4 ? 16 : 8, 1.5);
    int id = LoadWavSound(path.c_str(), 224);
    SetSoundVolume(id, 60);
    SetSoundPan(id, (i - 8) * 1000);
    PlaySoundEffect(id, SOUND_PLAY_LOOPING);
  }
  const int frames = static_cast<int>(state.range(0));
  std::vector<int16_t> out(frames * 2);
  const double cpu_start = bench_audio::ThreadCpuSeconds();
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    for (uint32_t done = 0; done < platform::kAudioOutputRate; done += frames) platform::AudioPull(out.data(), frames);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetLabel("per iteration: 1 s of output in blocks of " + std::to_string(frames) + " frames");
  // Each iteration is one second of audio, so CPU seconds per iteration is the share of a core.
  state.counters["core_percent"] = 100.0 * (bench_audio::ThreadCpuSeconds() - cpu_start) / state.iterations();
  StopAllSoundEffects();
  DeleteAllSoundEffects();
  SoundShutdown();
}
BENCHMARK(BM_Mix16Effects)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
