#pragma once
// The length of a stream counted from its frame index: exact to the frame, whatever its
// headers claim, and ending where the data ends.
#include <cstdint>
#include <vector>

struct IndexLength {
  uint32_t frames = 0;          // frames of the stream's first format
  uint64_t samples = 0;         // frames x samples per frame
  uint32_t ms = 0;              // samples in ms, rounded down, saturated
  uint32_t bytes = 0;           // from the first counted frame to the end of the last
  float average_bitrate = 0;    // bits per second over those bytes
  bool format_changes = false;  // frames of another sample rate or layer follow
};

// `index` holds frame starts in stream order, `data_end` is one past the data. Counting stops
// where two frames in a row differ from the first one in sample rate, version or layer: the
// player does not play past such a change (the channel count may change: the output is always
// two channels). A single frame that differs is damaged and not counted.
IndexLength LengthFromIndex(const std::vector<const uint8_t*>& index, const uint8_t* data_end,
                            uint32_t samples_per_frame, uint32_t sample_rate);

// What has to stay the same from frame to frame, read from a frame header's bytes.
uint32_t FrameFormatKey(const uint8_t* header);
