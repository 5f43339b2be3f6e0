// The decoding thread: libmad decodes the source in place, the frames are dithered to 16-bit
// stereo into the wave buffers, and each full buffer goes through the block effects to the
// device (or to the MP3_EVENT_WAVE_BUFFER handler), one free buffer at a time.
#include <algorithm>
#include <cstring>

#include "mp3/dsp/shared_pcm.h"
#include "mp3/format/frame_index.h"
#include "mp3/format/seek_math.h"
#include "mp3/player/dar3_player.h"

namespace {

constexpr uint32_t kBufferWaitMs = 250;  // a safety net: every wait also ends on its event

// Libmad's decoder objects for one run.
struct Decoder {
  mad_stream stream{};
  mad_frame frame{};
  mad_synth synth{};
  Decoder() { Init(); }
  ~Decoder() { Finish(); }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;
  void Init() {
    mad_stream_init(&stream);
    mad_frame_init(&frame);
    mad_synth_init(&synth);
  }
  void Finish() {
    mad_synth_finish(&synth);
    mad_frame_finish(&frame);
    mad_stream_finish(&stream);
  }
  // Starts decoding afresh at `from` inside [start, start + size).
  void Restart(const uint8_t* start, uint32_t size, const uint8_t* from, unsigned long freerate) {
    Finish();
    Init();
    stream.freerate = freerate;
    mad_stream_buffer(&stream, start, size);
    if (from > start) mad_stream_skip(&stream, static_cast<unsigned long>(from - start));
  }
};

}  // namespace

void DAr3::ClearRunFields() {
  // Whatever fade was under way ends with the run: the next one starts at full volume, as
  // after Stop (a fade-out that reached the song's end would otherwise silence it).
  fade_.Reset();
  SyncFadeSwitches();
  state_.playing = 0;
  state_.paused = 0;
  state_.played_bytes = 0;
  state_.next_index = 0;
  state_.buffer_played = 0;
  state_.current_bitrate = 0;
  state_.decoded_frames = 0;
  state_.kbit_sum = 0;
  state_.loop_active = 0;
  state_.byte_position = 0;
  // The next run starts at the beginning, unless a Seek has already moved it.
  platform::MutexLock hold(lock_);
  if (!seek_after_run_) {
    format_.read_position = format_.data_start;
    format_.heard_from = nullptr;
    format_.heard_skip = 0;
    state_.seek_position = 0;
  }
}

void DAr3::FailStart(RunFlags& run) {
  state_.inside_loop = 0;
  state_.playing = 0;
  state_.loop_active = 0;
  EndOfRun(run);
  // The start is signalled before the stop notice: a STOP handler may start the next run.
  runs_.SignalStart(run, 0);
  Notify(MP3_EVENT_STOP);
}

void DAr3::FinishEmptyRun(RunFlags& run) {
  ClearRunFields();
  state_.inside_loop = 0;
  EndOfRun(run);
  runs_.SignalStart(run, 1);
  Notify(MP3_EVENT_STOP);
}

void DAr3::WaitForBuffer(uint32_t index) {
  while (!wave_.IsBufferDone(index) && state_.playing) buffer_done_event_.Wait(kBufferWaitMs);
}

void DAr3::AdvanceBuffer() {
  uint32_t next = current_index_ + 1;
  if (next >= wave_.GetBufferCount()) next = 0;
  current_index_ = next;
  bytes_in_buffer_ = 0;
  frames_in_buffer_ = 0;
}

bool DAr3::WriteBlock(char* block, uint32_t bytes) {
  const uint32_t index = current_index_;
  bool consumed = false;
  if (WantsMessage(MP3_EVENT_WAVE_BUFFER)) {
    state_.played_samples += bytes / 4;
    const int32_t answer = dispatcher_.Send(MP3_EVENT_WAVE_BUFFER, reinterpret_cast<intptr_t>(block), intptr_t(bytes));
    if (!state_.playing || answer == 2) {
      if (answer == 2) stop_reason_.EndedBy(MP3_STOP_REASON_CALLBACK);
      state_.playing = 0;
      return false;
    }
    consumed = answer != 0;
  }
  // Without a device the block has nowhere to go but the callback.
  if (!consumed && !no_output_) {
    dsp::PublishPcm(wave_.GetBufferData(index), block, bytes);
    wave_.SetBufferLength(index, bytes);
    // A block the device refused is lost, but the ring must not wait for it.
    if (!wave_.PlayBuffer(index)) wave_.MarkBufferDone(index);
  }
  AdvanceBuffer();
  WaitForBuffer(current_index_);
  wave_.UnprepareBuffer(current_index_);
  return state_.playing != 0;
}

bool DAr3::RunBufferStage(uint32_t bytes) {
  char* block = work_block_.data();
  if (effects_.reverse_mode) BlockStageReverse(block, bytes);
  if (effects_.volume_scaled) BlockStageVolume(block, bytes);
  if (effects_.vocal_cut) BlockStageVocalCut(block, bytes);
  if (effects_.echo_on) {
    if (!state_.playing) return false;
    BlockStageEcho(block, bytes);
  }
  if (effects_.fft_eq_on || eq_used_) {
    if (!state_.playing) return false;
    bytes = BlockStageFftEq(block, bytes);
  }
  if (!state_.playing) return false;
  if (bytes == 0) {
    bytes_in_buffer_ = 0;
    frames_in_buffer_ = 0;
    return true;
  }
  return WriteBlock(block, bytes);
}

bool DAr3::OpenRunOutput() {
  const uint32_t device = device_id_;
  if (!wave_.OpenAudioOutput(device, &DAr3::WaveOutCallback, reinterpret_cast<uintptr_t>(this), 0x30000)) {
    std::string name;
    {
      platform::MutexLock hold(lock_);
      if (device != WAVE_MAPPER && devices_listed_ && device < devices_.size()) name = devices_[device].name;
    }
    if (device == WAVE_MAPPER)
      SetError("_ThreadFunc->Can't open wave output: WAVE_MAPPER");
    else if (!name.empty())
      SetErrorF("_ThreadFunc->Can't open wave output: %s", name.c_str());
    else
      SetError("_ThreadFunc->Can't open wave output");
    return false;
  }
  return true;
}

void DAr3::ResetRunBuffers() {
  dither_[0] = DitherState{};
  dither_[1] = DitherState{};
  current_index_ = 0;
  bytes_in_buffer_ = 0;
  frames_in_buffer_ = 0;
  frames_this_run_ = 0;
  held_back_.clear();
  eq_drop_bytes_ = eq_latency_bytes_;
  eq_used_ = false;
  for (uint32_t i = 0; i < wave_.GetBufferCount(); ++i) {
    wave_.MarkBufferDone(i);
    wave_.UnprepareBuffer(i);
  }
  StageResetAtStart();
}

void DAr3::AppendPcm(const mad_pcm& pcm, uint32_t drop, uint32_t length) {
  int16_t* out = reinterpret_cast<int16_t*>(work_block_.data() + bytes_in_buffer_) - 2 * drop;
  const mad_fixed_t* left = pcm.samples[0];
  if (pcm.channels == 2) {
    const mad_fixed_t* right = pcm.samples[1];
    for (uint32_t i = drop; i < length; ++i) {
      out[2 * i] = LinearDither(left[i], &dither_[0]);
      out[2 * i + 1] = LinearDither(right[i], &dither_[1]);
    }
  } else {
    for (uint32_t i = drop; i < length; ++i) out[2 * i] = out[2 * i + 1] = LinearDither(left[i], &dither_[0]);
  }
  bytes_in_buffer_ += (length - drop) * 4;
}

void DAr3::HoldBackPadding(uint32_t from_bytes) {
  auto* block = reinterpret_cast<int16_t*>(work_block_.data());
  const size_t limit = size_t(run_format_.trim.HeldBack()) * 2;
  held_back_.insert(held_back_.end(), block + from_bytes / 2, block + bytes_in_buffer_ / 2);
  // What the padding can no longer claim goes on, in the place of the samples just appended.
  const size_t passed = held_back_.size() > limit ? held_back_.size() - limit : 0;
  std::copy(held_back_.begin(), held_back_.begin() + std::ptrdiff_t(passed), block + from_bytes / 2);
  held_back_.erase(held_back_.begin(), held_back_.begin() + std::ptrdiff_t(passed));
  bytes_in_buffer_ = from_bytes + uint32_t(passed) * 2;
}

void DAr3::FinishRun(RunFlags& run) {
  const uint32_t count = wave_.GetBufferCount();
  if (state_.playing) {
    for (uint32_t i = 0; i < count && state_.playing; ++i) {
      WaitForBuffer(i);
      wave_.UnprepareBuffer(i);
    }
  } else {
    wave_.ResetOutput();
    for (uint32_t i = 0; i < count; ++i) wave_.UnprepareBuffer(i);
  }

  ClearRunFields();
  wave_.Close();
  state_.inside_loop = 0;
  if (effects_.pushed_stream) StreamFinishRun();
  // From here on only notices go out: the next run may start from any of them.
  EndOfRun(run);
  if (state_.enter_loop_sent && !state_.exit_loop_sent.exchange(1)) Notify(MP3_EVENT_EXIT_LOOP);
  fade_.SendOwedEnds([this](uint32_t event) { return Notify(event); });
  Notify(MP3_EVENT_STOP);
}

uint32_t DAr3::TakeFromPass(uint32_t heard) {
  const uint32_t left = state_.pass_samples_left;
  const uint32_t taken = heard < left ? heard : left;
  state_.pass_samples_left = left - taken;
  return taken;
}

DAr3::AfterPass DAr3::EndLoopPass() {
  if (state_.repeats_done < state_.repeat_count && state_.loop_samples > 0) {
    ++state_.repeats_done;
    ++state_.loop_jumps;
    state_.pass_samples_left = state_.loop_samples.load();
    return AfterPass::kReplay;
  }
  state_.inside_loop = 0;
  if (!state_.exit_loop_sent.exchange(1)) Notify(MP3_EVENT_EXIT_LOOP);
  return state_.was_playing ? AfterPass::kGoOn : AfterPass::kStop;
}

void DAr3::CancelLoopRepeats() {
  state_.inside_loop = 0;
  state_.repeats_done = state_.repeat_count.load();
  state_.was_playing = 1;
}

// What the decoding thread's main loop carries from one frame to the next.
struct DAr3::RunDecode {
  Decoder dec;
  bool reverse = false;
  const uint8_t* data_end = nullptr;
  uint32_t buffer_capacity = 0;
  // Where the tail block's bytes came from, while decoding from it.
  const uint8_t* tail_origin = nullptr;
  // Reverse play decodes blocks of frames [Q, R) from the end backwards, each preceded by
  // warm-up frames that rebuild the decoder's overlap and bit reservoir but are not heard: at
  // least two, and as many as the reservoir of the frame before the block reaches back (up to
  // 511 bytes of main data, several frames at low bitrates).
  uint32_t block_end = 0;    // R
  uint32_t block_start = 0;  // Q
  const uint8_t* first_heard = nullptr;
  // A seek by time: the frames before heard_from only warm the decoder up, and the first heard
  // frame loses `skip` samples from its front. Armed again at each loop pass.
  const uint8_t* heard_from = nullptr;
  uint32_t skip = 0;
  uint32_t drop = 0;  // samples of the current frame not heard
  bool restart_at_loop_start = false;
  bool odd_format = false;              // the last frame differed from the stream's format
  uint64_t streamed_samples = 0;        // a pushed stream's samples decoded before this frame
  uint64_t reverse_until = UINT64_MAX;  // reverse play: the untrimmed sample it starts before
};

const std::vector<const uint8_t*>& DAr3::RunIndex() const {
  static const std::vector<const uint8_t*> kNone;
  return run_index_ ? *run_index_ : kNone;
}

bool DAr3::StartChecks(RunFlags& run) {
  StreamFormat& f = run_format_;
  state_.enter_loop_sent = 0;
  state_.exit_loop_sent = 0;
  fade_.ClearNotices();
  state_.played_samples = 0;
  if (Notify(MP3_EVENT_PLAY) == 1) {
    stop_reason_.EndedBy(MP3_STOP_REASON_CALLBACK);
    FinishEmptyRun(run);
    return false;
  }
  state_.current_bitrate = 0;
  state_.decoded_frames = 0;
  state_.kbit_sum = 0;
  if (f.read_position + 8 >= f.data_last) {
    if (!effects_.reverse_mode) {
      FinishEmptyRun(run);
      return false;
    }
    f.read_position = f.data_last;
  }
  // Checked before the start is signalled: a second signal would be left for the next Play.
  if (effects_.reverse_mode && RunIndex().empty()) {
    SetError("_ThreadFunc->pFramePtr is 0 !");
    stop_reason_.EndedBy(MP3_STOP_REASON_DECODING_ERROR);
    FailStart(run);
    return false;
  }
  // Also before the start is signalled, for the same reason.
  if (effects_.pushed_stream && !StreamAllocateBuffer()) {
    SetError("ThreadFunc->Memory allocation error !");
    stop_reason_.EndedBy(MP3_STOP_REASON_DECODING_ERROR);
    FailStart(run);
    return false;
  }
  if (!no_output_ && !OpenRunOutput()) {
    stop_reason_.EndedBy(MP3_STOP_REASON_DEVICE_FAILURE);
    FailStart(run);
    return false;
  }
  return true;
}

void DAr3::StartReverseBlock(RunDecode& r) {
  const StreamFormat& f = run_format_;
  r.block_start = r.block_end >= f.frames_per_buffer ? r.block_end - f.frames_per_buffer : 0;
  const uint32_t decode_from = WarmUpStart(RunIndex(), r.block_start);
  r.first_heard = RunIndex()[r.block_start];
  tail_block_.clear();
  r.tail_origin = nullptr;
  if (r.block_end < RunIndex().size()) {
    const uint8_t* end = RunIndex()[r.block_end] + MAD_BUFFER_GUARD;
    r.dec.Restart(f.data_start, static_cast<uint32_t>((end < r.data_end ? end : r.data_end) - f.data_start),
                  RunIndex()[decode_from], f.free_bitrate);
    return;
  }
  // The song's last block: its last frame needs the decoder's guard bytes behind it.
  r.tail_origin = RunIndex()[decode_from];
  tail_block_.assign(r.tail_origin, r.data_end);
  tail_block_.resize(tail_block_.size() + MAD_BUFFER_GUARD, 0);
  r.first_heard = tail_block_.data() + (RunIndex()[r.block_start] - r.tail_origin);
  r.dec.Restart(tail_block_.data(), static_cast<uint32_t>(tail_block_.size()), tail_block_.data(), f.free_bitrate);
}

void DAr3::StartDecoder(RunDecode& r) {
  const StreamFormat& f = run_format_;
  r.reverse = effects_.reverse_mode != 0;
  r.data_end = f.data_start + f.data_size;
  r.buffer_capacity = wave_.GetBufferSize() & ~3u;
  r.heard_from = r.reverse || effects_.pushed_stream ? nullptr : f.heard_from;
  r.skip = f.heard_skip;
  if (r.reverse) {
    const uint32_t count = static_cast<uint32_t>(RunIndex().size());
    // Backwards from the position's exact sample (in the trimmed timeline when gapless); from
    // the song's length on, from its last sample.
    r.block_end = count;
    if (state_.seek_position < f.song_length && f.samples_per_frame > 0) {
      r.reverse_until = f.trim.ToUntrimmed(ScaleSaturated(state_.seek_position, f.sample_rate, 1000));
      const uint64_t frames = (r.reverse_until + f.samples_per_frame - 1) / f.samples_per_frame;
      if (frames < count) r.block_end = static_cast<uint32_t>(frames);
    }
    StartReverseBlock(r);
  } else if (effects_.pushed_stream) {
    // Starts empty: the first decode runs dry and the refill rule fills the buffer.
    StreamFeedStart();
    r.dec.Restart(stream_buffer_.data(), 0, stream_buffer_.data(), f.free_bitrate);
  } else {
    r.dec.Restart(f.data_start, f.data_size, f.read_position, f.free_bitrate);
  }
}

void DAr3::RestartAtLoopStart(RunDecode& r) {
  const StreamFormat& f = run_format_;
  r.restart_at_loop_start = false;
  r.heard_from = f.heard_from;
  r.skip = f.heard_skip;
  r.dec.Restart(f.data_start, f.data_size, f.read_position, f.free_bitrate);
  tail_block_.clear();
  r.tail_origin = nullptr;
}

bool DAr3::NextReverseBlock(RunDecode& r) {
  // A block is one buffer, whatever frames failed to decode in it.
  if (bytes_in_buffer_ > 0 && !RunBufferStage(bytes_in_buffer_)) return false;
  if (r.block_start == 0 || r.block_end == 0 || !state_.playing || RunIndex().empty()) return false;
  r.block_end = r.block_start;
  StartReverseBlock(r);
  return true;
}

bool DAr3::DecodeIntoTail(RunDecode& r) {
  const StreamFormat& f = run_format_;
  // The last frames need the decoder's guard bytes behind them.
  const uint8_t* from = r.dec.stream.next_frame ? r.dec.stream.next_frame : r.dec.stream.this_frame;
  if (!from || from < f.data_start || from > r.data_end) from = r.data_end;
  try {
    tail_block_.assign(from, r.data_end);
    tail_block_.resize(tail_block_.size() + MAD_BUFFER_GUARD, 0);
  } catch (const std::bad_alloc&) {
    SetError("_ThreadFunc->Memory allocation error !");
    stop_reason_.EndedBy(MP3_STOP_REASON_DECODING_ERROR);
    return false;
  }
  r.tail_origin = from;
  mad_stream_buffer(&r.dec.stream, tail_block_.data(), tail_block_.size());
  return true;
}

bool DAr3::EndOfForwardData(RunDecode& r) {
  tail_block_.clear();
  r.tail_origin = nullptr;
  if (!state_.loop_active || !state_.inside_loop) return false;
  // A loop whose end lies past the data: the pass ends here, as long as it turned out.
  state_.loop_samples = state_.loop_samples - state_.pass_samples_left;
  if (EndLoopPass() != AfterPass::kReplay) return false;
  r.restart_at_loop_start = true;
  return true;
}

bool DAr3::OnDecodeError(RunDecode& r) {
  if (MAD_RECOVERABLE(r.dec.stream.error)) return true;
  if (effects_.pushed_stream) return StreamRefill(&r.dec.stream);
  if (r.reverse) return NextReverseBlock(r);
  if (!r.tail_origin) return DecodeIntoTail(r);
  return EndOfForwardData(r);
}

uint64_t DAr3::SourceOffset(const RunDecode& r, const uint8_t* at) const {
  const uint8_t* data_start = run_format_.data_start;
  if (!r.tail_origin) return uint64_t(at - data_start);
  return uint64_t(r.tail_origin - data_start) + uint64_t(at - tail_block_.data());
}

bool DAr3::IsWarmUpFrame(RunDecode& r) {
  const uint8_t* frame_start = r.dec.stream.this_frame;
  if (r.reverse && frame_start < r.first_heard) return true;
  r.drop = 0;
  if (!r.heard_from) return false;
  if (SourceOffset(r, frame_start) < uint64_t(r.heard_from - run_format_.data_start)) return true;
  r.drop = r.skip;
  r.heard_from = nullptr;
  return false;
}

void DAr3::RecordBytePosition(const RunDecode& r) {
  const uint8_t* frame_start = r.dec.stream.this_frame;
  if (effects_.pushed_stream) {
    state_.byte_position = StreamBytePosition(frame_start);
    return;
  }
  // A frame in the tail block may reach into its guard bytes, past the data.
  const uint64_t offset = SourceOffset(r, frame_start);
  state_.byte_position = static_cast<uint32_t>(offset < run_format_.data_size ? offset : run_format_.data_size);
}

void DAr3::RunFrameStages(mad_frame* frame) {
  if (state_.loop_active && state_.inside_loop && !state_.enter_loop_sent.exchange(1) &&
      Notify(MP3_EVENT_ENTER_LOOP) == 1)
    CancelLoopRepeats();
  if (effects_.mix_channels) FrameStageMixChannels(frame);
  if (effects_.subband_eq_on) FrameStageSubbandEq(frame);
  if (effects_.fade_in_active || effects_.fade_out_active) FrameStageFade();
  const uint32_t bitrate = static_cast<uint32_t>(frame->header.bitrate);
  state_.current_bitrate = bitrate;
  ++state_.decoded_frames;
  state_.kbit_sum += bitrate / 1000;
}

bool DAr3::EmitFrame(RunDecode& r) {
  const mad_pcm& pcm = r.dec.synth.pcm;
  uint32_t length = pcm.length;
  // A frame of another size than the first (a stream that changes rate) must not overflow.
  if (bytes_in_buffer_ + length * 4 > r.buffer_capacity && bytes_in_buffer_ > 0) {
    if (!RunBufferStage(bytes_in_buffer_)) return false;
  }
  if (length * 4 > r.buffer_capacity) length = r.buffer_capacity / 4;
  uint32_t first = r.drop < length ? r.drop : length;
  if (run_format_.trim.Trims()) {
    // Gapless: the encoder's and the decoder's delay and the padding are not heard.
    const GaplessTrim::Kept kept = run_format_.trim.Keep(FrameFirstSample(r), length);
    first = std::max(first, kept.skip);
    length = std::max(first, std::min(length, kept.skip + kept.count));
  }
  if (r.reverse_until != UINT64_MAX) {
    const uint64_t at = FrameFirstSample(r);
    const uint64_t before = r.reverse_until > at ? r.reverse_until - at : 0;
    if (before < length) length = std::max(first, static_cast<uint32_t>(before));
  }
  // A loop pass ends on its exact sample: the rest of the frame is heard only when playback
  // goes on past the loop.
  AfterPass after = AfterPass::kNone;
  uint32_t last = length;
  if (state_.loop_active && state_.inside_loop) {
    const uint32_t taken = TakeFromPass(length - first);
    if (state_.pass_samples_left == 0) {
      after = EndLoopPass();
      if (after != AfterPass::kGoOn) last = first + taken;
    }
  }
  const uint32_t appended_at = bytes_in_buffer_;
  AppendPcm(pcm, first, last);
  if (run_format_.trim.HeldBack() > 0) HoldBackPadding(appended_at);
  r.streamed_samples += pcm.length;
  ++frames_in_buffer_;
  ++frames_this_run_;
  if (after == AfterPass::kStop) return false;
  if (after == AfterPass::kReplay) r.restart_at_loop_start = true;
  if (frames_in_buffer_ >= run_format_.frames_per_buffer) return RunBufferStage(bytes_in_buffer_);
  return true;
}

bool DAr3::FrameFormatHolds(RunDecode& r, bool* skip) {
  const mad_header& h = r.dec.frame.header;
  const bool same = h.samplerate == run_format_.sample_rate && int32_t(h.layer) == run_format_.layer;
  *skip = !same;
  if (same || !r.odd_format) {
    r.odd_format = !same;
    return true;
  }
  SetError("_ThreadFunc->The stream changes its sample rate here; playback ends !");
  stop_reason_.EndedBy(MP3_STOP_REASON_FORMAT_CHANGE);
  return false;
}

uint64_t DAr3::FrameFirstSample(const RunDecode& r) const {
  if (effects_.pushed_stream) return r.streamed_samples;
  const uint8_t* at = run_format_.data_start + SourceOffset(r, r.dec.stream.this_frame);
  const std::vector<const uint8_t*>& index = RunIndex();
  const auto found = std::lower_bound(index.begin(), index.end(), at);
  return uint64_t(found - index.begin()) * run_format_.samples_per_frame;
}

void DAr3::_ThreadFunc(RunFlags& run) {
  if (!StartChecks(run)) return;
  runs_.SignalStart(run, 1);
  tail_block_.clear();
  ResetRunBuffers();

  RunDecode r;
  StartDecoder(r);
  while (state_.playing) {
    if (r.restart_at_loop_start) RestartAtLoopStart(r);
    if (mad_frame_decode(&r.dec.frame, &r.dec.stream) != 0) {
      if (OnDecodeError(r)) continue;
      if (r.dec.stream.error != MAD_ERROR_BUFLEN) stop_reason_.EndedBy(MP3_STOP_REASON_DECODING_ERROR);
      break;
    }
    bool odd = false;
    if (!FrameFormatHolds(r, &odd)) break;
    if (odd) continue;
    if (IsWarmUpFrame(r)) {
      mad_synth_frame(&r.dec.synth, &r.dec.frame);
      continue;
    }
    RecordBytePosition(r);
    RunFrameStages(&r.dec.frame);
    mad_synth_frame(&r.dec.synth, &r.dec.frame);
    if (!state_.playing || !EmitFrame(r)) break;
  }

  // Whatever was decoded is played, down to the last partial buffer.
  if (state_.playing && bytes_in_buffer_ > 0) RunBufferStage(bytes_in_buffer_);
  if (eq_used_ && state_.playing) StageDrainAtEnd();
  tail_block_.clear();

  FinishRun(run);
}
