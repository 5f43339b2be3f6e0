#include "tools/assetgen/songs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace assetgen {
namespace {

struct Chord {
  int root;  // MIDI note of the root in the bass octave (E1 .. D#2)
  bool minor;
  std::vector<int> Tones() const { return {root, root + (minor ? 3 : 4), root + 7}; }
};

Chord Parse(const std::string& name) {
  static const int base[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  int pc = base[name[0] - 'A'];
  size_t i = 1;
  if (i < name.size() && name[i] == '#')
    ++pc, ++i;
  else if (i < name.size() && name[i] == 'b')
    --pc, ++i;
  bool minor = i < name.size() && name[i] == 'm';
  pc = (pc + 12) % 12;
  return Chord{28 + ((pc - 4 + 12) % 12), minor};  // from E1 (28) upward
}

std::vector<Chord> Progression(const std::vector<std::string>& names) {
  std::vector<Chord> out;
  out.reserve(names.size());
  for (auto& n : names) out.push_back(Parse(n));
  return out;
}

int NearestInSet(int pitch, const std::vector<int>& pcs) {
  for (int d = 0; d < 12; ++d)
    for (int s : {pitch - d, pitch + d})
      for (int pc : pcs)
        if (((s % 12) + 12) % 12 == ((pc % 12) + 12) % 12) return s;
  return pitch;
}

struct Key {
  int tonic;  // pitch class
  std::vector<int> steps;
  std::vector<int> PitchClasses() const {
    std::vector<int> out;
    out.reserve(steps.size());
    for (int s : steps) out.push_back((tonic + s) % 12);
    return out;
  }
  int Degree(int degree, int octave_base) const {  // degree may be negative or above 7
    int n = int(steps.size());
    int oct = degree >= 0 ? degree / n : -((-degree + n - 1) / n);
    int idx = degree - oct * n;
    return octave_base + tonic + steps[size_t(idx)] + 12 * oct;
  }
};

struct MelodyNote {
  double start_beats, length_beats;
  int pitch;
};

// A two-bar motif: a rhythm from a template and a contour walked on the scale.
struct Motif {
  std::vector<std::pair<double, double>> rhythm;  // start, length in beats over 8 beats
  std::vector<int> degrees;
};

Motif MakeMotif(Rng& rng, const std::vector<std::vector<std::pair<double, double>>>& rhythms, int start_degree) {
  Motif m;
  m.rhythm = rhythms[size_t(rng.Range(0, int(rhythms.size()) - 1))];
  int d = start_degree;
  for (size_t i = 0; i < m.rhythm.size(); ++i) {
    m.degrees.push_back(d);
    int step = rng.Range(-2, 2);
    if (rng.Chance(0.15)) step = rng.Chance(0.5) ? 4 : -3;
    d = std::clamp(d + step, start_degree - 4, start_degree + 6);
  }
  return m;
}

// Four two-bar phrases of a section: statement, answer, lift, cadence home.
std::vector<MelodyNote> Phrase(const Motif& a, const Motif& b, const Key& key, const std::vector<Chord>& chords,
                               int first_bar, int bars, int octave_base) {
  std::vector<MelodyNote> out;
  for (int pair = 0; pair < bars / 2; ++pair) {
    const Motif& m = (pair % 2 == 1) ? b : a;
    int lift = pair == 2 ? 2 : 0;
    for (size_t i = 0; i < m.rhythm.size(); ++i) {
      double start = m.rhythm[i].first, len = m.rhythm[i].second;
      int bar = first_bar + pair * 2 + int(start / 4);
      const Chord& c = chords[size_t(bar) % chords.size()];
      int pitch = key.Degree(m.degrees[i] + lift, octave_base);
      bool strong = std::fmod(start, 2.0) == 0.0;
      if (strong) {
        std::vector<int> tones;
        for (int t : c.Tones()) tones.push_back(t % 12);
        pitch = NearestInSet(pitch, tones);
      } else {
        pitch = NearestInSet(pitch, key.PitchClasses());
      }
      bool last = pair == bars / 2 - 1 && i + 1 == m.rhythm.size();
      if (last) {  // cadence: land on the tonic and hold
        pitch = NearestInSet(pitch, {key.tonic});
        len = std::max(len, 8.0 - start);
      }
      out.push_back({(first_bar + pair * 2) * 4.0 + start, len, pitch});
    }
  }
  return out;
}

using Rhythms = std::vector<std::vector<std::pair<double, double>>>;

struct Arrangement {
  std::vector<Chord> chords;  // one per bar, whole song
  std::vector<MelodyNote> melody;
  std::vector<int> section_starts;
};

Arrangement Arrange(const TrackSpec& spec, const std::vector<std::vector<std::string>>& sections,
                    const std::vector<int>& order, const Key& key, const Rhythms& rhythms, int octave, uint64_t seed,
                    int start_degree) {
  Arrangement arr;
  Rng rng(seed);
  std::vector<std::pair<Motif, Motif>> motifs;
  motifs.reserve(sections.size());
  for (size_t s = 0; s < sections.size(); ++s)
    motifs.push_back({MakeMotif(rng, rhythms, start_degree + int(s) * 2), MakeMotif(rng, rhythms, start_degree + 2)});
  int bar = 0;
  for (int s : order) {
    auto chords = Progression(sections[size_t(s)]);
    arr.section_starts.push_back(bar);
    for (auto& c : chords) arr.chords.push_back(c);
    if (s >= 0 && bar + int(chords.size()) <= spec.bars) {
      auto notes =
          Phrase(motifs[size_t(s)].first, motifs[size_t(s)].second, key, arr.chords, bar, int(chords.size()), octave);
      arr.melody.insert(arr.melody.end(), notes.begin(), notes.end());
    }
    bar += int(chords.size());
  }
  arr.chords.resize(size_t(spec.bars), arr.chords.empty() ? Chord{28, false} : arr.chords.back());
  return arr;
}

const Rhythms kHeroicRhythms = {
    {{0, 1.5}, {1.5, 0.5}, {2, 2}, {4, 1}, {5, 1}, {6, 2}},
    {{0, 1}, {1, 0.5}, {1.5, 1.5}, {3, 1}, {4, 3}, {7, 1}},
    {{0, 2}, {2, 1}, {3, 1}, {4, 1.5}, {5.5, 0.5}, {6, 2}},
};
const Rhythms kSombreRhythms = {
    {{0, 3}, {3, 1}, {4, 4}},
    {{0, 2}, {2, 2}, {4, 3}, {7, 1}},
    {{0, 1.5}, {1.5, 0.5}, {2, 2}, {4, 4}},
};
const Rhythms kDrivingRhythms = {
    {{0, 0.5}, {0.5, 0.5}, {1, 1}, {2.5, 0.5}, {3, 1}, {4, 0.5}, {4.5, 1}, {5.5, 0.5}, {6, 2}},
    {{0, 1}, {1, 0.5}, {1.5, 0.5}, {2, 1}, {3.5, 0.5}, {4, 1.5}, {5.5, 0.5}, {6, 1}, {7, 1}},
};
const Rhythms kTenseRhythms = {
    {{0, 0.5}, {0.5, 0.5}, {1, 0.5}, {1.5, 1.5}, {3, 1}, {4, 0.5}, {4.5, 0.5}, {5, 3}},
    {{0, 1.5}, {1.5, 0.5}, {2, 0.5}, {2.5, 0.5}, {3, 1}, {4, 2}, {6, 1}, {7, 1}},
};

void RenderDrums(StereoMix& mix, const TrackSpec& spec, const Arrangement& arr, Rng& rng) {
  const double beat = 60.0 / spec.bpm;
  for (int bar = 0; bar < spec.bars; ++bar) {
    double t0 = bar * 4 * beat;
    bool section_start =
        std::find(arr.section_starts.begin(), arr.section_starts.end(), bar) != arr.section_starts.end();
    bool fill = (bar + 1) % 8 == 0;
    switch (spec.mood) {
      case Mood::kHeroic:
        if (section_start) mix.Crash(t0, 0.9, rng);
        for (int b = 0; b < 4; ++b) {
          if (b % 2 == 0)
            mix.Kick(t0 + b * beat, 1.0);
          else
            mix.Snare(t0 + b * beat, 0.9, rng);
          mix.HiHat(t0 + b * beat, 0.8, false, rng);
          mix.HiHat(t0 + (b + 0.5) * beat, 0.5, false, rng);
        }
        mix.Kick(t0 + 2.5 * beat, 0.7);
        if (fill)
          for (int i = 0; i < 4; ++i) mix.Snare(t0 + (3 + i * 0.25) * beat, 0.5 + 0.12 * i, rng);
        break;
      case Mood::kSombre:
        if (bar >= 4) {
          mix.Kick(t0, 0.45);
          mix.HiHat(t0 + 2 * beat, 0.35, true, rng);
          if (bar >= 8) mix.Snare(t0 + 3 * beat, 0.3, rng);
        }
        break;
      case Mood::kDriving:
        if (section_start) mix.Crash(t0, 1.0, rng);
        for (int b = 0; b < 4; ++b) {
          mix.Kick(t0 + b * beat, 1.0);
          if (b % 2 == 1) mix.Snare(t0 + b * beat, 1.0, rng);
          mix.HiHat(t0 + b * beat, 0.6, false, rng);
          mix.HiHat(t0 + (b + 0.5) * beat, 0.7, true, rng);
        }
        mix.Kick(t0 + 3.5 * beat, 0.8);
        if (fill)
          for (int i = 0; i < 8; ++i) mix.Snare(t0 + (2 + i * 0.25) * beat, 0.4 + 0.07 * i, rng);
        break;
      case Mood::kTense:
        if (section_start) mix.Crash(t0, 0.8, rng);
        for (int s = 0; s < 16; ++s) {
          double t = t0 + s * beat / 4;
          if (s % 4 == 0 || s == 3 || s == 11 || s == 14) mix.Kick(t, s % 4 == 0 ? 1.0 : 0.7);
          if (s == 4 || s == 12) mix.Snare(t, 1.0, rng);
          mix.HiHat(t, s % 2 ? 0.35 : 0.6, false, rng);
        }
        if (fill)
          for (int i = 0; i < 6; ++i) mix.Snare(t0 + (2.5 + i * 0.25) * beat, 0.5 + 0.08 * i, rng);
        break;
    }
  }
}

void RenderBassAndHarmony(StereoMix& mix, const TrackSpec& spec, const Arrangement& arr) {
  const double beat = 60.0 / spec.bpm;
  Voice bass;
  Voice pad, arp, stab;
  switch (spec.mood) {
    case Mood::kHeroic:
      bass = Voice{Wave::kTriangle, 0.5, {0.004, 0.08, 0.8, 0.04}, 0.42};
      arp = Voice{Wave::kPulse, 0.125, {0.002, 0.06, 0.35, 0.05}, 0.07};
      pad = Voice{Wave::kSaw, 0.5, {0.08, 0.3, 0.6, 0.3}, 0.045, 0, 5.5, 0.15, 9, 1800};
      break;
    case Mood::kSombre:
      bass = Voice{Wave::kTriangle, 0.5, {0.02, 0.4, 0.7, 0.3}, 0.4};
      arp = Voice{Wave::kSine, 0.5, {0.003, 0.5, 0.0, 0.3}, 0.16};  // music-box piano
      pad = Voice{Wave::kSaw, 0.5, {0.6, 0.5, 0.8, 0.8}, 0.06, 0, 5.5, 0.15, 12, 900};
      break;
    case Mood::kDriving:
      bass = Voice{Wave::kSaw, 0.5, {0.002, 0.06, 0.6, 0.03}, 0.3, 0, 0, 0, 0, 900};
      stab = Voice{Wave::kPulse, 0.5, {0.002, 0.1, 0.3, 0.05}, 0.07, 0, 5.5, 0.15, 12, 2500};
      pad = Voice{Wave::kSaw, 0.5, {0.1, 0.3, 0.5, 0.2}, 0.03, 0, 5.5, 0.15, 9, 1500};
      break;
    case Mood::kTense:
      bass = Voice{Wave::kPulse, 0.25, {0.002, 0.05, 0.6, 0.02}, 0.22, 0, 0, 0, 0, 1100};
      arp = Voice{Wave::kPulse, 0.25, {0.002, 0.05, 0.3, 0.03}, 0.06};
      pad = Voice{Wave::kSaw, 0.5, {0.3, 0.4, 0.7, 0.4}, 0.04, 0, 5.5, 0.15, 14, 1200};
      break;
  }
  for (int bar = 0; bar < spec.bars; ++bar) {
    const Chord& c = arr.chords[size_t(bar)];
    const double t0 = bar * 4 * beat;
    auto tones = c.Tones();
    // Pad: the triad held over the bar, two octaves above the bass.
    for (int i = 0; i < 3; ++i)
      mix.Note(pad, t0, 4 * beat * 0.98, NoteFrequency(tones[size_t(i)] + 24), 1.0, -0.5 + 0.5 * i);
    switch (spec.mood) {
      case Mood::kHeroic:
        for (int e = 0; e < 8; ++e) {
          int n = c.root + 12 + ((e % 2) ? 12 : 0);
          mix.Note(bass, t0 + e * beat / 2, beat / 2 * 0.8, NoteFrequency(n), 1.0, 0);
        }
        for (int s = 0; s < 16; ++s) {
          static const int order[4] = {0, 1, 2, 1};
          int n = tones[size_t(order[s % 4])] + 36 + (s >= 8 ? 12 : 0);
          mix.Note(arp, t0 + s * beat / 4, beat / 4 * 0.7, NoteFrequency(n), 0.8, 0.45);
        }
        break;
      case Mood::kSombre:
        mix.Note(bass, t0, 2 * beat * 0.95, NoteFrequency(c.root + 12), 1.0, 0);
        mix.Note(bass, t0 + 2 * beat, 2 * beat * 0.95, NoteFrequency(c.root + 19), 0.8, 0);
        for (int e = 0; e < 8; ++e) {
          static const int order[8] = {0, 1, 2, 3, 4, 3, 2, 1};
          int idx = order[e];
          int n = idx < 3 ? tones[size_t(idx)] + 36 : tones[size_t(idx - 3)] + 48;
          mix.Note(arp, t0 + e * beat / 2, beat * 1.2, NoteFrequency(n), 0.7 + 0.2 * (e == 0), -0.3 + 0.08 * e);
        }
        break;
      case Mood::kDriving:
        for (int e = 0; e < 8; ++e) {
          static const int pattern[8] = {0, 0, 12, 0, 0, 7, 12, 10};
          mix.Note(bass, t0 + e * beat / 2, beat / 2 * 0.7, NoteFrequency(c.root + 12 + pattern[e]), 1.0, 0);
        }
        for (double off : {0.5, 1.5, 2.5, 3.5})
          for (int i = 0; i < 3; ++i)
            mix.Note(stab, t0 + off * beat, beat * 0.25, NoteFrequency(tones[size_t(i)] + 36), 0.9, 0.4 - 0.4 * i);
        break;
      case Mood::kTense:
        for (int s = 0; s < 16; ++s) {
          int n = c.root + 12 + ((s % 4 == 2) ? 12 : 0);
          mix.Note(bass, t0 + s * beat / 4, beat / 4 * 0.75, NoteFrequency(n), s % 4 == 0 ? 1.0 : 0.75, 0);
        }
        for (int s = 0; s < 16; ++s) {
          static const int order[6] = {0, 1, 2, 3, 2, 1};
          int idx = order[s % 6];
          int n = idx < 3 ? tones[size_t(idx)] + 48 : tones[0] + 60;
          mix.Note(arp, t0 + s * beat / 4, beat / 4 * 0.6, NoteFrequency(n), 0.7, -0.45);
        }
        break;
    }
  }
}

void RenderMelody(StereoMix& mix, const TrackSpec& spec, const Arrangement& arr) {
  const double beat = 60.0 / spec.bpm;
  Voice lead, harmony;
  switch (spec.mood) {
    case Mood::kHeroic:
      lead = Voice{Wave::kPulse, 0.25, {0.006, 0.12, 0.75, 0.08}, 0.17, 0.25, 5.8, 0.12};
      harmony = Voice{Wave::kPulse, 0.5, {0.006, 0.12, 0.6, 0.08}, 0.07, 0.2, 5.8, 0.12};
      break;
    case Mood::kSombre:
      lead = Voice{Wave::kTriangle, 0.5, {0.04, 0.3, 0.7, 0.4}, 0.26, 0.3, 4.5, 0.3};
      harmony = Voice{Wave::kSine, 0.5, {0.05, 0.3, 0.6, 0.4}, 0.08, 0.2, 4.5, 0.3};
      break;
    case Mood::kDriving:
      lead = Voice{Wave::kSaw, 0.5, {0.004, 0.1, 0.7, 0.06}, 0.13, 0.3, 6.0, 0.15, 7, 3200};
      harmony = Voice{Wave::kPulse, 0.25, {0.004, 0.1, 0.6, 0.06}, 0.05, 0.2, 6.0, 0.15};
      break;
    case Mood::kTense:
      lead = Voice{Wave::kPulse, 0.125, {0.004, 0.1, 0.7, 0.06}, 0.15, 0.35, 6.5, 0.1};
      harmony = Voice{Wave::kSaw, 0.5, {0.004, 0.1, 0.5, 0.06}, 0.05, 0.2, 6.5, 0.1, 0, 2000};
      break;
  }
  for (const MelodyNote& n : arr.melody) {
    double start = n.start_beats * beat, len = n.length_beats * beat * 0.92;
    mix.Note(lead, start, len, NoteFrequency(n.pitch), 1.0, 0.1);
    // A third or sixth below on long notes thickens the line.
    if (n.length_beats >= 1.5)
      mix.Note(harmony, start, len, NoteFrequency(n.pitch - (spec.mood == Mood::kSombre ? 12 : 5)), 0.9, -0.2);
  }
}

Arrangement ArrangeTrack(const TrackSpec& spec) {
  switch (spec.mood) {
    case Mood::kHeroic:  // D major: call to adventure
      return Arrange(spec,
                     {{"D", "A", "Bm", "G", "D", "A", "G", "A"},
                      {"Bm", "G", "D", "A", "Bm", "G", "E", "A"},
                      {"G", "A", "F#m", "Bm", "G", "A", "D", "D"},
                      {"A", "A"}},
                     {0, 1, 0, 2, 3}, Key{2, {0, 2, 4, 5, 7, 9, 11}}, kHeroicRhythms, 72, 101, 0);
    case Mood::kSombre:  // A minor: the empty flat
      return Arrange(spec, {{"Am", "F", "C", "G", "Am", "F", "E", "E"}, {"Dm", "Am", "F", "E"}}, {0, 1, 0},
                     Key{9, {0, 2, 3, 5, 7, 8, 10}}, kSombreRhythms, 60, 202, 2);
    case Mood::kDriving:  // E minor: night traffic
      return Arrange(spec,
                     {{"Em", "C", "D", "Em", "Em", "C", "D", "B"},
                      {"Am", "C", "G", "D", "Am", "C", "B", "B"},
                      {"C", "D", "Em", "Em", "C", "D", "B", "B"},
                      {"Em", "D", "C", "B", "Em", "Em"}},
                     {0, 1, 0, 2, 3}, Key{4, {0, 2, 3, 5, 7, 8, 10}}, kDrivingRhythms, 72, 303, 0);
    case Mood::kTense:  // D harmonic minor: the warehouse
      return Arrange(spec,
                     {{"Dm", "Bb", "Gm", "A", "Dm", "Bb", "C", "A"},
                      {"Gm", "Dm", "Bb", "A", "Gm", "Dm", "E", "A"},
                      {"Dm", "C", "Bb", "A", "Dm", "C", "Bb", "A"},
                      {"Bb", "A", "Bb", "A"}},
                     {0, 1, 2, 0, 3}, Key{2, {0, 2, 3, 5, 7, 8, 11}}, kTenseRhythms, 72, 404, 0);
  }
  return {};
}

}  // namespace

const std::vector<TrackSpec>& MusicTracks() {
  static const std::vector<TrackSpec> tracks = {
      {"ChronoTrigger.mp3", "Grimstorm Rising", Mood::kHeroic, 132, 34, 44100, Bitrate::kVariable, 5, true},
      {"FF6.mp3", "Where Is Norah", Mood::kSombre, 76, 20, 32000, Bitrate::kConstant, 96, false},
      {"CandC.mp3", "Neon Streets", Mood::kDriving, 150, 38, 44100, Bitrate::kConstant, 128, false},
      {"castlevania.mp3", "Bay Thirteen", Mood::kTense, 144, 36, 48000, Bitrate::kVariable, 5, false},
  };
  return tracks;
}

StereoMix RenderTrack(const TrackSpec& spec) {
  StereoMix mix(spec.sample_rate, spec.Seconds(), true);
  Arrangement arr = ArrangeTrack(spec);
  Rng rng(uint64_t(spec.bpm) * 131 + uint64_t(spec.bars));
  RenderDrums(mix, spec, arr, rng);
  RenderBassAndHarmony(mix, spec, arr);
  StereoMix lead(spec.sample_rate, spec.Seconds(), true);
  RenderMelody(lead, spec, arr);
  lead.Echo(60.0 / spec.bpm * (spec.mood == Mood::kSombre ? 1.0 : 0.75), 0.3, 0.35);
  for (size_t i = 0; i < mix.frames(); ++i) mix.Add(long(i), lead.left()[i], lead.right()[i]);
  mix.Normalise(0.89);
  return mix;
}

}  // namespace assetgen
