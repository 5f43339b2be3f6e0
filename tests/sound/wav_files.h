#pragma once
// WAV files for the tests: made by sox, or assembled chunk by chunk when a test needs a broken
// one.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/files.h"

namespace wav_test {

// A folder of this test process's own: ctest runs the cases of one program side by side, and
// two of them writing the same file name would read each other's half-written files. It is
// removed at exit; its name lives in plain storage, which static destruction does not touch.
inline const char* ScratchDir() {
  static char dir[256] = {};
  if (dir[0] == 0) {
    std::snprintf(dir, sizeof dir, "%sjed_sound_%d/", ::testing::TempDir().c_str(), static_cast<int>(getpid()));
    mkdir(dir, 0700);
    std::atexit([] {
      std::error_code ignored;
      if (std::strstr(dir, "/jed_sound_") != nullptr) std::filesystem::remove_all(dir, ignored);
    });
  }
  return dir;
}

inline std::string TempPath(const std::string& name) { return std::string(ScratchDir()) + name; }

inline bool HaveSox() { return std::system("sox --version > /dev/null 2>&1") == 0; }

// Runs sox with `arguments`; true on success.
inline bool Sox(const std::string& arguments) {
  return std::system(("sox " + arguments + " 2> /dev/null").c_str()) == 0;
}

inline std::vector<uint8_t> ReadFile(const std::string& path) { return test_support::ReadFileBytes(path); }

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  test_support::WriteFileBytes(path, bytes.data(), bytes.size());
}

// Little-endian byte assembly.
struct Bytes {
  std::vector<uint8_t> data;
  Bytes& Tag(const char* four) {
    for (int i = 0; i < 4; ++i) data.push_back(static_cast<uint8_t>(four[i]));
    return *this;
  }
  Bytes& U16(uint16_t v) {
    data.push_back(v & 0xFF);
    data.push_back(v >> 8);
    return *this;
  }
  Bytes& U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) data.push_back((v >> (8 * i)) & 0xFF);
    return *this;
  }
  Bytes& Append(const std::vector<uint8_t>& more) {
    data.insert(data.end(), more.begin(), more.end());
    return *this;
  }
};

// A chunk with its id and size (and pad byte when odd).
inline std::vector<uint8_t> Chunk(const char* id, const std::vector<uint8_t>& body) {
  Bytes b;
  b.Tag(id).U32(static_cast<uint32_t>(body.size())).Append(body);
  if (body.size() & 1) b.data.push_back(0);
  return b.data;
}

inline std::vector<uint8_t> FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                                       bool with_extra_size = false) {
  Bytes ordered;
  ordered.U16(tag).U16(channels).U32(rate).U32(rate * channels * bits / 8).U16(channels * bits / 8).U16(bits);
  if (with_extra_size) ordered.U16(0);
  return ordered.data;
}

// RIFF "WAVE" around the given chunks.
inline std::vector<uint8_t> Riff(const std::vector<std::vector<uint8_t>>& chunks, const char* form = "WAVE") {
  Bytes body;
  body.Tag(form);
  for (auto& c : chunks) body.Append(c);
  return Chunk("RIFF", body.data);
}

}  // namespace wav_test
