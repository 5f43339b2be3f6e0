#pragma once
// The benchmarks' music: stereo 44.1 kHz PCM from a sample function, encoded at 128 kbit/s CBR
// by Debian's lame, and kept in /tmp (one file per name and length) for the next run.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace bench {

// `sample(i, frame)` writes the i-th stereo frame. Returns the MP3's path, empty on failure.
inline std::string LameTrack(const std::string& name, int seconds, const std::function<void(int, int16_t*)>& sample) {
  std::string mp3 = "/tmp/" + name + "_" + std::to_string(seconds) + ".mp3";
  if (access(mp3.c_str(), R_OK) == 0) return mp3;
  const std::string raw = "/tmp/" + name + ".raw";
  FILE* f = std::fopen(raw.c_str(), "wb");
  if (!f) return "";
  for (int i = 0; i < seconds * 44100; ++i) {
    int16_t frame[2] = {0, 0};
    sample(i, frame);
    std::fwrite(frame, sizeof frame, 1, f);
  }
  std::fclose(f);
  const std::string command =
      "lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian -b 128 " + raw + " " + mp3;
  const bool encoded = std::system(command.c_str()) == 0;
  std::remove(raw.c_str());
  return encoded ? mp3 : "";
}

}  // namespace bench
