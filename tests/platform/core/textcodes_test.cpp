#include "platform/textcodes.h"

#include <gtest/gtest.h>

#include "tests/mp3/id3/tag_builder.h"

namespace {

using id3_test::B;
using id3_test::Bytes;
using platform::Utf16Order;

std::string Hex(const std::string& s) {
  std::string out;
  char buf[4];
  for (unsigned char c : s) {
    snprintf(buf, sizeof buf, "%02X ", c);
    out += buf;
  }
  return out;
}

TEST(TextCodes, Utf16InBothOrdersWithSurrogatesAndDamage) {
  // "Aé€𝄞" as little- and big-endian units
  const Bytes le = B({0x41, 0x00, 0xE9, 0x00, 0xAC, 0x20, 0x34, 0xD8, 0x1E, 0xDD});
  const Bytes be = B({0x00, 0x41, 0x00, 0xE9, 0x20, 0xAC, 0xD8, 0x34, 0xDD, 0x1E});
  const std::string expected = "A\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E";
  EXPECT_EQ(platform::Utf16ToNarrow(le, Utf16Order::LittleEndian), expected);
  EXPECT_EQ(platform::Utf16ToNarrow(be, Utf16Order::BigEndian), expected);
  EXPECT_EQ(expected.size(), 10u) << "lengths are bytes of UTF-8";

  // Byte-order marks choose the order and are skipped; no mark means little-endian.
  EXPECT_EQ(platform::Utf16WithBomToNarrow(id3_test::Cat({B({0xFF, 0xFE}), le})), expected);
  EXPECT_EQ(platform::Utf16WithBomToNarrow(id3_test::Cat({B({0xFE, 0xFF}), be})), expected);
  EXPECT_EQ(platform::Utf16WithBomToNarrow(le), expected);

  // A lone high surrogate (at the end or before a plain unit) and a lone low surrogate each
  // become U+FFFD; an odd last byte is dropped, not read past.
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(Hex(platform::Utf16ToNarrow(B({0x34, 0xD8}), Utf16Order::LittleEndian)), Hex(fffd));
  EXPECT_EQ(platform::Utf16ToNarrow(B({0x34, 0xD8, 0x41, 0x00}), Utf16Order::LittleEndian), fffd + "A");
  EXPECT_EQ(platform::Utf16ToNarrow(B({0x1E, 0xDD, 0x41, 0x00}), Utf16Order::LittleEndian), fffd + "A");
  EXPECT_EQ(platform::Utf16ToNarrow(B({0x41, 0x00, 0x42}), Utf16Order::LittleEndian), "A");
  EXPECT_EQ(platform::Utf16ToNarrow(B({0x41}), Utf16Order::BigEndian), "");
  EXPECT_EQ(platform::Utf16WithBomToNarrow(B({0xFF})), "");
}

TEST(TextCodes, Utf8IsCheckedAndInvalidSequencesReplaced) {
  const std::string fffd = "\xEF\xBF\xBD";
  const std::string good =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE2\x82\xAC \xF0\x9F\x8E\xB5";
  EXPECT_EQ(platform::Utf8ToNarrow(B(good)), good);
  struct Case {
    Bytes in;
    std::string out;
  } cases[] = {
      {B({0xC0, 0xAF}), fffd + fffd},                            // overlong '/'
      {B({0xE0, 0x80, 0xAF}), fffd + fffd + fffd},               // overlong, three bytes
      {B({0xED, 0xA0, 0x80}), fffd + fffd + fffd},               // encoded surrogate
      {B({0xF4, 0x90, 0x80, 0x80}), fffd + fffd + fffd + fffd},  // above U+10FFFF
      {B({0xE2, 0x82}), fffd},                                   // cut at the end: one replacement
      {B({0xE2, 0x82, 0x41}), fffd + "A"},                       // cut before a plain byte
      {B({0x80, 0x41}), fffd + "A"},                             // stray continuation
      {B({0xFF, 0xFE}), fffd + fffd},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hex(platform::Utf8ToNarrow(c.in)), Hex(c.out)) << Hex(std::string(c.in.begin(), c.in.end()));
  }
}

TEST(TextCodes, Latin1AndWideBecomeUtf8) {
  EXPECT_EQ(platform::Latin1ToNarrow(B({'C', 'a', 'f', 0xE9, 0xFF, 0x80})), "Caf\xC3\xA9\xC3\xBF\xC2\x80");
  EXPECT_EQ(platform::WideToNarrow(L"Gr\u00FC\u00DF \U0001F3B5.mp3"), "Gr\xC3\xBC\xC3\x9F \xF0\x9F\x8E\xB5.mp3");
  // wchar_t values that are no code point are replaced, not encoded.
  const wchar_t bad[] = {wchar_t(0xD800), wchar_t(0x110000), 0};
  EXPECT_EQ(platform::WideToNarrow(bad), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
