#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "mp3/id3/id3.h"

// The two tag formats. Each resets `texts` and fills what the tag holds; false when the tag
// is absent or malformed (the texts read so far stay).
namespace id3 {

bool ReadId3v1(std::span<const uint8_t> source, bool has_id3v1, Id3Texts& texts);
bool ReadId3v2(std::span<const uint8_t> source, Id3Texts& texts);

// Any frame of an ID3v2 tag, for readers of frames beyond the seven texts (TXXX, RVA2...).
// `id` is the frame's identifier as stored: three characters in 2.2, four from 2.3 on. The
// body handed over is the frame's data as written, unsynchronisation undone.
class FrameVisitor {
 public:
  virtual ~FrameVisitor() = default;
  virtual bool Wants(std::string_view id, int major_version) = 0;
  virtual void Visit(std::string_view id, int major_version, std::span<const uint8_t> body) = 0;
};
// Walks the tag at the start of `source`; false when there is none or it is malformed (the
// frames before the fault have been visited).
bool WalkId3v2(std::span<const uint8_t> source, FrameVisitor& visitor);

// The text of the tag's first comment (COMM) described as `description`; "" without one.
std::string CommentText(std::span<const uint8_t> source, std::string_view description);

}  // namespace id3
