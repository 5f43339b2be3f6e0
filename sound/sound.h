#pragma once
// The sound-effect layer: up to 256 WAV sound effects in memory, each in a static buffer of the
// audio engine, started, stopped and queried by id. Called from the game's thread only.
#include <cstdint>

namespace platform {
struct SoundBuffer;
}

constexpr int SOUND_TABLE_SIZE = 256;

constexpr int SOUND_FREE = 0;
constexpr int SOUND_LOADED = 1;
constexpr int SOUND_PLAYING = 2;
constexpr int SOUND_STOPPED = 3;

constexpr uint32_t SOUND_PLAY_LOOPING = 1;

// Buffer capability bits the game passes to LoadWavSound (224 = all three).
constexpr uint32_t DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr uint32_t DSBCAPS_CTRLPAN = 0x40;
constexpr uint32_t DSBCAPS_CTRLVOLUME = 0x80;

struct SoundSlot {
  platform::SoundBuffer* buffer;  // null when the slot holds no buffer
  int32_t state;                  // SOUND_FREE .. SOUND_STOPPED
  uint32_t rate;                  // samples per second of the file
  uint32_t size;                  // bytes of the file's data chunk (the buffer's size)
  int32_t id;                     // the slot's own index
};

extern SoundSlot sound_table[SOUND_TABLE_SIZE];

// 1, or 0 when the audio engine cannot start. A later call releases every sound loaded.
int SoundInit();
// Stops and releases everything; a later SoundInit starts the layer afresh.
int SoundShutdown();
// A PCM RIFF WAVE file (8 or 16 bits, 1 or 2 channels) into the lowest free slot: its id, or -1.
int LoadWavSound(const char* filename, uint32_t control_flags);
// A second slot sharing the source's samples: its id, or -1.
int ReplicateSound(int source_id);
// Rewinds and plays once (flags 0) or looping (SOUND_PLAY_LOOPING). The three integers after
// the flags are not used. 1, or 0 when the engine refuses (or the id is out of range).
int PlaySoundEffect(int id, uint32_t flags, int volume = 0, int rate = 0, int pan = 0);
int StopSoundEffect(int id);             // 1; the slot reads SOUND_STOPPED afterwards
int StopAllSoundEffects();               // 1; no load takes a slot again until SoundInit
int DeleteSoundEffect(int id);           // 1; the slot stays SOUND_STOPPED until SoundInit
int DeleteAllSoundEffects();             // 1
int SetSoundVolume(int id, int volume);  // 0..100 (30 x volume - 3000 hundredths of a dB): 1 or 0
int SetSoundFrequency(int id, int hz);   // 1 or 0
int SetSoundPan(int id, int pan);
// The player's effect volume (0..100): every sound loaded from now on gets it through
// SetSoundVolume. 100, the default, leaves the buffers at full volume as loaded.
void SetEffectsVolume(int volume);
int EffectsVolume();                     // -10000 left .. 10000 right: 1 or 0
int GetSoundStatus(int id);              // the slot's state, or -1 when it holds no buffer
void SetSoundStatus(int id, int state);  // stored only when the slot holds a buffer
