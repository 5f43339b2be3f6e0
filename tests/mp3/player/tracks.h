#pragma once
// Two short tracks for the threaded player tests, made of silent MPEG-1 Layer III frames with
// an ID3v1 title each, of different rates and lengths: every getter can tell which is open.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct Track {
  std::string path;
  std::string title;
  int sample_rate = 0;
};

// `rate_index` 0: 44100 Hz, 2: 32000 Hz; 128 kbit/s, stereo.
inline Track MakeTrack(const std::string& name, int rate_index, int frames, const std::string& title) {
  static const int kRates[] = {44100, 48000, 32000};
  const int rate = kRates[rate_index];
  const size_t length = size_t(144 * 128000 / rate);
  std::vector<uint8_t> data;
  for (int i = 0; i < frames; ++i) {
    std::vector<uint8_t> frame(length, 0);
    frame[0] = 0xFF;
    frame[1] = 0xFB;
    frame[2] = uint8_t((9 << 4) | (rate_index << 2));  // 128 kbit/s
    data.insert(data.end(), frame.begin(), frame.end());
  }
  std::vector<uint8_t> tag(128, 0);
  tag[0] = 'T', tag[1] = 'A', tag[2] = 'G';
  for (size_t i = 0; i < title.size() && i < 30; ++i) tag[3 + i] = uint8_t(title[i]);
  data.insert(data.end(), tag.begin(), tag.end());
  // One file per process: another test program may have the same name mapped meanwhile.
  Track track{std::string(::testing::TempDir()) + std::to_string(getpid()) + "_" + name, title, rate};
  if (FILE* file = std::fopen(track.path.c_str(), "wb")) {
    std::fwrite(data.data(), 1, data.size(), file);
    std::fclose(file);
  }
  return track;
}
