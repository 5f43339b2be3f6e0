#include "mp3/format/vbr_header.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t Tag(char a, char b, char c, char d) {
  return (uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) | (uint32_t(uint8_t(c)) << 8) |
         uint32_t(uint8_t(d));
}

int32_t SignedBits(uint32_t value, unsigned bits) {
  const uint32_t sign = 1u << (bits - 1);
  return static_cast<int32_t>((value ^ sign) - sign);
}

// A replay-gain field: 3 bits name, 3 bits originator, sign, 9 bits of 0.1 dB.
int32_t ReplayGain(uint32_t field, bool* present) {
  *present = (field >> 13) != 0;
  int32_t value = static_cast<int32_t>(field & 0x1FF);
  return (field & 0x200) ? -value : value;
}

// VBRI, Fraunhofer's header, with its table of contents turned into a Xing-style one.
bool ParseVbri(BitReader* bits, const VbrFrame& frame, VbrHeaderInfo* info) {
  if (bits->Left() < 22 * 8) return false;
  bits->Get(16);  // version
  info->vbri_delay = bits->Get(16);
  bits->Get(16);  // quality
  const uint32_t byte_count = bits->Get(32);
  const uint32_t frame_count = bits->Get(32);
  const uint32_t entries = bits->Get(16);
  const uint32_t scale = bits->Get(16);
  const uint32_t entry_bytes = bits->Get(16);
  const uint32_t frames_per_entry = bits->Get(16);
  if (byte_count == 0 || frame_count == 0 || entries == 0 || entry_bytes == 0 || entry_bytes > 4 ||
      frames_per_entry == 0 || frame.sample_rate == 0)
    return false;

  const float duration = float(frame_count) * 1000.0f * float(frame.samples_per_frame) / float(frame.sample_rate);
  const float entry_time = duration / float(entries + 1);
  float accumulated = 0.0f;
  uint64_t byte_sum = 0;
  uint64_t current = 0;
  uint64_t previous = 0;
  uint32_t read = 0;
  for (int p = 0; p < 100; ++p) {
    const float target = float(p) / 100.0f * duration;
    while (target >= accumulated && read < entries) {
      previous = current;
      current = uint64_t(bits->Get(entry_bytes * 8)) * scale;
      byte_sum += current;
      accumulated += entry_time;
      ++read;
    }
    float back_f =
        ((accumulated - target) / entry_time + 1.0f / (2.0f * float(frames_per_entry))) * float(frames_per_entry);
    uint64_t back = back_f > 0.0f ? uint64_t(back_f) : 0;
    uint64_t step = previous * back / frames_per_entry;
    uint64_t position = byte_sum > step ? byte_sum - step : 0;
    uint64_t value = position * 256 / byte_count;
    info->toc[p] = static_cast<uint8_t>(value > 255 ? 255 : value);
  }
  info->frames = frame_count;
  info->bytes = byte_count;
  info->flags |= VBR_HAS_XING | VBR_HAS_VBRI;
  info->xing_flags = XING_FRAMES | XING_BYTES | XING_TOC;
  return true;
}

bool IsVbriAt(const uint8_t* p, size_t available) { return available >= 4 && std::memcmp(p, "VBRI", 4) == 0; }

// LAME before 3.95 stored the radio and audiophile gains 6 dB low. `version` is "3.99r" and the
// like, from the tag's nine name bytes.
bool EncoderOlderThan395(const char* version) {
  char* end = nullptr;
  const unsigned long major = std::strtoul(version, &end, 10);
  if (end == version || *end != '.') return false;
  const char* minor_at = end + 1;
  const unsigned long minor = std::strtoul(minor_at, &end, 10);
  return end != minor_at && major == 3 && minor < 95;
}

}  // namespace

uint16_t Crc16Arc(const uint8_t* data, size_t length) {
  static uint16_t table[256];
  static bool ready = [] {
    for (unsigned i = 0; i < 256; ++i) {
      uint16_t c = static_cast<uint16_t>(i);
      for (int k = 0; k < 8; ++k)
        c = (c & 1) ? static_cast<uint16_t>((c >> 1) ^ 0xA001) : static_cast<uint16_t>(c >> 1);
      table[i] = c;
    }
    return true;
  }();
  (void)ready;
  uint16_t crc = 0;
  for (size_t i = 0; i < length; ++i) crc = static_cast<uint16_t>((crc >> 8) ^ table[(crc ^ data[i]) & 0xFF]);
  return crc;
}

bool ParseLameTag(BitReader* bits, uint16_t crc, LameTagInfo* tag) {
  if (bits->Left() < 288) return false;
  const size_t start = bits->Position();
  LameTagInfo t;
  for (int i = 0; i < 9; ++i) t.name[i] = static_cast<char>(bits->Get(8));
  t.name[9] = 0;
  t.revision = bits->Get(4);
  t.method = bits->Get(4);
  t.lowpass = bits->Get(8);
  // LAME stores the peak as a fixed-point number with 23 fraction bits, 1.0 being full scale.
  t.peak = float(bits->Get(32)) / float(1u << 23);
  bool radio_present = false;
  bool audiophile_present = false;
  t.radio_gain = ReplayGain(bits->Get(16), &radio_present);
  t.audiophile_gain = ReplayGain(bits->Get(16), &audiophile_present);
  t.encoding_flags = bits->Get(4);
  t.ath_type = bits->Get(4);
  t.bitrate = bits->Get(8);
  t.encoder_delay = bits->Get(12);
  t.end_padding = bits->Get(12);
  t.source_frequency = bits->Get(2);
  t.unwise = bits->Get(1);
  t.stereo_mode = bits->Get(3);
  t.noise_shaping = bits->Get(2);
  t.mp3_gain = SignedBits(bits->Get(8), 8);
  bits->Get(2);  // unused
  t.surround = bits->Get(3);
  t.preset = bits->Get(11);
  t.music_length = bits->Get(32);
  t.music_crc = bits->Get(16);
  t.tag_crc = bits->Get(16);

  if (t.revision == 15 || t.tag_crc != crc) {
    bits->Restore(start);
    return false;
  }
  if (EncoderOlderThan395(t.name + 4)) {
    if (radio_present) t.radio_gain += 6;
    if (audiophile_present) t.audiophile_gain += 6;
  }
  t.radio_gain_present = radio_present;
  t.audiophile_gain_present = audiophile_present;
  *tag = t;
  return true;
}

bool ParseVbrHeader(const VbrFrame& frame, VbrHeaderInfo* info) {
  *info = VbrHeaderInfo{};
  if (!frame.ancillary) return false;
  BitReader bits(frame.ancillary, frame.ancillary_bit, frame.ancillary_bits);
  uint32_t name = 0;
  if (!bits.Read(32, &name)) return false;

  bool xing_fields = false;
  if (name == Tag('X', 'i', 'n', 'g') || name == Tag('I', 'n', 'f', 'o')) {
    xing_fields = true;
  } else if (name == Tag('L', 'A', 'M', 'E')) {
    bits.Skip(-32);
  } else if (name == Tag('n', 'g', 0, 0) || name == Tag('f', 'o', 0, 0)) {
    // The name began two bytes earlier than the ancillary data.
    bits.Skip(-16);
    if (name == Tag('n', 'g', 0, 0)) info->flags |= VBR_XING_NAME;
    xing_fields = true;
  } else {
    // VBRI sits 32 bytes after the frame header whatever the side-information size.
    if (frame.frame_length >= 40 && IsVbriAt(frame.frame + 36, frame.frame_length - 36)) {
      BitReader at_fixed(frame.frame + 40, 0, (frame.frame_length - 40) * 8);
      return ParseVbri(&at_fixed, frame, info);
    }
    if (name == Tag('V', 'B', 'R', 'I')) return ParseVbri(&bits, frame, info);
    if (bits.Left() > 399 && bits.Skip(256) && bits.Read(32, &name) && name == Tag('V', 'B', 'R', 'I'))
      return ParseVbri(&bits, frame, info);
    return false;
  }

  if (xing_fields) {
    bool complete = bits.Read(32, &info->xing_flags);
    const uint32_t wanted = info->xing_flags;
    if (complete && (wanted & XING_FRAMES)) complete = bits.Read(32, &info->frames);
    if (complete && (wanted & XING_BYTES)) complete = bits.Read(32, &info->bytes);
    if (complete && (wanted & XING_TOC)) {
      complete = bits.Left() >= 800;
      for (int i = 0; complete && i < 100; ++i) info->toc[i] = static_cast<uint8_t>(bits.Get(8));
    }
    if (complete && (wanted & XING_SCALE)) complete = bits.Read(32, &info->scale);
    if (complete) {
      info->flags |= VBR_HAS_XING;
    } else {
      info->xing_flags = 0;
    }
  }

  if (bits.Left() >= 160) {
    const size_t string_start = bits.Position();
    int n = 0;
    for (; n < 20; ++n) {
      const uint32_t c = bits.Get(8);
      if (c < 32 || c > 126) break;
      info->encoder[n] = static_cast<char>(c);
    }
    info->encoder[n] = 0;
    bits.Restore(string_start);

    bool lame = false;
    // FFmpeg writes the same tag under its own library's name.
    const bool lame_layout = std::strncmp(info->encoder, "LAME", 4) == 0 ||
                             std::strncmp(info->encoder, "Lavc", 4) == 0 || std::strncmp(info->encoder, "Lavf", 4) == 0;
    if (lame_layout && frame.frame_length >= 192) {
      // The tag's CRC covers the frame up to the CRC field: 190 bytes for the usual MPEG-1
      // layout, 175 for MPEG-2; taken from where the tag really lies when that is known.
      size_t crc_length = frame.lsf ? 175 : 190;
      const size_t tag_byte = (string_start) / 8;
      if (frame.ancillary >= frame.frame && frame.ancillary < frame.frame + frame.frame_length) {
        const size_t offset = static_cast<size_t>(frame.ancillary - frame.frame) + tag_byte;
        if (offset + 36 <= frame.frame_length) crc_length = offset + 34;
      }
      if (crc_length + 2 <= frame.frame_length) {
        BitReader tag_bits = bits;
        if (ParseLameTag(&tag_bits, Crc16Arc(frame.frame, crc_length), &info->lame)) {
          info->flags |= VBR_HAS_LAME;
          info->encoder[9] = 0;
          lame = true;
        }
      }
    }
    if (!lame) {
      if (char* u = std::strchr(info->encoder, 'U')) *u = 0;
    }
  }
  return true;
}
