#include "tools/assetgen/sound_effects.h"

#include <algorithm>
#include <cmath>

#include "tools/assetgen/rng.h"
#include "tools/assetgen/synth.h"

namespace assetgen {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<float> Silence(int rate, double seconds) { return std::vector<float>(size_t(rate * seconds), 0.f); }

void FadeEdges(std::vector<float>& s, int rate) {
  const size_t fade = size_t(rate * 0.004);
  for (size_t i = 0; i < fade && i < s.size(); ++i) {
    float g = float(i) / float(fade);
    s[i] *= g;
    s[s.size() - 1 - i] *= g;
  }
}

void Normalise(std::vector<float>& s, double peak) {
  float m = 1e-6f;
  for (float v : s) m = std::max(m, std::fabs(v));
  for (float& v : s) v = float(v * peak / m);
}

std::vector<float> Punch(int rate) {
  auto s = Silence(rate, 0.26);
  Rng rng(3);
  double phase = 0, lp = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = double(i) / rate;
    phase += (55 + 120 * std::exp(-t * 40)) / rate;
    double body = std::sin(2 * kPi * phase) * std::exp(-t * 16);
    double noise = rng.Unit() * 2 - 1;
    lp += 0.35 * (noise - lp);
    double crack = lp * std::exp(-t * 70) * 1.3;
    s[i] = float(std::tanh(2.2 * (body + crack)));
  }
  return s;
}

std::vector<float> Alert(int rate) {
  auto s = Silence(rate, 0.36);
  const double notes[2][3] = {{0.0, 0.12, 988}, {0.13, 0.36, 1319}};
  for (auto& n : notes) {
    double phase = 0;
    for (size_t i = size_t(n[0] * rate); i < size_t(n[1] * rate) && i < s.size(); ++i) {
      double t = double(i) / rate - n[0];
      phase += n[2] / rate;
      double sq = std::fmod(phase, 1.0) < 0.5 ? 1.0 : -1.0;
      s[i] += float(0.6 * sq * std::exp(-t * 9));
    }
  }
  return s;
}

std::vector<float> Jump(int rate) {
  auto s = Silence(rate, 0.28);
  double phase = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = double(i) / rate;
    phase += (280 + 1800 * t * t * 8) / rate;
    double sq = std::fmod(phase, 1.0) < 0.25 ? 1.0 : -1.0;
    s[i] = float(0.55 * sq * (1.0 - t / 0.28));
  }
  return s;
}

std::vector<float> Swing(int rate) {
  auto s = Silence(rate, 0.24);
  Rng rng(5);
  Resonator band;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = double(i) / rate;
    band.Tune(500 + 2600 * t / 0.24, 400, rate);
    double env = std::sin(kPi * std::min(1.0, t / 0.24));
    s[i] = float(band.Step(rng.Unit() * 2 - 1) * env * env);
  }
  return s;
}

// A voiced syllable: glottal pulses through three formants, with a breathy onset.
void Syllable(std::vector<float>& s, int rate, double start, double len, double f0_start, double f0_end,
              const double formants[3], double breath, Rng& rng) {
  Resonator r[3];
  const double bw[3] = {90, 110, 160};
  for (int k = 0; k < 3; ++k) r[k].Tune(formants[k], bw[k], rate);
  Resonator hiss;
  hiss.Tune(1400, 1400, rate);
  double phase = 0;
  for (size_t i = size_t(start * rate); i < size_t((start + len) * rate) && i < s.size(); ++i) {
    double t = double(i) / rate - start, u = t / len;
    double f0 = f0_start + (f0_end - f0_start) * u;
    f0 *= 1.0 + 0.02 * std::sin(2 * kPi * 6 * t);
    phase += f0 / rate;
    double p = std::fmod(phase, 1.0);
    double pulse = p < 0.4 ? std::sin(kPi * p / 0.4) * std::sin(kPi * p / 0.4) : 0.0;  // Rosenberg-like
    double voiced = std::min(1.0, std::max(0.0, (t - breath) / 0.02));
    double env = std::min(1.0, t / 0.01) * std::min(1.0, (len - t) / 0.06);
    double src = (pulse - 0.2) * voiced;
    double out = 0;
    for (int k = 0; k < 3; ++k) out += r[k].Step(src) * (k == 0 ? 1.0 : k == 1 ? 0.7 : 0.35);
    double h = hiss.Step(rng.Unit() * 2 - 1) * (t < breath + 0.02 ? 0.6 : 0.04);
    s[i] += float((out * 6 + h) * env);
  }
}

std::vector<float> Hurt(int rate) {
  auto s = Silence(rate, 0.5);
  Rng rng(8);
  const double uh[3] = {600, 1050, 2400};
  Syllable(s, rate, 0.0, 0.42, 170, 105, uh, 0.03, rng);
  return s;
}

std::vector<float> Laugh(int rate) {
  auto s = Silence(rate, 2.9);
  Rng rng(13);
  const double mu[3] = {340, 900, 2300}, ha[3] = {760, 1200, 2500};
  Syllable(s, rate, 0.00, 0.30, 118, 112, mu, 0.0, rng);
  double t = 0.34;
  for (int i = 0; i < 5; ++i) {
    double f = 150 - i * 7;
    Syllable(s, rate, t, 0.2, f, f - 14, ha, 0.05, rng);
    t += 0.25;
  }
  Syllable(s, rate, t, 0.95, 132, 82, ha, 0.06, rng);
  // A hall around the voice: three decaying echoes.
  std::vector<float> dry = s;
  const double taps[3][2] = {{0.11, 0.35}, {0.23, 0.22}, {0.37, 0.12}};
  for (auto& tap : taps) {
    size_t d = size_t(tap[0] * rate);
    for (size_t i = d; i < s.size(); ++i) s[i] += float(dry[i - d] * tap[1]);
  }
  return s;
}

SoundEffect Make(std::string name, int rate, WavDepth depth, std::vector<float> (*synth)(int), double peak) {
  auto samples = synth(rate);
  Normalise(samples, peak);
  FadeEdges(samples, rate);
  return SoundEffect{std::move(name), rate, depth, std::move(samples)};
}

}  // namespace

std::vector<SoundEffect> SoundEffects() {
  return {
      Make("hurt.WAV", 22050, WavDepth::kSigned16, Hurt, 0.85),
      Make("alert.wav", 11025, WavDepth::kUnsigned8, Alert, 0.7),
      Make("punch.wav", 11025, WavDepth::kUnsigned8, Punch, 0.9),
      Make("jump.wav", 11025, WavDepth::kUnsigned8, Jump, 0.6),
      Make("jump.WAV", 22050, WavDepth::kSigned16, Swing, 0.7),
      Make("LaughEvil.WAV", 22050, WavDepth::kSigned16, Laugh, 0.9),
  };
}

}  // namespace assetgen
