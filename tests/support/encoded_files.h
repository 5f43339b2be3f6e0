// MP3 files made once per test program with sox, lame and the id3v2/mid3v2 taggers.
#pragma once

#include <filesystem>
#include <string>

struct EncodedFiles {
  std::filesystem::path dir;
  std::filesystem::path cbr;         // 6 s stereo, 128 kbit/s, ID3v1 + ID3v2 from id3v2
  std::filesystem::path vbr;         // the same sound, lame -V 2, UTF-8 ID3v2.4 from mid3v2
  std::filesystem::path mono;        // 6 s mono, MPEG-2 at 22050 Hz, 64 kbit/s, untagged
  std::filesystem::path long_sweep;  // 40 s stereo sweep, for the interactive tests
  std::filesystem::path garbage;     // random bytes named .mp3
  double source_seconds = 6.0;
};

// Built on first use; the tests are skipped by the caller when building failed.
const EncodedFiles* GetEncodedFiles(std::string* why_not);
