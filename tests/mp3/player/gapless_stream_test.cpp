// Gapless on a pushed stream: the encoder's delay goes at the start and its padding at the end,
// which the stream holds back until it knows where the data ends; the output equals the gapless
// decode of the file, sample for sample.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/mp3/player/flat_capture.h"

namespace {

// `*length_ms`: the length the stream reports when it opens.
std::vector<int16_t> DecodePushed(const std::vector<uint8_t>& file, size_t block, bool gapless, std::string* error,
                                  uint32_t* length_ms = nullptr) {
  FlatCapture stream;
  MP3_HANDLE p = stream.handle();
  Mp3_SetGapless(p, gapless ? 1 : 0);
  if (!Mp3_OpenStream(p, 1, 1, file.data(), unsigned(std::min(block, file.size())), 0)) {
    *error = stream.Error();
    return {};
  }
  MP3_TIME length{};
  Mp3_GetSongLength(p, &length);
  if (length_ms) *length_ms = length.ms;
  for (size_t at = block; at < file.size(); at += block)
    Mp3_PushDataToStream(p, file.data() + at, unsigned(std::min(block, file.size() - at)));
  Mp3_PushDataToStream(p, nullptr, 0);
  std::vector<int16_t> out = stream.Run();
  if (out.empty()) *error = stream.Error();
  return out;
}

uint32_t GaplessLengthMs(const std::string& path) {
  FlatCapture player;
  Mp3_SetGapless(player.handle(), 1);
  MP3_TIME length{};
  if (!Mp3_OpenFile(player.handle(), path.c_str(), 0, 0, 0) || !Mp3_GetSongLength(player.handle(), &length)) return 0;
  return length.ms;
}

}  // namespace

TEST(GaplessStream, APushedLameFileDecodesAsTheGaplessFile) {
  test_support::ScratchDir dir;
  for (const char* options : {"-V2", "-b 128", "--resample 22.05 -b 64"}) {
    SCOPED_TRACE(options);
    std::vector<int16_t> input;
    const std::string path = EncodeTone(dir, "pushed.mp3", 2.5, 44100, options, &input);
    ASSERT_FALSE(path.empty());
    std::string error;
    const std::vector<int16_t> file = DecodeFileFlat(path, true, &error);
    ASSERT_FALSE(file.empty()) << error;
    if (std::string(options).find("resample") == std::string::npos)
      EXPECT_EQ(file.size(), input.size()) << "the file's gapless decode is the encoder's input";
    const std::vector<uint8_t> bytes = test_support::ReadFileBytes(path);
    uint32_t length_ms = 0;
    const std::vector<int16_t> pushed = DecodePushed(bytes, 4096, true, &error, &length_ms);
    ASSERT_FALSE(pushed.empty()) << error;
    EXPECT_EQ(pushed.size(), file.size());
    EXPECT_EQ(length_ms, GaplessLengthMs(path)) << "the header's length, trimmed as the file's";
    EXPECT_TRUE(pushed == file) << "the same samples as the gapless file";
    // Off, nothing is trimmed: the delay and the padding are there.
    const std::vector<int16_t> whole = DecodePushed(bytes, 4096, false, &error);
    EXPECT_GT(whole.size(), pushed.size() + 2 * 1105);
  }
}
