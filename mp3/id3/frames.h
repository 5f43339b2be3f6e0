#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "mp3/id3/id3.h"

// The ID3v2 frames the reader keeps, and how their bodies become texts.
namespace id3 {

enum class FrameField { None, Artist, Title, Album, Track, Year, Genre, Comment };

// Which field a frame identifier fills in a tag of the given major version (2, 3 or 4).
FrameField FieldOfFrame(std::string_view id, int major_version);

// Text in one of the four ID3v2 encodings (0 ISO-8859-1, 1 UTF-16 with byte-order mark,
// 2 UTF-16 big-endian, 3 UTF-8) as UTF-8, cut at its first NUL. Unknown encodings give "".
std::string DecodeId3Text(uint8_t encoding, std::span<const uint8_t> text);

// A frame body of an encoding byte, a description ended by a terminator and a text (COMM after
// its language, TXXX): both decoded. `description_at` is where the description begins.
struct DescribedText {
  std::string description;
  std::string text;
};
DescribedText ReadDescribedText(std::span<const uint8_t> body, size_t description_at);

// "(n)" with n below the table's size becomes the genre's name; anything else is kept.
std::string ResolveGenreReference(const std::string& genre);

// Collects frame bodies into the texts of one tag.
class FrameSink {
 public:
  explicit FrameSink(Id3Texts& texts) : texts_(texts) {}

  void Handle(FrameField field, std::span<const uint8_t> body);

 private:
  void HandleText(std::string& target, std::span<const uint8_t> body, bool is_genre);
  void HandleComment(std::span<const uint8_t> body);

  Id3Texts& texts_;
  bool plain_comment_read_ = false;  // a comment without description outranks the others
};

}  // namespace id3
