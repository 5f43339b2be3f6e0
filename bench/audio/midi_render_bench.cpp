// FluidSynth with the General MIDI soundfont rendering a busy song (drums, bass, strings,
// guitar, melody) through the engine: CPU time per second of audio.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "bench/audio/bench_files.h"
#include "bench/audio/cpu_time.h"
#include "platform/audio.h"
#include "platform/backend.h"
#include "sound/midi.h"

namespace {

void BM_RenderOneSecondOfMidi(benchmark::State& state) {
  platform::SelectBackend(platform::Backend::Headless);
  std::string path = bench_audio::WriteBusySong("busy.mid", 16);
  std::filesystem::current_path(std::filesystem::path(path).parent_path());
  if (MidiInit() != 1) {
    state.SkipWithError("no soundfont");
    return;
  }
  int id = MidiLoad(std::filesystem::path(path).filename().c_str());
  MidiPlay(id);
  std::vector<int16_t> out(512 * 2);
  const double cpu_start = bench_audio::ThreadCpuSeconds();
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    for (uint32_t done = 0; done < platform::kAudioOutputRate; done += 512) platform::AudioPull(out.data(), 512);
    if (MidiStatus(id) != MIDI_PLAYING) MidiPlay(id);  // keep the song going
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["core_percent"] = 100.0 * (bench_audio::ThreadCpuSeconds() - cpu_start) / state.iterations();
  MidiDeleteAll();
  MidiShutdown();
}
BENCHMARK(BM_RenderOneSecondOfMidi)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
