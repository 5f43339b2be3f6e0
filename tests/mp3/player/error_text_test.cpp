// Every failure sets its own text: nothing left from an earlier call explains it.
#include <gtest/gtest.h>

#include "tests/mp3/player/mp3_test_support.h"

namespace {

// Leaves a text behind that no later failure should be blamed on: a getter's refusal, which
// fails the same way whatever the player's state.
void Stain(RUVe3& p) {
  EXPECT_EQ(p.GetMp3Info(nullptr), 0);
  EXPECT_STREQ(p.GetError(), "GetMp3Info->MP3_STREAM_INFO *pInfo can't be NULL");
}

}  // namespace

TEST(ErrorText, PlayOnAPlayingPlayerAndStopOnAStoppedOneSayWhy) {
  const std::string path = EncodeWithLame("error_text.mp3", TonePcm(44100, 3.0), 44100, "-b 128");
  ASSERT_FALSE(path.empty());
  Player p;
  ASSERT_EQ(p->OpenFile(path.c_str(), 800, 0, 0), 1);
  Stain(p);
  EXPECT_EQ(p->Stop(), 0);
  EXPECT_STREQ(p->GetError(), "Stop->Stream isn't playing !");
  ASSERT_EQ(p->Play(), 1);
  Stain(p);
  EXPECT_EQ(p->Play(), 0);
  EXPECT_STREQ(p->GetError(), "Play->Stream is already playing !");
  EXPECT_EQ(p->Stop(), 1);
}

TEST(ErrorText, LoadId3NamesEachReasonItFails) {
  const std::string path = EncodeWithLame("error_id3.mp3", TonePcm(44100, 1.0), 44100, "-b 128");
  ASSERT_FALSE(path.empty());
  Player p;
  MP3_ID3_FIELDS fields{};
  Stain(p);
  EXPECT_EQ(p->LoadID3(ID3_TAG_V2, &fields), 0);
  EXPECT_STREQ(p->GetError(), "LoadID3->Stream isn't open !");
  ASSERT_EQ(p->OpenFile(path.c_str(), 800, 0, 0), 1);
  Stain(p);
  EXPECT_EQ(p->LoadID3(ID3_TAG_V2, &fields), 0);
  EXPECT_STREQ(p->GetError(), "DAr3::LoadID3->There is no readable ID3v2 tag");
  Stain(p);
  EXPECT_EQ(p->LoadID3(ID3_TAG_V1, &fields), 0);
  EXPECT_STREQ(p->GetError(), "DAr3::LoadID3->There is no ID3v1 tag");
  Stain(p);
  EXPECT_EQ(p->LoadID3(7, &fields), 0);
  EXPECT_STREQ(p->GetError(), "LoadID3->Invalid tag version !");
  Stain(p);
  EXPECT_EQ(p->LoadID3(ID3_TAG_V1, nullptr), 0);
  EXPECT_STREQ(p->GetError(), "LoadID3->MP3_ID3_FIELDS *pFields can't be NULL");
}
