// Static sound buffers: PCM in memory, played once or looping, resampled to the output rate.
#include <algorithm>
#include <cstring>

#include "platform/audio/audio_engine.h"
#include "platform/audio/audio_pcm.h"

namespace platform {
namespace {

using audio::Engine;

// Runs `action` with the mix lock held when `buffer` is a live handle; false otherwise.
template <typename Action>
bool WithBuffer(SoundBuffer* buffer, Action action) {
  if (!buffer) return false;
  Engine& engine = Engine::Instance();
  engine.EnsureStarted();
  std::lock_guard<std::mutex> guard(engine.mix_lock);
  if (std::find(engine.buffers.begin(), engine.buffers.end(), buffer) == engine.buffers.end()) return false;
  return action(*buffer);
}

uint32_t BytesOf(const SoundBuffer& buffer) { return static_cast<uint32_t>(buffer.samples->size()); }

void UpdateGains(SoundBuffer& buffer) {
  float gain = audio::AttenuationToGain(buffer.volume);
  // Pan attenuates the far side only, in the same decibel scale.
  buffer.left_gain = gain * audio::AttenuationToGain(buffer.pan > 0 ? -buffer.pan : 0);
  buffer.right_gain = gain * audio::AttenuationToGain(buffer.pan < 0 ? buffer.pan : 0);
}

}  // namespace

namespace audio {

void MixSoundBuffer(SoundBuffer& buffer, float* stereo, size_t frames) {
  const uint8_t* data = buffer.samples->data();
  const uint32_t block = PcmBlockAlign(buffer.format);
  const uint64_t count = buffer.frames;
  const uint64_t end = count << 32;
  const uint64_t step = ResampleStep(buffer.frequency ? buffer.frequency : buffer.format.rate);
  for (size_t i = 0; i < frames; ++i) {
    if (buffer.position >= end) {
      if (!buffer.looping) {
        buffer.playing = false;
        buffer.position = 0;
        return;
      }
      buffer.position %= end;
    }
    const uint64_t index = buffer.position >> 32;
    float left, right;
    ReadFrame(data + index * block, buffer.format, &left, &right);
    const float fraction = FixedFraction(buffer.position);
    if (fraction != 0.0f) {
      uint64_t next = index + 1 < count ? index + 1 : (buffer.looping ? 0 : index);
      float next_left, next_right;
      ReadFrame(data + next * block, buffer.format, &next_left, &next_right);
      left += (next_left - left) * fraction;
      right += (next_right - right) * fraction;
    }
    stereo[2 * i] += left * buffer.left_gain;
    stereo[2 * i + 1] += right * buffer.right_gain;
    buffer.position += step;
  }
  // A one-shot that ended exactly at this block's end stops now, not a block later; a loop
  // wraps now, so its cursor never reads as the buffer's size.
  if (buffer.position >= end) {
    if (buffer.looping) {
      buffer.position %= end;
    } else {
      buffer.playing = false;
      buffer.position = 0;
    }
  }
}

void DestroyAllSoundBuffers(Engine& engine) {
  for (SoundBuffer* buffer : engine.buffers) delete buffer;
  engine.buffers.clear();
}

}  // namespace audio

SoundBuffer* CreateSoundBuffer(const PcmFormat& format, uint32_t bytes) {
  if (!IsValidPcmFormat(format) || bytes < PcmBlockAlign(format) || bytes > kSoundBufferMaxBytes) return nullptr;
  auto* buffer = new SoundBuffer();
  buffer->format = format;
  const uint8_t silence = format.bits == 8 ? 0x80 : 0x00;
  buffer->samples = std::make_shared<std::vector<uint8_t>>(bytes, silence);
  buffer->frames = bytes / PcmBlockAlign(format);
  Engine& engine = Engine::Instance();
  engine.EnsureStarted();
  std::lock_guard<std::mutex> guard(engine.mix_lock);
  engine.buffers.push_back(buffer);
  return buffer;
}

SoundBuffer* DuplicateSoundBuffer(SoundBuffer* source) {
  SoundBuffer* copy = nullptr;
  WithBuffer(source, [&](SoundBuffer& original) {
    copy = new SoundBuffer();
    copy->format = original.format;
    copy->samples = original.samples;
    copy->frames = original.frames;
    copy->frequency = original.frequency;
    copy->volume = original.volume;
    copy->pan = original.pan;
    UpdateGains(*copy);
    Engine::Instance().buffers.push_back(copy);
    return true;
  });
  return copy;
}

void ReleaseSoundBuffer(SoundBuffer* buffer) {
  WithBuffer(buffer, [](SoundBuffer& live) {
    std::erase(Engine::Instance().buffers, &live);
    delete &live;
    return true;
  });
}

bool LockSoundBuffer(SoundBuffer* buffer, uint32_t offset, uint32_t length, void** region1, uint32_t* length1,
                     void** region2, uint32_t* length2, uint32_t flags) {
  if (!region1 || !length1) return false;
  return WithBuffer(buffer, [&](SoundBuffer& live) {
    const uint32_t size = BytesOf(live);
    if (flags & kSoundLockEntireBuffer) {
      offset = 0;
      length = size;
    } else if (flags & kSoundLockFromWriteCursor) {
      offset = static_cast<uint32_t>(live.position >> 32) * PcmBlockAlign(live.format);
    }
    if (length == 0 || length > size || offset >= size || live.locked) return false;
    // The part past the end wraps to the start; without room for it the caller gets one region.
    const uint32_t first = std::min(length, size - offset);
    const uint32_t second = length - first;
    if (second && (!region2 || !length2)) return false;
    *region1 = live.samples->data() + offset;
    *length1 = first;
    if (region2) *region2 = second ? live.samples->data() : nullptr;
    if (length2) *length2 = second;
    live.locked = true;
    return true;
  });
}

bool UnlockSoundBuffer(SoundBuffer* buffer, void* region1, uint32_t length1, void* region2, uint32_t length2) {
  return WithBuffer(buffer, [&](SoundBuffer& live) {
    if (!live.locked) return false;
    uint8_t* base = live.samples->data();
    const uint32_t size = BytesOf(live);
    auto inside = [&](void* region, uint32_t length) {
      if (!region) return length == 0;
      auto* p = static_cast<uint8_t*>(region);
      return p >= base && p <= base + size && length <= static_cast<uint32_t>(base + size - p);
    };
    if (!inside(region1, length1) || !inside(region2, length2)) return false;
    live.locked = false;
    return true;
  });
}

bool PlaySoundBuffer(SoundBuffer* buffer, bool looping) {
  return WithBuffer(buffer, [&](SoundBuffer& live) {
    live.playing = true;
    live.looping = looping;
    return true;
  });
}

bool StopSoundBuffer(SoundBuffer* buffer) {
  return WithBuffer(buffer, [](SoundBuffer& live) {
    live.playing = false;
    return true;
  });
}

bool SetSoundBufferPosition(SoundBuffer* buffer, uint32_t byte) {
  return WithBuffer(buffer, [&](SoundBuffer& live) {
    if (byte >= BytesOf(live)) return false;
    live.position = static_cast<uint64_t>(byte / PcmBlockAlign(live.format)) << 32;
    return true;
  });
}

bool GetSoundBufferPosition(SoundBuffer* buffer, uint32_t* byte) {
  if (!byte) return false;
  return WithBuffer(buffer, [&](SoundBuffer& live) {
    *byte = static_cast<uint32_t>(std::min<uint64_t>(live.position >> 32, live.frames)) * PcmBlockAlign(live.format);
    return true;
  });
}

bool SetSoundBufferVolume(SoundBuffer* buffer, int32_t volume) {
  if (volume > kSoundVolumeMax || volume < kSoundVolumeMin) return false;
  return WithBuffer(buffer, [&](SoundBuffer& live) {
    live.volume = volume;
    UpdateGains(live);
    return true;
  });
}

bool GetSoundBufferVolume(SoundBuffer* buffer, int32_t* volume) {
  if (!volume) return false;
  return WithBuffer(buffer, [&](SoundBuffer& live) {
    *volume = live.volume;
    return true;
  });
}

bool SetSoundBufferPan(SoundBuffer* buffer, int32_t pan) {
  if (pan < kSoundPanLeft || pan > kSoundPanRight) return false;
  return WithBuffer(buffer, [&](SoundBuffer& live) {
    live.pan = pan;
    UpdateGains(live);
    return true;
  });
}

bool GetSoundBufferPan(SoundBuffer* buffer, int32_t* pan) {
  if (!pan) return false;
  return WithBuffer(buffer, [&](SoundBuffer& live) {
    *pan = live.pan;
    return true;
  });
}

bool SetSoundBufferFrequency(SoundBuffer* buffer, uint32_t hz) {
  if (hz != kSoundFrequencyOriginal && (hz < kSoundFrequencyMin || hz > kSoundFrequencyMax)) return false;
  return WithBuffer(buffer, [&](SoundBuffer& live) {
    live.frequency = hz;
    return true;
  });
}

bool GetSoundBufferFrequency(SoundBuffer* buffer, uint32_t* hz) {
  if (!hz) return false;
  return WithBuffer(buffer, [&](SoundBuffer& live) {
    *hz = live.frequency ? live.frequency : live.format.rate;
    return true;
  });
}

bool IsSoundBufferPlaying(SoundBuffer* buffer) {
  return WithBuffer(buffer, [](SoundBuffer& live) { return live.playing; });
}

}  // namespace platform
