#pragma once
// The start of every frame of an audio range, for reverse play.
#include <cstdint>
#include <vector>

// Two passes of libmad's header reader over [data, data + size): the first counts, the second
// records. The last frame is read from a copy padded with a sync-like guard (0xFF 0xE0, six
// zeros), so it counts too. False on allocation failure; an empty index means no frame.
bool BuildFrameIndex(const uint8_t* data, uint32_t size, std::vector<const uint8_t*>* index);
