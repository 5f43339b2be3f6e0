#include "mp3/dsp/fft_eq.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <chrono>
#include <cmath>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "mp3/dsp/equalizers.h"
#include "tests/mp3/dsp/equalizer_waits.h"
#include "tests/mp3/dsp/signal_helpers.h"

namespace {

constexpr int kLatency = 12286;
constexpr int kBlock = 8191;
constexpr double kRate = 44100;

// Feeds the signal through in uneven pieces, as output buffers of various sizes would.
template <typename Process>
void ProcessInPieces(std::vector<int16_t>* s, int channels, Process process) {
  static constexpr int kPieces[] = {1000, 4410, 333, 9000, 1, 8191, 2047};
  const int frames = static_cast<int>(s->size()) / channels;
  int at = 0;
  for (int p = 0; at < frames; ++p) {
    const int n = std::min(kPieces[p % 7], frames - at);
    ASSERT_EQ(process(s->data() + static_cast<size_t>(at) * channels, n), n);
    at += n;
  }
}

// Gain in dB of one channel: output against the input it is the delayed copy of.
double GainDb(const std::vector<int16_t>& in, const std::vector<int16_t>& out, int channel, int from, int to) {
  return 20 * std::log10(dsp_test::ChannelRms(out, channel, from, to) /
                         dsp_test::ChannelRms(in, channel, from - kLatency, to - kLatency));
}

// Magnitude in dB of the published (pending) left response at a frequency.
double ResponseDb(const dsp::FftEqualizer& eq, double freq) {
  const int set = dsp::EqPendingSet(eq.set_state.load());
  const std::vector<float>& r = eq.left_sets[(set ? set : dsp::EqCurrentSet(eq.set_state.load())) - 1];
  const int k = static_cast<int>(std::lround(freq * eq.table_size / kRate));
  return 20 * std::log10(std::hypot(r[2 * k], r[2 * k + 1]));
}

TEST(FftEq, FlatSettingsGiveTheInputDelayedByTheLatency) {
  for (int channels : {2, 1}) {
    SCOPED_TRACE(channels);
    dsp::FftEqualizer eq;
    ASSERT_TRUE(dsp::EqInitTables(&eq, dsp::kEqBits));
    EXPECT_EQ(dsp::EqLatencyFrames(eq), kLatency);
    const std::vector<float> ones(12, 1.0f);
    dsp::EqBuildResponse(&eq, ones.data(), ones.data(), 44100);
    const int frames = kLatency + 3 * kBlock + 777;
    std::mt19937 gen(5);
    std::uniform_int_distribution<int> dist(-32768, 32767);
    std::vector<int16_t> in(static_cast<size_t>(frames) * channels);
    for (auto& v : in) v = static_cast<int16_t>(dist(gen));
    std::vector<int16_t> out = in;
    ProcessInPieces(&out, channels, [&](int16_t* p, int n) { return dsp::EqProcessBlock(&eq, p, n, channels, 16); });
    int worst = 0;
    for (int i = 0; i < kLatency * channels; ++i) worst = std::max(worst, std::abs(out[i]));
    EXPECT_LE(worst, 1);  // the cleared history
    for (int i = 0; i < kBlock * channels; ++i) ASSERT_EQ(out[i], 0) << i;
    worst = 0;
    for (size_t i = static_cast<size_t>(kLatency) * channels; i < out.size(); ++i)
      worst = std::max(worst, std::abs(out[i] - in[i - static_cast<size_t>(kLatency) * channels]));
    EXPECT_LE(worst, 1);
    dsp::EqFreeTables(&eq);
  }
}

// A +12 dB band between 0 dB neighbours: every band centre is at least 400 Hz from the two gain
// steps (800 and 2000 Hz), well outside the filter's transition width (about 100 Hz for 8191
// taps with a 96 dB Kaiser window), where the ripple is far below 0.01 dB. What is left is the
// 16-bit rounding of input and output, under 0.01 dB at these levels; 0.1 dB is asserted.
TEST(FftEq, BandGainsAreMetAtTheBandCentres) {
  dsp::Equalizers eq;
  eq.SetStreamSampleRate(44100);
  std::string error;
  ASSERT_EQ(eq.EnableEQ(1, 1, &error), 1);
  ASSERT_TRUE(dsp_test::WaitForDesigns(eq, 1));
  EXPECT_TRUE(eq.FftActive());
  EXPECT_EQ(eq.FilterRate(), 44100u);
  const int gains[10] = {0, 0, 0, 0, 12, 0, 0, 0, 0, 0};
  ASSERT_EQ(eq.SetEQParam(1, 0, gains, 10), 1);
  ASSERT_TRUE(dsp_test::WaitForDesigns(eq, 2));
  const double centres[10] = {57.5, 166, 330, 603, 1265, 3000, 6364, 10817, 13964, 18186};
  for (int band = 0; band < 10; ++band) {
    SCOPED_TRACE(centres[band]);
    eq.ResetFftState();
    const int frames = kLatency + 3 * kBlock;
    const std::vector<int16_t> in = dsp_test::StereoSines(frames, centres[band], 7000, centres[band], 5000, kRate);
    std::vector<int16_t> out = in;
    ProcessInPieces(&out, 2, [&](int16_t* p, int n) { return eq.ProcessBlock(p, n); });
    const double want = band == 4 ? 12.0 : 0.0;
    EXPECT_NEAR(GainDb(in, out, 0, kLatency + kBlock, frames), want, 0.1);
    EXPECT_NEAR(GainDb(in, out, 1, kLatency + kBlock, frames), want, 0.1);
  }
  EXPECT_EQ(eq.EnableEQ(0, 1, &error), 1);
  EXPECT_FALSE(eq.FftActive());
}

// Gains change on the caller's thread while the decoding thread filters: the worker designs
// the spare set and the filter switches at a call boundary, with no gap in the output.
TEST(FftEq, RedesignWhilePlayingSwitchesSetsWithoutAGap) {
  dsp::Equalizers eq;
  eq.SetStreamSampleRate(44100);
  ASSERT_EQ(eq.EnableEQ(1, 1, nullptr), 1);
  ASSERT_TRUE(dsp_test::WaitForDesigns(eq, 1));
  const int frames = kLatency + 16 * kBlock;
  const double amp = 4000;
  const std::vector<int16_t> in = dsp_test::StereoSines(frames, 1265, amp, 1265, amp, kRate);
  std::vector<int16_t> out = in;
  const int boost[10] = {0, 0, 0, 0, 12, 0, 0, 0, 0, 0};
  const int flat[10] = {};
  int at = 0, calls = 0;
  uint32_t designs = eq.DesignCount();
  while (at < frames) {
    const int n = std::min(4410, frames - at);
    ASSERT_EQ(eq.ProcessBlock(out.data() + 2 * at, n), n);
    at += n;
    ++calls;
    if (calls == 4) {
      eq.SetEQParam(1, 0, boost, 10);
      ASSERT_TRUE(dsp_test::WaitForDesigns(eq, ++designs));
    }
    if (calls >= 14 && calls < 20) {
      // A burst of changes while filtering, some landing before the last design was taken
      // up; the last one asks for a flat filter.
      eq.SetEQParam(1, 0, (calls & 1) ? flat : boost, 10);
      designs += 1;
    }
    if (calls == 20) {
      ASSERT_TRUE(dsp_test::WaitForDesigns(eq, designs));
    }
  }
  // A boost was heard, then flat again. Windows of 10 ms never fall silent and never exceed
  // the boosted level.
  const double rms_in = amp / std::sqrt(2.0);
  double loudest = 0;
  for (int from = kLatency; from + 441 <= frames; from += 441) {
    const double rms = dsp_test::ChannelRms(out, 0, from, from + 441);
    EXPECT_GT(rms, 0.9 * rms_in) << from;
    EXPECT_LT(rms, 4.0 * 1.05 * rms_in) << from;
    loudest = std::max(loudest, rms);
  }
  EXPECT_GT(loudest, 3.5 * rms_in);  // the boost was heard in between
  EXPECT_NEAR(GainDb(in, out, 0, frames - 2 * kBlock, frames), 0.0, 0.1);
  EXPECT_NEAR(GainDb(in, out, 1, frames - 2 * kBlock, frames), 0.0, 0.1);
}

TEST(FftEq, ResetGivesABlockOfSilenceAndOddFormatsPassUntouched) {
  dsp::FftEqualizer eq;
  ASSERT_TRUE(dsp::EqInitTables(&eq, dsp::kEqBits));
  const std::vector<float> ones(12, 1.0f);
  dsp::EqBuildResponse(&eq, ones.data(), ones.data(), 44100);
  std::vector<int16_t> s = dsp_test::StereoSines(2 * kLatency, 440, 10000, 440, 10000, kRate);
  dsp::EqProcessBlock(&eq, s.data(), 2 * kLatency, 2, 16);
  dsp::EqResetState(&eq);
  s = dsp_test::StereoSines(kBlock + 10, 440, 10000, 440, 10000, kRate);
  dsp::EqProcessBlock(&eq, s.data(), kBlock + 10, 2, 16);
  for (int i = 0; i < 2 * kBlock; ++i) ASSERT_EQ(s[i], 0) << i;

  std::vector<int16_t> keep = {1, 2, 3, 4, 5, 6};
  std::vector<int16_t> copy = keep;
  EXPECT_EQ(dsp::EqProcessBlock(&eq, copy.data(), 2, 3, 16), 2);
  EXPECT_EQ(dsp::EqProcessBlock(&eq, copy.data(), 3, 2, 8), 3);
  EXPECT_EQ(dsp::EqProcessBlock(&eq, nullptr, 3, 2, 16), 3);
  EXPECT_EQ(dsp::EqProcessBlock(&eq, copy.data(), -4, 2, 16), 0);
  EXPECT_EQ(copy, keep);
  dsp::FftEqualizer never_initialised;
  EXPECT_EQ(dsp::EqProcessBlock(&never_initialised, copy.data(), 3, 2, 16), 3);
  EXPECT_EQ(copy, keep);
  EXPECT_FALSE(dsp::EqInitTables(&never_initialised, 40));
}

TEST(FftEq, CallerBandsMapOntoTheDesignBands) {
  dsp::Equalizers eq;
  eq.SetStreamSampleRate(44100);
  std::string error;
  ASSERT_EQ(eq.EnableEQ(1, 1, &error), 1);
  ASSERT_TRUE(dsp_test::WaitForDesigns(eq, 1));
  uint32_t designs = eq.DesignCount();
  auto design = [&](const std::vector<int>& edges, const std::vector<int>& gains) {
    EXPECT_EQ(eq.CreateEqBands(edges.data(), static_cast<int>(edges.size()), &error), 1);
    EXPECT_EQ(eq.SetEQParam(1, 0, gains.data(), static_cast<int>(gains.size())), 1);
    designs += 2;  // one for the new table, one for the gains
    EXPECT_TRUE(dsp_test::WaitForDesigns(eq, designs));
  };

  // Extra bands below 100 and above 10000 Hz stay at 0 dB.
  design({100, 1000, 10000}, {6, -6});
  EXPECT_EQ(eq.GetEQParam(1, nullptr, nullptr), 2);
  int edges[3] = {};
  EXPECT_EQ(eq.GetEqBands(edges), 3);
  EXPECT_EQ(edges[2], 10000);
  EXPECT_EQ(eq.fft().design_freqs, (std::vector<float>{100, 1000, 10000}));
  EXPECT_NEAR(ResponseDb(eq.fft(), 30), 0.0, 0.05);
  EXPECT_NEAR(ResponseDb(eq.fft(), 316), 6.0, 0.05);
  EXPECT_NEAR(ResponseDb(eq.fft(), 3162), -6.0, 0.05);
  EXPECT_NEAR(ResponseDb(eq.fft(), 16000), 0.0, 0.05);

  design({0, 1000, 96000}, {6, -6});
  EXPECT_EQ(eq.fft().design_freqs, (std::vector<float>{1000}));
  EXPECT_NEAR(ResponseDb(eq.fft(), 300), 6.0, 0.05);
  EXPECT_NEAR(ResponseDb(eq.fft(), 5000), -6.0, 0.05);
  EXPECT_NEAR(ResponseDb(eq.fft(), 20000), -6.0, 0.05);

  // One band over everything applies its gain everywhere.
  design({0, 96000}, {6});
  EXPECT_TRUE(eq.fft().design_freqs.empty());
  for (double f : {50.0, 1000.0, 10000.0, 21000.0}) EXPECT_NEAR(ResponseDb(eq.fft(), f), 6.0, 0.05) << f;

  // Bad tables fail and keep the configuration.
  const int one[1] = {500};
  EXPECT_EQ(eq.CreateEqBands(one, 1, &error), 0);
  EXPECT_EQ(error, "CreateEqBands->Invalid parameters !");
  error.clear();
  EXPECT_EQ(eq.CreateEqBands(nullptr, 4, &error), 0);
  EXPECT_EQ(error, "CreateEqBands->Invalid parameters !");
  EXPECT_EQ(eq.GetEqBands(nullptr), 2);
  int preamp = 0, gains[1] = {};
  EXPECT_EQ(eq.GetEQParamEx(1, &preamp, gains), 1);
  EXPECT_EQ(gains[0], 6000);
  EXPECT_EQ(eq.GetEQParam(0, nullptr, nullptr), 10);
}

// Starts threads on another CPU than the caller's, so that the two run side by side: on one
// shared CPU the caller, woken by a lock's release, tends to take it before the worker gets
// back to it, which hides the interleavings a stress test is after. Restores the caller's CPUs.
class SeparateCpus {
 public:
  SeparateCpus() {
    if (pthread_getaffinity_np(pthread_self(), sizeof original_, &original_) != 0) return;
    CPU_ZERO(&caller_);
    CPU_ZERO(&started_);
    int found = 0;
    for (int c = 0; c < CPU_SETSIZE && found < 2; ++c)
      if (CPU_ISSET(c, &original_)) CPU_SET(c, found++ == 0 ? &caller_ : &started_);
    active_ = found == 2 && pthread_setaffinity_np(pthread_self(), sizeof started_, &started_) == 0;
  }
  ~SeparateCpus() {
    if (active_) pthread_setaffinity_np(pthread_self(), sizeof original_, &original_);
  }
  // The threads are running: they keep their CPU, the caller moves to its own.
  void Started() {
    if (active_) pthread_setaffinity_np(pthread_self(), sizeof caller_, &caller_);
  }

 private:
  cpu_set_t original_{}, caller_{}, started_{};
  bool active_ = false;
};

// The caller swaps band tables while the worker designs: every design has to pair the factors
// and design frequencies of one table. A mixed pair (the 3-edge table's 4 factors against the
// 40-edge table's 8 frequencies below half the rate) reads past the factors, which the address
// sanitizer reports.
TEST(FftEq, BandTablesReplacedWhileTheWorkerDesigns) {
  SeparateCpus cpus;
  dsp::Equalizers eq;
  eq.SetStreamSampleRate(44100);
  ASSERT_EQ(eq.EnableEQ(1, 1, nullptr), 1);
  cpus.Started();
  ASSERT_TRUE(dsp_test::WaitForDesigns(eq, 1));
  // Most edges above half the rate keep each design short.
  std::vector<int> wide(40);
  for (int i = 0; i < 40; ++i) wide[static_cast<size_t>(i)] = i < 8 ? 1000 * (i + 1) : 30000 + 1000 * i;
  const int narrow[3] = {100, 1000, 10000};
  const std::vector<int> gains(39, 3);
  uint32_t posted = eq.DesignCount();
  for (int round = 0; round < 100; ++round) {
    const bool big = round & 1;
    ASSERT_EQ(eq.CreateEqBands(big ? wide.data() : narrow, big ? 40 : 3, nullptr), 1);
    ASSERT_EQ(eq.SetEQParam(1, round % 7 - 3, gains.data(), 39), 1);
    posted += 2;
    // Keep the worker busy, but not so far behind that the queue outlives the test.
    while (posted - eq.DesignCount() > 6) std::this_thread::yield();
  }
  ASSERT_EQ(eq.SetEQParam(1, 2, gains.data(), 39), 1);
  ASSERT_TRUE(dsp_test::WaitForDesigns(eq, posted + 1));
  // The last design is the wide table's: 3 dB bands plus a 2 dB preamp, 0 dB below its edges.
  EXPECT_EQ(eq.GetEqBands(nullptr), 40);
  EXPECT_EQ(eq.fft().design_freqs.size(), 40u);
  EXPECT_NEAR(ResponseDb(eq.fft(), 300), 0.0, 0.05);
  EXPECT_NEAR(ResponseDb(eq.fft(), 1500), 5.0, 0.05);
  EXPECT_NEAR(ResponseDb(eq.fft(), 15000), 5.0, 0.05);
}

// The checked design refuses factors of a smaller band table rather than reading past them.
TEST(FftEq, TooFewFactorsForTheDesignBandsAreRefused) {
  dsp::FftEqualizer eq;
  eq.has_supplied = true;
  for (int i = 0; i < 40; ++i) eq.supplied_freqs.push_back(50.0f + 500.0f * i);
  ASSERT_TRUE(dsp::EqInitTables(&eq, dsp::kEqBits));
  const std::vector<float> four(4, 1.0f), enough(41, 1.0f);
  EXPECT_FALSE(dsp::EqBuildResponse(&eq, four, enough, 44100));
  EXPECT_FALSE(dsp::EqBuildResponse(&eq, enough, four, 44100));
  EXPECT_EQ(dsp::EqPendingSet(eq.set_state.load()), 1);  // still the initial state
  EXPECT_FALSE(dsp::EqBuildResponse(&eq, enough, enough, 0));
  EXPECT_TRUE(dsp::EqBuildResponse(&eq, enough, enough, 44100));
  EXPECT_EQ(dsp::EqPendingSet(eq.set_state.load()), 2);
  EXPECT_NEAR(ResponseDb(eq, 10300), 0.0, 0.05);
  dsp::EqFreeTables(&eq);
}

TEST(FftEq, GainsAndPreampAreStoredInMillidecibels) {
  dsp::Equalizers eq;
  const int gains[12] = {1, -2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  EXPECT_EQ(eq.SetEQParam(1, -3, gains, 12), 1);  // extra gains beyond the 10 bands ignored
  int got[10] = {}, preamp = 0;
  EXPECT_EQ(eq.GetEQParamEx(1, &preamp, got), 10);
  EXPECT_EQ(preamp, -3000);
  EXPECT_EQ(got[1], -2000);
  EXPECT_EQ(got[9], 10000);
  const int fewer[2] = {-1500, 2500};
  EXPECT_EQ(eq.SetEQParamEx(1, 500, fewer, 2), 1);  // the rest keep their gains
  EXPECT_EQ(eq.GetEQParam(1, &preamp, got), 10);
  EXPECT_EQ(got[0], -1);
  EXPECT_EQ(got[1], 2);
  EXPECT_EQ(got[2], 3);
  EXPECT_EQ(preamp, 0);
  EXPECT_EQ(eq.SetEQParam(1, 1, nullptr, 10), 1);  // no array: only the preamp changes
  EXPECT_EQ(eq.GetEQParamEx(1, &preamp, got), 10);
  EXPECT_EQ(preamp, 1000);
  EXPECT_EQ(got[0], -1500);
}

TEST(FftEq, WorkerLifecycle) {
  dsp::Equalizers eq;
  std::string error;
  EXPECT_FALSE(eq.WorkerRunning());
  ASSERT_EQ(eq.EnableEQ(1, 1, &error), 1);
  // A second start is ignored: one worker only.
  EXPECT_EQ(eq.EnableEQ(1, 1, &error), 1);
  EXPECT_TRUE(eq.WorkerRunning());
  // No stream yet: the design at rate 0 changes nothing but the equalizer counts as active.
  ASSERT_TRUE(dsp_test::WaitForDesigns(eq, 1));
  EXPECT_TRUE(eq.FftActive());
  EXPECT_EQ(eq.FilterRate(), 0u);
  EXPECT_EQ(dsp::EqPendingSet(eq.fft().set_state.load()), 1);  // nothing new published
  // Opening a stream designs at its rate at once.
  eq.SetStreamSampleRate(48000);
  EXPECT_EQ(eq.FilterRate(), 48000u);
  EXPECT_EQ(eq.DesignCount(), 2u);
  eq.SetStreamSampleRate(48000);  // same rate: nothing to do
  EXPECT_EQ(eq.DesignCount(), 2u);
  EXPECT_EQ(eq.LatencyBytes(), kLatency * 4);
  EXPECT_EQ(eq.EnableEQ(0, 1, &error), 1);
  EXPECT_FALSE(eq.WorkerRunning());
  EXPECT_FALSE(eq.FftActive());
  EXPECT_EQ(eq.EnableEQ(0, 1, &error), 1);  // stopping twice is harmless
  // The subband side is only a flag.
  EXPECT_FALSE(eq.SubbandEnabled());
  EXPECT_EQ(eq.EnableEQ(5, 0, &error), 1);
  EXPECT_TRUE(eq.SubbandEnabled());
  EXPECT_EQ(eq.EnableEQ(0, 0, &error), 1);
  EXPECT_FALSE(eq.SubbandEnabled());
  ASSERT_EQ(eq.EnableEQ(1, 1, &error), 1);  // restart, and leave it to the destructor
}

}  // namespace
