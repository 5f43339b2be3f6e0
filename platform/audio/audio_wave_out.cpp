// Wave-output devices: headers of PCM played in write order, each handed back done with a
// notice on the engine's notice thread.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/audio/audio_engine.h"
#include "platform/audio/audio_pcm.h"

namespace platform {
namespace {

using audio::Engine;
using audio::Notice;

constexpr char kDeviceName[] = "Jed Grimstorm audio output";

void StoreFlags(WaveHeader* header, uint32_t flags) {
  std::atomic_ref<uint32_t>(header->flags).store(flags, std::memory_order_release);
}

void ApplyVolume(WaveOut& device, uint32_t volume) {
  device.volume = volume;
  device.left_gain = static_cast<float>(volume & 0xFFFFu) / 65535.0f;
  device.right_gain = static_cast<float>(volume >> 16) / 65535.0f;
}

bool IsOpen(Engine& engine, WaveOut* device) {
  return device && std::find(engine.devices.begin(), engine.devices.end(), device) != engine.devices.end();
}

// Runs `action` with the mix lock held when `device` is open; kMmInvalidHandle otherwise. The
// notices the action posts are delivered before this returns (unless inside a callback).
template <typename Action>
MmResult WithDevice(WaveOut* device, bool wait_for_notices, Action action) {
  Engine& engine = Engine::Instance();
  engine.EnsureStarted();
  MmResult result;
  {
    std::lock_guard<std::mutex> guard(engine.mix_lock);
    if (!IsOpen(engine, device)) return kMmInvalidHandle;
    result = action(*device);
  }
  if (wait_for_notices) engine.notices.WaitDelivered(engine.notices.LastPosted());
  return result;
}

Notice NoticeFor(WaveOut& device, uint32_t message, uintptr_t param1 = 0) {
  Notice notice;
  notice.callback = device.callback;
  notice.device = &device;
  notice.message = message;
  notice.instance = device.instance;
  notice.param1 = param1;
  return notice;
}

void ReturnAllHeaders(WaveOut& device, audio::NoticeThread& notices) {
  while (!device.queue.empty()) {
    WaveHeader* header = device.queue.front();
    device.queue.pop_front();
    audio::FinishWaveHeader(device, header, notices);
  }
  device.position = 0;
}

// Posts the close notice; the device is freed once it has been delivered.
void PostClose(WaveOut& device, audio::NoticeThread& notices) {
  Notice notice = NoticeFor(device, kWaveOutCloseNotice);
  notice.after = [](WaveOut* closed) { delete closed; };
  notices.Post(notice);
}

uint32_t FramesIn(const WaveOut& device, const WaveHeader* header) { return header->length / device.block; }

}  // namespace

namespace audio {

void FinishWaveHeader(WaveOut& device, WaveHeader* header, NoticeThread& notices) {
  uint32_t flags = std::atomic_ref<uint32_t>(header->flags).load(std::memory_order_relaxed);
  StoreFlags(header, (flags & ~kWaveHeaderInQueue) | kWaveHeaderDone);
  notices.Post(NoticeFor(device, kWaveOutDoneNotice, reinterpret_cast<uintptr_t>(header)));
}

void MixWaveOut(WaveOut& device, float* stereo, size_t frames, NoticeThread& notices) {
  if (device.paused) return;
  auto drop_finished = [&] {
    while (!device.queue.empty()) {
      WaveHeader* head = device.queue.front();
      const uint64_t count = FramesIn(device, head);
      if ((device.position >> 32) < count) return;
      device.position -= count << 32;
      device.completed_frames += count;
      device.queue.pop_front();
      FinishWaveHeader(device, head, notices);
    }
    device.position = 0;  // starved: the next header starts afresh
  };
  for (size_t i = 0; i < frames; ++i) {
    drop_finished();
    if (device.queue.empty()) return;
    const WaveHeader* head = device.queue.front();
    const uint64_t index = device.position >> 32;
    const uint8_t* frame = reinterpret_cast<const uint8_t*>(head->data) + index * device.block;
    float left, right;
    ReadFrame(frame, device.format, &left, &right);
    const float fraction = FixedFraction(device.position);
    if (fraction != 0.0f) {
      // The next frame may be the first of the next header.
      const uint8_t* next = frame;
      if (index + 1 < FramesIn(device, head)) {
        next = frame + device.block;
      } else if (device.queue.size() > 1 && FramesIn(device, device.queue[1]) > 0) {
        next = reinterpret_cast<const uint8_t*>(device.queue[1]->data);
      }
      float next_left, next_right;
      ReadFrame(next, device.format, &next_left, &next_right);
      left += (next_left - left) * fraction;
      right += (next_right - right) * fraction;
    }
    stereo[2 * i] += left * device.left_gain;
    stereo[2 * i + 1] += right * device.right_gain;
    device.position += device.step;
  }
  if (!device.queue.empty()) drop_finished();  // a header played to its end is done now
}

void CloseAllWaveOuts(Engine& engine) {
  for (WaveOut* device : engine.devices) {
    ReturnAllHeaders(*device, engine.notices);
    PostClose(*device, engine.notices);
  }
  engine.devices.clear();
}

}  // namespace audio

namespace {
// The backend's own devices; empty when the mixed output is the only one (then it is id 0).
std::vector<std::string> BackendDevices() {
  const audio::AudioBackend& backend = Engine::OutputBackend();
  return backend.list_devices ? backend.list_devices() : std::vector<std::string>{};
}
}  // namespace

uint32_t WaveOutGetNumDevs() {
  const size_t count = BackendDevices().size();
  return count ? static_cast<uint32_t>(count) : 1;
}

MmResult WaveOutGetDevCaps(uint32_t device_id, WaveOutCaps* caps) {
  if (!caps) return kMmInvalidParam;
  std::string name = kDeviceName;
  if (device_id != kWaveMapper) {
    const std::vector<std::string> devices = BackendDevices();
    if (device_id >= std::max<size_t>(devices.size(), 1)) return kMmBadDeviceId;
    if (!devices.empty()) name = devices[device_id];
  }
  *caps = WaveOutCaps{};
  caps->manufacturer_id = 1;
  caps->product_id = 1;
  caps->driver_version = 0x0100;
  std::snprintf(caps->name, sizeof caps->name, "%s", name.c_str());
  caps->formats = 0x00000FFFu;  // every 11/22/44 kHz, mono/stereo, 8/16-bit combination
  caps->channels = 2;
  caps->support = kWaveCapsVolume | kWaveCapsLrVolume;
  return kMmNoError;
}

MmResult WaveOutOpen(WaveOut** device, uint32_t device_id, const PcmFormat& format, WaveOutCallback callback,
                     uintptr_t instance) {
  if (!device) return kMmInvalidParam;
  *device = nullptr;
  // A chosen device of the backend's list plays this wave-out alone; the mapper (and id 0 when
  // the list is empty) is the engine's mixed output.
  const std::vector<std::string> devices = device_id == kWaveMapper ? std::vector<std::string>{} : BackendDevices();
  if (device_id != kWaveMapper && device_id >= std::max<size_t>(devices.size(), 1)) return kMmBadDeviceId;
  if (!IsValidPcmFormat(format)) return kWaveBadFormat;
  Engine& engine = Engine::Instance();
  engine.EnsureStarted();
  auto* opened = new WaveOut();
  opened->format = format;
  opened->block = PcmBlockAlign(format);
  opened->step = audio::ResampleStep(format.rate);
  if (!devices.empty()) {
    uint32_t device_rate = format.rate;
    opened->own_output = Engine::OutputBackend().open_device(device_id, format.rate, opened, &device_rate);
    if (!opened->own_output) {
      delete opened;
      return kMmAllocated;
    }
    opened->step = (static_cast<uint64_t>(format.rate) << 32) / device_rate;
  }
  opened->callback = callback;
  opened->instance = instance;
  {
    std::lock_guard<std::mutex> guard(engine.mix_lock);
    ApplyVolume(*opened, engine.default_wave_volume);
    engine.devices.push_back(opened);
    *device = opened;
    engine.notices.Post(NoticeFor(*opened, kWaveOutOpenNotice));
  }
  engine.notices.WaitDelivered(engine.notices.LastPosted());
  return kMmNoError;
}

MmResult WaveOutPrepareHeader(WaveOut* device, WaveHeader* header) {
  if (!header) return kMmInvalidParam;
  return WithDevice(device, false, [&](WaveOut&) {
    uint32_t flags = std::atomic_ref<uint32_t>(header->flags).load(std::memory_order_relaxed);
    if (flags & kWaveHeaderInQueue) return kWaveStillPlaying;
    if (!header->data && header->length) return kMmInvalidParam;
    StoreFlags(header, flags | kWaveHeaderPrepared);
    return kMmNoError;
  });
}

MmResult WaveOutUnprepareHeader(WaveOut* device, WaveHeader* header) {
  if (!header) return kMmInvalidParam;
  return WithDevice(device, false, [&](WaveOut&) {
    uint32_t flags = std::atomic_ref<uint32_t>(header->flags).load(std::memory_order_relaxed);
    if (flags & kWaveHeaderInQueue) return kWaveStillPlaying;
    StoreFlags(header, flags & ~kWaveHeaderPrepared);
    return kMmNoError;
  });
}

MmResult WaveOutWrite(WaveOut* device, WaveHeader* header) {
  if (!header) return kMmInvalidParam;
  return WithDevice(device, false, [&](WaveOut& open) {
    uint32_t flags = std::atomic_ref<uint32_t>(header->flags).load(std::memory_order_relaxed);
    if (!(flags & kWaveHeaderPrepared)) return kWaveUnprepared;
    if (flags & kWaveHeaderInQueue) return kWaveStillPlaying;
    if (!header->data && header->length) return kMmInvalidParam;
    StoreFlags(header, (flags & ~kWaveHeaderDone) | kWaveHeaderInQueue);
    open.queue.push_back(header);
    return kMmNoError;
  });
}

MmResult WaveOutPause(WaveOut* device) {
  return WithDevice(device, false, [](WaveOut& open) {
    open.paused = true;
    return kMmNoError;
  });
}

MmResult WaveOutRestart(WaveOut* device) {
  return WithDevice(device, false, [](WaveOut& open) {
    open.paused = false;
    return kMmNoError;
  });
}

MmResult WaveOutReset(WaveOut* device) {
  Engine& engine = Engine::Instance();
  return WithDevice(device, true, [&](WaveOut& open) {
    ReturnAllHeaders(open, engine.notices);
    open.completed_frames = 0;
    return kMmNoError;
  });
}

namespace {
// Frames played since open or reset (mix lock held).
uint64_t PlayedFrames(const WaveOut& open) {
  uint64_t within = 0;
  if (!open.queue.empty()) within = std::min<uint64_t>(open.position >> 32, FramesIn(open, open.queue.front()));
  return open.completed_frames + within;
}
}  // namespace

MmResult WaveOutGetPositionSamples(WaveOut* device, uint64_t* samples) {
  if (!samples) return kMmInvalidParam;
  return WithDevice(device, false, [&](WaveOut& open) {
    *samples = PlayedFrames(open);
    return kMmNoError;
  });
}

MmResult WaveOutGetPositionBytes(WaveOut* device, uint64_t* bytes) {
  if (!bytes) return kMmInvalidParam;
  return WithDevice(device, false, [&](WaveOut& open) {
    *bytes = PlayedFrames(open) * open.block;
    return kMmNoError;
  });
}

MmResult WaveOutSetVolume(WaveOut* device, uint32_t volume) {
  if (!device) {
    Engine& engine = Engine::Instance();
    std::lock_guard<std::mutex> guard(engine.mix_lock);
    engine.default_wave_volume = volume;
    return kMmNoError;
  }
  return WithDevice(device, false, [&](WaveOut& open) {
    ApplyVolume(open, volume);
    return kMmNoError;
  });
}

MmResult WaveOutGetVolume(WaveOut* device, uint32_t* volume) {
  if (!volume) return kMmInvalidParam;
  if (!device) {
    Engine& engine = Engine::Instance();
    std::lock_guard<std::mutex> guard(engine.mix_lock);
    *volume = engine.default_wave_volume;
    return kMmNoError;
  }
  return WithDevice(device, false, [&](WaveOut& open) {
    *volume = open.volume;
    return kMmNoError;
  });
}

MmResult WaveOutClose(WaveOut* device) {
  Engine& engine = Engine::Instance();
  return WithDevice(device, true, [&](WaveOut& open) {
    if (!open.queue.empty()) return kWaveStillPlaying;
    std::erase(engine.devices, &open);
    PostClose(open, engine.notices);
    return kMmNoError;
  });
}

}  // namespace platform
