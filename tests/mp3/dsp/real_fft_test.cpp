#include "mp3/dsp/real_fft.h"

#include <fftw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "tests/mp3/dsp/signal_helpers.h"

namespace {

std::vector<float> RandomSignal(int n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
  std::vector<float> x(static_cast<size_t>(n));
  for (float& v : x) v = dist(gen);
  return x;
}

// The packed layout computed directly in double precision (R with cos, I with +sin).
std::vector<double> DirectPacked(const std::vector<float>& x) {
  const int n = static_cast<int>(x.size());
  std::vector<double> out(x.size());
  for (int k = 0; k <= n / 2; ++k) {
    double re = 0, im = 0;
    dsp_test::DirectBin(x, k, &re, &im);
    if (k == 0) {
      out[0] = re;
    } else if (k == n / 2) {
      out[1] = re;
    } else {
      out[2 * k] = re;
      out[2 * k + 1] = im;
    }
  }
  return out;
}

double RelativeError(const std::vector<float>& got, const std::vector<double>& want) {
  double err = 0, norm = 0;
  for (size_t i = 0; i < got.size(); ++i) {
    err += (got[i] - want[i]) * (got[i] - want[i]);
    norm += want[i] * want[i];
  }
  return std::sqrt(err / norm);
}

TEST(RealFft, PackedLayoutOfAnImpulseAndItsInverse) {
  dsp::FftWorkTables tables;
  std::vector<float> d = {1, 0, 0, 0};
  ASSERT_TRUE(dsp::RealFft(4, dsp::kFftForward, d.data(), &tables));
  EXPECT_EQ(d, (std::vector<float>{1, 1, 1, 0}));
  ASSERT_TRUE(dsp::RealFft(4, dsp::kFftInverse, d.data(), &tables));
  for (float& v : d) v *= 2.0f / 4.0f;
  EXPECT_EQ(d, (std::vector<float>{1, 0, 0, 0}));
}

TEST(RealFft, MatchesDirectTransformAndRoundTripsAtEverySize) {
  dsp::FftWorkTables tables;
  for (int n = 4; n <= 16384; n *= 2) {
    SCOPED_TRACE(n);
    const std::vector<float> x = RandomSignal(n, static_cast<unsigned>(n));
    std::vector<float> d = x;
    ASSERT_TRUE(dsp::RealFft(n, dsp::kFftForward, d.data(), &tables));
    if (n <= 2048) {
      EXPECT_LT(RelativeError(d, DirectPacked(x)), 1e-5);
    }
    ASSERT_TRUE(dsp::RealFft(n, dsp::kFftInverse, d.data(), &tables));
    double err = 0, norm = 0;
    for (int i = 0; i < n; ++i) {
      const double back = d[i] * 2.0 / n;
      err += (back - x[i]) * (back - x[i]);
      norm += x[i] * x[i];
    }
    EXPECT_LT(std::sqrt(err / norm), 1e-5);
  }
}

// FFTW's r2c has the usual kernel, so its imaginary parts are negated against ours.
template <typename Complex>
std::vector<double> PackFromFftw(const Complex* out, int n) {
  std::vector<double> want(static_cast<size_t>(n));
  want[0] = out[0][0];
  want[1] = out[n / 2][0];
  for (int k = 1; k < n / 2; ++k) {
    want[2 * k] = out[k][0];
    want[2 * k + 1] = -out[k][1];
  }
  return want;
}

// Every size against FFTW in double precision (an exact reference where the direct sum would
// take minutes) and in single precision (the peer our figures are measured against).
TEST(RealFft, AgreesWithFftwAtEverySize) {
  dsp::FftWorkTables tables;
  for (int n = 4; n <= 16384; n *= 2) {
    SCOPED_TRACE(n);
    std::vector<float> x = RandomSignal(n, 77u + static_cast<unsigned>(n));
    std::vector<double> in_d(x.begin(), x.end());
    std::vector<fftw_complex> out_d(static_cast<size_t>(n / 2 + 1));
    fftw_plan plan_d = fftw_plan_dft_r2c_1d(n, in_d.data(), out_d.data(), FFTW_ESTIMATE);
    fftw_execute(plan_d);
    fftw_destroy_plan(plan_d);
    std::vector<float> in_f = x;
    std::vector<fftwf_complex> out_f(static_cast<size_t>(n / 2 + 1));
    fftwf_plan plan_f = fftwf_plan_dft_r2c_1d(n, in_f.data(), out_f.data(), FFTW_ESTIMATE);
    fftwf_execute(plan_f);
    fftwf_destroy_plan(plan_f);

    ASSERT_TRUE(dsp::RealFft(n, dsp::kFftForward, x.data(), &tables));
    EXPECT_LT(RelativeError(x, PackFromFftw(out_d.data(), n)), 1e-5);
    EXPECT_LT(RelativeError(x, PackFromFftw(out_f.data(), n)), 1e-5);
  }
}

// The portable path and the vector path give the same transform.
TEST(RealFft, PortableAndVectorPathsAgree) {
  for (int n = 4; n <= 16384; n *= 2) {
    SCOPED_TRACE(n);
    const std::vector<float> x = RandomSignal(n, 3u * static_cast<unsigned>(n));
    std::vector<float> vec = x, portable = x;
    dsp::FftWorkTables tables;
    dsp::RealFftAllowSimd(false);
    dsp::RealFft(n, dsp::kFftForward, portable.data(), &tables);
    std::vector<double> want(portable.begin(), portable.end());
    dsp::RealFft(n, dsp::kFftInverse, portable.data(), &tables);
    dsp::RealFftAllowSimd(true);
    dsp::RealFft(n, dsp::kFftForward, vec.data(), &tables);
    EXPECT_LT(RelativeError(vec, want), 1e-6);
    dsp::RealFft(n, dsp::kFftInverse, vec.data(), &tables);
    EXPECT_LT(RelativeError(vec, std::vector<double>(portable.begin(), portable.end())), 1e-6);
  }
}

TEST(RealFft, RefusesBadSizesAndReleasesTables) {
  dsp::FftWorkTables tables;
  float d[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_FALSE(dsp::RealFft(2, dsp::kFftForward, d, &tables));
  EXPECT_FALSE(dsp::RealFft(12, dsp::kFftForward, d, &tables));
  EXPECT_FALSE(dsp::RealFft(-8, dsp::kFftForward, d, &tables));
  EXPECT_FALSE(dsp::RealFft(8, dsp::kFftForward, nullptr, &tables));
  EXPECT_EQ(d[0], 1.0f);
  EXPECT_TRUE(dsp::RealFft(8, dsp::kFftForward, d, &tables));
  EXPECT_EQ(tables.built_size, 8);
  EXPECT_TRUE(dsp::RealFft(0, dsp::kFftForward, nullptr, &tables));
  EXPECT_EQ(tables.built_size, 0);
  EXPECT_TRUE(tables.stage_twiddles.empty());
}

}  // namespace
