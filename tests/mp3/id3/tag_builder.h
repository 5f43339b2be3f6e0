#pragma once
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "mp3/id3/id3.h"

// Builds ID3 tags byte by byte for the tests.
namespace id3_test {

using Bytes = std::vector<uint8_t>;

inline Bytes B(std::string_view text) { return Bytes(text.begin(), text.end()); }
inline Bytes B(std::initializer_list<int> bytes) {
  Bytes out;
  for (int b : bytes) out.push_back(static_cast<uint8_t>(b));
  return out;
}
inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline Bytes Syncsafe(uint32_t n) {
  return B({int((n >> 21) & 0x7F), int((n >> 14) & 0x7F), int((n >> 7) & 0x7F), int(n & 0x7F)});
}
inline Bytes BigEndian(uint32_t n, int width) {
  Bytes out;
  for (int i = width - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(n >> (8 * i)));
  return out;
}

// Inserts a 0x00 after every 0xFF that is followed by 0x00 or a byte >= 0xE0, or ends the data.
inline Bytes Unsynchronise(const Bytes& in) {
  Bytes out;
  for (size_t i = 0; i < in.size(); ++i) {
    out.push_back(in[i]);
    if (in[i] == 0xFF && (i + 1 == in.size() || in[i + 1] == 0x00 || in[i + 1] >= 0xE0)) {
      out.push_back(0x00);
    }
  }
  return out;
}

// Frame of a tag of major version 2, 3 or 4 (size coded as that version codes it).
inline Bytes Frame(int version, std::string_view id, const Bytes& body, int flags2 = 0) {
  if (version == 2) return Cat({B(id), BigEndian(uint32_t(body.size()), 3), body});
  const Bytes size = version == 4 ? Syncsafe(uint32_t(body.size())) : BigEndian(uint32_t(body.size()), 4);
  return Cat({B(id), size, B({0, flags2}), body});
}

// Text frame body: encoding byte then the text bytes as given.
inline Bytes Text(int encoding, const Bytes& text) { return Cat({B({encoding}), text}); }

// UTF-16 code units in the given order, optionally with a byte-order mark first.
inline Bytes Utf16(std::u16string_view text, bool big_endian, bool bom) {
  Bytes out;
  auto put = [&](char16_t u) {
    if (big_endian) {
      out.push_back(uint8_t(u >> 8));
      out.push_back(uint8_t(u));
    } else {
      out.push_back(uint8_t(u));
      out.push_back(uint8_t(u >> 8));
    }
  };
  if (bom) put(0xFEFF);
  for (char16_t u : text) put(u);
  return out;
}

// A whole ID3v2 tag: header over `body` (the size is the body's unless given).
inline Bytes Tag(int version, int flags, const Bytes& body, long size = -1) {
  return Cat({B("ID3"), B({version, 0, flags}), Syncsafe(uint32_t(size < 0 ? body.size() : size)), body});
}

// 128-byte ID3v1 tag; fields are cut or NUL-padded to their width.
struct V1 {
  std::string title, artist, album, year;
  Bytes comment;  // 30 bytes at most
  int genre = 255;
};
inline Bytes Id3v1(const V1& v) {
  Bytes tag = B("TAG");
  auto put = [&](const Bytes& field, size_t width) {
    for (size_t i = 0; i < width; ++i) tag.push_back(i < field.size() ? field[i] : 0);
  };
  put(B(v.title), 30);
  put(B(v.artist), 30);
  put(B(v.album), 30);
  put(B(v.year), 4);
  put(v.comment, 30);
  tag.push_back(static_cast<uint8_t>(v.genre));
  return tag;
}

// Audio stand-in between the tags: frame-sync-free filler.
inline Bytes Audio(size_t n = 400) { return Bytes(n, 0x55); }

}  // namespace id3_test
