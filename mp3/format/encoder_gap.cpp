#include "mp3/format/encoder_gap.h"

#include <cmath>
#include <cstddef>

EncoderGap GapFromVbrHeader(const VbrHeaderInfo& header) {
  EncoderGap gap;
  if (!(header.flags & VBR_HAS_LAME)) return gap;
  gap.known = true;
  gap.delay = header.lame.encoder_delay;
  gap.padding = header.lame.end_padding;
  return gap;
}

namespace {

// One hexadecimal field after optional spaces; false when there are no digits or too many.
bool HexField(std::string_view text, size_t* at, uint64_t* value) {
  while (*at < text.size() && text[*at] == ' ') ++(*at);
  uint64_t v = 0;
  size_t digits = 0;
  for (; *at < text.size() && text[*at] != ' '; ++(*at), ++digits) {
    const char c = text[*at];
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0 || digits >= 16) return false;
    v = v << 4 | uint64_t(d);
  }
  *value = v;
  return digits > 0;
}

}  // namespace

bool ParseITunSmpb(std::string_view text, EncoderGap* gap) {
  uint64_t fields[4] = {};
  size_t at = 0;
  for (uint64_t& field : fields)
    if (!HexField(text, &at, &field)) return false;
  // Delay and padding are parts of frames; larger values are not this comment.
  if (fields[1] > 0xFFFFFFu || fields[2] > 0xFFFFFFu) return false;
  gap->known = true;
  gap->delay = uint32_t(fields[1]);
  gap->padding = uint32_t(fields[2]);
  gap->music_samples = fields[3];
  return true;
}

ReplayGain ReplayGainFromLameTag(const LameTagInfo& tag) {
  ReplayGain gain;
  gain.track_present = tag.radio_gain_present;
  gain.track_gain_db = float(tag.radio_gain) / 10.0f;
  gain.album_present = tag.audiophile_gain_present;
  gain.album_gain_db = float(tag.audiophile_gain) / 10.0f;
  gain.peak = std::isfinite(tag.peak) && tag.peak > 0.0f ? tag.peak : 0.0f;
  return gain;
}
