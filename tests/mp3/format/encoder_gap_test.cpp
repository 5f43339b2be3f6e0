// The encoder's delay and padding from iTunes' comment and the LAME tag's ReplayGain fields.
#include "mp3/format/encoder_gap.h"

#include <gtest/gtest.h>

TEST(ITunSmpb, ReadsDelayPaddingAndLengthInHex) {
  EncoderGap gap;
  ASSERT_TRUE(ParseITunSmpb(" 00000000 00000210 000003c4 0000000000A1B2C4 00000000 00000000", &gap));
  EXPECT_TRUE(gap.known);
  EXPECT_EQ(gap.delay, 0x210u);
  EXPECT_EQ(gap.padding, 0x3C4u);
  EXPECT_EQ(gap.music_samples, 0xA1B2C4u);
}

TEST(ITunSmpb, RefusesWhatIsNotTheCommentAndLeavesTheGapAlone) {
  for (const char* text :
       {"", " 00000000 00000210", "hello world", " 00000000 0000021G 000003C4 00000000000A",
        " 00000000 FFFFFFFFF 000003C4 0000000000A1B2C4", " 00000000 00000210 000003C4 00000000000000000A1B2C4"}) {
    EncoderGap gap;
    gap.delay = 7;
    EXPECT_FALSE(ParseITunSmpb(text, &gap)) << text;
    EXPECT_FALSE(gap.known) << text;
    EXPECT_EQ(gap.delay, 7u) << text;
  }
}

TEST(EncoderGap, ComesOnlyFromALameTagThatPassedItsCheck) {
  VbrHeaderInfo header;
  header.flags = VBR_HAS_XING;
  header.lame.encoder_delay = 576;
  header.lame.end_padding = 1000;
  EXPECT_FALSE(GapFromVbrHeader(header).known);
  header.flags |= VBR_HAS_LAME;
  const EncoderGap gap = GapFromVbrHeader(header);
  EXPECT_TRUE(gap.known);
  EXPECT_EQ(gap.delay, 576u);
  EXPECT_EQ(gap.padding, 1000u);
  EXPECT_EQ(gap.music_samples, 0u);
}

TEST(ReplayGain, ScalesTheTagsTenthsAndKeepsAbsentFieldsApart) {
  LameTagInfo tag;
  tag.radio_gain = -65;
  tag.radio_gain_present = true;
  tag.audiophile_gain = 0;
  tag.peak = 0.98f;
  ReplayGain gain = ReplayGainFromLameTag(tag);
  EXPECT_TRUE(gain.track_present);
  EXPECT_FLOAT_EQ(gain.track_gain_db, -6.5f);
  EXPECT_FALSE(gain.album_present);
  EXPECT_FLOAT_EQ(gain.peak, 0.98f);
  tag.peak = -1.0f / 0.0f;
  EXPECT_EQ(ReplayGainFromLameTag(tag).peak, 0.0f) << "an unusable peak reads as not stored";
}
