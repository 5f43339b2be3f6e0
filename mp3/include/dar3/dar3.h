/* libdar3: an MP3 player library. The C side: records, constants and the flat Mp3_ functions.
 * Every Mp3_ function takes the player handle (from CreateRUVe3 or Mp3_Initialize) first and
 * returns 0 for a null handle.
 *
 * The documentation blocks (slash and two stars) are the reference manual: the section-3
 * manual pages are generated from them (packaging/man/make_manpages.py), one page per @page
 * group; plain comments inside a group are copied into its page as they stand. */
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

/** @page dar3 MP3 player library
 * libdar3 plays MPEG audio (layers I, II and III, MPEG-1, 2 and 2.5) through one object per
 * song being played, the player. A program makes a player with Mp3_Initialize (or
 * CreateRUVe3), opens a source with one of the Mp3_Open functions, plays it with Mp3_Play or
 * Mp3_PlayLoop, reads the position, changes the volume and the effects while it plays, and
 * frees the player with Mp3_Destroy. A player holds one source at a time; opening another
 * closes the first. Any number of players may play at once: they are mixed into one output.
 *
 * Life of a player: created (nothing open) -> open (Mp3_OpenFile, Mp3_OpenFileW,
 * Mp3_OpenResource, Mp3_OpenStream) -> playing, paused or stopped (Mp3_Play, Mp3_Pause,
 * Mp3_Resume, Mp3_Stop; playback also stops by itself at the end) -> closed (Mp3_Close, or
 * the next open) -> destroyed (Mp3_Destroy, which stops and closes first).
 *
 * Results: every function returns 1 on success and 0 on failure unless its entry says
 * otherwise; after a failure Mp3_GetError gives the reason as "<operation>-><text>", for
 * example "Play->Stream isn't open !". A null handle makes every function but CreateRUVe3
 * and Mp3_Initialize return 0 without touching an error text. Texts are UTF-8.
 *
 * Threads: each player decodes on a thread of its own and calls the program's callback on a
 * second thread of its own (dar3_callbacks(3)). Every function may be called on one player
 * from several threads at once and from inside a callback; only using a handle after its
 * Mp3_Destroy is the caller's fault. No C++ exception crosses the C interface.
 *
 * The no-output mode: a buffer_ms of 0 when opening opens no sound device. Playback then
 * runs as fast as the program takes the decoded blocks: each goes to the callback as
 * MP3_EVENT_WAVE_BUFFER (wparam the block's address, lparam its size in bytes), always 16-bit
 * signed native-endian stereo at the stream's own sample rate, with the effects applied; the
 * answer 0 or 1 goes on, 2 stops playback. Without that message in the callback's mask the
 * blocks are decoded and dropped (the position, tags, spectrum and VU still work).
 *
 * Times are MP3_TIME records: a function that reads one uses the field of the time format it
 * is given (TIME_FORMAT_MS: ms, TIME_FORMAT_SEC: sec, TIME_FORMAT_HMS: the four hms_ fields,
 * TIME_FORMAT_BYTES: bytes of the MPEG stream); one that fills one fills every field.
 *
 * Build with pkg-config: cc prog.c $(pkg-config --cflags --libs dar3). The exports carry the
 * symbol version DAR3_2.5 (readelf -V); the library's SONAME is libdar3.so.2.
 *
 * The C++ interface dar3/ruve3.hpp offers the same operations as virtual functions of RUVe3;
 * the handle is a pointer to that object. A complete C program follows under EXAMPLE. */

/** The library version: Mp3_GetVersion returns it (250 for 2.50). */
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

/** @records */
/* A time or position: filled whole by the library, read by the field of the format given. */
typedef struct MP3_TIME {
  uint32_t ms;              /* milliseconds from the start */
  uint32_t sec;             /* whole seconds from the start */
  uint32_t bytes;           /* bytes of the MPEG stream from its first frame */
  uint32_t frames;          /* MPEG frames from the start */
  uint32_t hms_hour;        /* the same time as hours, */
  uint32_t hms_minute;      /*   minutes 0..59, */
  uint32_t hms_second;      /*   seconds 0..59 */
  uint32_t hms_millisecond; /*   and milliseconds 0..999 */
} MP3_TIME;

typedef struct MP3_STREAM_INFO {
  int32_t version;      /* 1 MPEG-1, 2 MPEG-2 (LSF), 4 MPEG-2.5 */
  int32_t layer;        /* 1, 2 or 4 for layers I, II, III */
  int32_t channel_mode; /* 1 single, 2 dual, 4 joint stereo, 8 stereo */
  int32_t emphasis;     /* 1 none, 2 50/15 us, 4 CCITT J.17, 8 reserved */
  int32_t sample_rate;  /* Hz: 8000 to 48000 */
  int32_t header_size;  /* bytes before the first audio frame */
  int32_t channels;     /* 1 or 2 (decoded output is always stereo) */
  int32_t vbr;          /* 1 for a variable bitrate stream, else 0 */
  int32_t bitrate;      /* kbit/s; the average for VBR */
} MP3_STREAM_INFO;

/* Mp3_GetStatus: each field 1 (on, yes) or 0. */
typedef struct MP3_STATUS {
  int32_t playing; /* a run is active (also while paused) */
  int32_t paused;
  int32_t stopped; /* no run: never played, stopped, or played to the end */
  int32_t echo;
  int32_t echo_mode; /* the echo's mode, 0..9 (a number, not a flag) */
  int32_t fft_eq;
  int32_t subband_eq;
  int32_t vocal_cut;
  int32_t channel_mix;
  int32_t fade_in;
  int32_t fade_out;
  int32_t internal_volume; /* Mp3_SetVolume acts on the player volume (Mp3_InternalVolume) */
  int32_t loop;            /* inside a Mp3_PlayLoop pass */
  int32_t reverse;
} MP3_STATUS;

/* Mp3_GetStreamLoad: what a managed stream still holds unplayed. */
typedef struct STREAM_LOAD_INFO {
  int32_t queued_blocks; /* pushed blocks not yet used up */
  int32_t queued_bytes;  /* their unread bytes */
  int32_t queued_ms;     /* their play time in milliseconds, from the stream's bitrate */
} STREAM_LOAD_INFO;

/* Mp3_GetWaveOutInfo: one output device. */
typedef struct WAVE_OUT_INFO {
  int32_t manufacturer_id; /* 1 */
  int32_t product_id;      /* 1 */
  int32_t driver_version;  /* 0x0100 */
  uint32_t formats;        /* WAVE_FORMAT bits: 0xFFF, every 11/22/44 kHz 8/16-bit mono/stereo */
  int32_t channels;        /* 2 */
  uint32_t support;        /* 0x4 volume | 0x8 separate left and right volume */
  char product_name[32];   /* the device's name, UTF-8, cut to 31 bytes, NUL-terminated */
} WAVE_OUT_INFO;

/* Mp3_LoadID3: UTF-8 texts owned by the player (one set per player), valid until its next
 * Mp3_LoadID3 or Mp3_GetID3Field of either tag version, its next open or close, or its
 * Mp3_Destroy; a field the tag lacks is "". After a failed load every pointer is null. */
typedef struct MP3_ID3_FIELDS {
  const char* title;
  const char* artist;
  const char* album;
  const char* year;
  const char* comment;
  const char* track; /* as text: "7" or "7/12" */
  const char* genre; /* the genre's name (ID3v1 numbers and ID3v2 "(n)" references resolved) */
} MP3_ID3_FIELDS;

/* The arguments of Mp3_GetFFTValues gathered in one record (for the program's own use). */
typedef struct FFT_STRUCT {
  int32_t fft_points;      /* transform size */
  int32_t window_type;     /* WINDOW_ */
  int32_t harmonic_count;  /* fft_points / 2 + 1 */
  int32_t* harmonic_freqs; /* harmonic_count entries each, owned by the program */
  int32_t* left_amplitudes;
  int32_t* right_amplitudes;
  int32_t* left_phases;
  int32_t* right_phases;
} FFT_STRUCT;

/* wParam and lParam are pointer-sized: MP3_EVENT_WAVE_BUFFER passes a block address. */
typedef int32_t (*MP3_CALLBACK_FUNC)(uint32_t message, intptr_t wparam, intptr_t lparam);
/** @end */

/** @page dar3_player Making, freeing and asking a player
 * A player is made empty (nothing open, stopped, every effect off, volumes 100) and freed
 * with Mp3_Destroy, which stops and closes first. */

/** Makes a player; null when memory runs out. The handle is a RUVe3 object of the C++
 * interface. */
DAR3_API MP3_HANDLE CreateRUVe3(void);
/** The same as CreateRUVe3. */
DAR3_API MP3_HANDLE Mp3_Initialize(void);
/** Stops playback, closes the source and frees the player; 1, or 0 for a null handle. The
 * handle must not be used afterwards. Called from a callback see dar3_callbacks(3). */
DAR3_API int Mp3_Destroy(MP3_HANDLE player);
/** Copies the text of the player's last failure (UTF-8, at most 511 bytes, "" when nothing
 * failed yet) into buffer and NUL-terminates it. Returns the bytes copied (without the NUL),
 * cut to buffer_size - 1; with a null buffer or a buffer_size of 0 the size needed (length
 * plus 1). A successful call does not clear the text. */
DAR3_API int Mp3_GetError(MP3_HANDLE player, char* buffer, int buffer_size);
/** DAR3_VERSION (250). */
DAR3_API int Mp3_GetVersion(MP3_HANDLE player);

/** @page dar3_open Opening and closing a source
 * Opening closes what was open (stopping its playback), maps the data, skips ID3 tags at both
 * ends, finds the first valid MPEG frame, reads a Xing, Info or VBRI header when there is
 * one and prepares the output.
 *
 * buffer_ms is the output's buffer length in milliseconds: 0 is the no-output mode (no
 * device; the blocks go to the MP3_EVENT_WAVE_BUFFER callback alone, dar3(3)); otherwise at
 * least 200 ("_Open->Buffer can't be smaller than 200 ms"). More means fewer drop-outs on a
 * busy machine and a later reaction to effects; 500 to 1000 suits music.
 *
 * offset and size choose a byte range of the source: offset bytes are skipped, and a size of
 * 0 means up to the end (a size reaching past the end is cut there). Failures: "Can't open
 * file", "_OpenMp3->Can't find first valid mp3 frame" for data without MPEG audio, and the
 * output's own messages. */

/** Opens the file `name` (a path in the locale's encoding, normally UTF-8). */
DAR3_API int Mp3_OpenFile(MP3_HANDLE player, const char* name, int buffer_ms, unsigned int offset, unsigned int size);
/** Mp3_OpenFile with a wide name (UTF-32 on Linux), opened by its UTF-8 form. */
DAR3_API int Mp3_OpenFileW(MP3_HANDLE player, const wchar_t* name, int buffer_ms, unsigned int offset,
                           unsigned int size);
/** Opens the data block registered under res_name and res_type in the process's resource table
 * (filled by the game through the private platform layer; a program on this API alone has none
 * and gets "OpenMp3Resource->Can't find resource !"). `module` is ignored on Linux; pass NULL.
 * An empty block: "OpenMp3Resource->Can't get resource size !". */
DAR3_API int Mp3_OpenResource(MP3_HANDLE player, void* module, const char* res_name, const char* res_type,
                              int buffer_ms, unsigned int offset, unsigned int size);
/* A managed stream's first block may end inside a leading ID3v2 tag of any size: Mp3_OpenStream
 * then returns 1 and the stream opens once the pushes reach the first frames (the tag's size,
 * from its header, and 16 KiB more), or at the end of the data with what came; its tags are
 * read as from a file. Until then only Mp3_PushDataToStream, Mp3_GetStreamLoad,
 * Mp3_IsStreamDataFree and Mp3_Close apply; Mp3_Play fails with "Play->The stream's first frames
 * haven't been pushed yet !", the other operations with "...->Stream isn't open !". The push
 * that cannot open it fails with the opener's text, or with "PushDataToStream->The stream ends
 * inside its ID3v2 tag: the tag claims N bytes, the stream holds M !", and closes the stream. */
/** Stops playback and closes the source; 1 also when nothing was open. Not from inside a
 * synchronous callback of a live run (dar3_callbacks(3)). */
DAR3_API int Mp3_Close(MP3_HANDLE player);

/** @page dar3_streams Streams pushed from memory
 * Mp3_OpenStream plays MP3 data the program holds in memory. An unmanaged stream is one block
 * given whole; a managed one starts with a first block (enough for one frame) and takes more
 * with Mp3_PushDataToStream while it plays, until an empty push (or a NEED_MORE_DATA answer of
 * 1) ends the data. A managed stream cannot be seeked, looped or reversed, and its length is
 * that of the data pushed so far. The callback messages STREAM_BUFFER_DONE and
 * STREAM_NEED_MORE_DATA tell the program when blocks are used up and when data runs out
 * (dar3_callbacks(3)). */

/** Opens a stream from `data` (size bytes; not null). buffered 1: the player copies every
 * block at once and the program may reuse its memory; 0: the player reads the program's
 * memory in place, which must stay valid and unchanged until Mp3_IsStreamDataFree says it is
 * free (for an unmanaged stream: until the stream is closed). managed 1: more blocks follow
 * through Mp3_PushDataToStream. buffer_ms as for Mp3_OpenFile (dar3_open(3)). Failures:
 * "OpenStream->Can't open NULL stream !", "_OpenMp3->Can't find first valid mp3 frame". */
DAR3_API int Mp3_OpenStream(MP3_HANDLE player, int buffered, int managed, const void* data, unsigned int size,
                            int buffer_ms);
/** Queues `size` bytes at `data` on a managed stream (copied at once when buffered, else read
 * in place: see Mp3_IsStreamDataFree); size 0 marks the end of the data. 0 with
 * "PushDataToStream->Can't push data into unmanaged stream !". */
DAR3_API int Mp3_PushDataToStream(MP3_HANDLE player, const void* data, unsigned int size);
/** 1 when the block the program pushed (or opened) at `data` is no longer queued, so its
 * memory may be reused or freed; 0 while the stream still reads it. */
DAR3_API int Mp3_IsStreamDataFree(MP3_HANDLE player, const void* data);
/** Fills `load` with what a managed stream holds unplayed. 0 with "GetStreamLoad->Stream
 * isn't managed. Can't get this data !" for other sources. */
DAR3_API int Mp3_GetStreamLoad(MP3_HANDLE player, STREAM_LOAD_INFO* load);

/** @page dar3_playback Playing, pausing, stopping
 * A run is one pass of the decoding thread, from Mp3_Play or Mp3_PlayLoop to its end or
 * Mp3_Stop; MP3_EVENT_PLAY and MP3_EVENT_STOP frame it (dar3_callbacks(3)). */

/** Starts playback at the start of the song, or where Mp3_Seek moved it; resumes a paused
 * player. After every run the start position returns to the beginning. Returns once the run
 * has started (or failed to): 0 with "Play->Stream isn't open !", when the synchronous PLAY
 * callback answered 1, or with the output's message ("_ThreadFunc->Can't open wave output:
 * <device>"). */
DAR3_API int Mp3_Play(MP3_HANDLE player);
/** Plays from `start` to `end` repeat_count times (each in its own time format: TIME_FORMAT_MS,
 * _SEC or _HMS; not _BYTES), then stops. Messages: MP3_EVENT_ENTER_LOOP before each pass,
 * MP3_EVENT_EXIT_LOOP after the last. Refused for managed and reversed streams and when end
 * lies before start ("PlayLoop->Loop end time is smaller than loop start time !"). */
DAR3_API int Mp3_PlayLoop(MP3_HANDLE player, int start_format, MP3_TIME* start, int end_format, MP3_TIME* end,
                          int repeat_count);
/** Moves the position: move_method MOVE_FROM_START, MOVE_FROM_END, MOVE_FORWARD (from the
 * current position) or MOVE_BACKWARD, by `time` in its format (TIME_FORMAT_BYTES counts bytes
 * of the stream). Seeks by time are sample-exact; a target before the start is the start, one
 * past the end leaves nothing to play. A playing run is stopped first: the next Mp3_Play
 * starts at the new position. Refused for managed streams ("Seek->This is
 * managed stream. Can't seek !"). */
DAR3_API int Mp3_Seek(MP3_HANDLE player, int format, MP3_TIME* time, int move_method);
/** Plays backwards (enable 1) or forwards (0) from the current position; a playing run is
 * restarted in the new direction. Refused for managed streams. */
DAR3_API int Mp3_ReverseMode(MP3_HANDLE player, int enable);
/** Ends the run and waits for its end; the next Mp3_Play starts at the beginning unless
 * Mp3_Seek moves it. 0 when not playing (the error text stays as it was), and with "Stop->Stream
 * isn't open !". */
DAR3_API int Mp3_Stop(MP3_HANDLE player);
/** Pauses output at once; the run and its position stay. */
DAR3_API int Mp3_Pause(MP3_HANDLE player);
/** Goes on after Mp3_Pause. */
DAR3_API int Mp3_Resume(MP3_HANDLE player);

/** @page dar3_position Position, length and stream information */

/** Fills `time` (every field) with the position that is sounding now: what the device has
 * played, not what has been decoded. */
DAR3_API int Mp3_GetPosition(MP3_HANDLE player, MP3_TIME* time);
/** Fills `info` with the open stream's format; 0 with "GetMp3Info->Stream isn't open !". */
DAR3_API int Mp3_GetMp3Info(MP3_HANDLE player, MP3_STREAM_INFO* info);
/** Fills `length` (every field) with the song's length, from the frame index or the VBR
 * header where there is one, else from the bitrate and size. A managed stream's length is
 * that of the data pushed so far. */
DAR3_API int Mp3_GetSongLength(MP3_HANDLE player, MP3_TIME* length);
/** The bitrate in kbit/s: of the frame playing now (average 0), or the average over the
 * frames decoded so far (average 1); 0 when nothing is open or decoded. */
DAR3_API int Mp3_GetBitrate(MP3_HANDLE player, int average);
/** Fills `status` with the playing state and the effects' switches (MP3_STATUS). */
DAR3_API int Mp3_GetStatus(MP3_HANDLE player, MP3_STATUS* status);

/** @page dar3_volume Volume, fades, channel mixing, vocal cut and the VU meter
 * Two volumes: the device volume of the player's output (Mp3_SetMasterVolume; it does not
 * change the decoded blocks a WAVE_BUFFER callback receives) and the player volume, applied
 * to the decoded samples (Mp3_SetPlayerVolume; it does). Both are 0..100 per channel, larger
 * values counting as 100, on a loudness curve: 100 is full level, 50 about -13 dB, 0 silence.
 * Mp3_SetVolume and Mp3_GetVolume act on the device volume, or on the player volume after
 * Mp3_InternalVolume(player, 1). The "Get" functions fail with "GetVolume->Invalid
 * parameters !" for a null pointer. */

/** Chooses what Mp3_SetVolume and Mp3_GetVolume act on: 1 the player volume, 0 the device
 * volume (the default). Always 1. */
DAR3_API int Mp3_InternalVolume(MP3_HANDLE player, int enable);
/** Sets the device or the player volume, see above. */
DAR3_API int Mp3_SetVolume(MP3_HANDLE player, unsigned int left, unsigned int right);
/** Sets the device volume, 0..100 per channel. */
DAR3_API int Mp3_SetMasterVolume(MP3_HANDLE player, unsigned int left, unsigned int right);
/** Sets the player volume, 0..100 per channel, and the fade level back to full. */
DAR3_API int Mp3_SetPlayerVolume(MP3_HANDLE player, unsigned int left, unsigned int right);
/** Reads the volume Mp3_SetVolume sets. */
DAR3_API int Mp3_GetVolume(MP3_HANDLE player, int* left, int* right);
/** Reads the device volume, 0..100. */
DAR3_API int Mp3_GetMasterVolume(MP3_HANDLE player, int* left, int* right);
/** Reads the player volume, 0..100. */
DAR3_API int Mp3_GetPlayerVolume(MP3_HANDLE player, int* left, int* right);
/** Channel mixing (enable 1): each output channel becomes left_percent of the left input plus
 * right_percent of the right input (0..100 each); 50, 50 makes mono. enable 0 ends it. */
DAR3_API int Mp3_MixChannels(MP3_HANDLE player, int enable, unsigned int left_percent, unsigned int right_percent);
/** The VU meter of the block sounding now, 0..100 per channel on a logarithmic scale: 33 *
 * log10 of the mean level relative to 23169 (a full-scale sine's), plus 100, so 100 is full
 * scale and 0 about 60 dB below; 0 and 0 when not playing. 0 with "GetVUData->Invalid
 * parameters !" for a null pointer. */
DAR3_API int Mp3_GetVUData(MP3_HANDLE player, unsigned int* left, unsigned int* right);
/** Vocal cut (enable 1): subtracts the channels, which removes what is panned to the centre
 * (usually the voice). */
DAR3_API int Mp3_VocalCut(MP3_HANDLE player, int enable);
/** Fades from the current level: mode FADE_IN (up to the player volume) or FADE_OUT (down to
 * silence) over `time` in `format`. The MP3_EVENT_FADE_ messages mark its start and end; a
 * synchronous START answered 1 cancels it. 0 with "FadeVolume->Invalid fMode !". */
DAR3_API int Mp3_FadeVolume(MP3_HANDLE player, int mode, int format, MP3_TIME* time);
/** Mp3_FadeVolume from silence (FADE_IN) or from full level (FADE_OUT). */
DAR3_API int Mp3_FadeVolumeEx(MP3_HANDLE player, int mode, int format, MP3_TIME* time);

/** @page dar3_equalizers The two equalizers
 * fft_eq chooses the equalizer: 0 the subband equalizer (ten fixed bands spread over the
 * decoder's 32 subbands; almost free), 1 the FFT equalizer (any bands, a linear-phase filter
 * of 8191 taps designed on a worker thread, so changes never stall playback; about 93 ms of
 * latency at 44.1 kHz). The FFT equalizer's default bands have the edges 0, 115, 240, 455,
 * 800, 2000, 4500, 9000, 13000, 15000 and 96000 Hz (96000: up to the top). Gains and preamp are
 * in dB (the Ex functions: millidecibels), positive to boost, for every band. */

/** Switches an equalizer on (enable 1) or off. */
DAR3_API int Mp3_EnableEQ(MP3_HANDLE player, int enable, int fft_eq);
/** Replaces the FFT equalizer's bands: edge_count edge frequencies in Hz, rising (at least 2;
 * edge_count - 1 bands); every gain returns to 0. Not from inside a synchronous callback of a
 * live run. 0 with "CreateEqBands->Invalid parameters !". */
DAR3_API int Mp3_CreateEqBands(MP3_HANDLE player, const int* edge_freqs, int edge_count);
/** The number of band edges of the FFT equalizer; with a non-null edge_freqs (room for that
 * many) also the edges in Hz. */
DAR3_API int Mp3_GetEqBands(MP3_HANDLE player, int* edge_freqs);
/** Sets an equalizer's preamp and the gains of its first gain_count bands, in dB (10 bands for
 * the subband equalizer). */
DAR3_API int Mp3_SetEQParam(MP3_HANDLE player, int fft_eq, int preamp, const int* gains, int gain_count);
/** Mp3_SetEQParam in millidecibels. */
DAR3_API int Mp3_SetEQParamEx(MP3_HANDLE player, int fft_eq, int preamp, const int* gains, int gain_count);
/** Reads the preamp and the gains in dB (gains needs one entry per band); returns the number
 * of bands. With a null preamp only the count is returned. */
DAR3_API int Mp3_GetEQParam(MP3_HANDLE player, int fft_eq, int* preamp, int* gains);
/** Mp3_GetEQParam in millidecibels. */
DAR3_API int Mp3_GetEQParamEx(MP3_HANDLE player, int fft_eq, int* preamp, int* gains);

/** @page dar3_tags ID3 tags */

/** Reads the ID3v1 (tag_version ID3_TAG_V1) or ID3v2 (ID3_TAG_V2: versions 2.2, 2.3 and 2.4,
 * any text encoding, unsynchronisation) tag of the open source into `fields`: UTF-8 texts owned
 * by the player, see MP3_ID3_FIELDS for how long they stay. 0 when the source has no such tag,
 * with "LoadID3->Stream isn't open !" when nothing is open. */
DAR3_API int Mp3_LoadID3(MP3_HANDLE player, int tag_version, MP3_ID3_FIELDS* fields);
/** Copies one field (field_id an ID3_SELECT_ value) of the tag into buffer as UTF-8, cut at a
 * character's boundary to fit, NUL-terminated; returns the bytes copied. With a null buffer
 * or a buffer_size of 0 it returns the size needed (length plus 1). 0 without the tag or for
 * an unknown field_id. */
DAR3_API int Mp3_GetID3Field(MP3_HANDLE player, int tag_version, int field_id, char* buffer, int buffer_size);

/** @page dar3_echo The echo
 * A multi-tap echo on the decoded output: each sample gets a weighted sum of 20 consecutive
 * 50 ms chunks of the last two seconds, starting delay_ms back. Ten modes (0..9) give the taps'
 * weights, separately for left and right; the table is shared by every player of the
 * process, and Mp3_SetSfxModeData changes it. */

/** Switches the echo on (enable 1) or off with mode 0..9, delay_ms 0..1000 (both clamped to
 * their range) and three gains in dB: input_gain for the dry signal, echo_gain for the echo,
 * output_gain for both (0 dB each is unchanged). */
DAR3_API int Mp3_SetSfxParam(MP3_HANDLE player, int enable, int mode, int delay_ms, int input_gain, int echo_gain,
                             int output_gain);
/** Reads the echo's settings; a null pointer fails with "GetSfxParam->Invalid parameters !". */
DAR3_API int Mp3_GetSfxParam(MP3_HANDLE player, int* mode, int* delay_ms, int* input_gain, int* echo_gain,
                             int* output_gain);
/** Sets mode `mode`'s tap weights in percent: weight_count (1..20) values each for left and
 * right; taps past weight_count become 0. */
DAR3_API int Mp3_SetSfxModeData(MP3_HANDLE player, int mode, const int* left, const int* right, int weight_count);
/** Reads mode `mode`'s 20 left and 20 right weights in percent; returns 20. */
DAR3_API int Mp3_GetSfxModeData(MP3_HANDLE player, int mode, int* left, int* right);

/** @page dar3_callbacks Callback messages
 * Mp3_SetCallbackFunc(player, callback, message_mask) makes the player call `callback` with the
 * messages whose bits are in message_mask (MP3_EVENT_ values; a null callback or a mask of 0
 * ends the calls). The callback returns the answer to a synchronous message; an asynchronous
 * one ignores it. For one event the synchronous form goes out first, then the asynchronous one.
 *
 * - MP3_EVENT_PLAY, SYNC_PLAY: a run starts. wparam, lparam 0. Synchronous answer 1: do not
 *   play (Mp3_Play returns 0).
 * - MP3_EVENT_STOP, SYNC_STOP: a run ended, for any reason. 0, 0. No answer.
 * - MP3_EVENT_ENTER_LOOP, SYNC_ENTER_LOOP: a Mp3_PlayLoop pass begins. 0, 0. Answer 1: end
 *   looping (playback goes on past the loop's end).
 * - MP3_EVENT_EXIT_LOOP, SYNC_EXIT_LOOP: looping ended. 0, 0. No answer.
 * - MP3_EVENT_FADE_OUT_START, FADE_IN_START (and SYNC_): a fade begins. 0, 0. Answer 1:
 *   cancel the fade.
 * - MP3_EVENT_FADE_OUT_END, FADE_IN_END (and SYNC_): a fade ended or was cancelled. 0, 0.
 * - MP3_EVENT_STREAM_BUFFER_DONE, SYNC_: a managed stream used up pushed blocks. wparam the
 *   blocks still queued, lparam their unread bytes; 0, 0 when the stream ended. No answer.
 * - MP3_EVENT_STREAM_NEED_MORE_DATA, SYNC_: a managed stream ran dry. 0, 0. Answer 1: that was
 *   the end of the data; 2: look again at once; any other: wait for a push.
 * - MP3_EVENT_WAVE_BUFFER (synchronous only): a decoded block is ready. wparam its address
 *   (valid during the call only), lparam its size in bytes: 16-bit native-endian stereo
 *   frames at the stream's rate, effects applied. Answer 0: the device plays it; 2: stop
 *   playing; any other value (1): the program took it and the device skips it. In the
 *   no-output mode nothing is played whatever the answer.
 *
 * The contract below says what each function does when called from inside a callback. */

/** @page dar3_threads Threads
 * Every function of this header may be called on one player from any number of
 * threads at once, and from inside any callback (see the table below), and returns. The one
 * thing a caller must not do is use a handle after its own Mp3_Destroy returned, as with free.
 *
 * - Mp3_Destroy may be called from any thread, also while the player's callback thread is
 *   inside a handler that calls Play, OpenFile, Stop or anything else: it returns in bounded
 *   time, once the calls under way on other threads have returned, and leaves no thread of
 *   the player running. Calls made after destruction began (a handler's, say) fail with
 *   "<function>->Player is being destroyed !" and 0; Mp3_GetError still reads that text,
 *   and Mp3_GetStopReason still tells MP3_STOP_REASON_DESTROY to the STOP handler.
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
 *   Play                         | works; waits for the start result              | 0: "Play->Can't start playback
 * inside |                                                |   a synchronous callback of the run | |   still playing !"
 *   PlayLoop                     | works; waits for the start result              | 0: "PlayLoop->Can't start ..."
 * (same) Stop                         | stops and waits for the run's end              | 1: the stop is requested; the
 * run |                                                |   ends once the callback returns and | |   is joined by the
 * next call Seek                         | stops, then moves the next run's start         | same, with the stop only
 * requested ReverseMode                  | works (restarts a playing run)                 | 0 while playing:
 * "ReverseMode->Can't |                                                |   restart playback ..."; else works Close,
 * Open*, CreateEqBands  | work                                           | 0: "Close->Can't close the stream from | |
 * inside a synchronous callback !" Destroy                      | 1: the player is released once the outermost callback
 * has returned and |   a Play or PlayLoop waiting for that run's start has returned; no |   callback is called after
 * the current one, and no thread is left running SetCallbackFunc              | works; the replaced callback thread
 * ends when the current call returns Pause, Resume, the getters,  | work at once volume, effects, tags, FFT   |
 *
 * Play or PlayLoop made here and inside a callback at the same moment start one run; the other
 * returns 0 with "Play->Playback was started meanwhile by another call !" (PlayLoop likewise).
 *
 * No C++ exception crosses this interface: running out of memory fails the call with
 * "<function>->Memory allocation error !" and 0. */
DAR3_API int Mp3_SetCallbackFunc(MP3_HANDLE player, MP3_CALLBACK_FUNC callback, unsigned int message_mask);
/* Error texts: every function that changes the player (the Open*, Close, Play, PlayLoop, Seek,
 * Stop, Pause, Resume, ReverseMode, PushDataToStream, the volume, effect, equalizer, callback,
 * device and gapless setters, LoadID3 and GetID3Field) empties the text first, so that after it
 * Mp3_GetError tells its own failure, or nothing after a success. The getters leave the text
 * as it is: a failure of the running playback (device, decoding, a change of sample rate) is
 * set just before its STOP message and stays readable there.
 *
 * Why the last run of playback ended, readable at any time and meant for the STOP handler,
 * whose message keeps carrying (0, 0). Mp3_GetStopReason stores one of these in *reason and
 * returns 1 (0 with "GetStopReason->int *pReason can't be NULL" for a null pointer). A cause
 * asked for while another is already ending the run does not replace it (a Seek's own stop
 * reads as a seek).
 *   MP3_STOP_REASON_NONE            no run has ended since the player was made
 *   MP3_STOP_REASON_SONG_ENDED      the song (or a PlayLoop's last pass that does not go on)
 *                                   played to its end; a pushed stream ran out of data
 *   MP3_STOP_REASON_STOP            Stop, or CreateEqBands, which stops the run
 *   MP3_STOP_REASON_SEEK            Seek (and PlayLoop's seek to the loop's start)
 *   MP3_STOP_REASON_CLOSE           Close, or an Open* that closed the song
 *   MP3_STOP_REASON_REVERSE_MODE    ReverseMode restarting the run in the other direction
 *   MP3_STOP_REASON_DESTROY         Mp3_Destroy
 *   MP3_STOP_REASON_DEVICE_FAILURE  the output device could not be opened (GetError says why)
 *   MP3_STOP_REASON_DECODING_ERROR  decoding could not go on (memory; GetError says why)
 *   MP3_STOP_REASON_FORMAT_CHANGE   the stream changed its sample rate or layer: playback ends
 *                                   at the change instead of playing on at the wrong speed;
 *                                   GetError: "_ThreadFunc->The stream changes its sample rate
 *                                   here; playback ends !" (a change of the channel count plays
 *                                   on: the output is always two channels)
 *   MP3_STOP_REASON_CALLBACK        the callback ended it (PLAY answered 1, WAVE_BUFFER 2) */
#define MP3_STOP_REASON_NONE 0
#define MP3_STOP_REASON_SONG_ENDED 1
#define MP3_STOP_REASON_STOP 2
#define MP3_STOP_REASON_SEEK 3
#define MP3_STOP_REASON_CLOSE 4
#define MP3_STOP_REASON_REVERSE_MODE 5
#define MP3_STOP_REASON_DESTROY 6
#define MP3_STOP_REASON_DEVICE_FAILURE 7
#define MP3_STOP_REASON_DECODING_ERROR 8
#define MP3_STOP_REASON_FORMAT_CHANGE 9
#define MP3_STOP_REASON_CALLBACK 10
/** Stores in *reason why the last run of playback ended (an MP3_STOP_REASON_ value) and
 * returns 1; 0 with "GetStopReason->int *pReason can't be NULL" for a null pointer. Like
 * Mp3_GetError it also answers while Mp3_Destroy runs, so the STOP handler of the run that
 * Destroy ends reads MP3_STOP_REASON_DESTROY. */
DAR3_API int Mp3_GetStopReason(MP3_HANDLE player, int* reason);

/** Gapless playback, off by default. On, the next Open* reads the encoder's delay and padding
 * from the LAME/Info tag (LAME, FFmpeg), or without one from an ID3v2 comment "iTunSMPB", and
 * drops them together with the decoder's own delay of 529 samples, so that the output is,
 * sample for sample, what went into the encoder; GetSongLength, GetPosition, Seek, PlayLoop and
 * reverse play all count in that trimmed timeline. A managed stream drops the delay at its
 * start and holds its last samples back (at most the padding) until the data ends, where the
 * padding is dropped. A song without those figures plays untrimmed. Off, the output is the
 * whole decode. The switch applies from the next Open*; returns 1. */
DAR3_API int Mp3_SetGapless(MP3_HANDLE player, int enable);

/** @page dar3_spectrum The spectrum */

/** Analyses the next fft_points stereo frames about to sound: fft_points is a power of two,
 * at least 4, window_type a WINDOW_ value, fft_flags the FFT_OUT_ arrays wanted. Each
 * array (harmonic_count = fft_points / 2 + 1 entries, owned by the program; null when not
 * wanted) gets per frequency bin: the bin's frequency in Hz, the amplitude in dB relative to
 * full scale and the phase in degrees (-180..180). */
DAR3_API int Mp3_GetFFTValues(MP3_HANDLE player, int fft_points, int window_type, int fft_flags, int* harmonic_count,
                              int* harmonic_freqs, int* left_amplitudes, int* right_amplitudes, int* left_phases,
                              int* right_phases);

/** @page dar3_devices Output devices
 * Device index WAVE_MAPPER (the default) is the system's default output; indexes from 0 name
 * the devices Mp3_EnumerateWaveOut lists. Without a sound system (or under the headless and
 * silent backends) there is one device, a silent one that plays in real time. */

/** Lists the output devices again and returns how many there are; 0 with
 * "EnumerateWaveOut->There is no wave-out devices !". */
DAR3_API int Mp3_EnumerateWaveOut(MP3_HANDLE player);
/** Fills `info` for the device at `index` (listing the devices first if they never were).
 * 0 with "GetWaveOutInfo->Invalid first parameter. nIndex is out of bounds !" or "...Invalid
 * second parameter. pWaveOutInfo can't be 0 !". */
DAR3_API int Mp3_GetWaveOutInfo(MP3_HANDLE player, unsigned int index, WAVE_OUT_INFO* info);
/** Chooses the device (an index, or WAVE_MAPPER) the next open uses. 0 with
 * "SetWaveOutDevice->Invalid first parameter. nIndex is out of bounds !". */
DAR3_API int Mp3_SetWaveOutDevice(MP3_HANDLE player, unsigned int index);

#ifdef __cplusplus
}
#endif

#endif /* DAR3_DAR3_H */
