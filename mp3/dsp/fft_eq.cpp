#include "mp3/dsp/fft_eq.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace dsp {
namespace {

constexpr double kStopBandDb = 96.0;

double KaiserBeta(double a) {
  if (a <= 21) return 0;
  if (a <= 50) return 0.5842 * std::pow(a - 21, 0.4) + 0.07886 * (a - 21);
  return 0.1102 * (a - 8.7);
}

// I0(x) with exactly 15 terms of the series.
double BesselI0(double x, const double* factorials) {
  double sum = 1.0;
  for (int m = 1; m <= 15; ++m) {
    const double t = std::pow(x / 2, m) / factorials[m];
    sum += t * t;
  }
  return sum;
}

// 2f/fs * sinc(2 pi f n / fs).
double LowPass(int n, double f, double fs) {
  const double gain = 2.0 * f / fs;
  if (n == 0) return gain;
  const double x = 2.0 * M_PI * f * n / fs;
  return gain * std::sin(x) / x;
}

// One channel's impulse: sum over the bands the walk reaches, the last one as a high-pass
// from its lower edge. h(n) = sum_{i<s} (g_i - g_{i+1}) lp(n, u_i) + g_s delta(n).
void DesignImpulse(const FftEqualizer& eq, const std::vector<double>& lp, int stop, const float* gains,
                   float* impulse) {
  const int half = eq.block_length / 2;
  std::fill(impulse, impulse + eq.table_size, 0.0f);
  for (int n = 0; n <= half; ++n) {
    double h = n == 0 ? gains[stop] : 0.0;
    for (int i = 0; i < stop; ++i)
      h += (static_cast<double>(gains[i]) - gains[i + 1]) * lp[static_cast<size_t>(i) * (half + 1) + n];
    const float v = static_cast<float>(h) * eq.window[n];
    impulse[half + n] = v;
    impulse[half - n] = v;
  }
}

}  // namespace

std::vector<float> EqDesignFrequencies(const std::vector<float>& edges) {
  std::vector<float> freqs = edges;
  if (!freqs.empty() && freqs.front() == 0.0f) freqs.erase(freqs.begin());
  if (!freqs.empty() && freqs.back() == kEqTopEdge) freqs.pop_back();
  return freqs;
}

void EqFreeTables(FftEqualizer* eq) {
  for (auto& s : eq->left_sets) s = {};
  for (auto& s : eq->right_sets) s = {};
  eq->impulse = {};
  eq->work = {};
  eq->history = {};
  eq->accumulator = {};
  eq->window = {};
  eq->design_freqs = {};
  RealFft(0, kFftForward, nullptr, &eq->design_tables);
  RealFft(0, kFftForward, nullptr, &eq->process_tables);
  eq->initialised = false;
}

bool EqInitTables(FftEqualizer* eq, int bits) {
  if (bits < 3 || bits > 16) return false;
  EqFreeTables(eq);
  try {
    // A supplied table is used even when it leaves no split: then one band covers everything.
    if (eq->has_supplied)
      eq->design_freqs = eq->supplied_freqs;
    else
      eq->design_freqs.assign(std::begin(kEqDefaultDesignFreqs), std::end(kEqDefaultDesignFreqs));
    eq->bits = bits;
    eq->table_size = 1 << bits;
    eq->block_length = (1 << (bits - 1)) - 1;
    const size_t t = static_cast<size_t>(eq->table_size);
    for (auto& s : eq->left_sets) s.assign(t, 0.0f);
    for (auto& s : eq->right_sets) s.assign(t, 0.0f);
    eq->impulse.assign(t, 0.0f);
    eq->work.assign(t, 0.0f);
    eq->history.assign(static_cast<size_t>(eq->block_length) * 2, 0);
    eq->accumulator.assign(t * 2, 0.0f);
    eq->window.assign(static_cast<size_t>(eq->block_length) / 2 + 1, 0.0f);
  } catch (const std::bad_alloc&) {
    EqFreeTables(eq);
    return false;
  }
  eq->set_state.store(1 | (1 << 2), std::memory_order_release);
  eq->buffered_frames = 0;
  eq->factorials[0] = 1;
  for (int m = 1; m < 16; ++m) eq->factorials[m] = eq->factorials[m - 1] * m;
  const double beta = KaiserBeta(kStopBandDb);
  eq->i0_beta = BesselI0(beta, eq->factorials);
  const double span = eq->block_length - 1;
  for (int n = 0; n <= eq->block_length / 2; ++n) {
    const double r = 1.0 - 4.0 * n * n / (span * span);
    eq->window[n] = static_cast<float>(BesselI0(beta * std::sqrt(std::max(0.0, r)), eq->factorials) / eq->i0_beta);
  }
  eq->initialised = true;
  return true;
}

void EqResetState(FftEqualizer* eq) { eq->reset_pending.store(true, std::memory_order_release); }

int32_t EqLatencyFrames(const FftEqualizer& eq) { return eq.table_size - 4098; }

namespace {

// The design itself; the caller holds the design lock.
bool DesignLocked(FftEqualizer* eq, const float* left_factors, const float* right_factors, int32_t fs) {
  if (!eq->initialised) return false;

  // Take back an unconsumed pending set: the decoding thread cannot switch to it while we
  // rewrite it, and cannot change the current set while nothing is pending.
  int32_t state = eq->set_state.load(std::memory_order_acquire);
  while (!eq->set_state.compare_exchange_weak(state, EqCurrentSet(state), std::memory_order_acq_rel)) {
  }
  const int current = EqCurrentSet(state);
  const int spare = current == 1 ? 2 : 1;

  // Design bands: [0, f0], [f0, f1], ..., [f_last, fs]. The walk stops at the first band
  // without a successor or reaching half the rate; that band becomes the high-pass.
  const std::vector<float>& f = eq->design_freqs;
  const int d = static_cast<int>(f.size());
  int stop = 0;
  while (stop < d && f[static_cast<size_t>(stop)] < fs / 2.0f) ++stop;
  const int half = eq->block_length / 2;
  std::vector<double> lp(static_cast<size_t>(stop) * (half + 1));
  for (int i = 0; i < stop; ++i)
    for (int n = 0; n <= half; ++n)
      lp[static_cast<size_t>(i) * (half + 1) + n] = LowPass(n, f[static_cast<size_t>(i)], fs);

  const float* factors[2] = {left_factors, right_factors};
  std::vector<float>* targets[2] = {&eq->left_sets[spare - 1], &eq->right_sets[spare - 1]};
  for (int c = 0; c < 2; ++c) {
    DesignImpulse(*eq, lp, stop, factors[c], eq->impulse.data());
    RealFft(eq->table_size, kFftForward, eq->impulse.data(), &eq->design_tables);
    std::copy(eq->impulse.begin(), eq->impulse.end(), targets[c]->begin());
  }
  eq->set_state.store(current | (spare << 2), std::memory_order_release);
  return true;
}

}  // namespace

void EqBuildResponse(FftEqualizer* eq, const float* left_factors, const float* right_factors, int32_t fs) {
  if (fs <= 0 || left_factors == nullptr || right_factors == nullptr) return;
  std::lock_guard<std::mutex> hold(eq->design_lock);
  DesignLocked(eq, left_factors, right_factors, fs);
}

bool EqBuildResponse(FftEqualizer* eq, const std::vector<float>& left_factors, const std::vector<float>& right_factors,
                     int32_t fs) {
  if (fs <= 0) return false;
  std::lock_guard<std::mutex> hold(eq->design_lock);
  // Factors of another band table than the design frequencies would be read past their end.
  const size_t bands = eq->design_freqs.size() + 1;
  if (left_factors.size() < bands || right_factors.size() < bands) return false;
  return DesignLocked(eq, left_factors.data(), right_factors.data(), fs);
}

namespace {

// Exchanges samples with the accumulator: input into the history, filtered output back.
void ExchangeSamples(FftEqualizer* eq, int16_t* samples, int count, int channels) {
  const size_t at = static_cast<size_t>(eq->buffered_frames) * channels;
  int16_t* history = eq->history.data() + at;
  const float* acc = eq->accumulator.data() + at;
  for (int j = 0; j < count; ++j) {
    history[j] = samples[j];
    const float x = std::clamp(acc[j], -32768.0f, 32767.0f);
    samples[j] = static_cast<int16_t>(x >= 0 ? x + 0.5f : x - 0.5f);
  }
}

void FilterBlock(FftEqualizer* eq, int channels, int current) {
  const int len = eq->block_length;
  const int t = eq->table_size;
  float* acc = eq->accumulator.data();
  std::memmove(acc, acc + static_cast<size_t>(len) * channels, sizeof(float) * static_cast<size_t>(t - len) * channels);
  float* work = eq->work.data();
  const float scale = 2.0f / static_cast<float>(t);
  for (int c = 0; c < channels; ++c) {
    const float* resp = (c == 0 ? eq->left_sets : eq->right_sets)[current - 1].data();
    for (int i = 0; i < len; ++i) work[i] = eq->history[static_cast<size_t>(i) * channels + c];
    std::fill(work + len, work + t, 0.0f);
    RealFft(t, kFftForward, work, &eq->process_tables);
    work[0] *= resp[0];
    work[1] *= resp[1];
    for (int k = 2; k < t; k += 2) {
      const float wr = work[k], wi = work[k + 1];
      work[k] = resp[k] * wr - resp[k + 1] * wi;
      work[k + 1] = resp[k] * wi + resp[k + 1] * wr;
    }
    RealFft(t, kFftInverse, work, &eq->process_tables);
    for (int i = 0; i < len; ++i) acc[static_cast<size_t>(i) * channels + c] += work[i] * scale;
    for (int i = len; i < t; ++i) acc[static_cast<size_t>(i) * channels + c] = work[i] * scale;
  }
}

}  // namespace

int EqProcessBlock(FftEqualizer* eq, int16_t* samples, int frame_count, int channels, int bits) {
  if (frame_count <= 0) return frame_count < 0 ? 0 : frame_count;
  if (!eq->initialised || samples == nullptr || bits != 16 || channels < 1 || channels > 2) return frame_count;

  if (eq->reset_pending.exchange(false, std::memory_order_acq_rel)) {
    eq->buffered_frames = 0;
    std::fill(eq->accumulator.begin(), eq->accumulator.end(), 0.0f);
  }
  int32_t state = eq->set_state.load(std::memory_order_acquire);
  while (EqPendingSet(state) != 0 &&
         !eq->set_state.compare_exchange_weak(state, EqPendingSet(state), std::memory_order_acq_rel)) {
  }
  const int current = EqPendingSet(state) != 0 ? EqPendingSet(state) : EqCurrentSet(state);

  const int len = eq->block_length;
  int pos = 0;
  int remaining = frame_count;
  while (eq->buffered_frames + remaining >= len) {
    const int k = len - eq->buffered_frames;
    ExchangeSamples(eq, samples + static_cast<size_t>(pos) * channels, k * channels, channels);
    pos += k;
    remaining -= k;
    eq->buffered_frames = 0;
    FilterBlock(eq, channels, current);
  }
  ExchangeSamples(eq, samples + static_cast<size_t>(pos) * channels, remaining * channels, channels);
  eq->buffered_frames += remaining;
  return pos + remaining;
}

}  // namespace dsp
