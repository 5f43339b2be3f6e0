#pragma once
// Records a run as the key script jedreplay reads: the random seed, then every frame's keys as
// ranges "first-last key...", with the close request and focus losses where they happened, and
// the frames F12 screenshots were taken of as comments. Keys are sampled once per frame while
// recording, so the file holds exactly what the game read.
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/desktop.h"

class RunRecorder {
 public:
  RunRecorder() = default;
  RunRecorder(const RunRecorder&) = delete;
  RunRecorder& operator=(const RunRecorder&) = delete;
  ~RunRecorder();

  // Creates the file and starts sampling keys per frame. False, with the reason, when the file
  // cannot be created.
  bool Start(const std::string& path, std::string* error);
  // Writes the last range and closes the file; false when something could not be written.
  bool Finish();
  uint64_t frames() const { return frames_; }

 private:
  void OnPresent(uint64_t frame_number);
  void WriteRange();

  FILE* file_ = nullptr;
  uint64_t frames_ = 0;
  uint64_t range_first_ = 1;
  platform::FrameInput range_input_;
  bool close_written_ = false;
};
