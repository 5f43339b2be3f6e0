#pragma once
// Frame-level scans of an MPEG audio byte range with libmad: the first frame that is followed
// by a matching one, and the header walk that measures bitrate and frame sizes.
#include <mad.h>

#include <cstddef>
#include <cstdint>

struct FirstFrame {
  const uint8_t* frame = nullptr;  // the accepted frame
  mad_header header{};             // its header
  unsigned long freerate = 0;      // the stream's free-format bitrate after it
};

// Searches `size` bytes (the last 8 serve as the decoder's guard). False when no decodable frame
// is followed by one of the same sample rate and layer.
bool FindFirstValidFrame(const uint8_t* data, size_t size, FirstFrame* out);

struct HeaderScan {
  uint32_t counted = 0;   // headers counted
  uint64_t byte_sum = 0;  // their frame lengths
  bool vbr = false;       // a bitrate differed from the first
};

// Walks up to `limit` headers from `data`; the bytes the decoder cannot finish at the end are
// walked once more from a zero-padded copy.
HeaderScan ScanFrameHeaders(const uint8_t* data, size_t size, unsigned long freerate, unsigned long first_bitrate,
                            uint32_t limit);

// Libmad's values as the player's bit sets.
uint32_t SamplesPerFrame(const mad_header& header);  // Layer I 384; Layer III with LSF 576; else 1152
uint32_t VersionBit(const mad_header& header);       // 4 MPEG-2.5, 2 LSF, 1 MPEG-1
uint32_t LayerBit(const mad_header& header);         // 1, 2, 4
uint32_t ModeBit(const mad_header& header);          // 1 single, 2 dual, 4 joint, 8 stereo
uint32_t EmphasisBit(const mad_header& header);      // 1 none, 2 50/15, 4 J.17, 8 reserved
