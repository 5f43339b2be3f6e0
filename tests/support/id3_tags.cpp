#include "tests/support/id3_tags.h"

#include <cstring>

namespace test_support {

std::vector<uint8_t> Id3v2TagWithArt(const char* title, const char* artist, uint32_t art, uint32_t claimed) {
  std::vector<uint8_t> frames;
  const auto add = [&](const char* id, const std::vector<uint8_t>& body) {
    frames.insert(frames.end(), id, id + 4);
    const uint32_t n = uint32_t(body.size());
    const uint8_t size[6] = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n), 0, 0};
    frames.insert(frames.end(), size, size + 6);
    frames.insert(frames.end(), body.begin(), body.end());
  };
  const auto text = [](const char* s) {
    std::vector<uint8_t> body = {0};  // ISO-8859-1
    body.insert(body.end(), s, s + std::strlen(s));
    return body;
  };
  add("TIT2", text(title));
  add("TPE1", text(artist));
  std::vector<uint8_t> picture = {0};
  const char mime[] = "image/jpeg";
  picture.insert(picture.end(), mime, mime + sizeof mime);
  picture.push_back(3);  // front cover
  picture.push_back(0);  // no description
  for (uint32_t i = 0; i < art; ++i) picture.push_back(uint8_t(i * 7 + (i >> 9)) & 0x7F);
  add("APIC", picture);
  std::vector<uint8_t> tag = {'I', 'D', '3', 3, 0, 0};
  const uint32_t n = claimed ? claimed : uint32_t(frames.size());
  for (int shift : {21, 14, 7, 0}) tag.push_back(uint8_t((n >> shift) & 0x7F));
  tag.insert(tag.end(), frames.begin(), frames.end());
  return tag;
}

}  // namespace test_support
