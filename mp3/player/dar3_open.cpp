// Opening a source: the byte range, tag stripping, the first frame, the VBR header and the
// length figures, and the per-stream buffers.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

#include "mp3/format/frame_scan.h"
#include "mp3/output/buffer_plan.h"
#include "mp3/player/dar3_player.h"
#include "platform/textcodes.h"

namespace {

constexpr uint32_t kScanFrames = 200;

bool IsFrameSync(const uint8_t* p) { return p[0] == 0xFF && (p[1] & 0xE0) == 0xE0; }

// Libmad's bit pointer as a byte and a bit offset.
void AncillaryStart(const mad_stream& stream, const uint8_t** byte, unsigned* bit) {
  *byte = stream.anc_ptr.byte;
  *bit = stream.anc_ptr.left >= CHAR_BIT ? 0 : CHAR_BIT - stream.anc_ptr.left;
}

}  // namespace

void DAr3::ReleaseSource() { format_ = StreamFormat{}; }

bool DAr3::BeginOpening() {
  for (;;) {
    if (!Close()) return false;
    platform::MutexLock hold(lock_);
    // Another caller may have opened a stream since: that one is closed in turn.
    if (!IsOpen() && !closing_ && !opening_) {
      opening_ = true;
      return true;
    }
  }
}

void DAr3::EndOpening() {
  {
    platform::MutexLock hold(lock_);
    opening_ = false;
  }
  dispatcher_.Wake();
}

int DAr3::OpenFile(const char* name, int buffer_ms, unsigned int offset, unsigned int size) {
  if (!BeginOpening()) return 0;
  const OpeningClaim opening{*this};
  platform::MutexLock hold(lock_);
  effects_.pushed_stream = 0;
  if (!name) {
    SetErrorF("OpenMp3FileEx->Can't open file:  %s  !", "(null)");
    return 0;
  }
  size_t total = 0;
  if (!platform::RegularFileSize(name, &total) || total >= 0xFFFFFFFFu) {
    SetErrorF("OpenMp3FileEx->Can't open file:  %s  !", name);
    return 0;
  }
  // The range is checked before the file is mapped, so a bad range is reported as such.
  if (!CheckRange("OpenMp3FileEx", total, offset, size)) return 0;
  mapping_ = platform::MappedFile::Open(name);
  if (!mapping_) {
    SetError("DAr3::OpenMp3File->Can't create file view !");
    return 0;
  }
  return OpenRange("OpenMp3FileEx", mapping_->data(), mapping_->size(), offset, size, buffer_ms);
}

int DAr3::OpenFileW(const wchar_t* name, int buffer_ms, unsigned int offset, unsigned int size) {
  if (!name) return OpenFile(nullptr, buffer_ms, offset, size);
  const std::string utf8 = platform::WideToNarrow(name);
  return OpenFile(utf8.c_str(), buffer_ms, offset, size);
}

int DAr3::OpenResource(void* /*module: resources are registered per program*/, const char* res_name,
                       const char* res_type, int buffer_ms, unsigned int offset, unsigned int size) {
  if (!BeginOpening()) return 0;
  const OpeningClaim opening{*this};
  platform::MutexLock hold(lock_);
  effects_.pushed_stream = 0;
  size_t total = 0;
  const uint8_t* data = res_name && res_type ? platform::FindResource(res_name, res_type, &total) : nullptr;
  if (!data) {
    SetError("OpenMp3Resource->Can't find resource !");
    return 0;
  }
  if (total == 0 || total >= 0xFFFFFFFFu) {
    SetError("OpenMp3Resource->Can't get resource size !");
    return 0;
  }
  return OpenRange("OpenMp3Resource", data, total, offset, size, buffer_ms);
}

bool DAr3::CheckRange(const char* op, size_t total, unsigned int offset, unsigned int size) {
  if (offset >= total) {
    SetErrorF("%s->Seek value out of range !", op);
    CloseSourceHandles();
    return false;
  }
  if (total - offset < size) {
    SetErrorF("%s->Size value out of range !", op);
    CloseSourceHandles();
    return false;
  }
  return true;
}

int DAr3::OpenRange(const char* op, const uint8_t* data, size_t total, unsigned int offset, unsigned int size,
                    int buffer_ms) {
  if (!CheckRange(op, total, offset, size)) return 0;
  if (size == 0) size = static_cast<unsigned int>(total - offset);
  format_.source_start = data + offset;
  format_.source_size = size;
  format_.source_last = format_.source_start + size - 1;
  if (!_Open(buffer_ms)) {
    CloseSourceHandles();
    return 0;
  }
  return 1;
}

void DAr3::CloseSourceHandles() {
  mapping_.reset();
  format_.source_size = 0;
}

namespace {

// Reads the first frame's ancillary bits, where a VBR header lives; false when it does not decode.
bool ReadHeaderFrame(const StreamFormat& f, VbrFrame* vf) {
  mad_stream stream{};
  mad_frame frame{};
  mad_stream_init(&stream);
  mad_frame_init(&frame);
  mad_stream_buffer(&stream, f.data_start, f.data_size - 8);
  const bool decoded = mad_frame_decode(&frame, &stream) == 0;
  if (decoded) {
    vf->frame = stream.this_frame;
    vf->frame_length = static_cast<size_t>(stream.next_frame - stream.this_frame);
    AncillaryStart(stream, &vf->ancillary, &vf->ancillary_bit);
    vf->ancillary_bits = stream.anc_bitlen;
    // A header frame owns all its bytes, even those the decoder counts as the next frame's
    // bit reservoir; and the reader never goes past the frame.
    if (vf->ancillary >= vf->frame && vf->ancillary < vf->frame + vf->frame_length) {
      vf->ancillary_bits = static_cast<size_t>(vf->frame + vf->frame_length - vf->ancillary) * 8 - vf->ancillary_bit;
    } else if (vf->ancillary_bits > size_t(MAD_BUFFER_MDLEN) * 8) {
      vf->ancillary_bits = size_t(MAD_BUFFER_MDLEN) * 8;
    }
    vf->samples_per_frame = f.samples_per_frame;
    vf->sample_rate = f.sample_rate;
    vf->lsf = (f.header_flags & MAD_FLAG_LSF_EXT) != 0;
  }
  mad_frame_finish(&frame);
  mad_stream_finish(&stream);
  return decoded;
}

}  // namespace

void DAr3::AbandonOpen() {
  frame_index_.reset();
  wave_.Uninitialize();
  ReleaseSource();
}

int DAr3::_Open(int buffer_ms) {
  // Every failure below leaves through this one clean-up.
  struct Rollback {
    DAr3* player = nullptr;
    bool armed = true;
    ~Rollback() NO_THREAD_SAFETY_ANALYSIS {  // runs inside _Open, with lock_ held
      if (armed) player->AbandonOpen();
    }
  } rollback{this};
  StripTags();
  if (format_.data_size <= 7) {
    SetError("_OpenMp3->Invalid stream!");
    return 0;
  }
  if (!ReadFirstFrame()) return 0;
  ReadVbrHeader();
  if (format_.data_size <= 7) {
    SetError("_OpenMp3->Can't find first valid mp3 frame");
    return 0;
  }
  MeasureLength();
  LengthFromFrameIndex();
  if (!PrepareOutput(buffer_ms)) return 0;
  rollback.armed = false;
  format_.read_position = format_.data_start;
  state_.byte_position = 0;
  return 1;
}

void DAr3::StripTags() {
  StreamFormat& f = format_;
  f.data_start = f.source_start;
  f.data_last = f.source_last;
  f.read_position = f.source_start;
  f.data_size = f.source_size;
  state_.byte_position = 0;
  f.has_id3v1 = 0;
  f.has_id3v2 = 0;
  if (f.data_size > 128 && std::memcmp(f.data_last - 127, "TAG", 3) == 0) {
    f.data_last -= 128;
    f.data_size -= 128;
    f.has_id3v1 = 1;
  }
  const uint8_t* d = f.data_start;
  if (f.data_size >= 11 && std::memcmp(d, "ID3", 3) == 0 && d[6] < 128 && d[7] < 128 && d[8] < 128 && d[9] < 128) {
    const uint32_t tag_length = ((uint32_t(d[6]) << 21) | (uint32_t(d[7]) << 14) | (uint32_t(d[8]) << 7) | d[9]) + 10;
    if (uint64_t(tag_length) + 24 < f.data_size) {
      f.has_id3v2 = 1;
      if (IsFrameSync(d + tag_length)) {
        f.data_start += tag_length;
        f.data_size -= tag_length;
      }
    }
  }
}

bool DAr3::ReadFirstFrame() {
  StreamFormat& f = format_;
  FirstFrame first;
  if (!FindFirstValidFrame(f.data_start, f.data_size, &first)) {
    SetError("_OpenMp3->Can't find first valid mp3 frame");
    return false;
  }
  const mad_header& h = first.header;
  f.sample_rate = h.samplerate;
  f.layer = h.layer;
  f.mode = h.mode;
  f.channels = h.mode == MAD_MODE_SINGLE_CHANNEL ? 1 : 2;
  f.emphasis = h.emphasis;
  f.mode_extension = h.mode_extension;
  f.first_bitrate = static_cast<uint32_t>(h.bitrate);
  f.header_flags = static_cast<uint32_t>(h.flags);
  f.samples_per_frame = SamplesPerFrame(h);
  f.version_bit = VersionBit(h);
  f.layer_bit = LayerBit(h);
  f.mode_bit = ModeBit(h);
  f.emphasis_bit = EmphasisBit(h);
  f.free_bitrate = first.freerate;

  const uint8_t* data_end = f.data_start + f.data_size;
  f.data_start = first.frame;
  f.data_size = static_cast<uint32_t>(data_end - first.frame);
  if (f.data_size < 8) {
    SetError("_OpenMp3->Can't find first valid mp3 frame");
    return false;
  }
  return true;
}

void DAr3::ReadVbrHeader() {
  StreamFormat& f = format_;
  VbrFrame vf;
  if (!ReadHeaderFrame(f, &vf)) return;
  ParseVbrHeader(vf, &f.vbr_info);
  const VbrHeaderInfo& vbr = f.vbr_info;
  // A header frame holds no audio; its counts are believed only when they are plausible.
  const bool recognised = (vbr.flags & VBR_HAS_XING) != 0 && vf.frame_length < f.data_size;
  // A managed stream opens on its first block only: the song's size is the header's own
  // byte count, when it gives one (unknown otherwise).
  uint64_t song_bytes = f.data_size;
  if (stream_managed_) song_bytes = (vbr.xing_flags & XING_BYTES) && vbr.bytes > 0 ? vbr.bytes : UINT64_MAX;
  const bool usable = recognised && (vbr.xing_flags & XING_FRAMES) && (vbr.xing_flags & XING_TOC) && vbr.frames > 0 &&
                      uint64_t(vbr.frames) * 16 <= song_bytes;
  if (recognised) {
    f.data_start += vf.frame_length;
    f.data_size -= static_cast<uint32_t>(vf.frame_length);
    f.xing_frame_length = static_cast<uint32_t>(vf.frame_length);
  }
  if (usable) LengthFromVbrHeader(song_bytes);
}

void DAr3::LengthFromVbrHeader(uint64_t song_bytes) {
  StreamFormat& f = format_;
  const uint32_t frames = f.vbr_info.frames;
  f.total_frames = frames;
  f.total_samples = static_cast<uint32_t>(uint64_t(frames) * f.samples_per_frame);
  const uint64_t length = uint64_t(frames) * 1000 * f.samples_per_frame / f.sample_rate;
  f.song_length = static_cast<uint32_t>(length > 0xFFFFFFFFu ? 0xFFFFFFFFu : length);
  const double audio = double(song_bytes == UINT64_MAX ? f.data_size : song_bytes);
  f.audio_bytes = static_cast<uint32_t>(std::min<double>(audio, 0xFFFFFFFFu));
  f.bytes_per_frame = float(audio / frames);
  f.average_bitrate = float(audio * 8.0 / frames * f.sample_rate / f.samples_per_frame);
  f.xing_used = 1;
}

void DAr3::MeasureLength() {
  StreamFormat& f = format_;
  const HeaderScan scan = ScanFrameHeaders(f.data_start, f.data_size, f.free_bitrate, f.first_bitrate, kScanFrames);
  if (scan.vbr) f.vbr = 1;
  if (f.xing_used) return;
  f.audio_bytes = f.data_size;
  if (f.vbr && scan.counted > 0 && scan.byte_sum > 0) {
    // Variable bitrate without a usable header: the frames counted so far, scaled to the data.
    f.total_frames = static_cast<uint32_t>(uint64_t(scan.counted) * f.data_size / scan.byte_sum);
    f.total_samples = static_cast<uint32_t>(uint64_t(f.total_frames) * f.samples_per_frame);
    f.song_length = static_cast<uint32_t>(uint64_t(f.total_frames) * 1000 * f.samples_per_frame / f.sample_rate);
    f.bytes_per_frame = float(scan.byte_sum) / float(scan.counted);
    f.average_bitrate =
        f.total_frames ? float(double(f.data_size) * 8.0 / f.total_frames * f.sample_rate / f.samples_per_frame) : 0.0f;
    return;
  }
  f.average_bitrate = float(f.first_bitrate);
  const double length = f.first_bitrate ? double(f.data_size) * 8.0 / (f.first_bitrate / 1000.0) : 0.0;
  f.song_length = static_cast<uint32_t>(length);
  f.total_frames = static_cast<uint32_t>(std::ceil(length / 1000.0 * f.sample_rate / f.samples_per_frame));
  f.total_samples = static_cast<uint32_t>(uint64_t(f.total_frames) * f.samples_per_frame);
  f.bytes_per_frame = f.total_frames ? float(f.data_size) / float(f.total_frames) : 0.0f;
}

bool DAr3::PrepareOutput(int buffer_ms) {
  StreamFormat& f = format_;
  no_output_ = buffer_ms == 0;
  if (!no_output_ && buffer_ms < 200) {
    SetError("_Open->Buffer can't be smaller than 200 ms");
    return false;
  }
  const BufferPlan plan = PlanBuffers(f.sample_rate, f.samples_per_frame, buffer_ms);
  f.frames_per_buffer = plan.frames_per_buffer;
  wave_.Uninitialize();
  if (!wave_.Initialize(WAVE_FORMAT_PCM, 2, f.sample_rate, 16, plan.buffer_count, plan.buffer_ms)) {
    SetError("_Open->Can't initialize wave out");
    return false;
  }
  fade_.Reset();
  SyncFadeSwitches();
  gapless_buffer_.assign(wave_.GetBufferSize(), 0);
  work_block_.assign(wave_.GetBufferSize(), 0);
  return StagePrepareAtOpen();
}

int DAr3::Close() {
  static constexpr char kRefusal[] = "Close->Can't close the stream from inside a synchronous callback !";
  {
    platform::MutexLock hold(lock_);
    if (stream_opening_) ClearStreamQueues();  // nothing was opened yet
    if (!IsOpen() && !opening_ && !closing_) return 1;
  }
  // Inside a synchronous callback of a live run the source is still being read.
  if (InsideSynchronousCallbackOfLiveRun()) {
    SetError(kRefusal);
    return 0;
  }
  // Another caller is opening or closing: its result is what this one closes. The claim is
  // taken in the same hold that finds nobody else closing, so two Close calls never both
  // tear down (the later one would close a stream opened after the first one finished).
  for (;;) {
    dispatcher_.WaitServing([this] {
      platform::MutexLock hold(lock_);
      return !opening_ && !closing_;
    });
    platform::MutexLock hold(lock_);
    if (!IsOpen()) return 1;
    if (opening_ || closing_) continue;
    closing_ = true;  // no run starts from now on
    break;
  }
  if (state_.playing) stop_reason_.Ask(MP3_STOP_REASON_CLOSE);
  const bool stopped = StopForChange(kRefusal);
  platform::MutexLock hold(lock_);
  closing_ = false;
  dispatcher_.Wake();
  if (!stopped) return 0;
  wave_.Close();
  wave_.Uninitialize();
  CloseSourceHandles();
  gapless_buffer_.clear();
  work_block_.clear();
  tail_block_.clear();
  effects_.pushed_stream = 0;
  ClearStreamQueues();
  effects_.reverse_mode = 0;
  frame_index_.reset();
#if DAR3_WITH_ID3
  id3_.Clear();
#endif
  ReleaseSource();
  return 1;
}

int DAr3::GetMp3Info(MP3_STREAM_INFO* info) {
  if (!info) {
    SetError("GetMp3Info->MP3_STREAM_INFO *pInfo can't be NULL");
    return 0;
  }
  std::memset(info, 0, sizeof *info);
  platform::MutexLock hold(lock_);
  if (!IsOpen()) {
    SetError("GetMp3Info->Stream isn't open !");
    return 0;
  }
  const StreamFormat& f = format_;
  info->version = int32_t(f.version_bit);
  info->layer = int32_t(f.layer_bit);
  info->channel_mode = int32_t(f.mode_bit);
  info->emphasis = int32_t(f.emphasis_bit);
  info->sample_rate = int32_t(f.sample_rate);
  info->header_size = int32_t(f.data_start - f.source_start);
  info->channels = int32_t(f.channels);
  info->vbr = f.vbr;
  info->bitrate = f.vbr ? int32_t(f.average_bitrate / 1000.0f) : int32_t(f.first_bitrate / 1000);
  return 1;
}

int DAr3::GetSongLength(MP3_TIME* length) {
  if (!length) {
    SetError("GetSongLength->MP3_TIME *pTime can't be NULL");
    return 0;
  }
  std::memset(length, 0, sizeof *length);
  platform::MutexLock hold(lock_);
  if (!IsOpen()) {
    SetError("GetSongLength->Stream isn't open !");
    return 0;
  }
  const uint32_t ms = format_.song_length;
  length->ms = ms;
  length->sec = ms / 1000;
  length->bytes = format_.data_size;
  length->frames = format_.total_frames;
  length->hms_hour = ms / 3600000;
  length->hms_minute = ms % 3600000 / 60000;
  length->hms_second = ms % 60000 / 1000;
  length->hms_millisecond = ms % 1000;
  return 1;
}
