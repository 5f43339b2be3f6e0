// Lengths counted from the frame index, and the gapless trim that follows from them.
#include <new>

#include "mp3/format/encoder_gap.h"
#include "mp3/format/frame_index.h"
#include "mp3/format/index_length.h"
#include "mp3/format/seek_math.h"
#if DAR3_WITH_ID3
#include "mp3/id3/tag_readers.h"
#endif
#include "mp3/player/dar3_player.h"

int DAr3::SetGapless(int enable) {
  gapless_ = enable != 0;
  return 1;
}

void DAr3::LengthFromFrameIndex() {
  StreamFormat& f = format_;
  f.trim = GaplessTrim{};
  // A managed stream holds only its first block: its header stays the only word on length,
  // and its end is found when the data ends.
  if (stream_managed_) {
    if (!gapless_) return;
    const EncoderGap gap = EncoderGapOfSource();
    f.trim = GaplessTrim::ForStream(gap);
    // The header's length is told trimmed, as the file's is.
    const GaplessTrim whole = GaplessTrim::ForGap(gap, uint64_t(f.total_frames) * f.samples_per_frame);
    if (f.xing_used && whole.Trims()) ReportTrimmedLength(whole);
    return;
  }
  if (!EnsureFrameIndex()) return;
  const IndexLength counted =
      LengthFromIndex(*frame_index_, f.data_start + f.data_size, f.samples_per_frame, f.sample_rate);
  if (counted.frames == 0) return;
  f.total_frames = counted.frames;
  f.total_samples = Saturate32(counted.samples);
  f.song_length = counted.ms;
  f.audio_bytes = counted.bytes;
  f.bytes_per_frame = float(counted.bytes) / float(counted.frames);
  f.average_bitrate = counted.average_bitrate;
  if (gapless_) SetUpGaplessTrim();
}

EncoderGap DAr3::EncoderGapOfSource() {
  const StreamFormat& f = format_;
  EncoderGap gap = GapFromVbrHeader(f.vbr_info);
#if DAR3_WITH_ID3
  // Without a LAME tag, iTunes' comment may tell the gap.
  if (!gap.known && f.has_id3v2) ParseITunSmpb(id3::CommentText({f.source_start, f.source_size}, "iTunSMPB"), &gap);
#endif
  return gap;
}

void DAr3::SetUpGaplessTrim() {
  StreamFormat& f = format_;
  f.trim = GaplessTrim::ForGap(EncoderGapOfSource(), uint64_t(f.total_frames) * f.samples_per_frame);
  if (f.trim.Trims()) ReportTrimmedLength(f.trim);
}

void DAr3::ReportTrimmedLength(const GaplessTrim& trim) {
  StreamFormat& f = format_;
  f.total_samples = Saturate32(trim.Length());
  f.song_length = Saturate32(trim.Length() * 1000 / f.sample_rate);
}
