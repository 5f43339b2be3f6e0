#pragma once
// The VBR header of a stream's first frame: Xing/Info (with an optional LAME tag) or VBRI.
#include <cstddef>
#include <cstdint>

#include "mp3/format/bit_reader.h"

constexpr uint32_t VBR_HAS_XING = 1;
constexpr uint32_t VBR_HAS_LAME = 2;
constexpr uint32_t VBR_HAS_VBRI = 4;
constexpr uint32_t VBR_XING_NAME = 256;

constexpr uint32_t XING_FRAMES = 1;
constexpr uint32_t XING_BYTES = 2;
constexpr uint32_t XING_TOC = 4;
constexpr uint32_t XING_SCALE = 8;

struct LameTagInfo {
  char name[10] = {};  // "LAME3.100"
  uint32_t revision = 0;
  uint32_t method = 0;
  uint32_t lowpass = 0;
  float peak = 0.0f;                // linear, 1.0 full scale
  int32_t radio_gain = 0;           // 0.1 dB
  int32_t audiophile_gain = 0;      // 0.1 dB
  bool radio_gain_present = false;  // the field names a gain (its name bits are set)
  bool audiophile_gain_present = false;
  uint32_t encoding_flags = 0;
  uint32_t ath_type = 0;
  uint32_t bitrate = 0;
  uint32_t encoder_delay = 0;
  uint32_t end_padding = 0;
  uint32_t source_frequency = 0;
  uint32_t unwise = 0;
  uint32_t stereo_mode = 0;
  uint32_t noise_shaping = 0;
  int32_t mp3_gain = 0;
  uint32_t surround = 0;
  uint32_t preset = 0;
  uint32_t music_length = 0;
  uint32_t music_crc = 0;
  uint32_t tag_crc = 0;
};

struct VbrHeaderInfo {
  uint32_t flags = 0;
  uint32_t xing_flags = 0;
  uint32_t frames = 0;
  uint32_t bytes = 0;
  uint8_t toc[100] = {};
  uint32_t scale = 0;
  char encoder[21] = {};
  LameTagInfo lame;
  uint32_t vbri_delay = 0;
};

// The first frame as the decoder saw it.
struct VbrFrame {
  const uint8_t* frame = nullptr;      // first byte of the frame header
  size_t frame_length = 0;             // bytes of the frame that really exist
  const uint8_t* ancillary = nullptr;  // where the ancillary bits begin (byte)
  unsigned ancillary_bit = 0;          // and the bit inside that byte (0 = most significant)
  size_t ancillary_bits = 0;           // how many there are
  uint32_t samples_per_frame = 1152;
  uint32_t sample_rate = 44100;
  bool lsf = false;
};

// CRC-16/ARC (reflected 0x8005, initial 0), the LAME tag's checksum.
uint16_t Crc16Arc(const uint8_t* data, size_t length);

// True when a Xing, Info, LAME or VBRI header was recognised; the fields found are in *info.
bool ParseVbrHeader(const VbrFrame& frame, VbrHeaderInfo* info);

// Reads a LAME tag at the reader's position; accepted only when its CRC equals `crc`.
bool ParseLameTag(BitReader* bits, uint16_t crc, LameTagInfo* tag);
