// A sound card that plays nothing: consumes one device buffer of output per period, on
// schedule, so that everything waiting on playback proceeds as with a real card.
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "platform/audio/audio_backend.h"

namespace platform::audio {
namespace {

class SilentRealTimeOutput : public AudioOutput {
 public:
  SilentRealTimeOutput() : thread_([this] { Run(); }) {}
  ~SilentRealTimeOutput() override { SilentRealTimeOutput::Stop(); }
  void Stop() override {
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
  }
  const char* Name() const override { return "silent"; }

 private:
  void Run() {
    using Clock = std::chrono::steady_clock;
    std::vector<int16_t> scratch(kAudioDeviceBufferFrames * kAudioOutputChannels);
    const Clock::time_point start = Clock::now();
    uint64_t frames = 0;
    while (!stop_.load()) {
      MixOutput(scratch.data(), kAudioDeviceBufferFrames);
      frames += kAudioDeviceBufferFrames;
      // Deadlines come from the frame count, so the rate does not drift.
      std::this_thread::sleep_until(start + std::chrono::nanoseconds(frames * 1000000000ull / kAudioOutputRate));
    }
  }

  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace

std::unique_ptr<AudioOutput> StartSilentRealTimeOutput() { return std::make_unique<SilentRealTimeOutput>(); }

}  // namespace platform::audio
