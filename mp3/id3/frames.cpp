#include "mp3/id3/frames.h"

#include <algorithm>

#include "platform/textcodes.h"

namespace id3 {
namespace {

struct FrameName {
  const char* v22;
  const char* v23;
  const char* v24;
  FrameField field;
};

constexpr FrameName kFrames[] = {
    {"TP1", "TPE1", "TPE1", FrameField::Artist},  {"TT2", "TIT2", "TIT2", FrameField::Title},
    {"TAL", "TALB", "TALB", FrameField::Album},   {"TRK", "TRCK", "TRCK", FrameField::Track},
    {"TYE", "TYER", "TDRC", FrameField::Year},    {"TCO", "TCON", "TCON", FrameField::Genre},
    {"COM", "COMM", "COMM", FrameField::Comment},
};

std::string CutAtNul(std::string text) {
  const size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}

// Width of the description terminator: two bytes in the UTF-16 encodings.
size_t TerminatorWidth(uint8_t encoding) { return encoding == 1 || encoding == 2 ? 2 : 1; }

// Offset of the first terminator at or after `from`, aligned to its width; npos if the
// bytes end first.
size_t FindTerminator(std::span<const uint8_t> bytes, size_t from, size_t width) {
  for (size_t i = from; i + width <= bytes.size(); i += width) {
    if (bytes[i] == 0 && (width == 1 || bytes[i + 1] == 0)) return i;
  }
  return std::string::npos;
}

}  // namespace

FrameField FieldOfFrame(std::string_view id, int major_version) {
  for (const FrameName& name : kFrames) {
    const char* wanted = major_version == 2 ? name.v22 : major_version == 3 ? name.v23 : name.v24;
    if (id == wanted) return name.field;
  }
  return FrameField::None;
}

std::string DecodeId3Text(uint8_t encoding, std::span<const uint8_t> text) {
  switch (encoding) {
    case 0: return CutAtNul(platform::Latin1ToNarrow(text));
    case 1: {
      const platform::Utf16Bom bom = platform::DetectUtf16Bom(text);
      if (bom.found) text = text.subspan(2);
      // Some taggers put a NUL character before the text.
      if (text.size() > 5 && text[0] == 0 && text[1] == 0) text = text.subspan(2);
      return CutAtNul(platform::Utf16ToNarrow(text, bom.order));
    }
    case 2: return CutAtNul(platform::Utf16ToNarrow(text, platform::Utf16Order::BigEndian));
    case 3: return CutAtNul(platform::Utf8ToNarrow(text));
    default: return {};
  }
}

DescribedText ReadDescribedText(std::span<const uint8_t> body, size_t description_at) {
  if (body.size() <= description_at) return {};
  const uint8_t encoding = body[0];
  const size_t width = TerminatorWidth(encoding);
  const size_t end = FindTerminator(body, description_at, width);
  const std::span<const uint8_t> description =
      body.subspan(description_at, end == std::string::npos ? body.size() - description_at : end - description_at);
  const std::span<const uint8_t> text =
      end == std::string::npos ? std::span<const uint8_t>() : body.subspan(end + width);
  return {DecodeId3Text(encoding, description), DecodeId3Text(encoding, text)};
}

std::string ResolveGenreReference(const std::string& genre) {
  // "(" 1..3 digits ")", possibly followed by a refinement, which the name replaces.
  if (genre.size() < 3 || genre[0] != '(') return genre;
  size_t digits = 0;
  int number = 0;
  while (digits < 3 && 1 + digits < genre.size() && genre[1 + digits] >= '0' && genre[1 + digits] <= '9') {
    number = number * 10 + (genre[1 + digits] - '0');
    ++digits;
  }
  if (digits == 0 || 1 + digits >= genre.size() || genre[1 + digits] != ')') return genre;
  const char* name = GenreName(number);
  return name ? std::string(name) : genre;
}

void FrameSink::Handle(FrameField field, std::span<const uint8_t> body) {
  switch (field) {
    case FrameField::Artist: return HandleText(texts_.artist, body, false);
    case FrameField::Title: return HandleText(texts_.title, body, false);
    case FrameField::Album: return HandleText(texts_.album, body, false);
    case FrameField::Track: return HandleText(texts_.track, body, false);
    case FrameField::Year: return HandleText(texts_.year, body, false);
    case FrameField::Genre: return HandleText(texts_.genre, body, true);
    case FrameField::Comment: return HandleComment(body);
    case FrameField::None: return;
  }
}

void FrameSink::HandleText(std::string& target, std::span<const uint8_t> body, bool is_genre) {
  if (body.size() <= 1) return;
  std::string text = DecodeId3Text(body[0], body.subspan(1));
  target = is_genre ? ResolveGenreReference(text) : std::move(text);
}

void FrameSink::HandleComment(std::span<const uint8_t> body) {
  // encoding, language (3), description ended by a terminator, text
  if (body.size() <= 5) return;
  const DescribedText comment = ReadDescribedText(body, 4);
  const bool plain = comment.description.empty();
  if (plain) {
    texts_.comment = comment.text;
    plain_comment_read_ = true;
  } else if (!plain_comment_read_) {
    texts_.comment = comment.text;
  }
}

}  // namespace id3
