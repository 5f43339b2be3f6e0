// The music service: standard MIDI files checked and loaded here, played by the synthesiser
// backend (music/fluidsynth) as one source of the audio engine.
#include "platform/music.h"

#include <memory>

#include "platform/audio.h"
#include "platform/files.h"
#include "platform/music/music_backend.h"

namespace platform {
namespace {

constexpr size_t kMaxMidiFileBytes = 16u << 20;

MusicSynthesizer& Synth() { return FluidSynthesizer(); }

}  // namespace

bool MusicInit() {
  if (!Synth().Start()) return false;
  AddAudioSource(&Synth());  // outside the synth's lock: the mixer takes its lock first
  return true;
}

void MusicShutdown() {
  RemoveAudioSource(&Synth());
  Synth().Stop();
}

bool MusicReady() { return Synth().Ready(); }

MusicSegment* MusicLoadSegment(const std::string& path) {
  auto file = MappedFile::Open(path);
  if (!file || file->size() > kMaxMidiFileBytes || !IsStandardMidiFile(file->data(), file->size())) return nullptr;
  auto segment = std::make_unique<MusicSegment>();
  segment->bytes.assign(file->data(), file->data() + file->size());
  return Synth().Adopt(std::move(segment));
}

bool MusicDownloadSegment(MusicSegment* segment) { return Synth().Download(segment); }

uint32_t MusicPlaySegment(MusicSegment* segment) { return Synth().Play(segment); }

bool MusicStopSegment(MusicSegment* segment) { return Synth().StopSong(segment); }

bool MusicIsSegmentPlaying(MusicSegment* segment) { return Synth().IsPlaying(segment); }

void MusicUnloadSegment(MusicSegment* segment) { Synth().Unload(segment); }

}  // namespace platform
