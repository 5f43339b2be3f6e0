#include <cstring>

#include "mp3/id3/tag_readers.h"
#include "platform/textcodes.h"

namespace id3 {
namespace {

constexpr size_t kTagSize = 128;

// A fixed-width Latin-1 field: up to its first NUL, trailing spaces removed on request.
std::string Field(const uint8_t* bytes, size_t width, bool trim_spaces) {
  size_t length = 0;
  while (length < width && bytes[length] != 0) ++length;
  if (trim_spaces) {
    while (length > 0 && bytes[length - 1] == ' ') --length;
  }
  return platform::Latin1ToNarrow({bytes, length});
}

}  // namespace

bool HasId3v1(std::span<const uint8_t> source) {
  return source.size() > kTagSize && std::memcmp(source.data() + source.size() - kTagSize, "TAG", 3) == 0;
}

bool ReadId3v1(std::span<const uint8_t> source, bool has_id3v1, Id3Texts& texts) {
  texts = Id3Texts{};
  // The mark alone is not trusted: the bytes must be there.
  if (!has_id3v1 || !HasId3v1(source)) return false;
  const uint8_t* tag = source.data() + source.size() - kTagSize;
  texts.title = Field(tag + 3, 30, true);
  texts.artist = Field(tag + 33, 30, true);
  texts.album = Field(tag + 63, 30, true);
  texts.year = Field(tag + 93, 4, true);
  texts.comment = Field(tag + 97, 30, false);
  const char* genre = GenreName(tag[127]);
  texts.genre = genre ? genre : "";
  const uint8_t* comment = tag + 97;
  texts.track = comment[28] == 0 ? std::to_string(unsigned{comment[29]}) : "0";
  return true;
}

}  // namespace id3
