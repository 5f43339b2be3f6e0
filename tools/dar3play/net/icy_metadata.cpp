#include "tools/dar3play/net/icy_metadata.h"

#include <algorithm>
#include <cctype>

namespace {

// Servers use 8 KiB to 64 KiB; a count beyond this is not one someone configured.
constexpr size_t kMaxMetaint = 1024 * 1024;

bool IsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const size_t extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 4;
    if (extra > 3 || text.size() - i <= extra) return false;
    for (size_t k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

std::string Latin1ToUtf8(const std::string& text) {
  std::string out;
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

size_t ParseMetaint(const std::string& value) {
  size_t begin = 0, end = value.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(value[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(value[end - 1]))) --end;
  if (begin == end || end - begin > 9) return 0;
  size_t count = 0;
  for (size_t i = begin; i < end; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(value[i]))) return 0;
    count = count * 10 + size_t(value[i] - '0');
  }
  return count <= kMaxMetaint ? count : 0;
}

void IcySplitter::Feed(const uint8_t* data, size_t size, std::vector<uint8_t>* audio, std::vector<IcyBlock>* blocks) {
  if (metaint_ == 0) {
    audio->insert(audio->end(), data, data + size);
    return;
  }
  size_t at = 0;
  while (at < size) {
    switch (expect_) {
      case Expect::kAudio: {
        const size_t take = std::min(audio_left_, size - at);
        audio->insert(audio->end(), data + at, data + at + take);
        at += take;
        audio_left_ -= take;
        if (audio_left_ == 0) expect_ = Expect::kLength;
        break;
      }
      case Expect::kLength:
        text_left_ = size_t(data[at++]) * 16;
        text_.clear();
        expect_ = text_left_ ? Expect::kText : Expect::kAudio;
        audio_left_ = metaint_;
        break;
      case Expect::kText: {
        const size_t take = std::min(text_left_, size - at);
        text_.append(reinterpret_cast<const char*>(data + at), take);
        at += take;
        text_left_ -= take;
        if (text_left_ == 0) {
          // The text is padded with NULs to a multiple of 16.
          const size_t used = text_.find('\0');
          if (used != std::string::npos) text_.resize(used);
          if (!text_.empty()) blocks->push_back({audio->size(), text_});
          expect_ = Expect::kAudio;
        }
        break;
      }
    }
  }
}

bool FindStreamTitle(const std::string& block, std::string* title) {
  static const std::string kKey = "StreamTitle='";
  const size_t start = block.find(kKey);
  if (start == std::string::npos) return false;
  const size_t from = start + kKey.size();
  // The value ends at "';" (a title may hold quotes of its own), else at the block's last quote.
  size_t end = block.find("';", from);
  if (end == std::string::npos) end = block.rfind('\'');
  if (end == std::string::npos || end < from) return false;
  const std::string value = block.substr(from, end - from);
  *title = IsUtf8(value) ? value : Latin1ToUtf8(value);
  return true;
}
