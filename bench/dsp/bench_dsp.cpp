// Prints the signal-processing figures as ratios against peers measured in the same run.
// Each figure is the median of several repetitions of a timed batch, peers interleaved.
#include <fftw3.h>
#include <kiss_fftr.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "mp3/dsp/equalizers.h"
#include "mp3/dsp/fft_eq.h"
#include "mp3/dsp/real_fft.h"

namespace {

using Clock = std::chrono::steady_clock;

// Median over repetitions of the time of one call, in microseconds.
double MedianMicros(const std::function<void()>& call, int calls_per_batch, int batches = 15) {
  std::vector<double> t;
  for (int b = 0; b < batches; ++b) {
    const auto start = Clock::now();
    for (int i = 0; i < calls_per_batch; ++i) call();
    t.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls_per_batch);
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

void CompareFft(int n) {
  std::mt19937 gen(1);
  std::uniform_real_distribution<float> dist(-1, 1);
  std::vector<float> input(static_cast<size_t>(n));
  for (float& v : input) v = dist(gen);

  dsp::FftWorkTables tables;
  std::vector<float> ours = input;
  dsp::RealFft(n, dsp::kFftForward, ours.data(), &tables);

  float* fin = fftwf_alloc_real(static_cast<size_t>(n));
  fftwf_complex* fout = fftwf_alloc_complex(static_cast<size_t>(n) / 2 + 1);
  fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, fin, fout, FFTW_MEASURE);
  std::copy(input.begin(), input.end(), fin);

  kiss_fftr_cfg kiss = kiss_fftr_alloc(n, 0, nullptr, nullptr);
  std::vector<kiss_fft_cpx> kout(static_cast<size_t>(n / 2 + 1));

  const int calls = std::max(20, 2000000 / n);
  double t_ours = 0, t_fftw = 0, t_kiss = 0;
  // Interleave the three so that clock changes and neighbours' load hit them alike.
  std::vector<double> r_fftw, r_kiss, a_ours, a_fftw, a_kiss;
  for (int round = 0; round < 5; ++round) {
    a_ours.push_back(MedianMicros(
        [&] {
          std::copy(input.begin(), input.end(), ours.begin());
          dsp::RealFft(n, dsp::kFftForward, ours.data(), &tables);
        },
        calls));
    a_fftw.push_back(MedianMicros(
        [&] {
          std::copy(input.begin(), input.end(), fin);
          fftwf_execute(plan);
        },
        calls));
    a_kiss.push_back(MedianMicros([&] { kiss_fftr(kiss, input.data(), kout.data()); }, calls));
  }
  std::sort(a_ours.begin(), a_ours.end());
  std::sort(a_fftw.begin(), a_fftw.end());
  std::sort(a_kiss.begin(), a_kiss.end());
  t_ours = a_ours[2], t_fftw = a_fftw[2], t_kiss = a_kiss[2];
  std::printf("RealFft forward n=%5d: %8.2f us   FFTW (r2c, MEASURE) %8.2f us   KissFFT %8.2f us\n", n, t_ours, t_fftw,
              t_kiss);
  std::printf("  ratio RealFft/FFTW = %.2f (target <= 1.5)   RealFft/KissFFT = %.2f (target < 1)\n", t_ours / t_fftw,
              t_ours / t_kiss);
  kiss_fftr_free(kiss);
  fftwf_destroy_plan(plan);
  fftwf_free(fin);
  fftwf_free(fout);
}

void EqThroughput() {
  dsp::FftEqualizer eq;
  dsp::EqInitTables(&eq, dsp::kEqBits);
  std::vector<float> factors(12, 1.0f);
  factors[4] = 4.0f;
  dsp::EqBuildResponse(&eq, factors.data(), factors.data(), 44100);
  constexpr int kFrames = 4410;  // 100 ms output buffers, as the player writes them
  std::mt19937 gen(2);
  std::uniform_int_distribution<int> dist(-8000, 8000);
  std::vector<int16_t> block(kFrames * 2);
  for (auto& v : block) v = static_cast<int16_t>(dist(gen));
  const double us = MedianMicros([&] { dsp::EqProcessBlock(&eq, block.data(), kFrames, 2, 16); }, 200, 9);
  const double realtime_us = kFrames / 44100.0 * 1e6;
  std::printf(
      "EqProcessBlock 16-bit stereo 44.1 kHz: %.1f us per 100 ms buffer = %.0f x real time"
      " (target >= 500)\n",
      us, realtime_us / us);
  dsp::EqFreeTables(&eq);
}

void EqDesignTime() {
  dsp::FftEqualizer eq;
  dsp::EqInitTables(&eq, dsp::kEqBits);
  std::vector<float> left(12), right(12);
  for (int i = 0; i < 12; ++i) left[i] = right[i] = 0.5f + 0.1f * i;
  const double us = MedianMicros([&] { dsp::EqBuildResponse(&eq, left.data(), right.data(), 44100); }, 5, 11);
  std::printf("EqBuildResponse, default ten bands, both channels: %.2f ms (target < 20)\n", us / 1000);
  dsp::EqFreeTables(&eq);
}

}  // namespace

int main() {
  CompareFft(16384);
  CompareFft(1024);
  EqThroughput();
  EqDesignTime();
  return 0;
}
