#include "platform/audio/audio_engine.h"

#include <algorithm>
#include <cmath>

#include "platform/audio/audio_pcm.h"
#include "platform/backend.h"

namespace platform::audio {

Engine& Engine::Instance() {
  static Engine* engine = new Engine();
  return *engine;
}

const AudioBackend& Engine::OutputBackend() {
  static const AudioBackend& chosen = BackendTable(kSdlAudio, kHeadlessAudio);
  return chosen;
}

bool Engine::EnsureStarted() {
  if (started_.load(std::memory_order_acquire)) return true;
  std::lock_guard<std::mutex> guard(start_lock_);
  if (started_.load()) return true;
  notices.Start();
  StartOutput();
  started_.store(true, std::memory_order_release);
  return true;
}

void Engine::StartOutput() { output_ = OutputBackend().open_output(real_time_); }

void Engine::Shutdown() {
  std::lock_guard<std::mutex> guard(start_lock_);
  if (!started_.load()) return;
  if (output_) output_->Stop();
  output_.reset();
  {
    std::lock_guard<std::mutex> mix(mix_lock);
    DestroyAllSoundBuffers(*this);
    CloseAllWaveOuts(*this);
    sources.clear();
  }
  notices.Stop();
  real_time_ = false;
  started_.store(false);
}

void Engine::SetRealTime(bool on) {
  if (!OutputBackend().pulls) return;
  EnsureStarted();
  std::unique_ptr<AudioOutput> stopped;
  {
    std::lock_guard<std::mutex> guard(start_lock_);
    if (on == real_time_) return;
    real_time_ = on;
    if (on) {
      StartOutput();
    } else {
      stopped = std::move(output_);
    }
  }
  if (stopped) stopped->Stop();
}

bool Engine::RealTime() {
  std::lock_guard<std::mutex> guard(start_lock_);
  return real_time_;
}

const char* Engine::OutputName() {
  std::lock_guard<std::mutex> guard(start_lock_);
  if (!started_.load()) return "stopped";
  return output_ ? output_->Name() : "pull";
}

void Engine::Mix(int16_t* out, size_t frames) {
  std::lock_guard<std::mutex> guard(mix_lock);
  scratch_.assign(frames * kAudioOutputChannels, 0.0f);
  float* mix = scratch_.data();
  for (SoundBuffer* buffer : buffers)
    if (buffer->playing) MixSoundBuffer(*buffer, mix, frames);
  for (WaveOut* device : devices)
    if (!device->own_output) MixWaveOut(*device, mix, frames, notices);
  for (AudioSource* source : sources) source->Render(mix, frames);
  StoreMix(mix, out, frames * kAudioOutputChannels);
  frames_mixed.fetch_add(frames, std::memory_order_relaxed);
}

void Engine::MixOwn(WaveOut* device, int16_t* out, size_t frames) {
  std::lock_guard<std::mutex> guard(mix_lock);
  if (std::find(devices.begin(), devices.end(), device) == devices.end()) {
    std::fill(out, out + frames * kAudioOutputChannels, int16_t{0});
    return;
  }
  device->scratch.assign(frames * kAudioOutputChannels, 0.0f);
  MixWaveOut(*device, device->scratch.data(), frames, notices);
  StoreMix(device->scratch.data(), out, frames * kAudioOutputChannels);
}

void MixOutput(int16_t* stereo, size_t frames) { Engine::Instance().Mix(stereo, frames); }

void MixOwnWaveOut(WaveOut* device, int16_t* stereo, size_t frames) {
  Engine::Instance().MixOwn(device, stereo, frames);
}

}  // namespace platform::audio

namespace platform {

using audio::Engine;

bool AudioStart() { return Engine::Instance().EnsureStarted(); }

void AudioShutdown() { Engine::Instance().Shutdown(); }

size_t AudioPull(int16_t* stereo, size_t frames) {
  Engine& engine = Engine::Instance();
  if (!engine.OutputBackend().pulls || !stereo || frames == 0) return 0;
  engine.EnsureStarted();
  if (engine.RealTime()) return 0;
  engine.Mix(stereo, frames);
  engine.notices.WaitDelivered(engine.notices.LastPosted());
  return frames;
}

void AudioConsumeInRealTime(bool on) { Engine::Instance().SetRealTime(on); }

uint64_t AudioFramesMixed() { return Engine::Instance().frames_mixed.load(); }

const char* AudioOutputName() { return Engine::Instance().OutputName(); }

void AddAudioSource(AudioSource* source) {
  if (!source) return;
  Engine& engine = Engine::Instance();
  engine.EnsureStarted();
  std::lock_guard<std::mutex> guard(engine.mix_lock);
  if (std::find(engine.sources.begin(), engine.sources.end(), source) == engine.sources.end())
    engine.sources.push_back(source);
}

void RemoveAudioSource(AudioSource* source) {
  Engine& engine = Engine::Instance();
  std::lock_guard<std::mutex> guard(engine.mix_lock);
  std::erase(engine.sources, source);
}

}  // namespace platform
