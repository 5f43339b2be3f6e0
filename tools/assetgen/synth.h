#pragma once
// A small software synthesiser: band-limited oscillators, envelopes, filters, drums and a
// stereo mix buffer that can wrap note tails round to its start so a track loops seamlessly.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/assetgen/rng.h"

namespace assetgen {

enum class Wave { kPulse, kSaw, kTriangle, kSine };

struct Envelope {
  double attack = 0.005, decay = 0.1, sustain = 0.7, release = 0.08;
  double At(double t, double held) const;  // held: note length in seconds
};

struct Voice {
  Wave wave = Wave::kPulse;
  double duty = 0.5;  // pulse width
  Envelope env;
  double gain = 0.2;
  double vibrato_depth = 0;  // semitones
  double vibrato_rate = 5.5;
  double vibrato_delay = 0.15;
  double detune = 0;      // cents of a second, mixed-in oscillator; 0 = none
  double cutoff = 0;      // one-pole low-pass in Hz; 0 = off
  double pitch_drop = 0;  // semitones dropped over the note (plucks, bass slaps)
};

class StereoMix {
 public:
  StereoMix(int sample_rate, double seconds, bool wrap);
  int rate() const { return rate_; }
  size_t frames() const { return left_.size(); }
  void Add(long frame, double l, double r);
  void Note(const Voice& v, double start, double length, double freq, double velocity, double pan);
  void Kick(double start, double velocity);
  void Snare(double start, double velocity, Rng& rng);
  void HiHat(double start, double velocity, bool open, Rng& rng);
  void Crash(double start, double velocity, Rng& rng);
  // Feedback echo over the whole mix (wrapping when the mix does).
  void Echo(double delay_seconds, double feedback, double mix);
  // Scales so the loudest sample peaks at `peak` and softly limits above it.
  void Normalise(double peak);
  const std::vector<float>& left() const { return left_; }
  const std::vector<float>& right() const { return right_; }

 private:
  int rate_;
  bool wrap_;
  std::vector<float> left_, right_;
};

double NoteFrequency(int midi_note);

// Mono signal helpers for the sound effects.
struct Resonator {  // two-pole band-pass
  double a1 = 0, a2 = 0, gain = 0, y1 = 0, y2 = 0;
  void Tune(double freq, double bandwidth, double rate);
  double Step(double x);
};

}  // namespace assetgen
