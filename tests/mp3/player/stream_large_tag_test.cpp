// Pushed streams behind a large ID3v2 tag (cover art), pushed in small blocks: the stream
// opens once the pushes reach its first frames, plays as the file does and has its tags.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/mp3/player/flat_capture.h"
#include "tests/support/id3_tags.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes LargeTag(uint32_t art, uint32_t claimed = 0) {
  return test_support::Id3v2TagWithArt("Large Tag Song", "The Cover Artists", art, claimed);
}

std::string Field(const char* text) { return text ? text : "(null)"; }

// Title and artist of the open source's ID3v2 tag.
std::string Tags(MP3_HANDLE player) {
  MP3_ID3_FIELDS fields{};
  if (!Mp3_LoadID3(player, ID3_TAG_V2, &fields)) return "no tag";
  return Field(fields.title) + " / " + Field(fields.artist);
}

struct PushForm {
  const char* name;
  int buffered;
  size_t block;
};

class StreamLargeTag : public ::testing::TestWithParam<PushForm> {};

}  // namespace

TEST_P(StreamLargeTag, OpensOnceThePushesReachTheFramesAndPlaysAsTheFileDoes) {
  const PushForm form = GetParam();
  test_support::ScratchDir dir;
  const std::string audio = EncodeTone(dir, "audio.mp3", 2.0, 44100, "-b 128");
  ASSERT_FALSE(audio.empty());
  Bytes file = LargeTag(150000);
  const Bytes frames = test_support::ReadFileBytes(audio);
  file.insert(file.end(), frames.begin(), frames.end());
  const std::string path = (dir / "large_tag.mp3").string();
  ASSERT_TRUE(test_support::WriteFileBytes(path, file.data(), file.size()));

  FlatCapture from_file;
  ASSERT_EQ(Mp3_OpenFile(from_file.handle(), path.c_str(), 0, 0, 0), 1) << from_file.Error();
  const std::string file_tags = Tags(from_file.handle());
  EXPECT_EQ(file_tags, "Large Tag Song / The Cover Artists");
  const std::vector<int16_t> file_pcm = from_file.Run();
  ASSERT_FALSE(file_pcm.empty());

  FlatCapture stream;
  MP3_HANDLE p = stream.handle();
  ASSERT_EQ(Mp3_OpenStream(p, form.buffered, 1, file.data(), unsigned(form.block), 0), 1) << stream.Error();
  EXPECT_EQ(Mp3_Play(p), 0) << "nothing to play before the frames came";
  EXPECT_EQ(stream.Error(), "Play->The stream's first frames haven't been pushed yet !");
  STREAM_LOAD_INFO load{};
  EXPECT_EQ(Mp3_GetStreamLoad(p, &load), 1) << "the blocks are queued meanwhile";
  EXPECT_EQ(load.queued_bytes, int32_t(form.block));
  if (!form.buffered) EXPECT_EQ(Mp3_IsStreamDataFree(p, file.data()), 0) << "the first block is still in use";
  for (size_t at = form.block; at < file.size(); at += form.block)
    ASSERT_EQ(Mp3_PushDataToStream(p, file.data() + at, unsigned(std::min(form.block, file.size() - at))), 1)
        << stream.Error();
  ASSERT_EQ(Mp3_PushDataToStream(p, nullptr, 0), 1);
  MP3_STREAM_INFO info{};
  ASSERT_EQ(Mp3_GetMp3Info(p, &info), 1);
  EXPECT_EQ(info.sample_rate, 44100);
  EXPECT_EQ(Tags(p), file_tags) << "the tag is read as from the file";
  EXPECT_EQ(stream.Run(), file_pcm) << "the same samples as the file";
}

INSTANTIATE_TEST_SUITE_P(Forms, StreamLargeTag,
                         ::testing::Values(PushForm{"Buffered4KiB", 1, 4096}, PushForm{"InPlace16KiB", 0, 16384}),
                         [](const ::testing::TestParamInfo<PushForm>& info) { return std::string(info.param.name); });

TEST(StreamLargeTagFaults, ATagClaimingMoreThanTheStreamHoldsFailsWithItsSize) {
  const Bytes file = LargeTag(150000, 1000000);
  FlatCapture stream;
  MP3_HANDLE p = stream.handle();
  ASSERT_EQ(Mp3_OpenStream(p, 1, 1, file.data(), 4096, 0), 1);
  for (size_t at = 4096; at < file.size(); at += 4096)
    ASSERT_EQ(Mp3_PushDataToStream(p, file.data() + at, unsigned(std::min<size_t>(4096, file.size() - at))), 1);
  EXPECT_EQ(Mp3_PushDataToStream(p, nullptr, 0), 0);
  EXPECT_EQ(stream.Error(),
            "PushDataToStream->The stream ends inside its ID3v2 tag: the tag claims 1000010 bytes, "
            "the stream holds " +
                std::to_string(file.size()) + " !");
  STREAM_LOAD_INFO load{};
  EXPECT_EQ(Mp3_GetStreamLoad(p, &load), 0) << "the stream is closed";
  EXPECT_EQ(Mp3_Play(p), 0);

  // A Close while the tag is still arriving lets the next open start afresh.
  ASSERT_EQ(Mp3_OpenStream(p, 0, 1, file.data(), 4096, 0), 1);
  EXPECT_EQ(Mp3_Close(p), 1);
  EXPECT_EQ(Mp3_IsStreamDataFree(p, file.data()), 1);
  EXPECT_EQ(Mp3_GetStreamLoad(p, &load), 0);
}
