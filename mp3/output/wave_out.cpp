#include "mp3/output/wave_out.h"

#include <atomic>
#include <cstring>
#include <new>

using platform::MmResult;

WWaveOut::~WWaveOut() {
  Close();
  Uninitialize();
}

void WWaveOut::SetError(const char* message) {
  std::strncpy(error_, message, sizeof error_ - 1);
  error_[sizeof error_ - 1] = 0;
}

int WWaveOut::Initialize(uint32_t format_tag, uint32_t channels, uint32_t samples_per_sec, uint32_t bits_per_sample,
                         uint32_t buffer_count, uint32_t buffer_ms) {
  if (headers_) {
    SetError("WWaveOut::Initialize->Already initialized. Uninitialize first.");
    return 0;
  }
  format_tag_ = format_tag;
  format_.rate = samples_per_sec;
  format_.channels = static_cast<uint16_t>(channels);
  format_.bits = static_cast<uint16_t>(bits_per_sample);
  const uint64_t bytes_per_sec = uint64_t(samples_per_sec) * channels * bits_per_sample / 8;

  // A ring beyond this (about 25 minutes of CD audio) is a bad length, not a request to honour:
  // the zero-filled buffers would take the machine's memory.
  const uint64_t size = bytes_per_sec * buffer_ms / 1000;
  constexpr uint64_t kMaxRingBytes = uint64_t{256} << 20;
  if (uint64_t(buffer_count) * (size ? size : 1) > kMaxRingBytes) {
    SetError("WWave::Initialize->Can't allocate memory for output data buffer");
    return 0;
  }
  headers_.reset(new (std::nothrow) platform::WaveHeader[buffer_count ? buffer_count : 1]);
  done_.reset(new (std::nothrow) std::atomic<uint32_t>[buffer_count ? buffer_count : 1]);
  if (!headers_ || !done_) {
    headers_.reset();
    done_.reset();
    SetError("WWave::Initialize->Can't allocate memory for WAVEHDR structure");
    return 0;
  }
  buffers_.clear();
  for (uint32_t i = 0; i < buffer_count; ++i) {
    std::unique_ptr<char[]> buffer(size <= 0x7FFFFFFF ? new (std::nothrow) char[size ? size : 1]() : nullptr);
    if (!buffer) {
      buffers_.clear();
      headers_.reset();
      done_.reset();
      SetError("WWave::Initialize->Can't allocate memory for output data buffer");
      return 0;
    }
    headers_[i].data = buffer.get();
    headers_[i].user = i;
    done_[i].store(1);  // a fresh buffer is free
    buffers_.push_back(std::move(buffer));
  }
  buffer_size_ = static_cast<uint32_t>(size);
  buffer_count_ = buffer_count;
  buffer_duration_ = buffer_ms;
  sample_rate_ = samples_per_sec;
  return 1;
}

int WWaveOut::Uninitialize() {
  buffers_.clear();
  headers_.reset();
  done_.reset();
  buffer_count_ = 0;
  buffer_size_ = 0;
  return 1;
}

void WWaveOut::DeviceNotice(platform::WaveOut*, uint32_t message, uintptr_t instance, uintptr_t param1, uintptr_t) {
  auto* self = reinterpret_cast<WWaveOut*>(instance);  // NOLINT(performance-no-int-to-ptr): ours, passed back
  auto* header = reinterpret_cast<platform::WaveHeader*>(param1);  // NOLINT(performance-no-int-to-ptr): as above
  // Once marked done the decoding thread refills the header, so the callback gets a copy.
  platform::WaveHeader finished;
  if (header) finished = *header;
  if (message == WOM_DONE && header && self->ValidIndex(static_cast<uint32_t>(finished.user)))
    self->done_[finished.user].store(1, std::memory_order_release);
  if (WaveNoticeFunc callback = self->callback_.load())
    callback(message, self->instance_.load(), header ? &finished : nullptr);
}

int WWaveOut::OpenAudioOutput(uint32_t device_id, WaveNoticeFunc callback, uintptr_t instance,
                              uint32_t /*flags: notices always go to a function here*/) {
  std::lock_guard<std::mutex> guard(device_lock_);
  if (device_) {
    SetError("WWaveOut::OpenAudioOutput->Specified resource is already allocated");
    return 0;
  }
  callback_.store(callback);
  instance_.store(instance);
  MmResult result = format_tag_ == WAVE_FORMAT_PCM
                        ? platform::WaveOutOpen(&device_, device_id, format_, &WWaveOut::DeviceNotice,
                                                reinterpret_cast<uintptr_t>(this))
                        : platform::kWaveBadFormat;
  if (result == platform::kMmNoError) return 1;
  device_ = nullptr;
  switch (result) {
    case 2: SetError("WWaveOut::OpenAudioOutput->Specified device identifier is out of range"); break;
    case 4: SetError("WWaveOut::OpenAudioOutput->Specified resource is already allocated"); break;
    case 6: SetError("WWaveOut::OpenAudioOutput->No device driver is present"); break;
    case 7: SetError("WWaveOut::OpenAudioOutput->Unable to allocate or lock memory"); break;
    case 32: SetError("WWaveOut::OpenAudioOutput->Attempted to open with an unsupported waveform-audio format"); break;
    case 35:
      SetError(
          "WWaveOut::OpenAudioOutput->The device is synchronous but waveOutOpen was called "
          "without using the WAVE_ALLOWSYNC flag");
      break;
    default: SetError("WWaveOut::OpenAudioOutput->Unknown error"); break;
  }
  return 0;
}

int WWaveOut::QueueLocked(uint32_t index) {
  platform::WaveHeader& header = headers_[index];
  header.flags = 0;
  header.loops = 0;
  done_[index].store(0);
  if (platform::WaveOutPrepareHeader(device_, &header) != platform::kMmNoError) {
    SetError("WWaveOut::PlayBuffer->Can't prepare data");
    return 0;
  }
  if (platform::WaveOutWrite(device_, &header) != platform::kMmNoError) {
    SetError("WWaveOut::PlayBuffer->Can't write data");
    return 0;
  }
  return 1;
}

int WWaveOut::PlayBuffer(uint32_t index) {
  std::lock_guard<std::mutex> guard(device_lock_);
  if (!device_ || !ValidIndex(index)) return 0;
  if (headers_[index].length > buffer_size_) headers_[index].length = buffer_size_;
  return QueueLocked(index);
}

int WWaveOut::PlayBuffer(char* data, uint32_t bytes, uint32_t index) {
  std::lock_guard<std::mutex> guard(device_lock_);
  if (!device_ || !ValidIndex(index) || !data) return 0;
  headers_[index].data = data;
  headers_[index].length = bytes;
  return QueueLocked(index);
}

int WWaveOut::UnprepareBuffer(uint32_t index) {
  std::lock_guard<std::mutex> guard(device_lock_);
  if (!device_ || !ValidIndex(index)) return 0;
  return platform::WaveOutUnprepareHeader(device_, &headers_[index]) == platform::kMmNoError;
}

int WWaveOut::PauseOutput() {
  std::lock_guard<std::mutex> guard(device_lock_);
  if (!device_) return 0;
  platform::WaveOutPause(device_);
  return 1;
}

int WWaveOut::RestartOutput() {
  std::lock_guard<std::mutex> guard(device_lock_);
  if (!device_) return 0;
  platform::WaveOutRestart(device_);
  return 1;
}

int WWaveOut::ResetOutput() {
  std::lock_guard<std::mutex> guard(device_lock_);
  if (!device_) return 0;
  platform::WaveOutReset(device_);
  return 1;
}

int WWaveOut::Close() {
  std::lock_guard<std::mutex> guard(device_lock_);
  if (!device_) return 0;
  platform::WaveOutReset(device_);
  // Reset returned every header; unprepare them so the close does not find any still queued.
  for (uint32_t i = 0; i < buffer_count_; ++i) platform::WaveOutUnprepareHeader(device_, &headers_[i]);
  const MmResult result = platform::WaveOutClose(device_);
  if (result == platform::kMmNoError) {
    device_ = nullptr;
    return 1;
  }
  switch (result) {
    case 5: SetError("WWaveOut::Close->Specified device handle is invalid"); break;
    case 6: SetError("WWaveOut::Close->No device driver is present"); break;
    case 7: SetError("WWaveOut::Close->Unable to allocate or lock memory"); break;
    case 33: SetError("WWaveOut::Close->There are still buffers in the queue"); break;
    default: SetError("WWaveOut::Close->Unknown error"); break;
  }
  return 0;
}

bool WWaveOut::IsOpen() {
  std::lock_guard<std::mutex> guard(device_lock_);
  return device_ != nullptr;
}

uint32_t WWaveOut::GetOutputPosition(int mode) {
  std::lock_guard<std::mutex> guard(device_lock_);
  if (!device_) return 0;
  uint64_t value = 0;
  switch (mode) {
    case 0:
    case 1:
    case 2:
      if (platform::WaveOutGetPositionSamples(device_, &value) != platform::kMmNoError) return 0;
      if (mode == 1) value = sample_rate_ ? value * 1000 / sample_rate_ : 0;
      if (mode == 2) value = sample_rate_ ? value / sample_rate_ : 0;
      return static_cast<uint32_t>(value);
    case 3:
      if (platform::WaveOutGetPositionBytes(device_, &value) != platform::kMmNoError) return 0;
      return static_cast<uint32_t>(value);
    default: break;  // an unknown mode reads 0
  }
  return 0;
}

char* WWaveOut::GetBufferData(uint32_t index) { return ValidIndex(index) ? headers_[index].data : nullptr; }

// The spectrum and VU readers take the length from the caller's thread while the decoding
// thread refills the buffer, so the field is accessed atomically.
void WWaveOut::SetBufferLength(uint32_t index, uint32_t bytes) {
  if (ValidIndex(index)) std::atomic_ref<uint32_t>(headers_[index].length).store(bytes, std::memory_order_relaxed);
}

uint32_t WWaveOut::GetBufferLength(uint32_t index) const {
  return ValidIndex(index) ? std::atomic_ref<uint32_t>(headers_[index].length).load(std::memory_order_relaxed) : 0;
}

bool WWaveOut::IsBufferDone(uint32_t index) const {
  return ValidIndex(index) && done_[index].load(std::memory_order_acquire) != 0;
}

void WWaveOut::MarkBufferDone(uint32_t index) {
  if (ValidIndex(index)) done_[index].store(1, std::memory_order_release);
}

uint32_t WWaveOut::SetOutputVolume(uint32_t left, uint32_t right) {
  std::lock_guard<std::mutex> guard(device_lock_);
  return platform::WaveOutSetVolume(device_, ((right & 0xFFFF) << 16) | (left & 0xFFFF));
}

uint32_t WWaveOut::GetOutputVolume(uint32_t* left, uint32_t* right) {
  std::lock_guard<std::mutex> guard(device_lock_);
  uint32_t volume = 0;
  const uint32_t result = platform::WaveOutGetVolume(device_, &volume);
  if (left) *left = volume & 0xFFFF;
  if (right) *right = volume >> 16;
  return result;
}

int WWaveOut::GetInfo() {
  const uint32_t count = platform::WaveOutGetNumDevs();
  if (count == 0) {
    SetError("WWaveOut::GetInfo->No wave out devices are presen");
    return 0;
  }
  caps_.reset(new (std::nothrow) platform::WaveOutCaps[count]);
  if (!caps_) {
    device_count_ = 0;
    return 0;
  }
  for (uint32_t i = 0; i < count; ++i) platform::WaveOutGetDevCaps(i, &caps_[i]);
  device_count_ = count;
  return 1;
}
