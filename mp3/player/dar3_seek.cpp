// Seek, PlayLoop and GetPosition: where the next run starts, a section played again, and the
// position being heard.
#include <mad.h>

#include <algorithm>
#include <cstring>

#include "mp3/effects/block_effects.h"
#include "mp3/format/frame_index.h"
#include "mp3/format/seek_math.h"
#include "mp3/player/dar3_player.h"

namespace {

// Frames a decode started cold loses before the reservoir is whole again.
constexpr uint32_t kReservoirFrames = 2;

SeekGeometry Geometry(const StreamFormat& f) {
  return SeekGeometry{f.data_size, f.song_length, f.xing_used ? f.vbr_info.toc : nullptr, f.xing_frame_length};
}

// The start of the frame `back` frames before the one that holds byte `offset` of the data.
// Decoding starts on a real frame instead of syncing to the one after it (or to a false sync
// word); the frames before the target rebuild the bit reservoir that libmad drops them for.
uint32_t FrameStartAt(const StreamFormat& f, uint32_t offset, uint32_t back) {
  constexpr uint32_t kLongestFrame = 2881;
  const uint32_t from = offset > kLongestFrame ? offset - kLongestFrame : 0;
  mad_stream stream{};
  mad_header header{};
  mad_stream_init(&stream);
  mad_header_init(&header);
  mad_stream_buffer(&stream, f.data_start + from, f.data_size - from);
  uint32_t found = offset;
  uint32_t recent[3] = {from, from, from};  // the last frame starts, newest first
  for (;;) {
    if (mad_header_decode(&header, &stream) != 0) {
      if (MAD_RECOVERABLE(stream.error)) continue;
      break;
    }
    const uint32_t start = uint32_t(stream.this_frame - f.data_start);
    const uint32_t end = uint32_t(stream.next_frame - f.data_start);
    if (start > offset) break;
    recent[2] = recent[1];
    recent[1] = recent[0];
    recent[0] = start;
    if (offset < end) {
      found = recent[back < 2 ? back : 2];
      break;
    }
  }
  mad_header_finish(&header);
  mad_stream_finish(&stream);
  return found;
}

}  // namespace

uint32_t DAr3::PositionMs() {
  const StreamFormat& f = format_;
  uint32_t played = 0;
  const bool callback_clock = WantsMessage(MP3_EVENT_WAVE_BUFFER);
  const uint64_t handed = state_.played_samples;
  if (state_.playing && callback_clock)
    played = f.sample_rate ? Saturate32(handed * 1000 / f.sample_rate) : 0;
  else if (state_.playing)
    played = wave_.GetOutputPosition(1);
  const uint32_t seek = state_.seek_position;
  const int32_t jumps = state_.loop_jumps;
  if (state_.playing && state_.loop_active && jumps > 0 && f.sample_rate) {
    // The device counts every pass. All passes are equally long, so the one being heard
    // follows from the count, up to the passes the decoder has begun; those before it are
    // taken off again.
    uint64_t samples = callback_clock ? handed : wave_.GetOutputPosition(0);
    const uint64_t pass = state_.loop_samples;
    const uint64_t passes_heard = pass ? std::min<uint64_t>(samples / pass, uint64_t(jumps)) : 0;
    samples -= passes_heard * pass;
    return Saturate32(samples * 1000 / f.sample_rate + seek);
  }
  if (effects_.reverse_mode) return seek > played ? seek - played : 0;
  return Saturate32(uint64_t(seek) + played);
}

int DAr3::GetPosition(MP3_TIME* time) {
  if (!time) {
    SetError("GetPosition->MP3_TIME *pTime - this parameter can't be NULL");
    return 0;
  }
  std::memset(time, 0, sizeof *time);
  platform::MutexLock hold(lock_);
  if (!IsOpen()) return 1;
  const uint32_t ms = PositionMs();
  const uint32_t length = format_.song_length;
  time->ms = ms;
  time->sec = ms / 1000;
  time->bytes = state_.byte_position;
  time->frames = length ? uint32_t(double(ms) / length * format_.total_frames) : 0;
  time->hms_hour = ms / 3600000;
  time->hms_minute = ms % 3600000 / 60000;
  time->hms_second = ms % 60000 / 1000;
  time->hms_millisecond = ms % 1000;
  return 1;
}

int DAr3::Seek(int format, MP3_TIME* time, int move_method) {
  if (!time) {
    SetError("Seek->MP3_TIME *pTime can't be 0 !");
    return 0;
  }
  if (format == 0) {
    SetError("Seek->Invalid time format !");
    return 0;
  }
  if (effects_.pushed_stream) {
    SetError("Seek->This is managed stream. Can't seek !");
    return 0;
  }
  // The target is taken from the position before the stop, the move made after it.
  uint32_t target = 0;
  {
    platform::MutexLock hold(lock_);
    if (!IsOpen()) {
      SetError("Seek->Stream isn't open !");
      return 0;
    }
    const StreamFormat& f = format_;
    target = format == TIME_FORMAT_BYTES
                 ? SeekTargetByte(move_method, time->bytes, state_.byte_position, f.data_size)
                 : SeekTargetMs(move_method, TimeToMs(format, time), PositionMs(), f.song_length);
  }
  StopFor(MP3_STOP_REASON_SEEK);
  // A run that ended by itself may still be winding down: its rewind must not undo this.
  platform::MutexLock hold(lock_);
  if (!IsOpen()) {
    SetError("Seek->Stream isn't open !");
    return 0;
  }
  StreamFormat& f = format_;
  seek_after_run_ = true;
  f.heard_from = nullptr;
  f.heard_skip = 0;
  if (format == TIME_FORMAT_BYTES) {
    f.read_position = f.data_start + target;
    state_.seek_position = ByteToMs(Geometry(f), target);
    return 1;
  }
  if (target > f.song_length) {
    f.read_position = f.data_last;
    state_.seek_position = f.song_length;
    return 1;
  }
  if (SeekToSample(target)) return 1;
  const uint32_t offset = MsToByte(Geometry(f), target);
  if (offset < f.data_size && f.data_start + offset < f.data_last) {
    f.read_position = f.data_start + FrameStartAt(f, offset, kReservoirFrames);
    state_.seek_position = target;
  } else {
    f.read_position = f.data_last;
    state_.seek_position = f.song_length;
  }
  return 1;
}

bool DAr3::EnsureFrameIndex() {
  if (frame_index_ && !frame_index_->empty()) return true;
  auto index = std::make_shared<std::vector<const uint8_t*>>();
  if (!BuildFrameIndex(format_.data_start, format_.data_size, index.get())) {
    frame_index_.reset();
    return false;
  }
  frame_index_ = std::move(index);
  return !frame_index_->empty();
}

bool DAr3::SeekToSample(uint32_t ms) {
  StreamFormat& f = format_;
  if (!f.samples_per_frame || !f.sample_rate) return false;
  // The frame index (built once per stream) places every frame exactly, VBR or not.
  if (!EnsureFrameIndex()) return false;
  const std::vector<const uint8_t*>& frame_index = *frame_index_;
  // Gapless: the target counts from the music's first sample.
  const uint64_t target = f.trim.ToUntrimmed(ScaleSaturated(ms, f.sample_rate, 1000));
  const uint64_t frame = target / f.samples_per_frame;
  if (frame >= frame_index.size()) {
    f.read_position = f.data_last;
    state_.seek_position = f.song_length;
    return true;
  }
  const uint32_t heard = static_cast<uint32_t>(frame);
  f.read_position = frame_index[WarmUpStart(frame_index, heard)];
  f.heard_from = frame_index[heard];
  f.heard_skip = static_cast<uint32_t>(target - frame * f.samples_per_frame);
  state_.seek_position = ms;
  return true;
}

int DAr3::PlayLoop(int start_format, MP3_TIME* start, int end_format, MP3_TIME* end, int repeat_count) {
  if (effects_.pushed_stream) {
    SetError("PlayLoop->This is dynamic stream. Can't play in loop !");
    return 0;
  }
  if (effects_.reverse_mode) {
    SetError("PlayLoop->Stream is in reverse mode. Can't play loop !");
    return 0;
  }
  if (start_format == TIME_FORMAT_BYTES || end_format == TIME_FORMAT_BYTES) {
    SetError("PlayLoop->TIME_FORMAT_BYTES not supported !");
    return 0;
  }
  if (!start || !start_format || !end || !end_format) {
    SetError("PlayLoop->Invalid time format !");
    return 0;
  }
  uint32_t rate = 0;
  {
    platform::MutexLock hold(lock_);
    if (!IsOpen()) {
      SetError("PlayLoop->Stream isn't open !");
      return 0;
    }
    rate = format_.sample_rate;
  }
  const uint32_t c = TimeToMs(start_format, start);
  const uint32_t d = TimeToMs(end_format, end);
  if (d < c) {
    SetError("PlayLoop->Loop end time is smaller than loop start time !");
    return 0;
  }
  const int32_t was_playing = (state_.paused || state_.playing) ? 1 : 0;
  if (InsideSynchronousCallbackOfLiveRun()) {
    SetError("PlayLoop->Can't start playback inside a synchronous callback of the run still playing !");
    return 0;
  }
  if (!Seek(start_format, start, MOVE_FROM_START)) {
    SetError("PlayLoop->Can't seek to start of loop !");
    return 0;
  }
  const auto set_up_loop = [&] {
    state_.was_playing = was_playing;
    state_.repeat_count = repeat_count;
    state_.repeats_done = 0;
    state_.loop_jumps = 0;
    // Both bounds on the nearest sample, as a seek's target; a loop that ends past the data
    // is cut short by it, and the decoding thread then records how long its pass really was.
    state_.loop_samples = ScaleSaturated(d, rate, 1000) - ScaleSaturated(c, rate, 1000);
    state_.pass_samples_left = state_.loop_samples.load();
    state_.inside_loop = 1;
  };
  // Like Play, the start's result is awaited: a device that cannot open is reported here.
  return StartRun(1, "PlayLoop", "DAr3::PlayLoopM->Can't create decoding thread!", set_up_loop) ? 1 : 0;
}
