#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "dar3/dar3.h"
#include "tests/mp3/id3/tagged_file.h"

// Tagged reference streams opened by the player and read through Mp3_LoadID3 and
// Mp3_GetID3Field, as other programs use them.
namespace {

using namespace id3_test;

Bytes ReferenceStream() {
  std::ifstream in(JED_MPEG_DIR "/l3-sin1k0db.bit", std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string LastError(MP3_HANDLE player) {
  char text[600];
  Mp3_GetError(player, text, sizeof text);
  return text;
}

std::string Field(MP3_HANDLE player, int version, int field) {
  const int needed = Mp3_GetID3Field(player, version, field, nullptr, 0);
  if (needed <= 0) return "<failed>";
  std::string text(size_t(needed), '#');
  EXPECT_EQ(Mp3_GetID3Field(player, version, field, text.data(), needed), needed - 1);
  EXPECT_EQ(text.back(), '\0');
  text.pop_back();
  return text;
}

using PlayerTags = TaggedFileTest;

TEST_F(PlayerTags, FlatFunctionsReadBothTagsOfAnOpenStream) {
  if (!HaveMutagen()) GTEST_SKIP() << "python3-mutagen is not installed";
  const Bytes audio = ReferenceStream();
  ASSERT_GT(audio.size(), 10000u);
  MP3_HANDLE player = Mp3_Initialize();
  ASSERT_NE(player, nullptr);

  MP3_ID3_FIELDS fields;
  std::memset(&fields, 0x5A, sizeof fields);
  EXPECT_EQ(Mp3_LoadID3(player, ID3_TAG_V2, &fields), 0);
  EXPECT_EQ(LastError(player), "LoadID3->Stream isn't open !");
  MP3_ID3_FIELDS pattern;
  std::memset(&pattern, 0x5A, sizeof pattern);
  EXPECT_EQ(std::memcmp(&fields, &pattern, sizeof fields), 0) << "left untouched";

  Tagged(std::string(kPython) + " " JED_ID3_MUTAGEN_SCRIPT " % 4 1 v1", audio);
  ASSERT_EQ(Mp3_OpenFile(player, Path().c_str(), 0, 0, 0), 1) << LastError(player);
  ASSERT_EQ(Mp3_LoadID3(player, ID3_TAG_V2, &fields), 1);
  EXPECT_STREQ(fields.title, "Nuit \xE2\x98\xBE \xF0\x9D\x84\x9E");
  EXPECT_EQ(Field(player, ID3_TAG_V2, ID3_SELECT_ARTIST), "Jed Grimstorm");
  EXPECT_EQ(Field(player, ID3_TAG_V2, ID3_SELECT_ALBUM),
            "\xC3\x9Cn\xC3\xAF"
            "code \xC3\x84lbum");
  EXPECT_EQ(Field(player, ID3_TAG_V2, ID3_SELECT_YEAR), "1999");
  EXPECT_EQ(Field(player, ID3_TAG_V2, ID3_SELECT_COMMENT),
            "\xC3\x87"
            "a va?");
  EXPECT_EQ(Field(player, ID3_TAG_V2, ID3_SELECT_TRACK), "3/12");
  EXPECT_EQ(Field(player, ID3_TAG_V2, ID3_SELECT_GENRE), "Rock");
  EXPECT_EQ(Field(player, ID3_TAG_V1, ID3_SELECT_TRACK), "3");
  EXPECT_EQ(Field(player, ID3_TAG_V1, ID3_SELECT_GENRE), "Rock");
  EXPECT_EQ(Mp3_GetID3Field(player, ID3_TAG_V2, 3, nullptr, 0), 0);
  char small[3];
  EXPECT_EQ(Mp3_GetID3Field(player, ID3_TAG_V2, ID3_SELECT_YEAR, small, sizeof small), 2);
  EXPECT_STREQ(small, "19");

  // An untagged stream: no v1 tag and no v2 tag, each with its own message.
  Tagged("true %", audio);
  ASSERT_EQ(Mp3_OpenFile(player, Path().c_str(), 0, 0, 0), 1) << LastError(player);
  EXPECT_EQ(Mp3_LoadID3(player, ID3_TAG_V1, &fields), 0);
  EXPECT_EQ(fields.title, nullptr);
  EXPECT_EQ(LastError(player), "DAr3::LoadID3->There is no ID3v1 tag");
  EXPECT_EQ(Mp3_GetID3Field(player, ID3_TAG_V2, ID3_SELECT_TITLE, nullptr, 0), 0);
  EXPECT_EQ(LastError(player), "DAr3::LoadID3->There is no readable ID3v2 tag");

  ASSERT_EQ(Mp3_Close(player), 1);
  EXPECT_EQ(Mp3_LoadID3(player, ID3_TAG_V1, &fields), 0);
  EXPECT_EQ(LastError(player), "LoadID3->Stream isn't open !");
  EXPECT_EQ(Mp3_LoadID3(nullptr, ID3_TAG_V1, &fields), 0);
  EXPECT_EQ(Mp3_Destroy(player), 1);
}

}  // namespace
