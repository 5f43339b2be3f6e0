#include "tools/assetgen/id3_tags.h"

#include <algorithm>
#include <cstdlib>

namespace assetgen {
namespace {

void PutU32BigEndian(Bytes& b, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) b.push_back(uint8_t(v >> shift));
}

void TextFrame(Bytes& b, const char* id, const std::string& text) {
  if (text.empty()) return;
  PutText(b, id);
  PutU32BigEndian(b, uint32_t(text.size() + 1));
  PutU16(b, 0);
  PutU8(b, 0);  // ISO-8859-1
  PutText(b, text);
}

void Fixed(Bytes& b, const std::string& s, size_t width) {
  std::string field = s.substr(0, width);
  PutText(b, field);
  b.resize(b.size() + (width - field.size()), 0);
}

}  // namespace

Bytes EncodeId3v23(const TrackTags& t) {
  Bytes frames;
  TextFrame(frames, "TIT2", t.title);
  TextFrame(frames, "TPE1", t.artist);
  TextFrame(frames, "TALB", t.album);
  TextFrame(frames, "TYER", t.year);
  TextFrame(frames, "TRCK", t.track);
  Bytes b;
  PutText(b, "ID3");
  PutU8(b, 3);
  PutU8(b, 0);
  PutU8(b, 0);
  const uint32_t size = uint32_t(frames.size());
  for (int shift = 21; shift >= 0; shift -= 7) PutU8(b, (size >> shift) & 0x7F);  // sync-safe
  b.insert(b.end(), frames.begin(), frames.end());
  return b;
}

Bytes EncodeId3v1(const TrackTags& t) {
  Bytes b;
  PutText(b, "TAG");
  Fixed(b, t.title, 30);
  Fixed(b, t.artist, 30);
  Fixed(b, t.album, 30);
  Fixed(b, t.year, 4);
  Fixed(b, "", 28);  // comment
  PutU8(b, 0);       // v1.1: a track number follows
  PutU8(b, uint32_t(std::clamp(std::strtol(t.track.c_str(), nullptr, 10), 0L, 255L)));
  PutU8(b, 36);  // genre: Game
  return b;
}

}  // namespace assetgen
