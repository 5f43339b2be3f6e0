#include <gtest/gtest.h>

#include "tests/mp3/id3/load_helpers.h"

namespace {

using namespace id3_test;
using namespace std::literals;

const Bytes kNone;

// ISO-8859-1 "Café", UTF-16 with marks in both orders, a surrogate pair: all become UTF-8.
TEST(Id3v2, Version23ReadsEveryFieldInEveryEncodingItAllows) {
  const Bytes body = Cat({
      Frame(3, "TIT2", Text(0, B({'C', 'a', 'f', 0xE9}))),
      Frame(3, "TPE1", Text(1, Cat({Utf16(u"Jed \U0001D11E", false, true), B({0, 0})}))),
      Frame(3, "TALB", Text(1, Utf16(u"Grimstorm", true, true))), Frame(3, "TRCK", Text(0, B("7/12"))),
      Frame(3, "TYER", Text(0, B("1999"))), Frame(3, "TCON", Text(0, B("(17)"))),
      Frame(3, "COMM", Cat({B({0}), B("eng"), B({0}), B("Nice tune")})),
      Frame(3, "TDRC", Text(0, B("2024"))),                   // not the year in 2.3
      Frame(3, "TXXX", Text(0, B("ignored"))), Bytes(64, 0),  // padding
  });
  id3::Id3Reader reader;
  Loaded got = Load(reader, ID3_TAG_V2, Cat({Tag(3, 0, body), Audio()}));
  ASSERT_EQ(got.result, 1);
  EXPECT_EQ(got.message, nullptr);
  EXPECT_EQ(Describe(got.record),
            "title=Caf\xC3\xA9|artist=Jed \xF0\x9D\x84\x9E|album=Grimstorm|year=1999"
            "|comment=Nice tune|track=7/12|genre=Rock");
}

TEST(Id3v2, Version24ReadsUtf8AndBigEndianTextAndTheRecordingTime) {
  const Bytes body = Cat({
      Frame(4, "TIT2",
            Text(3, B("Gr\xC3\xBC\xC3\x9F"
                      "e\0"sv))),
      Frame(4, "TPE1", Text(2, Utf16(u"\u00C9quipe", true, false))),
      Frame(4, "TALB", Text(1, Utf16(u"Album", false, false))),                          // no mark: little-endian
      Frame(4, "TDRC", Text(0, B("2024-05-01"))), Frame(4, "TYER", Text(0, B("1900"))),  // not the year in 2.4
      Frame(4, "TCON", Text(3, B("(0)"))),
      Frame(4, "COMM",
            Cat({B({3}), B("deu"), B({0}),
                 B("\xC3\xA4"
                   "h")})),
      Frame(4, "TRCK",
            Text(3, B("3\0"
                      "4"sv))),  // several values: the first
  });
  id3::Id3Reader reader;
  Loaded got = Load(reader, ID3_TAG_V2, Cat({Tag(4, 0, body), Audio()}));
  ASSERT_EQ(got.result, 1);
  EXPECT_EQ(Describe(got.record),
            "title=Gr\xC3\xBC\xC3\x9F"
            "e|artist=\xC3\x89quipe|album=Album|year=2024-05-01"
            "|comment=\xC3\xA4h|track=3|genre=Blues");
}

TEST(Id3v2, Version22ReadsThreeLetterFramesAndSkipsPadding) {
  const Bytes body = Cat({
      Frame(2, "TT2", Text(0, B("Title"))),
      Frame(2, "TP1", Text(1, Utf16(u"Artist", true, true))),
      Frame(2, "TAL", Text(0, B("Album"))),
      Frame(2, "TRK", Text(0, B("2"))),
      Frame(2, "TYE", Text(0, B("1987"))),
      Frame(2, "TCO", Text(0, B("((17) Rock"))),
      Frame(2, "COM",
            Cat({B({1}), B("eng"), Utf16(u"", false, true), B({0, 0}), Utf16(u"Comment", false, true), B({0, 0})})),
      Frame(2, "TT2", Bytes{}),  // zero size: stepped over, keeps the title
      Frame(2, "XXX", Bytes(40, 0xEE)),
      Bytes(20, 0),
  });
  id3::Id3Reader reader;
  Loaded got = Load(reader, ID3_TAG_V2, Cat({Tag(2, 0, body), Audio()}));
  ASSERT_EQ(got.result, 1);
  EXPECT_EQ(Describe(got.record),
            "title=Title|artist=Artist|album=Album|year=1987|comment=Comment|track=2"
            "|genre=((17) Rock");
}

// "ÿà" (FF E0 in ISO-8859-1) and "ÿ" + NUL are the byte patterns that unsynchronisation
// breaks up; all three versions must restore them.
TEST(Id3v2, UnsynchronisationIsUndoneInEveryVersion) {
  const Bytes title = Text(0, B({'A', 0xFF, 0xE0, 'B', 0xFF}));
  const Bytes artist = Text(1, Utf16(u"\u00FF\u00E0", false, true));  // FF FE FF 00 E0 00
  const std::string want_title =
      "A\xC3\xBF\xC3\xA0"
      "B\xC3\xBF";
  const std::string want_artist = "\xC3\xBF\xC3\xA0";
  id3::Id3Reader reader;

  for (int version : {2, 3}) {
    const Bytes body = Cat(
        {Frame(version, version == 2 ? "TT2" : "TIT2", title), Frame(version, version == 2 ? "TP1" : "TPE1", artist)});
    const Bytes stream = Cat({Tag(version, 0x80, Unsynchronise(body)), Audio()});
    ASSERT_NE(Unsynchronise(body), body);
    Loaded got = Load(reader, ID3_TAG_V2, stream);
    ASSERT_EQ(got.result, 1) << version;
    EXPECT_EQ(std::string(got.record.title), want_title) << version;
    EXPECT_EQ(std::string(got.record.artist), want_artist) << version;
  }

  // 2.4 unsynchronises per frame: sizes count the stored bytes. Either the frame's flag or
  // the tag's flag says so.
  for (int tag_flags : {0x00, 0x80}) {
    const int frame_flags = tag_flags ? 0 : 0x02;
    const Bytes body =
        Cat({Frame(4, "TIT2", Unsynchronise(title), frame_flags), Frame(4, "TPE1", Unsynchronise(artist), frame_flags),
             Frame(4, "TALB", Text(0, B("plain")))});
    Loaded got = Load(reader, ID3_TAG_V2, Cat({Tag(4, tag_flags, body), Audio()}));
    ASSERT_EQ(got.result, 1);
    EXPECT_EQ(std::string(got.record.title), want_title);
    EXPECT_EQ(std::string(got.record.artist), want_artist);
    EXPECT_STREQ(got.record.album, "plain");
  }
}

TEST(Id3v2, ExtendedHeadersAreSkippedAndTheirSizesChecked) {
  id3::Id3Reader reader;
  const Bytes frames23 = Frame(3, "TIT2", Text(0, B("after ext")));
  // 2.3: the size excludes its own 4 bytes (6 bytes of flags and padding size, or 10 with CRC).
  for (const Bytes& ext : {Cat({BigEndian(6, 4), Bytes(6, 0)}), Cat({BigEndian(10, 4), B({0x80, 0}), Bytes(8, 0)})}) {
    Loaded got = Load(reader, ID3_TAG_V2, Cat({Tag(3, 0x40, Cat({ext, frames23})), Audio()}));
    ASSERT_EQ(got.result, 1);
    EXPECT_STREQ(got.record.title, "after ext");
  }
  // With unsynchronisation the extended header is unsynchronised too.
  {
    const Bytes body = Cat({BigEndian(6, 4), B({0, 0, 0, 0, 0, 0}), frames23});
    Loaded got = Load(reader, ID3_TAG_V2, Cat({Tag(3, 0xC0, Unsynchronise(body)), Audio()}));
    ASSERT_EQ(got.result, 1);
    EXPECT_STREQ(got.record.title, "after ext");
  }
  EXPECT_EQ(Load(reader, ID3_TAG_V2, Cat({Tag(3, 0x40, Cat({BigEndian(0x7FFFFFF0, 4), frames23})), Audio()})).result,
            0);
  EXPECT_EQ(Load(reader, ID3_TAG_V2, Cat({Tag(3, 0x40, B({0, 0})), Audio()})).result, 0);

  // 2.4: a syncsafe size that includes itself.
  const Bytes frames24 = Frame(4, "TIT2", Text(0, B("after ext")));
  Loaded got = Load(reader, ID3_TAG_V2, Cat({Tag(4, 0x40, Cat({Syncsafe(6), B({1, 0}), frames24})), Audio()}));
  ASSERT_EQ(got.result, 1);
  EXPECT_STREQ(got.record.title, "after ext");
  const Bytes bad_ext[] = {
      Cat({Syncsafe(5), B({1}), frames24}),            // below 6
      Cat({Syncsafe(1000), B({1, 0}), frames24}),      // beyond the tag
      Cat({B({0, 0, 0x81, 6}), B({1, 0}), frames24}),  // not syncsafe
      B({0, 0}),                                       // cut inside the size
  };
  for (const Bytes& body : bad_ext) {
    got = Load(reader, ID3_TAG_V2, Cat({Tag(4, 0x40, body), Audio()}));
    EXPECT_EQ(got.result, 0);
    EXPECT_TRUE(got.AllNull());
  }
}

TEST(Id3v2, FrameSizesAreReadWholeAndLiesFailTheWalk) {
  id3::Id3Reader reader;
  // 300 bytes: size bytes 00 00 01 2C in 2.3; the same in syncsafe form in 2.4.
  const std::string long_title(299, 'x');
  for (int version : {3, 4}) {
    const Bytes frame = Frame(version, "TIT2", Text(0, B(long_title)));
    ASSERT_EQ(frame.size(), 310u);
    Loaded got = Load(reader, ID3_TAG_V2, Cat({Tag(version, 0, frame), Audio()}));
    ASSERT_EQ(got.result, 1);
    EXPECT_EQ(std::string(got.record.title), long_title);
  }
  EXPECT_EQ(Frame(3, "TIT2", Text(0, B(long_title)))[7], 0x2C);

  const Bytes good = Frame(4, "TALB", Text(0, B("album")));
  struct Case {
    const char* what;
    Bytes stream;
  } cases[] = {
      {"2.4 first frame of size 0", Cat({Tag(4, 0, Cat({Frame(4, "TIT2", kNone), good}))})},
      {"2.3 frame of size 0", Tag(3, 0, Cat({Frame(3, "TIT2", kNone), good}))},
      {"2.4 size byte above 0x80", Tag(4, 0, Cat({B("TIT2"), B({0, 0, 0x81, 2, 0, 0}), B("xxxxxxxxxxxxx")}))},
      {"2.3 frame past the tag", Tag(3, 0, Cat({B("TIT2"), BigEndian(200, 4), B({0, 0}), B("0abc")}))},
      {"2.4 frame past the tag", Tag(4, 0, Cat({B("TIT2"), Syncsafe(200), B({0, 0}), B("0abc")}))},
      {"2.2 frame past the tag", Tag(2, 0, Cat({B("TT2"), BigEndian(200, 3), B("0abc")}))},
      {"tag past the stream", Tag(3, 0, good, 5000)},
      {"tag size byte above 0x80", Cat({B("ID3"), B({3, 0, 0, 0, 0, 0x81, 0}), good})},
      {"version 0xFF", Tag(0xFF, 0, good)},
      {"revision 0xFF", Cat({B("ID3"), B({4, 0xFF, 0}), Syncsafe(uint32_t(good.size())), good})},
      {"version 5", Tag(5, 0, good)},
      {"version 1", Tag(1, 0, good)},
      {"2.2 compression", Tag(2, 0x40, Frame(2, "TT2", Text(0, B("x"))))},
      {"no tag", Audio()},
      {"cut header", B("ID3\x03")},
  };
  for (const Case& c : cases) {
    Loaded got = Load(reader, ID3_TAG_V2, c.stream);
    EXPECT_EQ(got.result, 0) << c.what;
    EXPECT_TRUE(got.AllNull()) << c.what;
    EXPECT_STREQ(got.message, id3::kNoId3v2Message) << c.what << ": a failure names its cause";
  }

  // A size byte of exactly 0x80 counts as 0 (its top bit is masked).
  Loaded got = Load(reader, ID3_TAG_V2,
                    Cat({B("ID3"), B({4, 0, 0, 0x80, 0x80, 0x80}), B({uint8_t(good.size())}), good, Audio()}));
  ASSERT_EQ(got.result, 1);
  EXPECT_STREQ(got.record.album, "album");
}

TEST(Id3v2, FramesThatCannotBeReadAreSkipped) {
  id3::Id3Reader reader;
  const Bytes v23 = Cat({
      Frame(3, "TIT2", Text(0, B("encrypted")), 0x40),
      Frame(3, "TPE1", Text(0, B("grouped")), 0x20),
      Frame(3, "TALB", Cat({BigEndian(20, 4), B({0x78, 0x9C, 1, 2})}), 0x80),  // compressed
      Frame(3, "TYER", Text(0, B("2001"))),
  });
  Loaded got = Load(reader, ID3_TAG_V2, Cat({Tag(3, 0, v23), Audio()}));
  ASSERT_EQ(got.result, 1);
  EXPECT_EQ(Describe(got.record), "title=|artist=|album=|year=2001|comment=|track=|genre=");

  const Bytes v24 = Cat({
      Frame(4, "TIT2", Cat({Syncsafe(9), B({0x78, 0x9C, 1, 2})}), 0x08 | 0x01),  // compressed
      Frame(4, "TPE1", Text(0, B("encrypted")), 0x04),
      Frame(4, "TALB", Cat({Syncsafe(6), Text(0, B("album"))}), 0x01),  // data length given
      Frame(4, "TCON", B({1, 2}), 0x01),                                // data length indicator cut short
      Frame(4, "TDRC", Text(0, B("2002"))),
  });
  got = Load(reader, ID3_TAG_V2, Cat({Tag(4, 0, v24), Audio()}));
  ASSERT_EQ(got.result, 1);
  EXPECT_EQ(Describe(got.record), "title=|artist=|album=album|year=2002|comment=|track=|genre=");
}

TEST(Id3v2, CommentFramesInEveryEncoding) {
  id3::Id3Reader reader;
  auto comment_of = [&](const Bytes& frame_body, int version = 4) {
    Loaded got = Load(reader, ID3_TAG_V2, Cat({Tag(version, 0, Frame(version, "COMM", frame_body)), Audio()}));
    EXPECT_EQ(got.result, 1);
    return got.result == 1 ? std::string(got.record.comment) : std::string("<failed>");
  };
  const Bytes eng = B("eng");
  // Empty description, then the text, in each encoding.
  EXPECT_EQ(comment_of(Cat({B({0}), eng, B({0}), B({'n', 0xE9})})), "n\xC3\xA9");
  EXPECT_EQ(comment_of(Cat({B({1}), eng, Utf16(u"", false, true), B({0, 0}), Utf16(u"\u00E9t\u00E9", false, true)})),
            "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(comment_of(Cat({B({1}), eng, B({0, 0}), Utf16(u"no mark", true, true)})), "no mark");
  EXPECT_EQ(comment_of(Cat({B({2}), eng, B({0, 0}), Utf16(u"big", true, false)})), "big");
  EXPECT_EQ(comment_of(Cat({B({3}), eng, B({0}), B("\xE2\x82\xAC")})), "\xE2\x82\xAC");
  // The comment is the text, not the description that names it.
  EXPECT_EQ(comment_of(Cat({B({0}), eng, B("desc"), B({0}), B("text")})), "text");
  EXPECT_EQ(comment_of(Cat({B({1}), eng, Utf16(u"d", false, true), B({0, 0}), Utf16(u"utf16 text", false, true)})),
            "utf16 text");
  // A description without terminator (cut by the frame's end) leaves no text.
  EXPECT_EQ(comment_of(Cat({B({0}), eng, B("never ends")})), "");
  EXPECT_EQ(comment_of(Cat({B({1}), eng, Utf16(u"odd", false, true), B({0})})), "");
  // Frames of 5 bytes or less carry nothing.
  EXPECT_EQ(comment_of(Cat({B({0}), eng, B({0})})), "");

  // Several comments: the one without description wins, whatever the order.
  for (bool plain_first : {true, false}) {
    const Bytes plain = Frame(3, "COMM", Cat({B({0}), eng, B({0}), B("the comment")}));
    const Bytes named = Frame(3, "COMM", Cat({B({0}), eng, B("iTunNORM"), B({0}), B(" 0000")}));
    const Bytes body = plain_first ? Cat({plain, named}) : Cat({named, plain});
    Loaded got = Load(reader, ID3_TAG_V2, Cat({Tag(3, 0, body), Audio()}));
    ASSERT_EQ(got.result, 1);
    EXPECT_STREQ(got.record.comment, "the comment");
  }
}

TEST(Id3v2, TextEdgeCases) {
  id3::Id3Reader reader;
  auto title_of = [&](const Bytes& frame_body) {
    Loaded got = Load(reader, ID3_TAG_V2, Cat({Tag(3, 0, Frame(3, "TIT2", frame_body)), Audio()}));
    EXPECT_EQ(got.result, 1);
    return got.result == 1 ? std::string(got.record.title) : std::string("<failed>");
  };
  // An odd UTF-16 byte count drops the last byte, here the tag's very last byte.
  EXPECT_EQ(title_of(Cat({B({1}), Utf16(u"AB", false, true), B({'C'})})), "AB");
  EXPECT_EQ(title_of(Cat({B({2}), Utf16(u"AB", true, false), B({'C'})})), "AB");
  // A NUL character before UTF-16 text is skipped.
  EXPECT_EQ(title_of(Cat({B({1}), Utf16(u"\0Lead"sv, false, true)})), "Lead");
  EXPECT_EQ(title_of(B({1})), "");              // encoding byte only
  EXPECT_EQ(title_of(B({1, 0xFF, 0xFE})), "");  // mark only
  EXPECT_EQ(title_of(Text(7, B("unknown encoding"))), "");
  EXPECT_EQ(title_of(Text(3, B({'o', 'k', 0xC3}))), "ok\xEF\xBF\xBD");
}

TEST(Id3v2, GenreReferencesUseTheTable) {
  id3::Id3Reader reader;
  const std::pair<const char*, const char*> cases[] = {
      {"(17)", "Rock"},   {"(0)", "Blues"},   {"(147)", "Synth Pop"}, {"(9)Metal", "Metal"},
      {"(148)", "(148)"}, {"(200)", "(200)"}, {"((17)", "((17)"},     {"(1234)", "(1234)"},
      {"()", "()"},       {"(17", "(17"},     {"Rock", "Rock"},       {"(x)", "(x)"},
  };
  for (auto [stored, want] : cases) {
    Loaded got = Load(reader, ID3_TAG_V2, Cat({Tag(3, 0, Frame(3, "TCON", Text(0, B(stored)))), Audio()}));
    ASSERT_EQ(got.result, 1);
    EXPECT_STREQ(got.record.genre, want) << stored;
  }
  EXPECT_STREQ(id3::GenreName(0), "Blues");
  EXPECT_STREQ(id3::GenreName(147), "Synth Pop");
  EXPECT_EQ(id3::GenreName(148), nullptr);
  EXPECT_EQ(id3::GenreName(-1), nullptr);
}

TEST(Id3v2, ResultsAcrossCallsAndVersions) {
  id3::Id3Reader reader;
  const Bytes stream =
      Cat({Tag(3, 0, Cat({Frame(3, "TIT2", Text(0, B("v2 title"))), Frame(3, "TPE1", Text(0, B("v2 artist")))})),
           Audio(), Id3v1({"v1 title", "v1 artist", "", "", {}, 0})});
  EXPECT_STREQ(Load(reader, ID3_TAG_V2, stream).record.title, "v2 title");
  EXPECT_STREQ(Load(reader, ID3_TAG_V1, stream).record.title, "v1 title");

  // A walk that fails after reading some frames keeps them in the reader, nulls the record
  // and sets no message.
  const Bytes broken =
      Tag(3, 0, Cat({Frame(3, "TIT2", Text(0, B("read first"))), B("TPE1"), BigEndian(999, 4), B({0, 0, 0, 'x'})}));
  Loaded got = Load(reader, ID3_TAG_V2, broken);
  EXPECT_EQ(got.result, 0);
  EXPECT_TRUE(got.AllNull());
  EXPECT_STREQ(got.message, id3::kNoId3v2Message);
  EXPECT_EQ(reader.texts().title, "read first");

  // Unknown tag versions and a null record fail, each with its own message.
  for (int version : {0, 3, -1}) {
    got = Load(reader, version, stream);
    EXPECT_EQ(got.result, 0);
    EXPECT_TRUE(got.AllNull());
    EXPECT_STREQ(got.message, id3::kBadVersionMessage);
  }
  ExactStream exact(stream);
  const char* message = "untouched";
  EXPECT_EQ(reader.Load(ID3_TAG_V2, exact.span(), false, nullptr, &message), 0);
  EXPECT_STREQ(message, id3::kNullRecordMessage);

  // Close empties every text.
  reader.Clear();
  EXPECT_EQ(reader.texts().title, "");
}

TEST(Id3Field, CopiesWithTheSizesOfTheFlatFunction) {
  id3::Id3Reader reader;
  const Bytes stream = Cat(
      {Tag(3, 0, Cat({Frame(3, "TIT2", Text(0, B("Night"))), Frame(3, "TPE1", Text(3, B("a\xC3\xA9z")))})), Audio()});
  Loaded got = Load(reader, ID3_TAG_V2, stream);
  ASSERT_EQ(got.result, 1);
  char buffer[16];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(id3::CopyId3Field(got.record, ID3_SELECT_TITLE, buffer, 3), 2);
  EXPECT_EQ(std::string(buffer, 4), std::string("Ni\0#", 4));
  EXPECT_EQ(id3::CopyId3Field(got.record, ID3_SELECT_TITLE, nullptr, 10), 6);
  EXPECT_EQ(id3::CopyId3Field(got.record, ID3_SELECT_TITLE, buffer, -5), 6);  // writes nothing
  EXPECT_EQ(id3::CopyId3Field(got.record, ID3_SELECT_TITLE, buffer, 16), 5);
  EXPECT_STREQ(buffer, "Night");

  // Sizes are bytes; a cut never splits a character.
  EXPECT_EQ(id3::CopyId3Field(got.record, ID3_SELECT_ARTIST, buffer, 0), 5);
  EXPECT_EQ(id3::CopyId3Field(got.record, ID3_SELECT_ARTIST, buffer, 3), 1);
  EXPECT_STREQ(buffer, "a");

  EXPECT_EQ(id3::CopyId3Field(got.record, ID3_SELECT_YEAR, nullptr, 0), 1);
  for (int bad : {0, 3, 128}) EXPECT_EQ(id3::CopyId3Field(got.record, bad, buffer, 16), 0);
}

}  // namespace
