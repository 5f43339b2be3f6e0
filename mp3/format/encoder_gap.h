#pragma once
// The samples an encoder added around the music: its delay before the first sample and the
// padding after the last, from the LAME/Info tag or from iTunes' "iTunSMPB" comment, and the
// ReplayGain figures the LAME tag carries.
#include <cstdint>
#include <string_view>

#include "mp3/format/vbr_header.h"

// Libmad, like every MDCT-based Layer III decoder, puts out this many samples before the
// first sample that went into the encoder.
constexpr uint32_t kDecoderDelaySamples = 529;

struct EncoderGap {
  bool known = false;
  uint32_t delay = 0;    // encoder delay, samples
  uint32_t padding = 0;  // samples after the music in the last frame(s)
  // The music's own length when the source states it (iTunSMPB), else 0.
  uint64_t music_samples = 0;
};

// From a LAME tag whose check sum held (VBR_HAS_LAME); unknown without one.
EncoderGap GapFromVbrHeader(const VbrHeaderInfo& header);

// From the text of an "iTunSMPB" comment: " 00000000 00000210 00000A4C 0000000000A1B2C4 ..."
// (hexadecimal; the second field is the delay, the third the padding, the fourth the music's
// length). False, and *gap untouched, when the text is not of that form.
bool ParseITunSmpb(std::string_view text, EncoderGap* gap);

// ReplayGain as the LAME tag stores it: gains in dB, the peak as a linear factor.
struct ReplayGain {
  bool track_present = false;
  float track_gain_db = 0.0f;
  bool album_present = false;
  float album_gain_db = 0.0f;
  float peak = 0.0f;  // 0 when not stored
};
ReplayGain ReplayGainFromLameTag(const LameTagInfo& tag);
