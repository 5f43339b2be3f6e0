#pragma once
// ID3 tags for the music files: a v2.3 tag in front, a v1 tag at the end.
#include <string>

#include "tools/assetgen/byte_writer.h"

namespace assetgen {

struct TrackTags {
  std::string title, artist, album, year, track;
};

Bytes EncodeId3v23(const TrackTags& tags);
Bytes EncodeId3v1(const TrackTags& tags);  // always 128 bytes

}  // namespace assetgen
