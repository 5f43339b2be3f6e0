#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Code-page conversion. The platform's narrow encoding (the "ANSI code page") is UTF-8, so
// every conversion here yields UTF-8. Input is never trusted: an invalid or cut sequence
// becomes U+FFFD, and nothing is read beyond the bytes given. Embedded NULs are converted
// like any other character; callers that want a C string cut at the first one.
namespace platform {

enum class Utf16Order { LittleEndian, BigEndian };

// A byte-order mark at the start of UTF-16 bytes: FF FE little-endian, FE FF big-endian.
struct Utf16Bom {
  bool found;
  Utf16Order order;  // little-endian when no mark was found
};
Utf16Bom DetectUtf16Bom(std::span<const uint8_t> bytes);

// UTF-16 in the given byte order (no mark handling: a leading mark is a character).
// Surrogate pairs join; a lone surrogate becomes U+FFFD; an odd last byte is dropped.
std::string Utf16ToNarrow(std::span<const uint8_t> bytes, Utf16Order order);

// UTF-16 whose order is given by a leading byte-order mark (which is skipped), little-endian
// without one.
std::string Utf16WithBomToNarrow(std::span<const uint8_t> bytes);

// UTF-8 checked and copied; overlong forms, encoded surrogates, code points above U+10FFFF
// and cut sequences become U+FFFD.
std::string Utf8ToNarrow(std::span<const uint8_t> bytes);

// ISO-8859-1: every byte is the code point of the same value.
std::string Latin1ToNarrow(std::span<const uint8_t> bytes);

// wchar_t text (UTF-32 on Linux), e.g. the name handed to OpenFileW.
std::string WideToNarrow(std::wstring_view text);

// Appends one code point as UTF-8; invalid code points append U+FFFD.
void AppendUtf8(std::string& out, uint32_t code_point);

}  // namespace platform
