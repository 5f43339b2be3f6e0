// A player driven through the flat exports alone, in the no-output mode: what it hands to
// MP3_EVENT_WAVE_BUFFER is collected until its run stops. And LAME-encoded tones to feed it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dar3/dar3.h"
#include "tests/support/files.h"

class FlatCapture {
 public:
  // One run at a time: the callback carries no user pointer.
  FlatCapture();
  ~FlatCapture();
  FlatCapture(const FlatCapture&) = delete;
  FlatCapture& operator=(const FlatCapture&) = delete;

  MP3_HANDLE handle() const { return handle_; }
  // Starts a run (Mp3_Play without `start`) and returns its samples, interleaved stereo, once
  // it stopped; empty when it does not start or stop within 30 s.
  std::vector<int16_t> Run(const std::function<int(MP3_HANDLE)>& start = {});
  std::string Error() const;

 private:
  MP3_HANDLE handle_;
};

// The whole decode of a file, gapless or not; empty (with the player's error) when it fails.
std::vector<int16_t> DecodeFileFlat(const std::string& path, bool gapless, std::string* error = nullptr);

// A two-tone stereo signal of `seconds` at `rate`, encoded by lame with `options` into
// `dir`/`name`; empty when lame fails. *input: the samples that went in, when asked for.
std::string EncodeTone(const test_support::ScratchDir& dir, const std::string& name, double seconds, int rate,
                       const std::string& options, std::vector<int16_t>* input = nullptr);
