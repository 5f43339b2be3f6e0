#pragma once
// DAr3: the MP3 player behind the RUVe3 interface. A source (a mapped file or a resource) is
// decoded in place by libmad on a decoding thread of its own and played through WWaveOut.
#include <mad.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "dar3/ruve3.hpp"
#include "mp3/effects/dither.h"
#include "mp3/effects/fade.h"
#include "mp3/format/gapless_trim.h"
#include "mp3/format/vbr_header.h"
#include "mp3/output/stream_queue.h"
#include "mp3/output/wave_out.h"
#include "mp3/player/stop_reason.h"
#include "platform/files.h"
#if DAR3_WITH_ID3
#include "mp3/id3/id3.h"
#endif
#if DAR3_WITH_DSP
#include "mp3/dsp/echo.h"
#include "mp3/dsp/equalizers.h"
#include "mp3/dsp/spectrum.h"
#endif
#include "mp3/player/callback_dispatcher.h"
#include "mp3/player/run_controller.h"
#include "platform/mutex.h"
#include "platform/sync.h"

// What _Open learns about the source; reset by ReleaseSource.
struct StreamFormat {
  const uint8_t* source_start = nullptr;
  uint32_t source_size = 0;
  const uint8_t* source_last = nullptr;
  const uint8_t* data_start = nullptr;
  const uint8_t* data_last = nullptr;
  const uint8_t* read_position = nullptr;
  // Where a seek by time is heard from: the frame (decoding starts earlier, at read_position,
  // for the bit reservoir and the overlap) and the samples dropped from its front. Null: all
  // is heard from read_position on.
  const uint8_t* heard_from = nullptr;
  uint32_t heard_skip = 0;
  uint32_t data_size = 0;
  int32_t has_id3v1 = 0;
  int32_t has_id3v2 = 0;
  uint32_t sample_rate = 0;
  int32_t layer = 0;
  int32_t mode = 0;
  int32_t emphasis = 0;
  int32_t mode_extension = 0;
  uint32_t channels = 0;
  uint32_t first_bitrate = 0;
  uint32_t header_flags = 0;
  uint32_t samples_per_frame = 0;
  uint32_t version_bit = 0;
  uint32_t layer_bit = 0;
  uint32_t mode_bit = 0;
  uint32_t emphasis_bit = 0;
  float average_bitrate = 0.0f;
  float bytes_per_frame = 0.0f;
  int32_t vbr = 0;
  int32_t xing_used = 0;
  uint32_t xing_frame_length = 0;
  uint32_t total_frames = 0;
  uint32_t total_samples = 0;
  uint32_t song_length = 0;
  uint32_t audio_bytes = 0;
  unsigned long free_bitrate = 0;
  uint32_t frames_per_buffer = 0;
  VbrHeaderInfo vbr_info;
  // The samples the open found to be music (everything when gapless is off).
  GaplessTrim trim;
};

// Fields shared between the caller's thread, the decoding thread and the device's notices.
struct PlaybackState {
  std::atomic<int32_t> playing{0};
  std::atomic<int32_t> paused{0};
  std::atomic<uint32_t> seek_position{0};
  std::atomic<uint32_t> byte_position{0};
  std::atomic<uint32_t> current_bitrate{0};
  std::atomic<uint32_t> decoded_frames{0};
  std::atomic<uint32_t> kbit_sum{0};
  std::atomic<uint32_t> played_bytes{0};
  std::atomic<uint32_t> next_index{0};
  std::atomic<int32_t> buffer_played{0};
  std::atomic<int32_t> loop_active{0};
  std::atomic<int32_t> inside_loop{0};
  std::atomic<int32_t> repeat_count{0};
  std::atomic<int32_t> repeats_done{0};
  // A loop pass is exact to the sample: loop_samples long (the bounds rounded to the nearest
  // sample; a pass cut short by the end of the data sets it to what that pass delivered),
  // pass_samples_left of it still to deliver, and loop_jumps times the decoder went back to
  // the loop's start (GetPosition takes those passes off the device's count).
  std::atomic<uint32_t> loop_samples{0};
  std::atomic<uint32_t> pass_samples_left{0};
  std::atomic<int32_t> loop_jumps{0};
  std::atomic<int32_t> was_playing{0};
  // Samples handed to the MP3_EVENT_WAVE_BUFFER handler this run: the position's clock while
  // it takes the blocks (counted in samples, so no rounding adds up over a long song).
  std::atomic<uint64_t> played_samples{0};
  // Once-flags: each fade and loop notice goes out once per fade or loop pass.
  std::atomic<int32_t> enter_loop_sent{0};
  std::atomic<int32_t> exit_loop_sent{0};
  // The fade notices' once-flags live in FadeControl.
};

// The effect switches the decoding thread tests; their operations set them.
struct EffectSwitches {
  std::atomic<int32_t> echo_on{0};
  std::atomic<int32_t> echo_mode{0};
  std::atomic<int32_t> fft_eq_on{0};
  std::atomic<int32_t> subband_eq_on{0};
  std::atomic<int32_t> vocal_cut{0};
  std::atomic<int32_t> mix_channels{0};
  std::atomic<int32_t> fade_in_active{0};
  std::atomic<int32_t> fade_out_active{0};
  std::atomic<int32_t> internal_volume{0};
  std::atomic<int32_t> reverse_mode{0};
  std::atomic<int32_t> pushed_stream{0};
  // Total volume factors (player volume x fade) differ from 1.0.
  std::atomic<int32_t> volume_scaled{0};
};

// Threads, locks and who may touch what.
//
// Threads:
//   caller      any number of threads calling the interface at once, the callback thread
//               among them. A call made after destruction began fails with "->Player is being
//               destroyed !"; destruction waits until the calls under way have returned.
//   decoding    one per run (_ThreadFunc, started through runs_): decodes, runs the effect
//               chain, fills the wave buffers; ended by the song's end or a stop request.
//   callback    the dispatcher's (dispatcher_): every notice goes out there.
//   device      the audio engine's notices (WaveOutCallback): played bytes, buffer done.
//   equalizer   the FFT equalizer's worker, inside dsp::Equalizers.
//
// The player is a monitor: lock_ guards the state the exports share, the rest belongs to one
// collaborator with its own short table (callback_dispatcher.h, run_controller.h, the effect
// locks of FadeControl, EchoProcessor and Equalizers, WWaveOut's device lock). No lock is held
// while a user callback runs, while a thread is joined or waited for, or while a frame decodes.
//
//   lock                 guards
//   lock_                format_ (the open stream as the getters see it), mapping_,
//                        stream_source_, frame_index_, closing_, opening_, destroying_, calls_,
//                        devices_, devices_listed_, the id3 reader, the wave ring's allocation
//                        (made and freed only with no run), and the next run's start in format_
//                        (read_position, heard_from, heard_skip) against the run's rewind
//   error_lock_          error_ (a leaf: taken under lock_, nothing taken under it)
//   equalizer_calls_lock_  the equalizers' setters, one caller at a time (taken alone)
//   (atomics)            state_, effects_, the mix factors, no_output_, device_id_
//   (the run's own)      run_format_, run_index_ and the fields marked "decoding thread": the
//                        current run writes them; a new run starts only after the last one is
//                        done (runs_), and Open/Close change the source only with no run
//
// Order: lock_ may be held while taking error_lock_, the run controller's or a collaborator's
// lock; none of those is held while taking lock_. Waits go through dispatcher_.WaitServing,
// woken by whatever changed.
class DAr3 final : public RUVe3 {  // NOLINT(cppcoreguidelines-virtual-class-destructor): final
 public:
  DAr3();
  ~DAr3();
  DAr3(const DAr3&) = delete;
  DAr3& operator=(const DAr3&) = delete;

  int GetVersion() override;
  const char* GetError() override;
  int EnumerateWaveOut() override;
  int GetWaveOutInfo(unsigned int index, WAVE_OUT_INFO* info) override;
  int SetWaveOutDevice(unsigned int index) override;
  int OpenFile(const char* name, int buffer_ms, unsigned int offset, unsigned int size) override;
  int OpenStream(int buffered, int managed, const void* data, unsigned int size, int buffer_ms) override;
  int PushDataToStream(const void* data, unsigned int size) override;
  int IsStreamDataFree(const void* data) override;
  int GetStreamLoad(STREAM_LOAD_INFO* load) override;
  int OpenResource(void* module, const char* res_name, const char* res_type, int buffer_ms, unsigned int offset,
                   unsigned int size) override;
  int Close() override;
  int Play() override;
  int PlayLoop(int start_format, MP3_TIME* start, int end_format, MP3_TIME* end, int repeat_count) override;
  int Seek(int format, MP3_TIME* time, int move_method) override;
  int ReverseMode(int enable) override;
  int Stop() override;
  int Pause() override;
  int Resume() override;
  int GetPosition(MP3_TIME* time) override;
  int InternalVolume(int enable) override;
  int SetVolume(unsigned int left, unsigned int right) override;
  int SetMasterVolume(unsigned int left, unsigned int right) override;
  int SetPlayerVolume(unsigned int left, unsigned int right) override;
  int GetVolume(int* left, int* right) override;
  int GetMasterVolume(int* left, int* right) override;
  int GetPlayerVolume(int* left, int* right) override;
  int GetMp3Info(MP3_STREAM_INFO* info) override;
  int GetSongLength(MP3_TIME* length) override;
  int GetBitrate(int average) override;
  int GetStatus(MP3_STATUS* status) override;
  int MixChannels(int enable, unsigned int left_percent, unsigned int right_percent) override;
  int GetVUData(unsigned int* left, unsigned int* right) override;
  int VocalCut(int enable) override;
  int FadeVolume(int mode, int format, MP3_TIME* time) override;
  int FadeVolumeEx(int mode, int format, MP3_TIME* time) override;
  int EnableEQ(int enable, int fft_eq) override;
  int CreateEqBands(const int* edge_freqs, int edge_count) override;
  int GetEqBands(int* edge_freqs) override;
  int SetEQParam(int fft_eq, int preamp, const int* gains, int gain_count) override;
  int SetEQParamEx(int fft_eq, int preamp, const int* gains, int gain_count) override;
  int GetEQParam(int fft_eq, int* preamp, int* gains) override;
  int GetEQParamEx(int fft_eq, int* preamp, int* gains) override;
  int LoadID3(int tag_version, MP3_ID3_FIELDS* fields) override;
  int SetSfxParam(int enable, int mode, int delay_ms, int input_gain, int echo_gain, int output_gain) override;
  int GetSfxParam(int* mode, int* delay_ms, int* input_gain, int* echo_gain, int* output_gain) override;
  int SetSfxModeData(int mode, const int* left, const int* right, int weight_count) override;
  int GetSfxModeData(int mode, int* left, int* right) override;
  void Release() override;
  int SetCallbackFunc(MP3_CALLBACK_FUNC callback, unsigned int message_mask) override;
  int GetFFTValues(FFT_STRUCT* fft) override;
  int OpenFileW(const wchar_t* name, int buffer_ms, unsigned int offset, unsigned int size) override;

  // Why the last run ended (MP3_STOP_REASON_*), and gapless trimming from the next open on.
  int GetStopReason(int* reason);
  int SetGapless(int enable);

  // The last error text, cut to the caller's buffer (Mp3_GetError's contract).
  int CopyError(char* buffer, int buffer_size) EXCLUDES(error_lock_);
  // Every flat export runs between these: counted, so that destruction waits for it, and
  // refused ("<op>->Player is being destroyed !") once destruction began.
  bool EnterCall(const char* op) EXCLUDES(lock_);
  void LeaveCall() EXCLUDES(lock_);
  // Mp3_GetID3Field: LoadID3, then one field cut to the caller's buffer.
  int GetID3Field(int tag_version, int field_id, char* buffer, int buffer_size) EXCLUDES(lock_);
  void SetError(const char* message) EXCLUDES(error_lock_);
  void SetErrorF(const char* format, ...) __attribute__((format(printf, 2, 3))) EXCLUDES(error_lock_);

  // Read-only views for tests and tools: a copy of the open stream's figures, and the device.
  StreamFormat Format() const EXCLUDES(lock_);
  WWaveOut& WaveOut() { return wave_; }
  bool NoOutputMode() const { return no_output_; }
#if DAR3_WITH_DSP
  const dsp::Equalizers& EqualizerState() const { return equalizers_; }
#endif

 private:
  // Opening (dar3_open.cpp).
  // The offset and size against the source's size, with their messages.
  bool CheckRange(const char* op, size_t total, unsigned int offset, unsigned int size) REQUIRES(lock_);
  int OpenRange(const char* op, const uint8_t* data, size_t total, unsigned int offset, unsigned int size,
                int buffer_ms) REQUIRES(lock_);
  // Closes whatever is open and claims the source for an opener (opening_): false with the
  // error set when the stream cannot be closed here. EndOpening gives the claim up.
  bool BeginOpening() EXCLUDES(lock_);
  void EndOpening() EXCLUDES(lock_);
  struct OpeningClaim {
    DAr3& player;
    ~OpeningClaim() { player.EndOpening(); }
  };
  // The steps of _Open, each false with the message set when it fails; AbandonOpen undoes a
  // failed open, whichever step failed.
  int _Open(int buffer_ms) REQUIRES(lock_);  // NOLINT(bugprone-reserved-identifier): the name the design gives it
  void StripTags() REQUIRES(lock_);
  bool ReadFirstFrame() REQUIRES(lock_);
  void ReadVbrHeader() REQUIRES(lock_);
  void LengthFromVbrHeader(uint64_t song_bytes) REQUIRES(lock_);
  void MeasureLength() REQUIRES(lock_);  // length figures from a frame scan, without a usable VBR header
  // Where the whole data is at hand: the length figures counted from the frame index, which
  // wins over any header, and the gapless trim (dar3_exact_length.cpp).
  void LengthFromFrameIndex() REQUIRES(lock_);
  void SetUpGaplessTrim() REQUIRES(lock_);
  void ReportTrimmedLength(const GaplessTrim& trim) REQUIRES(lock_);  // total samples, song length
  // The encoder's delay and padding: from the LAME tag, else from an "iTunSMPB" comment.
  EncoderGap EncoderGapOfSource() REQUIRES(lock_);
  bool PrepareOutput(int buffer_ms) REQUIRES(lock_);
  void AbandonOpen() REQUIRES(lock_);
  void ReleaseSource() REQUIRES(lock_);
  void CloseSourceHandles() REQUIRES(lock_);
  // A stream is open (a Close may be ending its run meanwhile).
  bool IsOpen() const REQUIRES(lock_) { return format_.data_start != nullptr; }

  // Decoding thread (decode_thread.cpp).
  void _ThreadFunc(RunFlags& run);  // NOLINT(bugprone-reserved-identifier): the design's name
  // The steps of one run's main loop, on what it carries from frame to frame (RunDecode).
  // The first three return false when the run ends there.
  struct RunDecode;
  bool StartChecks(RunFlags& run);   // the PLAY notice and what must hold before the start
  bool OnDecodeError(RunDecode& r);  // refill, next reverse block, tail, loop or the end
  bool EmitFrame(RunDecode& r);      // the frame's PCM into the block, up to a loop pass's end
  void StartDecoder(RunDecode& r);
  void StartReverseBlock(RunDecode& r);
  void RestartAtLoopStart(RunDecode& r);
  bool NextReverseBlock(RunDecode& r);
  bool DecodeIntoTail(RunDecode& r);
  bool EndOfForwardData(RunDecode& r);
  bool IsWarmUpFrame(RunDecode& r);  // decoded for the reservoir and overlap, not heard
  // False at a change of sample rate or layer that lasts: the run ends there (a single odd
  // frame is skipped, as the damaged frame it is). *skip: this frame is not played.
  bool FrameFormatHolds(RunDecode& r, bool* skip);
  // The untrimmed timeline's first sample of the frame being decoded (gapless only).
  uint64_t FrameFirstSample(const RunDecode& r) const;
  void RecordBytePosition(const RunDecode& r);
  // Where a byte being decoded lies in the song's data, the tail block's copy included.
  uint64_t SourceOffset(const RunDecode& r, const uint8_t* at) const;
  void RunFrameStages(mad_frame* frame);  // loop entry notice, frame effects, bitrate figures
  // A new run: its seek mark cleared, the buffer records reset, playing set (loop: 1 for
  // PlayLoop), the stream's figures and frame index handed to it.
  void PrepareRun(int32_t loop) REQUIRES(lock_);
  // Starts the decoding thread; null, with the run undone and `failure` as the error, if not.
  std::shared_ptr<RunFlags> LaunchRun(const char* failure) REQUIRES(lock_);
  // Bytes the device has played since the buffer its last done notice points at began (the
  // spectrum and the VU meter both start there).
  uint32_t PlayedIntoRecordedBuffer();
  // Steps of a run: the device opened (false with the message set), the ring and the
  // dither made new, one frame's PCM dithered into the block from sample `drop` on, and the
  // end: the last buffers played (or dropped when stopped), the device closed, the notices.
  bool OpenRunOutput();
  void ResetRunBuffers();
  void AppendPcm(const mad_pcm& pcm, uint32_t drop, uint32_t length);
  // Gapless on a pushed stream: the samples appended from `from_bytes` on join the held-back
  // tail, and what the padding cannot be any longer takes their place in the block.
  void HoldBackPadding(uint32_t from_bytes);
  void FinishRun(RunFlags& run);
  void FailStart(RunFlags& run);  // a run that could not start: its result, the signal, the stop notice
  void FinishEmptyRun(RunFlags& run);
  // Loop passes: the samples of a heard frame the pass still takes; what follows a pass that
  // ended (the loop's start again, playback past the loop, or the end of the run); and the
  // repeats cancelled by the ENTER_LOOP answer.
  enum class AfterPass { kNone, kReplay, kGoOn, kStop };
  uint32_t TakeFromPass(uint32_t heard);
  AfterPass EndLoopPass();
  void CancelLoopRepeats();
  void ClearRunFields() EXCLUDES(lock_);
  // Hands a filled block on: to the callback, or to the device, then waits for the next free
  // buffer. False when playback has to end.
  bool WriteBlock(char* block, uint32_t bytes);
  bool RunBufferStage(uint32_t bytes);
  void AdvanceBuffer();
  void WaitForBuffer(uint32_t index);
  static void WaveOutCallback(uint32_t message, uintptr_t instance, platform::WaveHeader* header);

  // Effect stages, one hook each (effect_stages.cpp); each runs only while its switch is on.
  void FrameStageMixChannels(mad_frame* frame);
  void FrameStageSubbandEq(mad_frame* frame);
  void FrameStageFade();
  void BlockStageReverse(char* block, uint32_t bytes);
  void BlockStageVolume(char* block, uint32_t bytes);
  void BlockStageVocalCut(char* block, uint32_t bytes);
  void BlockStageEcho(char* block, uint32_t bytes);
  // Returns the bytes left to write (the equalizer's latency is dropped from the front).
  uint32_t BlockStageFftEq(char* block, uint32_t bytes);
  // Start of a run (echo history, equalizer state), after opening a stream (echo buffers,
  // equalizer redesign and latency), and the equalizer's tail at the end of a run.
  void StageResetAtStart();
  bool StagePrepareAtOpen() REQUIRES(lock_);  // false with the message set
  void StageDrainAtEnd();

  // Runs and callbacks (dar3_runs.cpp): the facade's side of the dispatcher and the run
  // controller.
  int32_t Notify(uint32_t async_bit, intptr_t wparam = 0, intptr_t lparam = 0) {
    return dispatcher_.Notify(async_bit, wparam, lparam);
  }
  bool WantsMessage(uint32_t bit) const { return dispatcher_.Wants(bit); }
  // Inside a synchronous callback whose answer a live run waits for: that run cannot end
  // before the callback returns.
  bool InsideSynchronousCallbackOfLiveRun();
  // Ends the wait for the current run: joined, or (on the callback thread) waited for until
  // done and joined later. False when the caller is inside a synchronous callback of it.
  bool EndRun();
  // Stop's work without its error texts: false when no run was playing (one that ended by
  // itself is still waited for).
  bool StopRun();
  // Stop, and false with `refusal` as the error when the run cannot end yet (see EndRun).
  bool StopForChange(const char* refusal);
  // StopForChange that also claims the launch, so no other caller starts a run until
  // runs_.DropClaim(); false with the error set.
  bool StopHoldingLaunch(const char* op, const char* refusal);
  // A run lets go of the player: why it ended is fixed now, before a handler of its last
  // notices (STOP among them) may start the next run.
  void EndOfRun(RunFlags& run);
  // Clears `playing` and wakes the decoding thread from whichever wait it is in.
  void RequestStop();
  // Play and PlayLoop: the previous run ended, a new one set up (`setup` runs before the thread
  // starts) and launched, and its start result awaited. False with the error set.
  bool StartRun(int32_t loop, const char* op, const char* failure, const std::function<void()>& setup = {})
      EXCLUDES(lock_);
  // A start waits for its run, and a handler of that run may destroy the player meanwhile:
  // counted as a call under way for its whole length, also when it comes through the C++
  // interface rather than the counted flat exports, so destruction waits for it.
  class CountedStart {
   public:
    explicit CountedStart(DAr3& player) EXCLUDES(player.lock_);
    ~CountedStart();
    CountedStart(const CountedStart&) = delete;
    CountedStart& operator=(const CountedStart&) = delete;

   private:
    DAr3& player_;
  };
  // Destruction: no call or run may start from now on; WindDown returns once no run exists and
  // no call is under way (on the callback thread: once every run's thread has returned).
  void BeginDestroy() EXCLUDES(lock_);
  void WindDown() EXCLUDES(lock_);
  // Destroy from inside a callback: after the outermost callback returned, on its thread.
  void ReleaseFromCallbackThread();

  int NotAvailable(const char* op);
  // Stop for `reason`, when a run is playing.
  void StopFor(int32_t reason);
  StopReasonRecord stop_reason_;
  std::atomic<bool> gapless_{false};
  int LoadID3Locked(int tag_version, MP3_ID3_FIELDS* fields) REQUIRES(lock_);

  char error_[513] GUARDED_BY(error_lock_) = {};
  mutable platform::Mutex error_lock_;

  // The monitor's lock (see the table above).
  mutable platform::Mutex lock_ ACQUIRED_BEFORE(error_lock_);
  bool closing_ GUARDED_BY(lock_) = false;     // a Close is ending the run before it lets go
  bool opening_ GUARDED_BY(lock_) = false;     // an opener has claimed the closed source
  bool destroying_ GUARDED_BY(lock_) = false;  // Destroy has begun
  int calls_ GUARDED_BY(lock_) = 0;            // flat exports under way

  CallbackDispatcher dispatcher_;
  // Declared after the dispatcher: its runs are joined before the dispatcher goes.
  RunController runs_{[this] { dispatcher_.Wake(); }};

  WWaveOut wave_;
  StreamFormat format_ GUARDED_BY(lock_);
  // The current run's copy of the stream's figures and frame index (decoding thread).
  StreamFormat run_format_;
  std::shared_ptr<const std::vector<const uint8_t*>> run_index_;
  const std::vector<const uint8_t*>& RunIndex() const;
  PlaybackState state_;
  EffectSwitches effects_;

  // The open source: a mapped file or a registered resource, read in place.
  std::unique_ptr<platform::MappedFile> mapping_ GUARDED_BY(lock_);
  std::atomic<bool> no_output_{false};

  bool seek_after_run_ GUARDED_BY(lock_) = false;  // a Seek moved the next run's start
  platform::Event stream_data_event_{true, false};
  platform::Event buffer_done_event_{false, false};
  DitherState dither_[2];
  std::vector<uint8_t> tail_block_;
  // Built once per stream on first need (reverse play, sample-exact seeks); a run keeps its own
  // reference.
  std::shared_ptr<const std::vector<const uint8_t*>> frame_index_ GUARDED_BY(lock_);
  bool EnsureFrameIndex() REQUIRES(lock_);  // false when no frame is found or memory runs out
  std::vector<char> gapless_buffer_;        // the FFT equalizer's tail, composed aside when it goes off
  // The decoding thread composes each block here, runs the stages on it, and copies it into its
  // wave buffer only when it is handed to the device (the spectrum and VU read those buffers).
  std::vector<char> work_block_;
  uint32_t eq_latency_bytes_ = 0;
  uint32_t eq_drop_bytes_ = 0;
  bool eq_used_ = false;
  // Decoder write state of the current run.
  uint32_t current_index_ = 0;
  uint32_t bytes_in_buffer_ = 0;
  uint32_t frames_in_buffer_ = 0;
  uint32_t frames_this_run_ = 0;
  // A pushed stream's last samples, which its padding may turn out to be (dropped at its end).
  std::vector<int16_t> held_back_;

  // Managed streams (dar3_stream.cpp; the decoding thread's side in dar3_stream_feed.cpp).
  StreamQueue& ActiveStreamQueue() {
    return stream_buffered_ ? static_cast<StreamQueue&>(stream_copies_) : stream_blocks_;
  }
  void ClearStreamQueues() REQUIRES(lock_);
  bool StreamAllocateBuffer();  // false when memory runs out
  void StreamFeedStart();
  // Refills the decoder input after it ran dry; false when the stream has ended.
  bool StreamRefill(mad_stream* stream);
  uint32_t StreamBytePosition(const uint8_t* frame) const;
  void StreamFinishRun();
  StreamBlockQueue stream_blocks_;
  StreamCopyQueue stream_copies_;
  std::atomic<int32_t> stream_buffered_{0};
  std::atomic<int32_t> stream_managed_{0};
  std::atomic<int32_t> stream_end_of_data_{0};
  // The first block while it is the source range: the tag reader and the opener read it long
  // after the queue may have let go of the caller's block.
  std::shared_ptr<const uint8_t[]> stream_source_ GUARDED_BY(lock_);
  // A managed stream whose first blocks end inside its leading ID3v2 tag: the pushes are
  // queued until they hold stream_open_needs_ bytes (the tag and room for the first frames),
  // and the stream opens on a copy of them then, or on all there is at the end of the data.
  // Not open meanwhile; only the pushes, the queue's figures and Close apply.
  bool stream_opening_ GUARDED_BY(lock_) = false;
  uint64_t stream_open_needs_ GUARDED_BY(lock_) = 0;
  int stream_open_buffer_ms_ GUARDED_BY(lock_) = 0;
  static constexpr uint64_t kLargestStream = 0xFFFFFFFFu;
  // OpenStream's success while the first frames are still to come.
  int WaitForStreamFrames(uint64_t needed, int buffer_ms) REQUIRES(lock_);
  // _Open on the stream's first `size` bytes, at `head`.
  bool OpenStreamHead(const uint8_t* head, uint64_t size, int buffer_ms) REQUIRES(lock_);
  // After a push while opening: opens the stream once enough has come (false with the error
  // set, and the stream closed, when it cannot be opened).
  bool ContinueStreamOpen(bool at_end) REQUIRES(lock_);
  std::vector<uint8_t> stream_buffer_;  // the decoder's input, refilled from the queue
  uint64_t stream_buffer_origin_ = 0;   // stream offset (from data start) of its first byte
  uint32_t stream_skip_ = 0;            // bytes before data start still to drop
  bool stream_guard_added_ = false;     // zero bytes behind the last frame at the end

#if DAR3_WITH_ID3
  id3::Id3Reader id3_ GUARDED_BY(lock_);
#endif
#if DAR3_WITH_DSP
  dsp::Equalizers equalizers_;
  // The equalizers' operations change their worker and tables one caller at a time (the
  // decoding thread filters under the equalizers' own locks, never this one).
  platform::Mutex equalizer_calls_lock_;
  dsp::EchoProcessor echo_;
  dsp::Spectrum spectrum_;
#endif

  // Volume, fades, channel mixing, reverse play and VU (dar3_volume.cpp, dar3_reverse.cpp,
  // dar3_vu.cpp) and seeking, loops and position (dar3_seek.cpp).
  FadeControl fade_;
  std::atomic<int32_t> mix_left_{0x10000000};
  std::atomic<int32_t> mix_right_{0x10000000};
  // Copies the fade's state into the switches the decoding thread and GetStatus read.
  void SyncFadeSwitches();
  // The position being heard, in ms (GetPosition's arithmetic).
  uint32_t PositionMs() REQUIRES(lock_);
  // A seek by time on the exact sample: where decoding starts, the frame heard first and the
  // samples dropped from it. False without a frame index.
  bool SeekToSample(uint32_t ms) REQUIRES(lock_);

  // Output devices.
  void ListDevicesOnce() EXCLUDES(lock_);
  std::vector<platform::WaveOutCaps> devices_ GUARDED_BY(lock_);
  bool devices_listed_ GUARDED_BY(lock_) = false;
  std::atomic<uint32_t> device_id_{0xFFFFFFFFu};
};
