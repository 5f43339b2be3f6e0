#include "sound/sound.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/audio.h"
#include "platform/riff_reader.h"
#include "sound/wave_file.h"

SoundSlot sound_table[SOUND_TABLE_SIZE];

namespace {

bool sound_mixer_ready = false;  // the engine has started for this layer
bool sound_first_time = true;

int effects_volume = 100;

bool ValidId(int id) { return id >= 0 && id < SOUND_TABLE_SIZE; }

int LowestFreeSlot() {
  for (int i = 0; i < SOUND_TABLE_SIZE; ++i)
    if (sound_table[i].state == SOUND_FREE) return i;
  return -1;
}

void ResetSlot(int id) { sound_table[id] = SoundSlot{nullptr, SOUND_FREE, 0, 0, id}; }

void ReleaseSlotBuffer(SoundSlot& slot) {
  if (!slot.buffer) return;
  platform::StopSoundBuffer(slot.buffer);
  platform::ReleaseSoundBuffer(slot.buffer);
  slot.buffer = nullptr;
}

// Copies the samples into the buffer through a lock from its write cursor (two regions at most).
bool FillBuffer(platform::SoundBuffer* buffer, const std::vector<uint8_t>& samples) {
  void* region1 = nullptr;
  void* region2 = nullptr;
  uint32_t length1 = 0, length2 = 0;
  const auto size = static_cast<uint32_t>(samples.size());
  if (!platform::LockSoundBuffer(buffer, 0, size, &region1, &length1, &region2, &length2,
                                 platform::kSoundLockFromWriteCursor))
    return false;
  std::memcpy(region1, samples.data(), length1);
  if (length2) std::memcpy(region2, samples.data() + length1, length2);
  return platform::UnlockSoundBuffer(buffer, region1, length1, region2, length2);
}

}  // namespace

int SoundInit() {
  if (sound_first_time) {
    for (int i = 0; i < SOUND_TABLE_SIZE; ++i) sound_table[i] = SoundSlot{};
    sound_first_time = false;
    if (!platform::AudioStart()) return 0;
    sound_mixer_ready = true;
  }
  for (int i = 0; i < SOUND_TABLE_SIZE; ++i) {
    ReleaseSlotBuffer(sound_table[i]);
    ResetSlot(i);
  }
  return 1;
}

int SoundShutdown() {
  StopAllSoundEffects();
  for (SoundSlot& slot : sound_table) ReleaseSlotBuffer(slot);
  // The table keeps no released buffers, and a later SoundInit starts from scratch.
  sound_mixer_ready = false;
  sound_first_time = true;
  return 1;
}

int LoadWavSound(const char* filename, uint32_t /*control_flags: every buffer has all controls*/) {
  const int id = LowestFreeSlot();
  if (id < 0 || !filename || !sound_mixer_ready) return -1;
  WaveFormatRecord format;
  std::vector<uint8_t> samples;
  auto reader = platform::RiffReader::Open(filename);
  if (!reader || !ReadWaveFile(reader.get(), &format, &samples)) return -1;
  // The buffer takes the file's own format, so every rate, width and channel count plays true.
  platform::PcmFormat pcm;
  pcm.rate = format.samples_per_sec;
  pcm.channels = format.channels;
  pcm.bits = format.bits_per_sample;
  SoundSlot& slot = sound_table[id];
  slot.buffer = platform::CreateSoundBuffer(pcm, static_cast<uint32_t>(samples.size()));
  if (!slot.buffer || !FillBuffer(slot.buffer, samples)) {
    ReleaseSlotBuffer(slot);
    ResetSlot(id);  // a failed load keeps nothing
    return -1;
  }
  slot.rate = format.samples_per_sec;
  slot.size = static_cast<uint32_t>(samples.size());
  slot.state = SOUND_LOADED;
  slot.id = id;
  if (effects_volume != 100) SetSoundVolume(id, effects_volume);
  return id;
}

void SetEffectsVolume(int volume) { effects_volume = std::clamp(volume, 0, 100); }
int EffectsVolume() { return effects_volume; }

int ReplicateSound(int source_id) {
  if (!ValidId(source_id) || !sound_mixer_ready) return -1;
  const int id = LowestFreeSlot();
  if (id < 0) return -1;
  platform::SoundBuffer* copy = platform::DuplicateSoundBuffer(sound_table[source_id].buffer);
  if (!copy) {
    // The source itself may be the free slot found: leave it as it was.
    if (id != source_id) ResetSlot(id);
    return -1;
  }
  sound_table[id] = sound_table[source_id];
  sound_table[id].buffer = copy;
  sound_table[id].id = id;
  return id;
}

int PlaySoundEffect(int id, uint32_t flags, int, int, int) {
  if (!ValidId(id)) return 0;
  SoundSlot& slot = sound_table[id];
  if (!slot.buffer) return 1;
  if (!platform::SetSoundBufferPosition(slot.buffer, 0)) return 0;
  if (!platform::PlaySoundBuffer(slot.buffer, (flags & SOUND_PLAY_LOOPING) != 0)) return 0;
  return 1;
}

int StopSoundEffect(int id) {
  if (!ValidId(id)) return 0;
  SoundSlot& slot = sound_table[id];
  if (slot.buffer) {
    platform::StopSoundBuffer(slot.buffer);
    platform::SetSoundBufferPosition(slot.buffer, 0);
  }
  slot.state = SOUND_STOPPED;
  return 1;
}

int StopAllSoundEffects() {
  for (int id = 0; id < SOUND_TABLE_SIZE; ++id) StopSoundEffect(id);
  return 1;
}

int DeleteSoundEffect(int id) {
  if (!ValidId(id)) return 0;
  StopSoundEffect(id);
  ReleaseSlotBuffer(sound_table[id]);
  return 1;
}

int DeleteAllSoundEffects() {
  for (int id = 0; id < SOUND_TABLE_SIZE; ++id) DeleteSoundEffect(id);
  return 1;
}

int SetSoundVolume(int id, int volume) {
  if (!ValidId(id) || !sound_table[id].buffer) return 0;
  const int64_t attenuation = 30LL * volume - 3000;  // wide: no volume can overflow it
  if (attenuation < platform::kSoundVolumeMin || attenuation > platform::kSoundVolumeMax) return 0;
  return platform::SetSoundBufferVolume(sound_table[id].buffer, static_cast<int32_t>(attenuation)) ? 1 : 0;
}

int SetSoundFrequency(int id, int hz) {
  if (!ValidId(id) || !sound_table[id].buffer || hz < 0) return 0;
  return platform::SetSoundBufferFrequency(sound_table[id].buffer, static_cast<uint32_t>(hz)) ? 1 : 0;
}

int SetSoundPan(int id, int pan) {
  if (!ValidId(id) || !sound_table[id].buffer) return 0;
  return platform::SetSoundBufferPan(sound_table[id].buffer, pan) ? 1 : 0;
}

int GetSoundStatus(int id) {
  if (!ValidId(id) || !sound_table[id].buffer) return -1;
  return sound_table[id].state;
}

void SetSoundStatus(int id, int state) {
  if (ValidId(id) && sound_table[id].buffer) sound_table[id].state = state;
}
