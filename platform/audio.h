#pragma once
// The audio engine: one 44100 Hz stereo 16-bit output that mixes every client, each resampled to
// the output rate. Three kinds of client:
//   - static sound buffers (what the sound effects play from),
//   - wave-output devices with waveOut semantics (what the MP3 player writes to),
//   - sources that render at the output rate themselves (the music synthesiser, platform/music.h).
//
// The engine starts lazily on the first call that needs it. On the SDL backend it plays through
// the sound card, or through a silent device that consumes audio in real time when there is no
// usable card. On the headless backend nothing runs in real time: a test mixes output with
// AudioPull, unless AudioConsumeInRealTime(true) starts the silent real-time device.
//
// Every call is thread-safe. Wave-output callbacks run on one engine thread of their own, in
// order, never while the mixer is locked, so a callback may call any function of this file.
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace platform {

constexpr uint32_t kAudioOutputRate = 44100;        // output frames per second
constexpr uint32_t kAudioOutputChannels = 2;        // interleaved left, right
constexpr uint32_t kAudioDeviceBufferFrames = 512;  // sound card buffer (about 11.6 ms)

// A PCM format: 1 or 2 channels, 8 (unsigned) or 16 (signed little-endian) bits, 100..200000 Hz.
struct PcmFormat {
  uint32_t rate = kAudioOutputRate;
  uint16_t channels = 2;
  uint16_t bits = 16;
};
bool IsValidPcmFormat(const PcmFormat& format);  // true when the engine can play it
inline uint32_t PcmBlockAlign(const PcmFormat& f) { return f.channels * (f.bits / 8u); }  // bytes per frame

// ---------------------------------------------------------------------------------------------
// Static sound buffers (DirectSound secondary buffers).

struct SoundBuffer;  // opaque; owned by the engine until ReleaseSoundBuffer

constexpr int32_t kSoundVolumeMax = 0;           // hundredths of a dB: no attenuation
constexpr int32_t kSoundVolumeMin = -10000;      // silence
constexpr int32_t kSoundPanLeft = -10000;        // right side silent
constexpr int32_t kSoundPanRight = 10000;        // left side silent
constexpr uint32_t kSoundFrequencyOriginal = 0;  // SetSoundBufferFrequency: back to the format's rate
constexpr uint32_t kSoundFrequencyMin = 100;
constexpr uint32_t kSoundFrequencyMax = 200000;

constexpr uint32_t kSoundBufferMaxBytes = 64u << 20;

constexpr uint32_t kSoundLockFromWriteCursor = 1;  // LockSoundBuffer: start at the write cursor
constexpr uint32_t kSoundLockEntireBuffer = 2;     // LockSoundBuffer: the whole buffer, from 0

// A silent buffer of `bytes` (at least one frame, at most kSoundBufferMaxBytes; a partial last frame is not
// played); null when the format or size is unusable.
SoundBuffer* CreateSoundBuffer(const PcmFormat& format, uint32_t bytes);
// A new stopped buffer at position 0 that shares the source's sample memory and copies its
// format, volume, pan and frequency; null for a null source.
SoundBuffer* DuplicateSoundBuffer(SoundBuffer* source);
// Stops and frees the buffer (the samples live on while a duplicate still uses them).
void ReleaseSoundBuffer(SoundBuffer* buffer);
// Grants [offset, offset + length) as up to two regions: the second begins at 0 when the range
// wraps past the end. Regions not needed come back null with length 0. False when length is 0
// or larger than the buffer, or offset lies outside it.
bool LockSoundBuffer(SoundBuffer* buffer, uint32_t offset, uint32_t length, void** region1, uint32_t* length1,
                     void** region2, uint32_t* length2, uint32_t flags = 0);
// Ends a lock; the regions must be the ones LockSoundBuffer handed out.
bool UnlockSoundBuffer(SoundBuffer* buffer, void* region1, uint32_t length1, void* region2, uint32_t length2);
// Plays from the current position, once (rewinding to 0 at the end) or looping until stopped.
bool PlaySoundBuffer(SoundBuffer* buffer, bool looping);
bool StopSoundBuffer(SoundBuffer* buffer);                         // keeps the position
bool SetSoundBufferPosition(SoundBuffer* buffer, uint32_t byte);   // false past the end
bool GetSoundBufferPosition(SoundBuffer* buffer, uint32_t* byte);  // the play cursor in bytes
bool SetSoundBufferVolume(SoundBuffer* buffer, int32_t volume);    // false outside -10000..0
bool GetSoundBufferVolume(SoundBuffer* buffer, int32_t* volume);
bool SetSoundBufferPan(SoundBuffer* buffer, int32_t pan);  // false outside +-10000
bool GetSoundBufferPan(SoundBuffer* buffer, int32_t* pan);
bool SetSoundBufferFrequency(SoundBuffer* buffer, uint32_t hz);  // 0 = original; else 100..200000
bool GetSoundBufferFrequency(SoundBuffer* buffer, uint32_t* hz);
bool IsSoundBufferPlaying(SoundBuffer* buffer);  // false for null

// ---------------------------------------------------------------------------------------------
// Wave-output devices (waveOut). Functions return an MmResult: kMmNoError (0) or an error code.

using MmResult = uint32_t;
constexpr MmResult kMmNoError = 0;
constexpr MmResult kMmError = 1;          // unspecified failure
constexpr MmResult kMmBadDeviceId = 2;    // device id out of range
constexpr MmResult kMmAllocated = 4;      // resource already allocated
constexpr MmResult kMmInvalidHandle = 5;  // null or closed device handle
constexpr MmResult kMmNoDriver = 6;       // no device driver is present
constexpr MmResult kMmNoMemory = 7;
constexpr MmResult kMmInvalidParam = 11;    // null header, data or out-pointer
constexpr MmResult kWaveBadFormat = 32;     // unsupported format
constexpr MmResult kWaveStillPlaying = 33;  // headers still queued (close)
constexpr MmResult kWaveUnprepared = 34;    // header not prepared (write)

constexpr uint32_t kWaveMapper = 0xFFFFFFFFu;  // device id: the default device

// Header flags.
constexpr uint32_t kWaveHeaderDone = 0x01;      // set by the device when played (or reset)
constexpr uint32_t kWaveHeaderPrepared = 0x02;  // set by WaveOutPrepareHeader
constexpr uint32_t kWaveHeaderInQueue = 0x10;   // set while queued

// One block of PCM queued on a device (WAVEHDR). The caller owns it and its data; it must stay
// alive and untouched from WaveOutWrite until kWaveHeaderDone is set.
struct WaveHeader {
  char* data = nullptr;         // the samples, in the device's format
  uint32_t length = 0;          // bytes in data (a whole number of frames is played)
  uint32_t bytes_recorded = 0;  // unused for output
  uintptr_t user = 0;           // the caller's own value, handed back untouched
  uint32_t flags = 0;           // kWaveHeader* bits
  uint32_t loops = 0;           // unused (no loop blocks)
  WaveHeader* next = nullptr;   // reserved for the engine
  uintptr_t reserved = 0;       // reserved for the engine
};

// The header's flags as the engine last stored them. Read them with this (not a plain load)
// while the header may be queued: the mixer sets done from its own thread.
inline uint32_t WaveHeaderFlags(WaveHeader* header) {
  return std::atomic_ref<uint32_t>(header->flags).load(std::memory_order_acquire);
}

// Capability bits (WAVEOUTCAPS).
constexpr uint32_t kWaveFormat44S16 = 0x00000800;  // one of the WAVE_FORMAT_* bits; all are set
constexpr uint32_t kWaveCapsVolume = 0x0004;       // supports volume
constexpr uint32_t kWaveCapsLrVolume = 0x0008;     // supports separate left/right volume

struct WaveOutCaps {
  uint16_t manufacturer_id = 0;
  uint16_t product_id = 0;
  uint32_t driver_version = 0;
  char name[32] = {};    // always NUL-terminated
  uint32_t formats = 0;  // WAVE_FORMAT_* bits
  uint16_t channels = 0;
  uint32_t support = 0;  // kWaveCaps* bits
};

// Notices delivered to a device's callback (WOM_*).
constexpr uint32_t kWaveOutOpenNotice = 0x3BB;   // WOM_OPEN 955: after WaveOutOpen
constexpr uint32_t kWaveOutCloseNotice = 0x3BC;  // WOM_CLOSE 956: after WaveOutClose; the last one
constexpr uint32_t kWaveOutDoneNotice = 0x3BD;   // WOM_DONE 957: param1 is the WaveHeader*

struct WaveOut;  // opaque device handle

// Runs on the engine's notice thread. param1 is the finished WaveHeader* for a done notice.
using WaveOutCallback = void (*)(WaveOut* device, uint32_t message, uintptr_t instance, uintptr_t param1,
                                 uintptr_t param2);

uint32_t WaveOutGetNumDevs();                                       // number of devices (1)
MmResult WaveOutGetDevCaps(uint32_t device_id, WaveOutCaps* caps);  // id or kWaveMapper
// Opens a device for `format` (kWaveBadFormat when unusable); callback may be null. The device
// starts playing: headers written are played at once, in write order.
MmResult WaveOutOpen(WaveOut** device, uint32_t device_id, const PcmFormat& format, WaveOutCallback callback,
                     uintptr_t instance);
MmResult WaveOutPrepareHeader(WaveOut* device, WaveHeader* header);    // sets kWaveHeaderPrepared
MmResult WaveOutUnprepareHeader(WaveOut* device, WaveHeader* header);  // kWaveStillPlaying while queued
// Queues a prepared header: clears done, sets in-queue. Each header comes back exactly once with
// kWaveHeaderDone set and a done notice.
MmResult WaveOutWrite(WaveOut* device, WaveHeader* header);
MmResult WaveOutPause(WaveOut* device);    // stops consuming; the position holds
MmResult WaveOutRestart(WaveOut* device);  // resumes after a pause
// Returns every queued header done at once (notices delivered before it returns, unless called
// from a callback), position back to 0; a paused device stays paused.
MmResult WaveOutReset(WaveOut* device);
// Samples (frames) or bytes played since open or the last reset.
MmResult WaveOutGetPositionSamples(WaveOut* device, uint64_t* samples);
MmResult WaveOutGetPositionBytes(WaveOut* device, uint64_t* bytes);
// Volume: low 16 bits left, high 16 bits right, 0..0xFFFF linear. A null device means the
// default device: the volume every device opened afterwards starts with.
MmResult WaveOutSetVolume(WaveOut* device, uint32_t volume);
MmResult WaveOutGetVolume(WaveOut* device, uint32_t* volume);
// Closes the device (kWaveStillPlaying while headers are queued). The close notice is the last
// callback; after it (and after this returns, unless called from a callback) the handle is gone.
MmResult WaveOutClose(WaveOut* device);

// ---------------------------------------------------------------------------------------------
// Sources that render at the output rate themselves (the music synthesiser).

class AudioSource {
 public:
  virtual ~AudioSource() = default;
  // Adds `frames` stereo frames at kAudioOutputRate into `stereo` (interleaved, full scale 1.0).
  // Called on the mixing thread with the mixer locked: must not call into this file.
  virtual void Render(float* stereo, size_t frames) = 0;
};
void AddAudioSource(AudioSource* source);     // the caller keeps ownership
void RemoveAudioSource(AudioSource* source);  // once this returns, Render is not running

// ---------------------------------------------------------------------------------------------
// Engine control.

// Starts the engine now (it also starts by itself on first use). False when no output works.
bool AudioStart();
// Stops the output, closes the card and frees every buffer and device still open.
void AudioShutdown();
// Headless: mixes `frames` output frames into `stereo` (2 x frames samples), advancing every
// client and delivering the done notices this produced before it returns. Returns the frames
// written: 0 on the SDL backend or while consuming in real time.
size_t AudioPull(int16_t* stereo, size_t frames);
// Headless: true starts a silent thread that consumes output at the real rate (for soak tests),
// false stops it so that AudioPull works again.
void AudioConsumeInRealTime(bool on);
// Frames mixed since the engine started (all backends).
uint64_t AudioFramesMixed();
// What consumes the output: "sdl" (a sound card), "silent" (real-time, no card), "pull" (headless
// AudioPull), or "stopped" before the engine starts.
const char* AudioOutputName();

}  // namespace platform
