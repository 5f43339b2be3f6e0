#pragma once
// Inside the audio engine: the client records, the engine's shared state and the mixer. Only the
// engine's own files include this.
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio.h"
#include "platform/audio/audio_backend.h"
#include "platform/audio/audio_notices.h"

namespace platform {

// Fields are guarded by the engine's mix lock.
struct SoundBuffer {
  PcmFormat format;
  std::shared_ptr<std::vector<uint8_t>> samples;  // shared with duplicates
  uint32_t frames = 0;                            // whole frames in samples
  uint64_t position = 0;                          // play cursor in frames, 32.32 fixed point
  uint32_t frequency = 0;                         // 0: the format's rate
  int32_t volume = 0;
  int32_t pan = 0;
  float left_gain = 1.0f;
  float right_gain = 1.0f;
  bool playing = false;
  bool looping = false;
  bool locked = false;
};

struct WaveOut {
  PcmFormat format;
  uint32_t block = 0;  // bytes per frame
  uint64_t step = 0;   // resampling step, 32.32
  WaveOutCallback callback = nullptr;
  uintptr_t instance = 0;
  std::deque<WaveHeader*> queue;  // written, not yet done, in write order
  uint64_t position = 0;          // within the queue's first header, frames 32.32
  uint64_t completed_frames = 0;  // frames of finished headers since open or reset
  uint32_t volume = 0xFFFFFFFFu;
  float left_gain = 1.0f;
  float right_gain = 1.0f;
  bool paused = false;
  // A device of its own (chosen by id), which mixes this wave-out alone at its rate; null for
  // the mixed output. Stopped when the wave-out is freed.
  std::unique_ptr<audio::AudioOutput> own_output;
  std::vector<float> scratch;  // the own output's mix
};

namespace audio {

class Engine {
 public:
  // The one engine, never destroyed: objects destroyed at exit may still close their devices.
  static Engine& Instance();
  // The audio backend, chosen on first use.
  static const AudioBackend& OutputBackend();

  // Starts the notice thread and the output once; later calls only report.
  bool EnsureStarted();
  void Shutdown();
  void SetRealTime(bool on);
  bool RealTime();
  const char* OutputName();

  // Mixes all clients into `out`; posts the notices this produces.
  void Mix(int16_t* out, size_t frames);
  // Mixes one wave-out with a device of its own (silence when it is closed).
  void MixOwn(WaveOut* device, int16_t* out, size_t frames);

  std::mutex mix_lock;
  std::vector<SoundBuffer*> buffers;  // live handles, in creation order
  std::vector<WaveOut*> devices;      // open devices, in open order
  std::vector<AudioSource*> sources;
  uint32_t default_wave_volume = 0xFFFFFFFFu;
  NoticeThread notices;
  std::atomic<uint64_t> frames_mixed{0};

 private:
  Engine() = default;
  void StartOutput();

  std::mutex start_lock_;
  std::atomic<bool> started_{false};
  bool real_time_ = false;  // headless: consume in real time
  std::unique_ptr<AudioOutput> output_;
  std::vector<float> scratch_;  // guarded by mix_lock
};

// Mixers of the two kinds of client (mix lock held).
void MixSoundBuffer(SoundBuffer& buffer, float* stereo, size_t frames);
void MixWaveOut(WaveOut& device, float* stereo, size_t frames, NoticeThread& notices);
// Marks a queued header done and posts its notice (mix lock held).
void FinishWaveHeader(WaveOut& device, WaveHeader* header, NoticeThread& notices);
// Frees what is left at shutdown (mix lock held).
void DestroyAllSoundBuffers(Engine& engine);
void CloseAllWaveOuts(Engine& engine);

}  // namespace audio
}  // namespace platform
