// dar3play's own sound output: one wave-output device of the audio engine, kept open from
// track to track while the sample rate stays the same, so consecutive tracks follow each other
// sample for sample. The players decode without a device and hand their blocks to Write.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio.h"

class PcmOutput {
 public:
  // buffer_ms: how much sound may wait in the device, as the player's own output would hold.
  explicit PcmOutput(int buffer_ms);
  ~PcmOutput();
  PcmOutput(const PcmOutput&) = delete;
  PcmOutput& operator=(const PcmOutput&) = delete;

  // Opens the device for 16-bit stereo at `rate`, or keeps it when it is open so already. Another
  // rate or device closes it first (what is still queued is dropped: Drained() tells when the
  // last track has been heard). False with the reason when the device refuses.
  bool Open(uint32_t rate, uint32_t device_id, std::string* why);
  void Close();
  bool is_open() const;
  uint32_t rate() const { return rate_; }
  // How many times a device was opened: once for a whole list of one format.
  int opens() const { return opens_; }

  // Queues whole stereo frames, waiting while the buffer is full. False once Cancel was called
  // (until Flush), or when the device is gone.
  bool Write(const int16_t* samples, size_t frames);
  // Makes waiting and later writes give up: before stopping the player that writes.
  void Cancel();
  // Drops what is queued and accepts writes again.
  void Flush();
  void Pause();
  void Resume();

  // Frames written since the device was opened, and of those, frames not yet heard.
  uint64_t written_frames() const;
  uint64_t queued_frames() const;
  bool Drained() const { return queued_frames() == 0; }
  // Milliseconds of sound still queued.
  uint32_t QueuedMs() const;

  // The levels (0..100) of what sounds now, as the library's VU meter measures them.
  void Vu(uint32_t* left, uint32_t* right) const;
  // The stereo frames sounding now and after, up to `frames` of them, zeros past the queue.
  void SoundingNow(size_t frames, std::vector<int16_t>* stereo) const;

 private:
  struct Block {
    platform::WaveHeader header;
    std::vector<int16_t> samples;
    uint32_t frames = 0;
    bool queued = false;
  };
  static void Notice(platform::WaveOut* device, uint32_t message, uintptr_t instance, uintptr_t param1, uintptr_t);
  void Done(platform::WaveHeader* header);
  void CloseLocked(std::unique_lock<std::mutex>& hold);

  const uint32_t buffer_ms_;
  mutable std::mutex lock_;
  std::condition_variable space_;
  platform::WaveOut* device_ = nullptr;
  uint32_t device_id_ = platform::kWaveMapper;
  uint32_t rate_ = 0;
  uint64_t capacity_frames_ = 0;
  std::vector<std::unique_ptr<Block>> blocks_;
  size_t next_block_ = 0;     // ring order: blocks are queued and heard in turn
  size_t playing_block_ = 0;  // the oldest queued block
  uint64_t written_ = 0;
  uint64_t heard_ = 0;          // frames whose blocks came back done
  uint64_t position_base_ = 0;  // heard_ when the device's own position was last 0
  bool cancelled_ = false;
  bool paused_ = false;
  int opens_ = 0;
};
