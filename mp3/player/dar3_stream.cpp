// Managed streams: MP3 data the caller holds in memory, opened from a first block and, when
// managed, fed with further blocks while it plays.
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "mp3/format/leading_tag.h"
#include "mp3/player/dar3_player.h"

namespace {

// a x b / c rounded to nearest, in 64 bits, saturated to the int32 the load record holds.
int32_t RoundedMulDiv(uint64_t a, uint64_t b, uint64_t c) {
  if (c == 0) return 0;
  const uint64_t result = (a * b + c / 2) / c;
  return result > INT32_MAX ? INT32_MAX : int32_t(result);
}

}  // namespace

void DAr3::ClearStreamQueues() {
  stream_blocks_.Clear();
  stream_copies_.Clear();
  stream_source_.reset();
  stream_opening_ = false;
  stream_managed_ = 0;
  stream_buffered_ = 0;
  stream_end_of_data_ = 0;
}

int DAr3::OpenStream(int buffered, int managed, const void* data, unsigned int size, int buffer_ms) {
  if (!BeginOpening()) return 0;
  const OpeningClaim opening{*this};
  platform::MutexLock hold(lock_);
  ClearStreamQueues();
  stream_buffered_ = buffered ? 1 : 0;
  stream_managed_ = managed ? 1 : 0;
  std::vector<uint8_t>().swap(stream_buffer_);
  if (IsOpen()) {
    SetError("OpenStream->You need to close mp3 stream before open new one !");
    return 0;
  }
  if (!data || size == 0) {
    ClearStreamQueues();
    SetError("OpenStream->Can't open NULL stream !");
    return 0;
  }
  const auto* first = static_cast<const uint8_t*>(data);
  StreamQueue& queue = ActiveStreamQueue();
  bool ok = queue.Append(data, size);
  // A managed stream whose first block ends inside its leading tag (or too soon after it to
  // open) opens once the pushes reach the first frames.
  const uint64_t needed = managed ? BytesNeededToOpen(first, size, kLargestStream) : 0;
  // Inside the tag, a picture's bytes might even pass for frames.
  if (ok && needed > uint64_t(size) + kOpenWindowAfterTag) return WaitForStreamFrames(needed, buffer_ms);
  if (ok && buffered) {
    stream_source_ = queue.OldestCopy();
    ok = stream_source_ != nullptr;
  } else if (ok && managed) {
    // The caller may reuse this block once it has been played, but the source range has to
    // stay readable until the stream closes.
    uint8_t* copy = new (std::nothrow) uint8_t[size];
    if (copy) {
      std::memcpy(copy, data, size);
      stream_source_.reset(copy);
    }
    ok = copy != nullptr;
  }
  if (!ok) {
    ClearStreamQueues();
    SetError("OpenStream->Memory allocation error !");
    return 0;
  }
  if (OpenStreamHead(stream_source_ ? stream_source_.get() : first, size, buffer_ms)) return 1;
  if (needed > size) return WaitForStreamFrames(needed, buffer_ms);
  ClearStreamQueues();
  return 0;
}

int DAr3::WaitForStreamFrames(uint64_t needed, int buffer_ms) {
  stream_opening_ = true;
  stream_open_needs_ = needed;
  stream_open_buffer_ms_ = buffer_ms;
  SetError(nullptr);
  return 1;
}

bool DAr3::OpenStreamHead(const uint8_t* head, uint64_t size, int buffer_ms) {
  format_.source_start = head;
  format_.source_size = static_cast<uint32_t>(size);
  format_.source_last = head + size - 1;
  if (!_Open(buffer_ms)) return false;
  effects_.pushed_stream = stream_managed_.load();
  return true;
}

bool DAr3::ContinueStreamOpen(bool at_end) {
  StreamQueue& queue = ActiveStreamQueue();
  const uint64_t unread = queue.Unread();
  if (!at_end && unread < stream_open_needs_) return true;
  const uint64_t take = std::min({unread, at_end ? unread : stream_open_needs_, kLargestStream});
  const bool last = at_end || take >= kLargestStream;
  std::shared_ptr<uint8_t[]> head(new (std::nothrow) uint8_t[take]);
  if (!head) {
    SetError("PushDataToStream->Memory allocation error !");
    ClearStreamQueues();
    return false;
  }
  queue.Peek(head.get(), take);
  if (!last) {
    // Another tag may follow the first.
    const uint64_t needed = BytesNeededToOpen(head.get(), take, kLargestStream);
    if (needed > take) {
      stream_open_needs_ = needed;
      return true;
    }
  }
  stream_source_ = head;
  if (OpenStreamHead(head.get(), take, stream_open_buffer_ms_)) {
    stream_opening_ = false;
    return true;
  }
  stream_source_.reset();
  if (!last) {
    // Something else than frames follows the tag: the frames are looked for further on.
    stream_open_needs_ = std::min(take * 2, kLargestStream);
    SetError(nullptr);
    return true;
  }
  const uint64_t tag = LeadingId3v2Size(head.get(), take);
  if (tag > take)
    SetErrorF(
        "PushDataToStream->The stream ends inside its ID3v2 tag: the tag claims %llu bytes, the stream holds "
        "%llu !",
        static_cast<unsigned long long>(tag), static_cast<unsigned long long>(take));
  ClearStreamQueues();
  return false;
}

int DAr3::PushDataToStream(const void* data, unsigned int size) {
  platform::MutexLock hold(lock_);
  if (!IsOpen() && !stream_opening_) {
    SetError("PushDataToStream->Stream isn't open !");
    return 0;
  }
  if (!stream_managed_) {
    SetError("PushDataToStream->Can't push data into unmanaged stream !");
    return 0;
  }
  stream_end_of_data_ = 0;
  if (!data || size == 0) {
    stream_end_of_data_ = 1;
    // A decoding thread waiting for data has to learn that none will come.
    stream_data_event_.Set();
    if (stream_opening_) return ContinueStreamOpen(true) ? 1 : 0;
    return 1;
  }
  if (!ActiveStreamQueue().Append(data, size)) {
    SetError("PushDataToStream->Memory allocation error !");
    return 0;
  }
  stream_data_event_.Set();
  if (stream_opening_) return ContinueStreamOpen(false) ? 1 : 0;
  return 1;
}

int DAr3::IsStreamDataFree(const void* data) {
  // An unbuffered unmanaged stream decodes the caller's block in place until it closes, so that
  // block is not free all that time; a buffered one was copied when the stream opened.
  platform::MutexLock hold(lock_);
  if ((!IsOpen() && !stream_opening_) || (!stream_managed_ && stream_buffered_)) return 1;
  return ActiveStreamQueue().Contains(data) ? 0 : 1;
}

int DAr3::GetStreamLoad(STREAM_LOAD_INFO* load) {
  if (!load) {
    SetError("GetStreamLoad->Invalid parameter !  STREAM_LOAD_INFO *pStreamLoadInfo can't be NULL!");
    return 0;
  }
  std::memset(load, 0, sizeof *load);
  platform::MutexLock hold(lock_);
  if (!IsOpen() && !stream_opening_) {
    SetError("GetStreamLoad->Stream isn't open !");
    return 0;
  }
  if (!stream_managed_) {
    SetError("GetStreamLoad->Stream isn't managed. Can't get this data !");
    return 0;
  }
  const StreamQueue::Load figures = ActiveStreamQueue().Figures();
  load->queued_blocks = int32_t(figures.blocks);
  load->queued_bytes = int32_t(figures.unread);
  const uint32_t frames = state_.decoded_frames;
  const uint32_t kbit_sum = state_.kbit_sum;
  if (frames > 0 && kbit_sum > 0) {
    load->queued_ms = RoundedMulDiv(uint64_t(figures.unread) * 8, frames, kbit_sum);
    return 1;
  }
  // Before the first frame: the rate found at opening. A Xing header counts the whole song
  // while the opener saw only the first block, so its own byte count gives the average.
  const StreamFormat& f = format_;
  uint64_t bits_per_second = uint64_t(f.average_bitrate);
  if (f.xing_used) {
    const VbrHeaderInfo& vbr = f.vbr_info;
    bits_per_second = f.first_bitrate;
    if ((vbr.xing_flags & XING_BYTES) && vbr.bytes > 0 && vbr.frames > 0 && f.samples_per_frame > 0)
      bits_per_second = uint64_t(vbr.bytes) * 8 * f.sample_rate / (uint64_t(vbr.frames) * f.samples_per_frame);
  }
  load->queued_ms = RoundedMulDiv(figures.unread, 8000, bits_per_second);
  return 1;
}
