// Gapless figures from iTunes' "iTunSMPB" comment: a file without a LAME tag but with the
// comment decodes to the encoder's input length; where both exist the LAME tag wins.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/mp3/player/flat_capture.h"
#include "tests/support/tool_runner.h"

namespace {

// Writes an ID3v2 tag (mid3v2) holding the comment "iTunSMPB" with these figures.
bool AddITunSmpb(const std::string& path, uint32_t delay, uint32_t padding, uint64_t samples) {
  char text[128];
  std::snprintf(text, sizeof text, "iTunSMPB: 00000000 %08X %08X %016llX 00000000 00000000:eng", delay, padding,
                static_cast<unsigned long long>(samples));
  return RunCommand("mid3v2 -c " + Quote(text) + " " + Quote(path)).status == 0;
}

}  // namespace

TEST(GaplessITunes, TheCommentTrimsAFileWithoutALameTag) {
  test_support::ScratchDir dir;
  std::vector<int16_t> input;
  const std::string tagged = EncodeTone(dir, "lame_tag.mp3", 2.0, 44100, "-b 128", &input);
  const std::string bare = EncodeTone(dir, "no_tag.mp3", 2.0, 44100, "-t -b 128");
  ASSERT_FALSE(tagged.empty());
  ASSERT_FALSE(bare.empty());
  std::string error;
  const std::vector<int16_t> untrimmed = DecodeFileFlat(bare, false, &error);
  ASSERT_FALSE(untrimmed.empty()) << error;
  const uint64_t samples = input.size() / 2;
  const uint32_t delay = 576;  // LAME's
  const uint32_t padding = uint32_t(untrimmed.size() / 2 - delay - samples);
  EXPECT_EQ(DecodeFileFlat(bare, true, &error), untrimmed) << "without any figures nothing is trimmed";

  ASSERT_TRUE(AddITunSmpb(bare, delay, padding, samples));
  const std::vector<int16_t> from_comment = DecodeFileFlat(bare, true, &error);
  EXPECT_EQ(from_comment.size(), input.size()) << "the encoder's input length";
  // The same frames with a LAME tag give the same trimmed decode.
  const std::vector<int16_t> from_lame_tag = DecodeFileFlat(tagged, true, &error);
  EXPECT_TRUE(from_comment == from_lame_tag) << "lined up as the LAME tag lines it up";
  FlatCapture player;
  Mp3_SetGapless(player.handle(), 1);
  ASSERT_EQ(Mp3_OpenFile(player.handle(), bare.c_str(), 0, 0, 0), 1);
  MP3_TIME length{};
  ASSERT_EQ(Mp3_GetSongLength(player.handle(), &length), 1);
  EXPECT_EQ(length.ms, samples * 1000 / 44100);

  // A comment that disagrees with the LAME tag loses.
  ASSERT_TRUE(AddITunSmpb(tagged, 0, 0, samples / 2));
  EXPECT_TRUE(DecodeFileFlat(tagged, true, &error) == from_lame_tag);
}
