#include "tools/assetgen/synth.h"

#include <algorithm>
#include <cmath>

namespace assetgen {
namespace {

constexpr double kPi = 3.14159265358979323846;

// PolyBLEP correction for a discontinuity at phase 0 (t in [0, 1), dt = phase step).
double Blep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

double Oscillator(Wave w, double phase, double dt, double duty) {
  switch (w) {
    case Wave::kSine: return std::sin(2 * kPi * phase);
    case Wave::kTriangle: {
      // Four-bit stepped triangle, like the old sound chips.
      double tri = phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase;
      return std::round(tri * 7.5) / 7.5;
    }
    case Wave::kSaw: return 2 * phase - 1 - Blep(phase, dt);
    case Wave::kPulse: {
      double v = phase < duty ? 1.0 : -1.0;
      v += Blep(phase, dt);
      double shifted = phase - duty;
      if (shifted < 0) shifted += 1;
      v -= Blep(shifted, dt);
      return v;
    }
  }
  return 0;
}

}  // namespace

double Envelope::At(double t, double held) const {
  double level;
  if (t < attack)
    level = t / attack;
  else if (t < attack + decay)
    level = 1.0 - (1.0 - sustain) * (t - attack) / decay;
  else
    level = sustain;
  if (t > held) {
    double r = (t - held) / release;
    level *= r >= 1 ? 0.0 : (1.0 - r) * (1.0 - r);
  }
  return level;
}

double NoteFrequency(int midi_note) { return 440.0 * std::pow(2.0, (midi_note - 69) / 12.0); }

StereoMix::StereoMix(int sample_rate, double seconds, bool wrap)
    : rate_(sample_rate),
      wrap_(wrap),
      left_(size_t(std::llround(seconds * sample_rate)), 0.f),
      right_(left_.size(), 0.f) {}

void StereoMix::Add(long frame, double l, double r) {
  const long n = long(left_.size());
  if (wrap_)
    frame = ((frame % n) + n) % n;
  else if (frame < 0 || frame >= n)
    return;
  left_[size_t(frame)] += float(l);
  right_[size_t(frame)] += float(r);
}

void StereoMix::Note(const Voice& v, double start, double length, double freq, double velocity, double pan) {
  const double total = length + v.env.release;
  const long first = long(std::llround(start * rate_)), count = long(total * rate_);
  const double gl = std::cos((pan + 1) * kPi / 4), gr = std::sin((pan + 1) * kPi / 4);
  double phase = 0, phase2 = 0.25, lp = 0;
  const double lp_coeff = v.cutoff > 0 ? 1.0 - std::exp(-2 * kPi * v.cutoff / rate_) : 1.0;
  for (long i = 0; i < count; ++i) {
    double t = double(i) / rate_;
    double semis = 0;
    if (v.vibrato_depth > 0 && t > v.vibrato_delay)
      semis += v.vibrato_depth * std::sin(2 * kPi * v.vibrato_rate * (t - v.vibrato_delay)) *
               std::min(1.0, (t - v.vibrato_delay) * 4);
    if (v.pitch_drop > 0) semis -= v.pitch_drop * std::min(1.0, t / std::max(0.01, length));
    double f = freq * std::pow(2.0, semis / 12.0);
    double dt = f / rate_;
    double s = Oscillator(v.wave, phase, dt, v.duty);
    if (v.detune != 0) {
      double dt2 = dt * std::pow(2.0, v.detune / 1200.0);
      s = 0.6 * s + 0.4 * Oscillator(v.wave, phase2, dt2, v.duty);
      phase2 += dt2;
      if (phase2 >= 1) phase2 -= 1;
    }
    phase += dt;
    if (phase >= 1) phase -= 1;
    lp += lp_coeff * (s - lp);
    double out = lp * v.env.At(t, length) * v.gain * velocity;
    Add(first + i, out * gl, out * gr);
  }
}

void StereoMix::Kick(double start, double velocity) {
  const long first = long(std::llround(start * rate_)), count = long(0.35 * rate_);
  double phase = 0;
  for (long i = 0; i < count; ++i) {
    double t = double(i) / rate_;
    double f = 45 + 110 * std::exp(-t * 30);
    phase += f / rate_;
    double s = std::sin(2 * kPi * phase) * std::exp(-t * 9) + (t < 0.004 ? 0.5 * (1 - t / 0.004) : 0);
    double out = std::tanh(1.6 * s) * 0.5 * velocity;
    Add(first + i, out, out);
  }
}

void StereoMix::Snare(double start, double velocity, Rng& rng) {
  const long first = long(std::llround(start * rate_)), count = long(0.22 * rate_);
  double prev = 0, phase = 0;
  for (long i = 0; i < count; ++i) {
    double t = double(i) / rate_;
    double noise = rng.Unit() * 2 - 1;
    double hp = noise - prev;  // brighten
    prev = noise;
    phase += (185 - 40 * t) / rate_;
    double s = 0.55 * hp * std::exp(-t * 18) + 0.5 * std::sin(2 * kPi * phase) * std::exp(-t * 30);
    double out = s * 0.32 * velocity;
    Add(first + i, out * 0.95, out);
  }
}

void StereoMix::HiHat(double start, double velocity, bool open, Rng& rng) {
  const double len = open ? 0.25 : 0.05;
  const long first = long(std::llround(start * rate_)), count = long(len * rate_);
  double prev = 0, prev2 = 0;
  for (long i = 0; i < count; ++i) {
    double t = double(i) / rate_;
    double noise = rng.Unit() * 2 - 1;
    double hp = noise - 2 * prev + prev2;
    prev2 = prev;
    prev = noise;
    double out = hp * 0.06 * velocity * std::exp(-t * (open ? 12 : 70));
    Add(first + i, out * 0.8, out * 1.0);
  }
}

void StereoMix::Crash(double start, double velocity, Rng& rng) {
  const long first = long(std::llround(start * rate_)), count = long(1.4 * rate_);
  double prev = 0;
  for (long i = 0; i < count; ++i) {
    double t = double(i) / rate_;
    double noise = rng.Unit() * 2 - 1;
    double hp = noise - prev;
    prev = noise;
    double out = hp * 0.1 * velocity * std::exp(-t * 3.2);
    Add(first + i, out, out * 0.9);
  }
}

void StereoMix::Echo(double delay_seconds, double feedback, double mix) {
  const long n = long(left_.size()), d = long(delay_seconds * rate_);
  if (d <= 0 || d >= n) return;
  std::vector<float> wet_l(left_.size(), 0.f), wet_r(right_.size(), 0.f);
  // Two passes round the buffer let wrapped echoes settle into a steady loop.
  for (int pass = 0; pass < (wrap_ ? 2 : 1); ++pass)
    for (long i = 0; i < n; ++i) {
      long j = i - d;
      if (j < 0 && !wrap_) continue;
      size_t k = size_t((j + n) % n);
      // Ping-pong: each side feeds back into the other.
      wet_l[size_t(i)] = left_[k] + float(feedback) * wet_r[k];
      wet_r[size_t(i)] = right_[k] + float(feedback) * wet_l[k];
    }
  for (long i = 0; i < n; ++i) {
    left_[size_t(i)] += float(mix) * wet_l[size_t(i)];
    right_[size_t(i)] += float(mix) * wet_r[size_t(i)];
  }
}

void StereoMix::Normalise(double peak) {
  float loudest = 1e-6f;
  for (size_t i = 0; i < left_.size(); ++i) loudest = std::max({loudest, std::fabs(left_[i]), std::fabs(right_[i])});
  const double scale = peak / loudest * 1.25;  // let the limiter take the last few peaks
  for (size_t i = 0; i < left_.size(); ++i) {
    left_[i] = float(peak * std::tanh(left_[i] * scale / peak));
    right_[i] = float(peak * std::tanh(right_[i] * scale / peak));
  }
}

void Resonator::Tune(double freq, double bandwidth, double rate) {
  double r = std::exp(-kPi * bandwidth / rate);
  a1 = 2 * r * std::cos(2 * kPi * freq / rate);
  a2 = -r * r;
  gain = 1 - r;
}

double Resonator::Step(double x) {
  double y = gain * x + a1 * y1 + a2 * y2;
  y2 = y1;
  y1 = y;
  return y;
}

}  // namespace assetgen
