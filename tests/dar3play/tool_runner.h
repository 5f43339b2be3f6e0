// Runs dar3play and the peer tools, and makes test files with them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct RunResult {
  int status = -1;
  std::string out;  // stdout and stderr when asked to merge
  std::string err;
};

// Runs a shell command line; stdout and stderr are collected separately.
RunResult RunCommand(const std::string& command);
// Quotes one argument for the shell.
std::string Quote(const std::string& text);
// dar3play with the given argument text (already quoted where needed).
RunResult RunDar3play(const std::string& arguments);
std::string Dar3playPath();

// A fresh directory, removed at the end of the test.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

struct Wav {
  uint32_t sample_rate = 0;
  uint16_t channels = 0;
  std::vector<int16_t> samples;  // interleaved
};

// Reads a 16-bit PCM WAV file; false when it is not one.
bool ReadWav(const std::filesystem::path& path, Wav* wav);
double Rms(const std::vector<int16_t>& samples);
