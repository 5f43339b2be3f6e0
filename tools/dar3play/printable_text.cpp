#include "tools/dar3play/printable_text.h"

#include <langinfo.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace {

// Length of the well-formed UTF-8 sequence at text[i], 0 when it is not one.
size_t SequenceLength(const std::string& text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k)
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  return length;
}

}  // namespace

bool LocaleIsUtf8() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

std::string Printable(const std::string& utf8, bool locale_utf8, bool keep_newlines) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      const bool control = (c < 0x20 && !(keep_newlines && c == '\n')) || c == 0x7F;
      out += control ? '?' : char(c);
      ++i;
      continue;
    }
    const size_t length = SequenceLength(utf8, i);
    // C1 controls (U+0080..U+009F) act like escapes on some terminals.
    const bool c1_control = length == 2 && c == 0xC2 && static_cast<unsigned char>(utf8[i + 1]) < 0xA0;
    if (length && locale_utf8 && !c1_control)
      out.append(utf8, i, length);
    else
      out += '?';
    i += length ? length : 1;
  }
  return out;
}

std::string Printable(const std::string& utf8) { return Printable(utf8, LocaleIsUtf8()); }

namespace {

// Walks the characters of text, calling step(byte_offset, byte_length, cells) for each.
template <typename Step>
void ForEachCharacter(const std::string& text, Step step) {
  std::mbstate_t state{};
  for (size_t i = 0; i < text.size();) {
    wchar_t wide = 0;
    size_t length = std::mbrtowc(&wide, text.data() + i, text.size() - i, &state);
    int cells = 1;
    if (length == size_t(-1) || length == size_t(-2) || length == 0) {
      length = 1;
      state = std::mbstate_t{};
    } else {
      cells = std::max(0, wcwidth(wide));
    }
    if (!step(i, length, cells)) return;
    i += length;
  }
}

}  // namespace

std::string CutToColumns(const std::string& text, int columns) {
  size_t end = 0;
  int used = 0;
  ForEachCharacter(text, [&](size_t at, size_t length, int cells) {
    if (used + cells > columns) return false;
    used += cells;
    end = at + length;
    return true;
  });
  return text.substr(0, end);
}

int Columns(const std::string& text) {
  int used = 0;
  ForEachCharacter(text, [&](size_t, size_t, int cells) {
    used += cells;
    return true;
  });
  return used;
}
