#pragma once
// The start of every frame of an audio range, for reverse play and sample-exact seeks.
#include <cstdint>
#include <vector>

// One pass of libmad's header reader over [data, data + size). The last frame is read from a
// copy padded with a sync-like guard (0xFF 0xE0, six zeros), so it counts too. False on
// allocation failure; an empty index means no frame.
bool BuildFrameIndex(const uint8_t* data, uint32_t size, std::vector<const uint8_t*>* index);

// The frame to start decoding at so that frame `heard` comes out as it does in a decode of the
// whole stream: the frame before it decodes whole (its main data may begin up to 511 bytes of
// main data back, and every frame in between holds fewer than its size of them), and at least
// two frames rebuild the overlap and the synthesis filter. The frames before `heard` are
// decoded but not heard.
uint32_t WarmUpStart(const std::vector<const uint8_t*>& index, uint32_t heard);
