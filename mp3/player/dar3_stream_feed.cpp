// The decoding thread's side of a managed stream: the decoder reads the queue through an input
// buffer of its own, refilled whenever the decoder runs dry.
#include <cstring>
#include <new>

#include "mp3/player/dar3_player.h"

namespace {

constexpr uint32_t kStreamWaitMs = 250;  // a safety net: the wait also ends on its event
// Room for the frames of one wave buffer, however large their frames may be.
constexpr uint64_t kBytesPerFrameRoom = 5761;

}  // namespace

bool DAr3::StreamAllocateBuffer() {
  try {
    stream_buffer_.resize(uint64_t(run_format_.frames_per_buffer) * kBytesPerFrameRoom + MAD_BUFFER_GUARD);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

void DAr3::StreamFeedStart() {
  stream_buffer_origin_ = 0;
  // What the opener skipped (a leading tag, a VBR header frame) is not played from a file
  // either.
  stream_skip_ = static_cast<uint32_t>(run_format_.data_start - run_format_.source_start);
  stream_guard_added_ = false;
}

uint32_t DAr3::StreamBytePosition(const uint8_t* frame) const {
  const uint8_t* buffer = stream_buffer_.data();
  const uint64_t offset = stream_buffer_origin_ + (frame >= buffer ? uint64_t(frame - buffer) : 0);
  return offset > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(offset);
}

bool DAr3::StreamRefill(mad_stream* stream) {
  uint8_t* const buffer = stream_buffer_.data();
  // The last guard bytes stay free for the zeros that let the decoder finish the last frame.
  const size_t room = stream_buffer_.size() - MAD_BUFFER_GUARD;
  const uint8_t* end = stream->bufend && stream->bufend >= buffer ? stream->bufend : buffer;
  const uint8_t* keep = stream->next_frame ? stream->next_frame : stream->this_frame;
  if (!keep || keep < buffer || keep > end) keep = end;
  size_t remaining = static_cast<size_t>(end - keep);
  // The end zeros go again if more data comes after all.
  const bool had_guard = stream_guard_added_;
  if (had_guard) remaining = remaining > MAD_BUFFER_GUARD ? remaining - MAD_BUFFER_GUARD : 0;
  stream_guard_added_ = false;
  // Only a lying header asks for more than the whole buffer; its first byte goes, so that the
  // decoder searches on.
  if (remaining >= room) {
    ++keep;
    --remaining;
  }
  if (keep != buffer && remaining > 0) std::memmove(buffer, keep, remaining);
  stream_buffer_origin_ += static_cast<uint64_t>(keep - buffer);

  for (;;) {
    StreamQueue& queue = ActiveStreamQueue();
    uint32_t used_up = 0;
    while (stream_skip_ > 0) {
      const StreamQueue::ReadResult skipped = queue.ReadInto(nullptr, stream_skip_);
      used_up += skipped.used_up;
      stream_skip_ -= skipped.bytes;
      if (skipped.bytes == 0) break;
    }
    uint32_t got = 0;
    if (stream_skip_ == 0) {
      const StreamQueue::ReadResult read = queue.ReadInto(buffer + remaining, static_cast<uint32_t>(room - remaining));
      got = read.bytes;
      used_up += read.used_up;
    }
    if (used_up > 0) {
      const StreamQueue::Load load = queue.Figures();
      Notify(MP3_EVENT_STREAM_BUFFER_DONE, intptr_t(load.blocks), intptr_t(load.unread));
    }
    if (got > 0) {
      remaining += got;
      mad_stream_buffer(stream, buffer, remaining);
      return true;
    }
    if (!state_.playing) return false;
    if (stream_end_of_data_) {
      if (had_guard || remaining == 0) return false;
      std::memset(buffer + remaining, 0, MAD_BUFFER_GUARD);
      stream_guard_added_ = true;
      mad_stream_buffer(stream, buffer, remaining + MAD_BUFFER_GUARD);
      return true;
    }
    stream_data_event_.Reset();
    // A push between the read and the reset must not be slept through.
    if (queue.Figures().blocks > 0 || stream_end_of_data_) continue;
    const int32_t answer = Notify(MP3_EVENT_STREAM_NEED_MORE_DATA);
    if (answer == 1) {
      stream_end_of_data_ = 1;
      continue;
    }
    if (answer == 2) continue;
    while (state_.playing && !stream_end_of_data_ && !stream_data_event_.Wait(kStreamWaitMs)) {
    }
  }
}

void DAr3::StreamFinishRun() {
  std::vector<uint8_t>().swap(stream_buffer_);
  StreamQueue& queue = ActiveStreamQueue();
  if (queue.Figures().blocks > 0) {
    queue.Clear();
    Notify(MP3_EVENT_STREAM_BUFFER_DONE, 0, 0);
  }
}
