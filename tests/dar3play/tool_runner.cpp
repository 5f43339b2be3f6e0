#include "tool_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

}  // namespace

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

RunResult RunCommand(const std::string& command) {
  ScratchDir capture;
  const std::string line = command + " >" + Quote((capture / "out").string()) + " 2>" +
                           Quote((capture / "err").string()) + " </dev/null";
  RunResult result;
  const int raw = std::system(line.c_str());
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadAll(capture / "out");
  result.err = ReadAll(capture / "err");
  return result;
}

std::string Dar3playPath() { return DAR3PLAY_PATH; }

RunResult RunDar3play(const std::string& arguments) {
  return RunCommand("JED_HEADLESS=1 SDL_AUDIODRIVER=dummy " + Quote(Dar3playPath()) + " " + arguments);
}

ScratchDir::ScratchDir() {
  std::random_device seed;
  path_ = std::filesystem::temp_directory_path() /
          ("dar3play-test-" + std::to_string(getpid()) + "-" + std::to_string(seed()));
  std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool ReadWav(const std::filesystem::path& path, Wav* wav) {
  const std::string bytes = ReadAll(path);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") || bytes.compare(8, 4, "WAVE")) return false;
  size_t at = 12;
  bool have_format = false;
  while (at + 8 <= bytes.size()) {
    const uint32_t size = Le32(p + at + 4);
    const size_t body = at + 8;
    if (size > bytes.size() - body) return false;
    if (!bytes.compare(at, 4, "fmt ") && size >= 16) {
      if (Le16(p + body) != 1 || Le16(p + body + 14) != 16) return false;
      wav->channels = Le16(p + body + 2);
      wav->sample_rate = Le32(p + body + 4);
      have_format = true;
    } else if (!bytes.compare(at, 4, "data") && have_format) {
      wav->samples.resize(size / 2);
      for (size_t i = 0; i < wav->samples.size(); ++i) wav->samples[i] = int16_t(Le16(p + body + 2 * i));
      return true;
    }
    at = body + size + (size & 1);
  }
  return false;
}

double Rms(const std::vector<int16_t>& samples) {
  if (samples.empty()) return 0;
  double sum = 0;
  for (int16_t s : samples) sum += double(s) * s;
  return std::sqrt(sum / double(samples.size()));
}
