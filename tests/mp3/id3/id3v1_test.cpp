#include <gtest/gtest.h>

#include "tests/mp3/id3/load_helpers.h"

namespace {

using namespace id3_test;

TEST(Id3v1, FieldsTrimmedConvertedAndTrackFromComment) {
  id3::Id3Reader reader;
  V1 v1{"Night Falls   ", "Jed \xC9quipe", "City Level", "1999", {}, 17};
  v1.comment = Cat({B("keeps its spaces  "), Bytes(10, 0), B({0, 7})});
  Loaded got = Load(reader, ID3_TAG_V1, Cat({Audio(), Id3v1(v1)}));
  ASSERT_EQ(got.result, 1);
  EXPECT_EQ(got.message, nullptr);
  EXPECT_EQ(Describe(got.record),
            "title=Night Falls|artist=Jed \xC3\x89quipe|album=City Level|year=1999"
            "|comment=keeps its spaces  |track=7|genre=Rock");
  EXPECT_EQ(got.record.title, reader.texts().title.c_str());

  // A comment of the full 30 characters has no track; genres at the table's ends and past it.
  v1.comment = B("123456789012345678901234567890");
  v1.title = "123456789012345678901234567890";
  for (auto [genre, name] : {std::pair{0, "Blues"}, {147, "Synth Pop"}, {148, ""}, {255, ""}}) {
    v1.genre = genre;
    got = Load(reader, ID3_TAG_V1, Cat({Audio(), Id3v1(v1)}));
    ASSERT_EQ(got.result, 1);
    EXPECT_STREQ(got.record.genre, name) << genre;
    EXPECT_STREQ(got.record.track, "0");
    EXPECT_EQ(std::string(got.record.comment), "123456789012345678901234567890");
    EXPECT_EQ(std::string(got.record.title).size(), 30u);
  }
}

TEST(Id3v1, MissingTagFailsWithMessageAndNulledRecord) {
  id3::Id3Reader reader;
  V1 v1{"Title", "", "", "", B("c"), 1};
  ASSERT_EQ(Load(reader, ID3_TAG_V1, Cat({Audio(), Id3v1(v1)})).result, 1);

  // No "TAG" at the end; a stream of exactly 128 bytes holds no tag either (it must be longer).
  for (const Bytes& stream : {Audio(), Id3v1(v1), Bytes{}}) {
    Loaded got = Load(reader, ID3_TAG_V1, stream);
    EXPECT_EQ(got.result, 0);
    EXPECT_STREQ(got.message, "DAr3::LoadID3->There is no ID3v1 tag");
    EXPECT_TRUE(got.AllNull());
  }

  // The opener's mark is not trusted: a wrong mark on a short stream reads nothing.
  ExactStream tiny(B("TAG"));
  MP3_ID3_FIELDS record;
  const char* message = nullptr;
  EXPECT_EQ(reader.Load(ID3_TAG_V1, tiny.span(), true, &record, &message), 0);
  EXPECT_STREQ(message, id3::kNoId3v1Message);
}

}  // namespace
