#include <gtest/gtest.h>

#include "tests/mp3/id3/load_helpers.h"

// Cut, resized and mutated tags: every load must fail or succeed cleanly, with whole UTF-8
// texts, and never read outside the stream (run under ASan to see the latter).
namespace {

using namespace id3_test;

bool IsUtf8(const char* text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    int more = *p < 0x80 ? 0 : (*p & 0xE0) == 0xC0 ? 1 : (*p & 0xF0) == 0xE0 ? 2 : (*p & 0xF8) == 0xF0 ? 3 : -1;
    if (more < 0) return false;
    ++p;
    for (; more > 0; --more, ++p) {
      if ((*p & 0xC0) != 0x80) return false;
    }
  }
  return true;
}

void ExpectClean(const Loaded& got, const std::string& what) {
  ASSERT_TRUE(got.result == 0 || got.result == 1) << what;
  if (got.result == 0) {
    EXPECT_TRUE(got.AllNull()) << what;
    return;
  }
  for (const char* text : {got.record.title, got.record.artist, got.record.album, got.record.year, got.record.comment,
                           got.record.track, got.record.genre}) {
    ASSERT_NE(text, nullptr) << what;
    EXPECT_TRUE(IsUtf8(text)) << what;
  }
}

std::vector<Bytes> Seeds() {
  const Bytes utf16 = Text(1, Cat({Utf16(u"\u00FF\u00E0 \U0001F3B5", false, true), B({0, 0})}));
  const Bytes comment = Cat({B({1}), B("eng"), Utf16(u"", false, true), B({0, 0}), Utf16(u"c\u00FF", true, true)});
  return {
      Tag(2, 0x80,
          Unsynchronise(Cat(
              {Frame(2, "TT2", utf16), Frame(2, "COM", comment), Frame(2, "TCO", Text(0, B("(17)"))), Bytes(8, 0)}))),
      Tag(3, 0xC0,
          Unsynchronise(Cat({BigEndian(6, 4), Bytes(6, 0), Frame(3, "TIT2", utf16), Frame(3, "COMM", comment),
                             Frame(3, "TRCK", Text(0, B("4"))), Bytes(12, 0)}))),
      Tag(4, 0x40,
          Cat({Syncsafe(6), B({1, 0}), Frame(4, "TIT2", Unsynchronise(utf16), 0x02),
               Frame(4, "TALB", Cat({Syncsafe(4), Text(3, B("\xC3\xA9t\xC3\xA9"))}), 0x01), Frame(4, "COMM", comment),
               Frame(4, "TCON", Text(2, Utf16(u"(9)", true, false))), Bytes(4, 0)})),
  };
}

TEST(MalformedTags, EveryCutOfATagFailsCleanly) {
  id3::Id3Reader reader;
  for (const Bytes& seed : Seeds()) {
    ASSERT_EQ(Load(reader, ID3_TAG_V2, seed).result, 1);
    for (size_t length = 0; length < seed.size(); ++length) {
      Bytes cut(seed.begin(), seed.begin() + length);
      // The header still claims the whole tag: more than the stream holds.
      Loaded got = Load(reader, ID3_TAG_V2, cut);
      EXPECT_EQ(got.result, 0) << "length " << length;
      EXPECT_TRUE(got.AllNull());
      // The header made to claim just what is left: the frames now lie instead.
      if (length >= 10) {
        const Bytes size = Syncsafe(uint32_t(length - 10));
        std::copy(size.begin(), size.end(), cut.begin() + 6);
        ExpectClean(Load(reader, ID3_TAG_V2, cut), "resized to " + std::to_string(length));
      }
    }
  }
}

TEST(MalformedTags, MutatedTagsFailOrReadCleanly) {
  id3::Id3Reader reader;
  uint32_t state = 1;
  auto next = [&state] {
    state = state * 214013u + 2531011u;
    return (state >> 16) & 0x7FFF;
  };
  const uint8_t nasty[] = {0x00, 0xFF, 0x80, 0x81, 0x7F, 0xFE, 0x01, 0xE0};
  int loaded = 0;
  for (const Bytes& seed : Seeds()) {
    for (int round = 0; round < 3000; ++round) {
      Bytes stream = Cat({seed, Id3v1({"t", "a", "b", "2000", B("c"), int(next() & 0xFF)})});
      const int changes = 1 + next() % 4;
      for (int i = 0; i < changes; ++i) {
        const size_t at = next() % stream.size();
        stream[at] = (next() & 1) ? nasty[next() % sizeof nasty] : uint8_t(next());
      }
      const std::string what = "round " + std::to_string(round);
      Loaded got = Load(reader, ID3_TAG_V2, stream);
      ExpectClean(got, what);
      loaded += got.result;
      ExpectClean(Load(reader, ID3_TAG_V1, stream), what);
      if (HasFailure()) return;
    }
  }
  // The corpus must exercise both outcomes, or it tests nothing.
  EXPECT_GT(loaded, 100);
  EXPECT_LT(loaded, 3 * 3000);
}

}  // namespace
