#include "tools/dar3play/pcm_output.h"

#include <algorithm>
#include <cstring>

#include "mp3/effects/block_effects.h"

namespace {

// About 23 ms a block: the position and the meters move in steps no coarser than that.
constexpr uint32_t kBlockFrames = 1024;
constexpr uint32_t kFrameBytes = 4;  // 16-bit stereo

}  // namespace

PcmOutput::PcmOutput(int buffer_ms) : buffer_ms_(uint32_t(std::max(buffer_ms, 100))) {}

PcmOutput::~PcmOutput() { Close(); }

bool PcmOutput::is_open() const {
  std::lock_guard<std::mutex> hold(lock_);
  return device_ != nullptr;
}

bool PcmOutput::Open(uint32_t rate, uint32_t device_id, std::string* why) {
  std::unique_lock<std::mutex> hold(lock_);
  if (device_ && rate == rate_ && device_id == device_id_) return true;
  CloseLocked(hold);
  platform::PcmFormat format;
  format.rate = rate;
  format.channels = 2;
  format.bits = 16;
  platform::WaveOut* device = nullptr;
  // Notices may arrive before WaveOutOpen returns; they find the lock taken and wait.
  const platform::MmResult result =
      platform::WaveOutOpen(&device, device_id, format, &PcmOutput::Notice, reinterpret_cast<uintptr_t>(this));
  if (result != platform::kMmNoError) {
    *why = result == platform::kWaveBadFormat ? "the sound device can't play " + std::to_string(rate) + " Hz"
                                              : "can't open the sound device";
    return false;
  }
  device_ = device;
  device_id_ = device_id;
  rate_ = rate;
  capacity_frames_ = uint64_t(rate) * buffer_ms_ / 1000;
  const size_t count = size_t(capacity_frames_ / kBlockFrames + 2);
  blocks_.clear();
  for (size_t i = 0; i < count; ++i) {
    auto block = std::make_unique<Block>();
    block->samples.resize(size_t(kBlockFrames) * 2);
    block->header.user = i;
    blocks_.push_back(std::move(block));
  }
  next_block_ = playing_block_ = 0;
  written_ = heard_ = position_base_ = 0;
  cancelled_ = false;
  if (paused_) platform::WaveOutPause(device_);
  ++opens_;
  return true;
}

void PcmOutput::Close() {
  std::unique_lock<std::mutex> hold(lock_);
  CloseLocked(hold);
}

void PcmOutput::CloseLocked(std::unique_lock<std::mutex>& hold) {
  if (!device_) return;
  platform::WaveOut* device = device_;
  cancelled_ = true;
  space_.notify_all();
  // The reset hands every queued block back through Notice, which takes the lock.
  hold.unlock();
  platform::WaveOutReset(device);
  for (auto& block : blocks_) platform::WaveOutUnprepareHeader(device, &block->header);
  platform::WaveOutClose(device);
  hold.lock();
  device_ = nullptr;
}

void PcmOutput::Notice(platform::WaveOut*, uint32_t message, uintptr_t instance, uintptr_t param1, uintptr_t) {
  if (message != platform::kWaveOutDoneNotice || !param1) return;
  // The engine hands back the two addresses it was given as integers.
  auto* self = reinterpret_cast<PcmOutput*>(instance);          // NOLINT(performance-no-int-to-ptr)
  self->Done(reinterpret_cast<platform::WaveHeader*>(param1));  // NOLINT(performance-no-int-to-ptr)
}

void PcmOutput::Done(platform::WaveHeader* header) {
  std::lock_guard<std::mutex> hold(lock_);
  if (header->user >= blocks_.size()) return;
  Block& block = *blocks_[header->user];
  if (&block.header != header || !block.queued) return;
  block.queued = false;
  heard_ += block.frames;
  playing_block_ = (header->user + 1) % blocks_.size();
  space_.notify_all();
}

bool PcmOutput::Write(const int16_t* samples, size_t frames) {
  while (frames > 0) {
    std::unique_lock<std::mutex> hold(lock_);
    const uint32_t chunk = uint32_t(std::min<size_t>(frames, kBlockFrames));
    space_.wait(hold, [&] {
      return cancelled_ || !device_ ||
             (!blocks_[next_block_]->queued &&
              written_ - heard_ + chunk <= std::max<uint64_t>(capacity_frames_, chunk));
    });
    if (cancelled_ || !device_) return false;
    Block& block = *blocks_[next_block_];
    std::memcpy(block.samples.data(), samples, size_t(chunk) * kFrameBytes);
    block.frames = chunk;
    block.header.data = reinterpret_cast<char*>(block.samples.data());
    block.header.length = chunk * kFrameBytes;
    block.header.flags = 0;
    block.queued = true;
    written_ += chunk;
    next_block_ = (next_block_ + 1) % blocks_.size();
    // Done notices come on the engine's own thread, so queuing under the lock is safe.
    if (platform::WaveOutPrepareHeader(device_, &block.header) != platform::kMmNoError ||
        platform::WaveOutWrite(device_, &block.header) != platform::kMmNoError) {
      block.queued = false;
      written_ -= chunk;
      return false;
    }
    samples += size_t(chunk) * 2;
    frames -= chunk;
  }
  return true;
}

void PcmOutput::Cancel() {
  std::lock_guard<std::mutex> hold(lock_);
  cancelled_ = true;
  space_.notify_all();
}

void PcmOutput::Flush() {
  std::unique_lock<std::mutex> hold(lock_);
  if (device_) {
    platform::WaveOut* device = device_;
    hold.unlock();
    platform::WaveOutReset(device);
    hold.lock();
    // Reset restarts the device's count; the ring starts again after the last block handed back.
    position_base_ = heard_;
    next_block_ = playing_block_;
  }
  cancelled_ = false;
}

void PcmOutput::Pause() {
  std::lock_guard<std::mutex> hold(lock_);
  paused_ = true;
  if (device_) platform::WaveOutPause(device_);
}

void PcmOutput::Resume() {
  std::lock_guard<std::mutex> hold(lock_);
  paused_ = false;
  if (device_) platform::WaveOutRestart(device_);
}

uint64_t PcmOutput::written_frames() const {
  std::lock_guard<std::mutex> hold(lock_);
  return written_;
}

uint64_t PcmOutput::queued_frames() const {
  std::lock_guard<std::mutex> hold(lock_);
  return written_ - heard_;
}

uint32_t PcmOutput::QueuedMs() const {
  std::lock_guard<std::mutex> hold(lock_);
  return rate_ ? uint32_t((written_ - heard_) * 1000 / rate_) : 0;
}

void PcmOutput::SoundingNow(size_t frames, std::vector<int16_t>* stereo) const {
  stereo->assign(frames * 2, 0);
  std::lock_guard<std::mutex> hold(lock_);
  if (!device_ || written_ == heard_) return;
  uint64_t position = 0;
  platform::WaveOutGetPositionSamples(device_, &position);
  // Frames of the oldest queued block already heard.
  uint64_t skip = position + position_base_ > heard_ ? position + position_base_ - heard_ : 0;
  size_t out = 0;
  for (size_t i = 0, at = playing_block_; i < blocks_.size() && out < frames; ++i, at = (at + 1) % blocks_.size()) {
    const Block& block = *blocks_[at];
    if (!block.queued) break;
    const uint64_t from = std::min<uint64_t>(skip, block.frames);
    skip = 0;
    const size_t take = std::min<size_t>(size_t(block.frames - from), frames - out);
    std::copy_n(block.samples.begin() + long(from * 2), take * 2, stereo->begin() + long(out * 2));
    out += take;
  }
}

void PcmOutput::Vu(uint32_t* left, uint32_t* right) const {
  std::vector<int16_t> now;
  SoundingNow(kBlockFrames, &now);
  VuFromBlock(reinterpret_cast<const char*>(now.data()), uint32_t(now.size() * sizeof(int16_t)), 0, 2, left, right);
}
