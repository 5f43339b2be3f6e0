#include "mp3/dsp/spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/mp3/dsp/signal_helpers.h"

namespace {

constexpr int kPoints = 1024;
constexpr int kHarmonics = kPoints / 2 + 1;

// A ring of four 400-frame wave buffers holding one continuous signal in play order, with
// playback standing in the middle of buffer 2: 200 + 400 + 400 + 24 frames make 1024.
struct Ring {
  std::vector<std::vector<int16_t>> pcm;
  std::vector<dsp::WaveBufferView> views;
  dsp::PlaybackView playback;

  explicit Ring(const std::vector<int16_t>& signal) {
    constexpr int kFrames = 400;
    pcm.assign(4, std::vector<int16_t>(kFrames * 2, 0));
    const int order[] = {2, 3, 0, 1};
    size_t at = 0;
    for (int n = 0; n < 4; ++n) {
      std::vector<int16_t>& buf = pcm[order[n]];
      for (int i = (n == 0 ? 200 : 0) * 2; i < kFrames * 2 && at < signal.size(); ++i) buf[i] = signal[at++];
    }
    for (auto& b : pcm) views.push_back({reinterpret_cast<const uint8_t*>(b.data()), kFrames * 4, kFrames * 4});
    playback.playing = true;
    playback.sample_rate = 44100;
    playback.buffers = views.data();
    playback.buffer_count = 4;
    playback.playing_index = 2;
    playback.offset_bytes = 200 * 4;
  }
};

struct Outputs {
  std::vector<int32_t> freqs = std::vector<int32_t>(kHarmonics, -7);
  std::vector<int32_t> left_amp = std::vector<int32_t>(kHarmonics, -7);
  std::vector<int32_t> right_amp = std::vector<int32_t>(kHarmonics, -7);
  std::vector<int32_t> left_phase = std::vector<int32_t>(kHarmonics, -7);
  std::vector<int32_t> right_phase = std::vector<int32_t>(kHarmonics, -7);

  dsp::SpectrumQuery Query(int points, int window) {
    return dsp::SpectrumQueryFromFlags(points, window, 63, freqs.data(), left_amp.data(), right_amp.data(),
                                       left_phase.data(), right_phase.data());
  }
};

int PeakIndex(const std::vector<int32_t>& a) {
  int best = 0;
  for (int i = 1; i < static_cast<int>(a.size()); ++i)
    if (a[i] > a[best]) best = i;
  return best;
}

TEST(Spectrum, ToneAtABinPeaksThereWithTheExpectedLevelForEveryWindow) {
  const int k_left = 100, k_right = 37;
  const double rate = 44100;
  // Bins exactly: frequency k * rate / n. The right channel carries half amplitude.
  Ring ring(dsp_test::StereoSines(kPoints, k_left * rate / kPoints, 32767, k_right * rate / kPoints, 16383.5, rate));
  dsp::Spectrum spectrum;
  std::string error;
  for (int window = 1; window <= 14; ++window) {
    SCOPED_TRACE(window);
    Outputs out;
    dsp::SpectrumQuery q = out.Query(kPoints, window);
    ASSERT_EQ(spectrum.GetValues(&q, ring.playback, &error), 1);
    EXPECT_EQ(q.harmonic_count, kHarmonics);
    // The flat-top window's main lobe is flat over neighbouring bins, which then tie in whole
    // dB; the tone's own bin still holds the maximum.
    EXPECT_EQ(out.left_amp[PeakIndex(out.left_amp)], out.left_amp[k_left]);
    EXPECT_EQ(out.right_amp[PeakIndex(out.right_amp)], out.right_amp[k_right]);
    if (window != dsp::kWindowFlatTop) {
      EXPECT_EQ(PeakIndex(out.left_amp), k_left);
      EXPECT_EQ(PeakIndex(out.right_amp), k_right);
    }
    // A bin-centred tone of amplitude A gives A * sum(w) / 2 at its bin.
    std::vector<float> w(kPoints);
    dsp::ComputeWindow(window, kPoints, w.data());
    double sum = 0;
    for (float v : w) sum += v;
    const double expect_left = 20 * std::log10(32767 * std::fabs(sum) / 2 / 32 + 1);
    EXPECT_NEAR(out.left_amp[k_left], expect_left, 1.0);
    EXPECT_NEAR(out.right_amp[k_right], expect_left - 6.02, 1.0);
    if (window == 1) {
      EXPECT_EQ(out.left_amp[k_left], 114);
      EXPECT_EQ(out.right_amp[k_right], 108);
    }
  }
  // Unknown types are rectangular, including the first call after an allocation.
  for (int window : {-1, 0, 99}) {
    dsp::Spectrum fresh;
    Outputs out;
    dsp::SpectrumQuery q = out.Query(kPoints, window);
    ASSERT_EQ(fresh.GetValues(&q, ring.playback, &error), 1);
    EXPECT_EQ(out.left_amp[k_left], 114) << window;
  }
}

TEST(Spectrum, PhaseOfAShiftedCosine) {
  const double rate = 44100;
  const int k = 64;
  // cos(theta - 30 degrees): R = n/2 cos 30, I = n/2 sin 30 in our sign convention.
  Ring ring(dsp_test::StereoSines(kPoints, k * rate / kPoints, 20000, k * rate / kPoints, 20000, rate, M_PI / 6));
  dsp::Spectrum spectrum;
  Outputs out;
  dsp::SpectrumQuery q = out.Query(kPoints, dsp::kWindowRectangular);
  ASSERT_EQ(spectrum.GetValues(&q, ring.playback, nullptr), 1);
  EXPECT_GE(out.left_phase[k], 29);
  EXPECT_LE(out.left_phase[k], 30);
  EXPECT_EQ(out.left_phase[k], out.right_phase[k]);
  EXPECT_EQ(out.left_phase[0], 0);
  EXPECT_EQ(out.left_phase[kPoints / 2], 0);
}

TEST(Spectrum, StoppedGivesZerosButFrequencies) {
  dsp::Spectrum spectrum;
  dsp::PlaybackView stopped;
  stopped.sample_rate = 44100;
  Outputs out;
  dsp::SpectrumQuery q = out.Query(32, dsp::kWindowHann);
  ASSERT_EQ(spectrum.GetValues(&q, stopped, nullptr), 1);
  EXPECT_EQ(q.harmonic_count, 17);
  const int32_t expect[] = {0, 1378, 2756, 4134};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(out.freqs[i], expect[i]);
  EXPECT_EQ(out.freqs[16], 22050);
  for (int i = 0; i < 17; ++i) {
    EXPECT_EQ(out.left_amp[i], 0);
    EXPECT_EQ(out.right_amp[i], 0);
    EXPECT_EQ(out.left_phase[i], 0);
    EXPECT_EQ(out.right_phase[i], 0);
  }
  EXPECT_EQ(out.left_amp[17], -7);  // nothing beyond n/2 + 1
}

TEST(Spectrum, AcceptsOnlyTheNineSizesAndWritesNothingOnFailure) {
  dsp::Spectrum spectrum;
  dsp::PlaybackView stopped;
  std::string error;
  for (int n : {32, 64, 128, 256, 512, 1024, 2048, 8192, 16384}) {
    std::vector<int32_t> freqs(static_cast<size_t>(n / 2 + 1));
    dsp::SpectrumQuery q{n, 1, 0, freqs.data(), nullptr, nullptr, nullptr, nullptr};
    EXPECT_EQ(spectrum.GetValues(&q, stopped, &error), 1) << n;
    EXPECT_EQ(spectrum.size(), n);
  }
  for (int n : {4096, 16, 0, -1024, 1000, 32768}) {
    Outputs out;
    dsp::SpectrumQuery q = out.Query(n, 1);
    EXPECT_EQ(spectrum.GetValues(&q, stopped, &error), 0) << n;
    EXPECT_EQ(error,
              "FFT_STRUCT->nFFTPoints parameter can be only one of these values:\n"
              "32, 64, 128, 512, 1024, 2048, 8192, 16384");
    EXPECT_EQ(spectrum.size(), 0);
    EXPECT_EQ(q.harmonic_count, 0);
    EXPECT_EQ(out.freqs[0], -7);
  }
  EXPECT_EQ(spectrum.GetValues(nullptr, stopped, &error), 1);
  EXPECT_EQ(spectrum.size(), 0);
}

TEST(Spectrum, FlagsSelectTheArrays) {
  int32_t a[5] = {}, b[5] = {}, c[5] = {}, d[5] = {}, e[5] = {};
  const dsp::SpectrumQuery q =
      dsp::SpectrumQueryFromFlags(256, 3, dsp::kFftOutLeftAmplitude | dsp::kFftOutRightPhase, a, b, c, d, e);
  EXPECT_EQ(q.fft_points, 256);
  EXPECT_EQ(q.window_type, 3);
  EXPECT_EQ(q.harmonic_freqs, nullptr);
  EXPECT_EQ(q.left_amplitudes, b);
  EXPECT_EQ(q.right_amplitudes, nullptr);
  EXPECT_EQ(q.left_phases, nullptr);
  EXPECT_EQ(q.right_phases, e);
}

// Figures the decoding thread is changing under us: an index outside the ring, an offset past
// the buffer, a byte count beyond the capacity, a missing buffer. Reads stay inside the
// buffers (the sanitizer build checks), and what is missing comes back as zeros.
TEST(Spectrum, SampleFillStaysInsideTheRing) {
  std::vector<int16_t> a(8, 1000), b(8, 2000);
  dsp::WaveBufferView views[3] = {{reinterpret_cast<const uint8_t*>(a.data()), 16, 4000},  // claims more than it has
                                  {nullptr, 16, 16},
                                  {reinterpret_cast<const uint8_t*>(b.data()), 16, 16}};
  std::vector<float> window(16, 1.0f), out(16, -1.0f);
  dsp::PlaybackView p;
  p.playing = true;
  p.buffers = views;
  p.buffer_count = 3;
  p.playing_index = 7;  // outside: starts at buffer 0
  p.offset_bytes = 9;   // inside a frame: rounds down to frame 2
  dsp::FillSampleBuffer(p, 0, window.data(), 16, out.data());
  const float expect[] = {1000, 1000, 2000, 2000, 2000, 2000, 0};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(out[i], expect[i]) << i;
  for (int i = 7; i < 16; ++i) EXPECT_EQ(out[i], 0.0f);
  // Played past the end of buffer 2 before its done notice came: the excess is the offset into
  // the next buffer in ring order, buffer 0, whose frames 2 and 3 come next.
  p.playing_index = 2;
  p.offset_bytes = 16 + 8;
  dsp::FillSampleBuffer(p, 1, window.data(), 16, out.data());
  for (int i = 0; i < 2; ++i) EXPECT_EQ(out[i], 1000.0f) << i;
  for (int i = 2; i < 16; ++i) EXPECT_EQ(out[i], 0.0f) << i;
  p.offset_bytes = 1 << 30;  // past everything queued: nothing to show
  dsp::FillSampleBuffer(p, 1, window.data(), 16, out.data());
  for (int i = 0; i < 16; ++i) EXPECT_EQ(out[i], 0.0f) << i;
}

}  // namespace
