#pragma once
#include <cstdint>
#include <span>

#include "mp3/id3/id3.h"

// The two tag formats. Each resets `texts` and fills what the tag holds; false when the tag
// is absent or malformed (the texts read so far stay).
namespace id3 {

bool ReadId3v1(std::span<const uint8_t> source, bool has_id3v1, Id3Texts& texts);
bool ReadId3v2(std::span<const uint8_t> source, Id3Texts& texts);

}  // namespace id3
