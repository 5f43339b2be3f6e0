#include "tests/mp3/id3/load_helpers.h"
#include "tests/mp3/id3/tagged_file.h"

// Files tagged by the taggers Debian ships; every field must read back as written.
namespace {

using namespace id3_test;

using RealTaggers = TaggedFileTest;

TEST_F(RealTaggers, MutagenVersions23And24InEveryEncoding) {
  if (!HaveMutagen()) GTEST_SKIP() << "python3-mutagen is not installed";
  id3::Id3Reader reader;
  for (int version : {3, 4}) {
    for (int encoding : {0, 1, 2, 3}) {
      const Bytes file = Tagged(std::string(kPython) + " " JED_ID3_MUTAGEN_SCRIPT " % " + std::to_string(version) +
                                " " + std::to_string(encoding) + " v1");
      ASSERT_FALSE(file.empty());
      const std::string what = "v2." + std::to_string(version) + " encoding " + std::to_string(encoding);
      Loaded got = Load(reader, ID3_TAG_V2, file);
      ASSERT_EQ(got.result, 1) << what;
      const std::string title = encoding == 0 ? "Nuit d'\xC3\xA9t\xC3\xA9" : "Nuit \xE2\x98\xBE \xF0\x9D\x84\x9E";
      EXPECT_EQ(Describe(got.record), "title=" + title +
                                          "|artist=Jed Grimstorm|album=\xC3\x9Cn\xC3\xAF"
                                          "code \xC3\x84lbum|year=1999"
                                          "|comment=\xC3\x87"
                                          "a va?|track=3/12|genre=Rock")
          << what;

      // The ID3v1.1 tag mutagen derived from the same frames.
      got = Load(reader, ID3_TAG_V1, file);
      ASSERT_EQ(got.result, 1) << what;
      EXPECT_STREQ(got.record.artist, "Jed Grimstorm");
      EXPECT_STREQ(got.record.album,
                   "\xC3\x9Cn\xC3\xAF"
                   "code \xC3\x84lbum");
      EXPECT_STREQ(got.record.year, "1999");
      EXPECT_STREQ(got.record.comment, "");  // mutagen leaves the v1 comment out
      EXPECT_STREQ(got.record.track, "3");
      EXPECT_STREQ(got.record.genre, "Rock");
      if (encoding == 0) {
        EXPECT_EQ(std::string(got.record.title), title);
      }
    }
  }
}

TEST_F(RealTaggers, Id3libWritesVersion23AndVersion11WithTrack) {
  if (!HaveProgram("/usr/bin/id3v2")) GTEST_SKIP() << "id3v2 is not installed";
  const Bytes file = Tagged(
      "/usr/bin/id3v2 -a 'Jed Grimstorm' -A 'City Level' -t 'Night Falls' -c 'Trouble afoot' "
      "-g 17 -y 1999 -T 5 %");
  id3::Id3Reader reader;
  const std::string fields =
      "title=Night Falls|artist=Jed Grimstorm|album=City Level|year=1999"
      "|comment=Trouble afoot|track=5|genre=Rock";
  Loaded got = Load(reader, ID3_TAG_V2, file);
  ASSERT_EQ(got.result, 1);
  EXPECT_EQ(Describe(got.record), fields);
  got = Load(reader, ID3_TAG_V1, file);
  ASSERT_EQ(got.result, 1);
  EXPECT_EQ(Describe(got.record), fields);
}

TEST_F(RealTaggers, Mid3v2WritesVersion24Utf8WithACommentDescription) {
  if (!HaveProgram("/usr/bin/mid3v2")) GTEST_SKIP() << "mid3v2 (python3-mutagen) is not installed";
  const Bytes file = Tagged(
      "/usr/bin/mid3v2 -a 'Jed \xC3\x89quipe' -A 'Grimstorm' -t 'T\xE2\x98\xBE' "
      "-c 'notes:The text:eng' -g Rock -y 2001-02-03 -T 4/9 %");
  id3::Id3Reader reader;
  Loaded got = Load(reader, ID3_TAG_V2, file);
  ASSERT_EQ(got.result, 1);
  EXPECT_EQ(Describe(got.record),
            "title=T\xE2\x98\xBE|artist=Jed \xC3\x89quipe|album=Grimstorm|year=2001-02-03"
            "|comment=The text|track=4/9|genre=Rock");
}

}  // namespace
