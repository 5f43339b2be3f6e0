#include "mp3/format/gapless_trim.h"

#include <algorithm>

GaplessTrim GaplessTrim::ForGap(const EncoderGap& gap, uint64_t decoded) {
  if (!gap.known) return GaplessTrim(0, decoded, decoded);
  const uint64_t begin = uint64_t(gap.delay) + kDecoderDelaySamples;
  // The padding is counted from the end of the encoded frames, which the decoder's delay
  // shifts later; what lies past the decoded samples is simply not there.
  uint64_t end = decoded + kDecoderDelaySamples;
  end = gap.padding < end ? end - gap.padding : 0;
  if (gap.music_samples > 0) end = begin + gap.music_samples;
  end = std::min(end, decoded);
  if (begin >= end) return GaplessTrim(0, decoded, decoded);
  return GaplessTrim(begin, end, decoded);
}

GaplessTrim GaplessTrim::ForStream(const EncoderGap& gap) {
  if (!gap.known) return GaplessTrim();
  const uint64_t begin = uint64_t(gap.delay) + kDecoderDelaySamples;
  if (gap.music_samples > 0) return GaplessTrim(begin, begin + gap.music_samples, UINT64_MAX);
  GaplessTrim trim(begin, UINT64_MAX, UINT64_MAX);
  // As for a file: the padding counts from the end of the frames, the decoder's delay later.
  trim.held_back_ = gap.padding > kDecoderDelaySamples ? gap.padding - kDecoderDelaySamples : 0;
  return trim;
}

GaplessTrim::Kept GaplessTrim::Keep(uint64_t first, uint32_t count) const {
  Kept kept;
  const uint64_t last = first + count;
  const uint64_t from = std::max(first, begin_);
  const uint64_t to = std::min(last, end_);
  if (from >= to) {
    kept.skip = count;
    return kept;
  }
  kept.skip = uint32_t(from - first);
  kept.count = uint32_t(to - from);
  return kept;
}

uint64_t GaplessTrim::ToTrimmed(uint64_t untrimmed) const { return std::clamp(untrimmed, begin_, end_) - begin_; }

uint64_t GaplessTrim::ToUntrimmed(uint64_t trimmed) const { return trimmed >= Length() ? end_ : begin_ + trimmed; }
