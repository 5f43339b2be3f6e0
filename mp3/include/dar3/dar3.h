/* libdar3: an MP3 player library. The C side: records, constants and the flat Mp3_ functions.
 * Every Mp3_ function takes the player handle (from CreateRUVe3 or Mp3_Initialize) first and
 * returns 0 for a null handle. */
#ifndef DAR3_DAR3_H
#define DAR3_DAR3_H

#include <stddef.h>
#include <stdint.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
class RUVe3;
typedef RUVe3* MP3_HANDLE;
#else
typedef struct RUVe3 RUVe3;
typedef RUVe3* MP3_HANDLE;
#endif

#if defined(DAR3_BUILDING)
#define DAR3_API __attribute__((visibility("default")))
#else
#define DAR3_API
#endif

#define DAR3_VERSION 250

/* Time formats and move methods (Seek, PlayLoop, FadeVolume). */
#define TIME_FORMAT_MS 1
#define TIME_FORMAT_SEC 2
#define TIME_FORMAT_HMS 4
#define TIME_FORMAT_BYTES 8

#define MOVE_FROM_START 1
#define MOVE_FROM_END 2
#define MOVE_FORWARD 4
#define MOVE_BACKWARD 8

/* Callback messages: low 16 bits asynchronous (posted), high 16 bits synchronous (answered). */
#define MP3_EVENT_STOP 0x1u
#define MP3_EVENT_PLAY 0x2u
#define MP3_EVENT_ENTER_LOOP 0x4u
#define MP3_EVENT_EXIT_LOOP 0x8u
#define MP3_EVENT_FADE_OUT_START 0x10u
#define MP3_EVENT_FADE_OUT_END 0x20u
#define MP3_EVENT_FADE_IN_START 0x40u
#define MP3_EVENT_FADE_IN_END 0x80u
#define MP3_EVENT_STREAM_BUFFER_DONE 0x200u
#define MP3_EVENT_STREAM_NEED_MORE_DATA 0x400u
#define MP3_EVENT_SYNC_STOP 0x10000u
#define MP3_EVENT_SYNC_PLAY 0x20000u
#define MP3_EVENT_SYNC_ENTER_LOOP 0x40000u
#define MP3_EVENT_SYNC_EXIT_LOOP 0x80000u
#define MP3_EVENT_SYNC_FADE_OUT_START 0x100000u
#define MP3_EVENT_SYNC_FADE_OUT_END 0x200000u
#define MP3_EVENT_SYNC_FADE_IN_START 0x400000u
#define MP3_EVENT_SYNC_FADE_IN_END 0x800000u
#define MP3_EVENT_WAVE_BUFFER 0x1000000u
#define MP3_EVENT_SYNC_STREAM_BUFFER_DONE 0x2000000u
#define MP3_EVENT_SYNC_STREAM_NEED_MORE_DATA 0x4000000u

/* Wave-output device ids. */
#define WAVE_MAPPER 0xFFFFFFFFu

/* Fade modes. */
#define FADE_IN 1
#define FADE_OUT 2

/* ID3 tag versions and field selectors. */
#define ID3_TAG_V1 1
#define ID3_TAG_V2 2
#define ID3_SELECT_TITLE 1
#define ID3_SELECT_ARTIST 2
#define ID3_SELECT_ALBUM 4
#define ID3_SELECT_GENRE 8
#define ID3_SELECT_COMMENT 16
#define ID3_SELECT_TRACK 32
#define ID3_SELECT_YEAR 64

/* Spectrum windows and output flags (Mp3_GetFFTValues). */
#define WINDOW_RECTANGULAR 1
#define WINDOW_HAMMING 2
#define WINDOW_HANN 3
#define WINDOW_COSINE 4
#define WINDOW_LANCZOS 5
#define WINDOW_BARTLETT 6
#define WINDOW_TRIANGULAR 7
#define WINDOW_GAUSS 8
#define WINDOW_BARTLETT_HANN 9
#define WINDOW_BLACKMAN 10
#define WINDOW_NUTTALL 11
#define WINDOW_BLACKMAN_HARRIS 12
#define WINDOW_BLACKMAN_NUTTALL 13
#define WINDOW_FLAT_TOP 14

#define FFT_OUT_HARMONIC_COUNT 1
#define FFT_OUT_HARMONIC_FREQ 2
#define FFT_OUT_LEFT_AMPLITUDE 4
#define FFT_OUT_RIGHT_AMPLITUDE 8
#define FFT_OUT_LEFT_PHASE 16
#define FFT_OUT_RIGHT_PHASE 32

typedef struct MP3_TIME {
  uint32_t ms;
  uint32_t sec;
  uint32_t bytes;
  uint32_t frames;
  uint32_t hms_hour;
  uint32_t hms_minute;
  uint32_t hms_second;
  uint32_t hms_millisecond;
} MP3_TIME;

typedef struct MP3_STREAM_INFO {
  int32_t version;      /* 1 MPEG-1, 2 MPEG-2 (LSF), 4 MPEG-2.5 */
  int32_t layer;        /* 1, 2 or 4 for layers I, II, III */
  int32_t channel_mode; /* 1 single, 2 dual, 4 joint stereo, 8 stereo */
  int32_t emphasis;     /* 1 none, 2 50/15 us, 4 CCITT J.17, 8 reserved */
  int32_t sample_rate;
  int32_t header_size;  /* bytes before the first audio frame */
  int32_t channels;
  int32_t vbr;
  int32_t bitrate;      /* kbit/s; the average for VBR */
} MP3_STREAM_INFO;

typedef struct MP3_STATUS {
  int32_t playing;
  int32_t paused;
  int32_t stopped;
  int32_t echo;
  int32_t echo_mode;
  int32_t fft_eq;
  int32_t subband_eq;
  int32_t vocal_cut;
  int32_t channel_mix;
  int32_t fade_in;
  int32_t fade_out;
  int32_t internal_volume;
  int32_t loop;
  int32_t reverse;
} MP3_STATUS;

typedef struct STREAM_LOAD_INFO {
  int32_t queued_blocks;
  int32_t queued_bytes;
  int32_t queued_ms;
} STREAM_LOAD_INFO;

typedef struct WAVE_OUT_INFO {
  int32_t manufacturer_id;
  int32_t product_id;
  int32_t driver_version;
  uint32_t formats;
  int32_t channels;
  uint32_t support;
  char product_name[32];
} WAVE_OUT_INFO;

typedef struct MP3_ID3_FIELDS {
  const char* title;
  const char* artist;
  const char* album;
  const char* year;
  const char* comment;
  const char* track;
  const char* genre;
} MP3_ID3_FIELDS;

typedef struct FFT_STRUCT {
  int32_t fft_points;
  int32_t window_type;
  int32_t harmonic_count;
  int32_t* harmonic_freqs;
  int32_t* left_amplitudes;
  int32_t* right_amplitudes;
  int32_t* left_phases;
  int32_t* right_phases;
} FFT_STRUCT;

/* wParam and lParam are pointer-sized: MP3_EVENT_WAVE_BUFFER passes a block address. */
typedef int32_t (*MP3_CALLBACK_FUNC)(uint32_t message, intptr_t wparam, intptr_t lparam);

DAR3_API MP3_HANDLE CreateRUVe3(void);
DAR3_API MP3_HANDLE Mp3_Initialize(void);
DAR3_API int Mp3_Destroy(MP3_HANDLE player);
DAR3_API int Mp3_GetError(MP3_HANDLE player, char* buffer, int buffer_size);
DAR3_API int Mp3_GetVersion(MP3_HANDLE player);
DAR3_API int Mp3_OpenFile(MP3_HANDLE player, const char* name, int buffer_ms, unsigned int offset,
                          unsigned int size);
DAR3_API int Mp3_OpenFileW(MP3_HANDLE player, const wchar_t* name, int buffer_ms,
                           unsigned int offset, unsigned int size);
DAR3_API int Mp3_OpenResource(MP3_HANDLE player, void* module, const char* res_name,
                              const char* res_type, int buffer_ms, unsigned int offset,
                              unsigned int size);
DAR3_API int Mp3_OpenStream(MP3_HANDLE player, int buffered, int managed, const void* data,
                            unsigned int size, int buffer_ms);
DAR3_API int Mp3_PushDataToStream(MP3_HANDLE player, const void* data, unsigned int size);
DAR3_API int Mp3_IsStreamDataFree(MP3_HANDLE player, const void* data);
DAR3_API int Mp3_GetStreamLoad(MP3_HANDLE player, STREAM_LOAD_INFO* load);
DAR3_API int Mp3_Close(MP3_HANDLE player);
DAR3_API int Mp3_Play(MP3_HANDLE player);
DAR3_API int Mp3_PlayLoop(MP3_HANDLE player, int start_format, MP3_TIME* start, int end_format,
                          MP3_TIME* end, int repeat_count);
DAR3_API int Mp3_Seek(MP3_HANDLE player, int format, MP3_TIME* time, int move_method);
DAR3_API int Mp3_ReverseMode(MP3_HANDLE player, int enable);
DAR3_API int Mp3_Stop(MP3_HANDLE player);
DAR3_API int Mp3_Pause(MP3_HANDLE player);
DAR3_API int Mp3_Resume(MP3_HANDLE player);
DAR3_API int Mp3_GetPosition(MP3_HANDLE player, MP3_TIME* time);
DAR3_API int Mp3_InternalVolume(MP3_HANDLE player, int enable);
DAR3_API int Mp3_SetVolume(MP3_HANDLE player, unsigned int left, unsigned int right);
DAR3_API int Mp3_SetMasterVolume(MP3_HANDLE player, unsigned int left, unsigned int right);
DAR3_API int Mp3_SetPlayerVolume(MP3_HANDLE player, unsigned int left, unsigned int right);
DAR3_API int Mp3_GetVolume(MP3_HANDLE player, int* left, int* right);
DAR3_API int Mp3_GetMasterVolume(MP3_HANDLE player, int* left, int* right);
DAR3_API int Mp3_GetPlayerVolume(MP3_HANDLE player, int* left, int* right);
DAR3_API int Mp3_GetMp3Info(MP3_HANDLE player, MP3_STREAM_INFO* info);
DAR3_API int Mp3_GetSongLength(MP3_HANDLE player, MP3_TIME* length);
DAR3_API int Mp3_GetBitrate(MP3_HANDLE player, int average);
DAR3_API int Mp3_GetStatus(MP3_HANDLE player, MP3_STATUS* status);
DAR3_API int Mp3_MixChannels(MP3_HANDLE player, int enable, unsigned int left_percent,
                             unsigned int right_percent);
DAR3_API int Mp3_GetVUData(MP3_HANDLE player, unsigned int* left, unsigned int* right);
DAR3_API int Mp3_VocalCut(MP3_HANDLE player, int enable);
DAR3_API int Mp3_FadeVolume(MP3_HANDLE player, int mode, int format, MP3_TIME* time);
DAR3_API int Mp3_FadeVolumeEx(MP3_HANDLE player, int mode, int format, MP3_TIME* time);
DAR3_API int Mp3_EnableEQ(MP3_HANDLE player, int enable, int fft_eq);
DAR3_API int Mp3_CreateEqBands(MP3_HANDLE player, const int* edge_freqs, int edge_count);
DAR3_API int Mp3_GetEqBands(MP3_HANDLE player, int* edge_freqs);
DAR3_API int Mp3_SetEQParam(MP3_HANDLE player, int fft_eq, int preamp, const int* gains,
                            int gain_count);
DAR3_API int Mp3_SetEQParamEx(MP3_HANDLE player, int fft_eq, int preamp, const int* gains,
                              int gain_count);
DAR3_API int Mp3_GetEQParam(MP3_HANDLE player, int fft_eq, int* preamp, int* gains);
DAR3_API int Mp3_GetEQParamEx(MP3_HANDLE player, int fft_eq, int* preamp, int* gains);
DAR3_API int Mp3_LoadID3(MP3_HANDLE player, int tag_version, MP3_ID3_FIELDS* fields);
DAR3_API int Mp3_GetID3Field(MP3_HANDLE player, int tag_version, int field_id, char* buffer,
                             int buffer_size);
DAR3_API int Mp3_SetSfxParam(MP3_HANDLE player, int enable, int mode, int delay_ms,
                             int input_gain, int echo_gain, int output_gain);
DAR3_API int Mp3_GetSfxParam(MP3_HANDLE player, int* mode, int* delay_ms, int* input_gain,
                             int* echo_gain, int* output_gain);
DAR3_API int Mp3_SetSfxModeData(MP3_HANDLE player, int mode, const int* left, const int* right,
                                int weight_count);
DAR3_API int Mp3_GetSfxModeData(MP3_HANDLE player, int mode, int* left, int* right);
/* Threads. Every function of this header may be called on one player from any number of
 * threads at once, and from inside any callback (see the table below), and returns. The one
 * thing a caller must not do is use a handle after its own Mp3_Destroy returned, as with free.
 *
 * - Mp3_Destroy may be called from any thread, also while the player's callback thread is
 *   inside a handler that calls Play, OpenFile, Stop or anything else: it returns in bounded
 *   time, once the calls under way on other threads have returned, and leaves no thread of
 *   the player running. Calls made after destruction began (a handler's, say) fail with
 *   "<function>->Player is being destroyed !" and 0; Mp3_GetError still reads that text.
 * - Getters give a consistent view: the figures of the stream open before a change, those of
 *   the stream open after it, or their answer for no stream ("<function>->Stream isn't open !",
 *   or zeros where a getter gives those); never a mix of two streams, never freed memory.
 * - Calls that change the stream or the playback (Open*, Close, Play, PlayLoop, Stop, Seek,
 *   ReverseMode) made at once on two threads take effect one after the other. Of two starts
 *   at the same moment one plays and the other fails as described below the table; a Play
 *   while another thread closes or opens the stream fails with "Play->Stream isn't open !".
 * - The texts Mp3_LoadID3 points to are the player's and change with the next Mp3_LoadID3 or
 *   Close from any thread; Mp3_GetID3Field copies a field in one step and suits several
 *   threads. The last error text is one per player: with several threads failing at once,
 *   a thread may read another's.
 * - No lock of the player is held while a callback runs, so a handler may call anything. */
/* Callbacks. Every message, asynchronous or synchronous, is delivered on the player's own
 * callback thread, one call at a time, in the order sent; the decoding thread waits for the
 * answer of a synchronous one. Every function of this header may be called from inside a
 * callback and returns: none deadlocks, none aborts. While a call made there has to wait for
 * the decoding thread (Play, PlayLoop, Stop, Seek and the others below), the callback thread
 * goes on delivering the messages queued meanwhile, so the callback may be entered again
 * (nested) before the first call has returned: a STOP handler that calls Play receives the new
 * run's PLAY message inside that Play.
 *
 * "Live run" below: a synchronous callback whose answer the running playback waits for (any
 * synchronous message but the run's last MP3_EVENT_SYNC_STOP), which cannot end before the
 * callback returns.
 *
 *   call                         | asynchronous callback, or the run's SYNC_STOP | synchronous callback of a live run
 *   -----------------------------+-----------------------------------------------+-------------------------------------
 *   Play                         | works; waits for the start result              | 0: "Play->Can't start playback inside
 *                                |                                                |   a synchronous callback of the run
 *                                |                                                |   still playing !"
 *   PlayLoop                     | works; waits for the start result              | 0: "PlayLoop->Can't start ..." (same)
 *   Stop                         | stops and waits for the run's end              | 1: the stop is requested; the run
 *                                |                                                |   ends once the callback returns and
 *                                |                                                |   is joined by the next call
 *   Seek                         | stops, then moves the next run's start         | same, with the stop only requested
 *   ReverseMode                  | works (restarts a playing run)                 | 0 while playing: "ReverseMode->Can't
 *                                |                                                |   restart playback ..."; else works
 *   Close, Open*, CreateEqBands  | work                                           | 0: "Close->Can't close the stream from
 *                                |                                                |   inside a synchronous callback !"
 *   Destroy                      | 1: the player is released once the outermost callback has returned and
 *                                |   a Play or PlayLoop waiting for that run's start has returned; no
 *                                |   callback is called after the current one, and no thread is left running
 *   SetCallbackFunc              | works; the replaced callback thread ends when the current call returns
 *   Pause, Resume, the getters,  | work at once
 *   volume, effects, tags, FFT   |
 *
 * Play or PlayLoop made here and inside a callback at the same moment start one run; the other
 * returns 0 with "Play->Playback was started meanwhile by another call !" (PlayLoop likewise).
 *
 * No C++ exception crosses this interface: running out of memory fails the call with
 * "<function>->Memory allocation error !" and 0. */
DAR3_API int Mp3_SetCallbackFunc(MP3_HANDLE player, MP3_CALLBACK_FUNC callback,
                                 unsigned int message_mask);
DAR3_API int Mp3_GetFFTValues(MP3_HANDLE player, int fft_points, int window_type, int fft_flags,
                              int* harmonic_count, int* harmonic_freqs, int* left_amplitudes,
                              int* right_amplitudes, int* left_phases, int* right_phases);
DAR3_API int Mp3_EnumerateWaveOut(MP3_HANDLE player);
DAR3_API int Mp3_GetWaveOutInfo(MP3_HANDLE player, unsigned int index, WAVE_OUT_INFO* info);
DAR3_API int Mp3_SetWaveOutDevice(MP3_HANDLE player, unsigned int index);

#ifdef __cplusplus
}
#endif

#endif /* DAR3_DAR3_H */
