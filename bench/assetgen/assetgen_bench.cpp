// Time to generate every asset, split into pictures, sounds and each music track, and the
// size of the files written.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "tools/assetgen/asset_generator.h"
#include "tools/assetgen/faces.h"
#include "tools/assetgen/landscapes.h"
#include "tools/assetgen/mp3_encoder.h"
#include "tools/assetgen/songs.h"
#include "tools/assetgen/sound_effects.h"
#include "tools/assetgen/sprite_strips.h"
#include "tools/assetgen/story_screens.h"

namespace {

void WholeRun(benchmark::State& state) {
  const auto dir = std::filesystem::temp_directory_path() / ("assetgen-bench-" + std::to_string(getpid()));
  double megabytes = 0;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    assetgen::GenerateAssets({dir.string(), ""});
    uintmax_t total = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) total += entry.file_size();
    megabytes = double(total) / (1024.0 * 1024.0);
  }
  state.counters["MB_written"] = megabytes;
  std::filesystem::remove_all(dir);
}
BENCHMARK(WholeRun)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

void Pictures(benchmark::State& state) {
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    auto hero = assetgen::HeroFrames();
    auto thugs = assetgen::ThugFrames();
    benchmark::DoNotOptimize(assetgen::HeroFacePicture());
    benchmark::DoNotOptimize(assetgen::ThugFacePicture());
    benchmark::DoNotOptimize(assetgen::TitlePicture(hero, thugs));
    for (int page = 0; page < 4; ++page) benchmark::DoNotOptimize(assetgen::StoryPicture(page, hero, thugs));
    benchmark::DoNotOptimize(assetgen::GameOverPicture(hero));
    benchmark::DoNotOptimize(assetgen::VictoryPicture(hero));
    for (int s = 0; s < 13; ++s) benchmark::DoNotOptimize(assetgen::DrawLandscape(s));
  }
}
BENCHMARK(Pictures)->Unit(benchmark::kMillisecond);

void SoundEffects(benchmark::State& state) {
  // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop drives the timer
  for (auto _ : state) benchmark::DoNotOptimize(assetgen::SoundEffects());
}
BENCHMARK(SoundEffects)->Unit(benchmark::kMillisecond);

// One track: synthesis, then encoding; counters give the audio seconds made per second spent.
void MusicTrack(benchmark::State& state) {
  const assetgen::TrackSpec& spec = assetgen::MusicTracks()[size_t(state.range(0))];
  state.SetLabel(spec.file_name);
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    assetgen::StereoMix mix = assetgen::RenderTrack(spec);
    benchmark::DoNotOptimize(assetgen::EncodeMp3(mix, spec));
  }
  state.counters["x_realtime"] =
      benchmark::Counter(spec.Seconds() * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(MusicTrack)->DenseRange(0, 3)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
