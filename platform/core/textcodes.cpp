#include "platform/textcodes.h"

namespace platform {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;

bool IsSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

uint32_t Utf16Unit(const uint8_t* p, Utf16Order order) {
  return order == Utf16Order::LittleEndian ? (p[0] | (p[1] << 8)) : ((p[0] << 8) | p[1]);
}

// Length of the well-formed UTF-8 sequence at p (at most `left` bytes), with its code point;
// 0 when the bytes are not a whole valid sequence. `consumed` is then the maximal invalid
// prefix to replace by one U+FFFD, as Unicode recommends.
size_t DecodeUtf8(const uint8_t* p, size_t left, uint32_t& code_point, size_t& consumed) {
  const uint8_t lead = p[0];
  size_t length;
  uint8_t low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead < 0x80) {
    code_point = lead;
    consumed = 1;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code_point = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code_point = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code_point = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    consumed = 1;
    return 0;
  }
  for (size_t i = 1; i < length; ++i) {
    const uint8_t lo = i == 1 ? low : 0x80;
    const uint8_t hi = i == 1 ? high : 0xBF;
    if (i >= left || p[i] < lo || p[i] > hi) {
      consumed = i;
      return 0;
    }
    code_point = (code_point << 6) | (p[i] & 0x3F);
  }
  consumed = length;
  return length;
}

}  // namespace

void AppendUtf8(std::string& out, uint32_t c) {
  if (c > 0x10FFFF || IsSurrogate(c)) c = kReplacement;
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

Utf16Bom DetectUtf16Bom(std::span<const uint8_t> bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    return {true, Utf16Order::LittleEndian};
  }
  if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
    return {true, Utf16Order::BigEndian};
  }
  return {false, Utf16Order::LittleEndian};
}

std::string Utf16ToNarrow(std::span<const uint8_t> bytes, Utf16Order order) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  const size_t units = bytes.size() / 2;  // an odd last byte is no character
  for (size_t i = 0; i < units; ++i) {
    const uint32_t unit = Utf16Unit(&bytes[2 * i], order);
    if (IsHighSurrogate(unit) && i + 1 < units) {
      const uint32_t next = Utf16Unit(&bytes[2 * (i + 1)], order);
      if (IsLowSurrogate(next)) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, IsSurrogate(unit) ? kReplacement : unit);
  }
  return out;
}

std::string Utf16WithBomToNarrow(std::span<const uint8_t> bytes) {
  const Utf16Bom bom = DetectUtf16Bom(bytes);
  return Utf16ToNarrow(bom.found ? bytes.subspan(2) : bytes, bom.order);
}

std::string Utf8ToNarrow(std::span<const uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    uint32_t code_point = 0;
    size_t consumed = 0;
    if (DecodeUtf8(&bytes[i], bytes.size() - i, code_point, consumed)) {
      out.append(reinterpret_cast<const char*>(&bytes[i]), consumed);
    } else {
      AppendUtf8(out, kReplacement);
    }
    i += consumed;
  }
  return out;
}

std::string Latin1ToNarrow(std::span<const uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) AppendUtf8(out, b);
  return out;
}

std::string WideToNarrow(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) AppendUtf8(out, static_cast<uint32_t>(c));
  return out;
}

}  // namespace platform
