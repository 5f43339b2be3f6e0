#include <cstring>
#include <new>
#include <string_view>
#include <vector>

#include "mp3/id3/frames.h"
#include "mp3/id3/tag_bytes.h"
#include "mp3/id3/tag_readers.h"

// Every size read from the tag is compared with the bytes left before it is used: a tag
// that lies about a size fails (or skips the frame) instead of reading past its end.
namespace id3 {
namespace {

constexpr size_t kHeaderSize = 10;
constexpr uint8_t kFlagUnsynchronisation = 0x80;
constexpr uint8_t kFlagExtendedHeader = 0x40;  // compression in 2.2

struct TagHeader {
  uint8_t version = 0;
  uint8_t revision = 0;
  uint8_t flags = 0;
  std::span<const uint8_t> body;  // the tag after its header, inside the source
};

bool ReadHeader(std::span<const uint8_t> source, TagHeader& header) {
  if (source.size() < kHeaderSize || std::memcmp(source.data(), "ID3", 3) != 0) return false;
  const uint8_t* p = source.data();
  if (p[3] == 0xFF || p[4] == 0xFF || !IsSyncsafe(p + 6)) return false;
  const size_t size = Syncsafe32(p + 6);
  if (source.size() - kHeaderSize < size) return false;
  header = {p[3], p[4], p[5], source.subspan(kHeaderSize, size)};
  return true;
}

// The tag body with unsynchronisation undone into `work`, or as it stands.
bool BodyOf(const TagHeader& header, std::vector<uint8_t>& work, std::span<const uint8_t>& body) {
  body = header.body;
  if (!(header.flags & kFlagUnsynchronisation)) return true;
  try {
    work = Deunsynchronise(header.body);
  } catch (const std::bad_alloc&) {
    return false;
  }
  body = work;
  return true;
}

std::string_view FrameId(const uint8_t* p, size_t length) { return {reinterpret_cast<const char*>(p), length}; }

bool WalkV22(const TagHeader& header, FrameVisitor& visitor) {
  if (header.flags & kFlagExtendedHeader) return false;  // compressed: unreadable
  std::vector<uint8_t> work;
  std::span<const uint8_t> body;
  if (!BodyOf(header, work, body)) return false;
  size_t pos = 0;
  while (pos < body.size()) {
    const size_t left = body.size() - pos;
    // Padding, or a tail too short for a frame header, ends the tag.
    if ((left <= 6 && body[pos] == 0) || left < 6) return true;
    const uint8_t* frame = body.data() + pos;
    const size_t size = BigEndian24(frame + 3);
    if (size > left - 6) return false;
    const std::string_view id = FrameId(frame, 3);
    if (visitor.Wants(id, 2)) visitor.Visit(id, 2, body.subspan(pos + 6, size));
    pos += 6 + size;
  }
  return true;
}

bool WalkV23(const TagHeader& header, FrameVisitor& visitor) {
  std::vector<uint8_t> work;
  std::span<const uint8_t> body;
  if (!BodyOf(header, work, body)) return false;
  size_t pos = 0;
  if (header.flags & kFlagExtendedHeader) {
    if (body.size() < 4) return false;
    const size_t size = BigEndian32(body.data());
    if (size > body.size() - 4) return false;
    pos = 4 + size;
  }
  while (body.size() - pos > 10) {
    const uint8_t* frame = body.data() + pos;
    if (frame[0] == 0) return true;  // padding
    const size_t size = BigEndian32(frame + 4);
    if (size == 0 || size > body.size() - pos - 10) return false;
    // Compressed, encrypted and grouped frames cannot be read as text.
    const bool unreadable = frame[9] & (0x80 | 0x40 | 0x20);
    const std::string_view id = FrameId(frame, 4);
    if (!unreadable && visitor.Wants(id, 3)) visitor.Visit(id, 3, body.subspan(pos + 10, size));
    pos += 10 + size;
  }
  return true;
}

// A 2.4 frame body as stored: without its data length indicator, unsynchronisation undone.
// False when the frame cannot be read and is skipped.
bool FrameDataV24(std::span<const uint8_t> data, uint8_t flags, bool tag_unsynchronised, std::vector<uint8_t>& work,
                  std::span<const uint8_t>& out) {
  if (flags & 0x01) {  // data length indicator
    if (data.size() < 4) return false;
    data = data.subspan(4);
  }
  out = data;
  if (!(flags & 0x02) && !tag_unsynchronised) return true;
  try {
    work = Deunsynchronise(data);
  } catch (const std::bad_alloc&) {
    return false;
  }
  out = work;
  return true;
}

bool WalkV24(const TagHeader& header, FrameVisitor& visitor) {
  const std::span<const uint8_t> body = header.body;
  size_t pos = 0;
  if (header.flags & kFlagExtendedHeader) {
    if (body.size() < 4 || !IsSyncsafe(body.data())) return false;
    const size_t size = Syncsafe32(body.data());  // includes its own 4 bytes
    if (size < 6 || size > body.size()) return false;
    pos = size;
  }
  const bool tag_unsynchronised = header.flags & kFlagUnsynchronisation;
  std::vector<uint8_t> work;
  while (body.size() - pos >= 11 && body[pos] != 0) {
    const uint8_t* frame = body.data() + pos;
    if (!IsSyncsafe(frame + 4)) return false;
    const size_t size = Syncsafe32(frame + 4);
    if (size == 0 || size > body.size() - pos - 10) return false;
    const uint8_t flags = frame[9];
    const std::string_view id = FrameId(frame, 4);
    // Compressed, encrypted and grouped frames cannot be read as text.
    const bool unreadable = flags & (0x08 | 0x04 | 0x40);
    std::span<const uint8_t> data;
    if (!unreadable && visitor.Wants(id, 4) &&
        FrameDataV24(body.subspan(pos + 10, size), flags, tag_unsynchronised, work, data)) {
      visitor.Visit(id, 4, data);
    }
    pos += 10 + size;
  }
  return true;
}

// The frames that fill the seven texts.
class TextFrames : public FrameVisitor {
 public:
  explicit TextFrames(Id3Texts& texts) : sink_(texts) {}
  bool Wants(std::string_view id, int major_version) override {
    return FieldOfFrame(id, major_version) != FrameField::None;
  }
  void Visit(std::string_view id, int major_version, std::span<const uint8_t> body) override {
    sink_.Handle(FieldOfFrame(id, major_version), body);
  }

 private:
  FrameSink sink_;
};

}  // namespace

bool WalkId3v2(std::span<const uint8_t> source, FrameVisitor& visitor) {
  TagHeader header;
  if (!ReadHeader(source, header)) return false;
  switch (header.version) {
    case 2: return WalkV22(header, visitor);
    case 3: return WalkV23(header, visitor);
    case 4: return WalkV24(header, visitor);
    default: return false;
  }
}

bool ReadId3v2(std::span<const uint8_t> source, Id3Texts& texts) {
  texts = Id3Texts{};
  TextFrames frames(texts);
  return WalkId3v2(source, frames);
}

}  // namespace id3
