// Headless audio: nothing plays by itself; a test pulls the mix, unless it asks for real-time
// consumption, which the silent device does.
#include "platform/audio/audio_backend.h"

namespace platform::audio {
namespace {
std::unique_ptr<AudioOutput> OpenHeadless(bool real_time) { return real_time ? StartSilentRealTimeOutput() : nullptr; }
}  // namespace

// One device, the pulled mix, as in a test nothing else may sound.
const AudioBackend kHeadlessAudio{OpenHeadless, true, nullptr, nullptr};

}  // namespace platform::audio
