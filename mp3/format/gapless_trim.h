#pragma once
// Gapless playback: which decoded samples belong to the music. The decoder puts out the
// encoder's delay and its own before the first sample of the music and the encoder's padding
// after the last; the trimmer keeps [Begin, End) of the untrimmed sample timeline and maps
// positions between that timeline and the trimmed one (which starts at 0), for seeks, loops
// and reverse play alike.
#include <cstdint>

#include "mp3/format/encoder_gap.h"

class GaplessTrim {
 public:
  // Keeps everything: the untrimmed timeline.
  GaplessTrim() = default;
  // For `decoded` samples with this gap. A gap that does not fit the decoded samples (unknown,
  // or delay and padding that leave nothing) keeps everything.
  static GaplessTrim ForGap(const EncoderGap& gap, uint64_t decoded);
  // For a stream whose length is not known until it ends: the front is trimmed as for a file,
  // and the last HeldBack() samples of whatever is decoded are the padding.
  static GaplessTrim ForStream(const EncoderGap& gap);
  uint32_t HeldBack() const { return held_back_; }

  bool Trims() const { return begin_ != 0 || end_ != decoded_; }
  uint64_t Begin() const { return begin_; }
  uint64_t End() const { return end_; }
  uint64_t Length() const { return end_ - begin_; }

  // Of `count` samples starting at untrimmed sample `first`: how many to drop from the front
  // and how many after them to keep.
  struct Kept {
    uint32_t skip = 0;
    uint32_t count = 0;
  };
  Kept Keep(uint64_t first, uint32_t count) const;

  // Trimmed position of an untrimmed sample, clamped into [0, Length()].
  uint64_t ToTrimmed(uint64_t untrimmed) const;
  // Untrimmed sample of a trimmed position, clamped to End().
  uint64_t ToUntrimmed(uint64_t trimmed) const;

 private:
  GaplessTrim(uint64_t begin, uint64_t end, uint64_t decoded) : begin_(begin), end_(end), decoded_(decoded) {}
  uint64_t begin_ = 0;
  uint64_t end_ = UINT64_MAX;
  uint64_t decoded_ = UINT64_MAX;
  uint32_t held_back_ = 0;
};
