#pragma once
// WWaveOut: one wave-output device of the platform audio engine with a fixed ring of equally
// sized PCM buffers, each with its own header whose user value is its index.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio.h"

constexpr uint32_t WAVE_FORMAT_PCM = 1;
constexpr uint32_t WOM_CLOSE = platform::kWaveOutCloseNotice;  // 956
constexpr uint32_t WOM_DONE = platform::kWaveOutDoneNotice;    // 957

// Called on the engine's notice thread with a copy of the finished header for WOM_DONE.
using WaveNoticeFunc = void (*)(uint32_t message, uintptr_t instance, platform::WaveHeader* header);

class WWaveOut {
 public:
  WWaveOut() = default;
  ~WWaveOut();
  WWaveOut(const WWaveOut&) = delete;
  WWaveOut& operator=(const WWaveOut&) = delete;

  int Initialize(uint32_t format_tag, uint32_t channels, uint32_t samples_per_sec, uint32_t bits_per_sample,
                 uint32_t buffer_count, uint32_t buffer_ms);
  int Uninitialize();
  int OpenAudioOutput(uint32_t device_id, WaveNoticeFunc callback, uintptr_t instance, uint32_t flags);
  int PlayBuffer(uint32_t index);
  int PlayBuffer(char* data, uint32_t bytes, uint32_t index);
  int UnprepareBuffer(uint32_t index);
  int PauseOutput();
  int RestartOutput();
  int ResetOutput();
  int Close();
  uint32_t GetOutputPosition(int mode);  // 0 samples, 1 ms, 2 s, 3 bytes
  char* GetBufferData(uint32_t index);
  void SetBufferLength(uint32_t index, uint32_t bytes);
  uint32_t GetBufferLength(uint32_t index) const;
  bool IsBufferDone(uint32_t index) const;
  void MarkBufferDone(uint32_t index);
  uint32_t GetBufferCount() const { return buffer_count_; }
  uint32_t GetBufferSize() const { return buffer_size_; }
  uint32_t GetBufferDuration() const { return buffer_duration_; }
  uint32_t SetOutputVolume(uint32_t left, uint32_t right);
  uint32_t GetOutputVolume(uint32_t* left, uint32_t* right);
  int GetInfo();
  uint32_t GetDeviceCount() const { return device_count_; }
  const platform::WaveOutCaps* GetDeviceCaps() const { return caps_.get(); }
  bool IsOpen();
  const char* GetError() const { return error_; }

 private:
  static void DeviceNotice(platform::WaveOut* device, uint32_t message, uintptr_t instance, uintptr_t param1,
                           uintptr_t param2);
  void SetError(const char* message);
  int QueueLocked(uint32_t index);  // device_lock_ held, device open
  bool ValidIndex(uint32_t index) const { return index < buffer_count_; }

  std::unique_ptr<platform::WaveHeader[]> headers_;
  std::vector<std::unique_ptr<char[]>> buffers_;
  // Done marks mirror the headers' done bits for the threads that wait on them.
  std::unique_ptr<std::atomic<uint32_t>[]> done_;
  platform::PcmFormat format_;
  uint32_t format_tag_ = 0;
  uint32_t buffer_count_ = 0;
  uint32_t buffer_duration_ = 0;
  uint32_t sample_rate_ = 0;
  // Guards the device handle: control calls from the caller's thread meet open and close on
  // the decoding thread.
  std::mutex device_lock_;
  platform::WaveOut* device_ = nullptr;
  std::unique_ptr<platform::WaveOutCaps[]> caps_;
  uint32_t device_count_ = 0;
  uint32_t buffer_size_ = 0;
  char error_[520] = {};
  std::atomic<WaveNoticeFunc> callback_{nullptr};
  std::atomic<uintptr_t> instance_{0};
};
