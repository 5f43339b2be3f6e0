#pragma once
// Two short tracks for the threaded player tests, made of silent MPEG-1 Layer III frames with
// an ID3v1 title each, of different rates and lengths: every getter can tell which is open.
#include <string>

#include "tests/mp3/player/mp3_test_support.h"

struct Track {
  std::string path;
  std::string title;
  int sample_rate = 0;
};

// `rate_index` 0: 44100 Hz, 2: 32000 Hz; 128 kbit/s, stereo.
inline Track MakeTrack(const std::string& name, int rate_index, int frames, const std::string& title) {
  static const int kRates[] = {44100, 48000, 32000};
  Bytes tag(128, 0);
  tag[0] = 'T', tag[1] = 'A', tag[2] = 'G';
  for (size_t i = 0; i < title.size() && i < 30; ++i) tag[3 + i] = uint8_t(title[i]);
  const Bytes data = Concat({Repeat(SilentFrame(128, rate_index), frames), tag});
  return Track{WriteTemp(name, data), title, kRates[rate_index]};
}
