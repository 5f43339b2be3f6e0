// Pushed streams behind a large ID3v2 tag (cover art): the first block that reaches the first
// frame opens it, and it plays as the file does; a shorter one is told how much it needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "mp3/format/leading_tag.h"
#include "tests/mp3/player/mp3_test_support.h"

namespace {

// An ID3v2.3 tag with a title and `art` bytes of picture data.
Bytes LargeTag(uint32_t art) {
  Bytes frames;
  const auto add = [&](const char* id, const Bytes& body) {
    frames.insert(frames.end(), id, id + 4);
    const uint32_t n = uint32_t(body.size());
    const uint8_t size[4] = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
    frames.insert(frames.end(), size, size + 4);
    frames.push_back(0);
    frames.push_back(0);
    frames.insert(frames.end(), body.begin(), body.end());
  };
  const char title[] = "\0Large Tag Song";
  add("TIT2", Bytes(title, title + sizeof title - 1));
  Bytes picture = {0};
  const char mime[] = "image/jpeg";
  picture.insert(picture.end(), mime, mime + sizeof mime);
  picture.push_back(3);
  picture.push_back(0);
  for (uint32_t i = 0; i < art; ++i) picture.push_back(uint8_t(i * 7 + (i >> 9)) & 0x7F);  // no sync bytes
  add("APIC", picture);
  Bytes tag = {'I', 'D', '3', 3, 0, 0};
  const uint32_t n = uint32_t(frames.size());
  for (int shift : {21, 14, 7, 0}) tag.push_back(uint8_t((n >> shift) & 0x7F));
  tag.insert(tag.end(), frames.begin(), frames.end());
  return tag;
}

std::vector<int16_t> DecodePushed(RUVe3& p, const Bytes& file, size_t first) {
  CallbackLog::Reset();
  p.SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP);
  if (p.OpenStream(1, 1, file.data(), unsigned(first), 0) != 1) return {};
  for (size_t at = first; at < file.size(); at += 4096)
    EXPECT_EQ(p.PushDataToStream(file.data() + at, unsigned(std::min<size_t>(4096, file.size() - at))), 1);
  p.PushDataToStream(nullptr, 0);
  EXPECT_EQ(p.Play(), 1);
  EXPECT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 20000));
  return CallbackLog::Samples();
}

}  // namespace

TEST(StreamLargeTag, AFirstBlockThatReachesTheFramesPlaysAsTheFileDoes) {
  const Bytes audio = ReadFile(EncodeWithLame("large_tag_audio.mp3", TonePcm(44100, 2.0), 44100, "-b 128"));
  ASSERT_FALSE(audio.empty());
  const Bytes file = Concat({LargeTag(150000), audio});
  const std::string path = WriteTemp("large_tag.mp3", file);
  const Decoded from_file = DecodeAll(path);
  ASSERT_TRUE(from_file.opened) << from_file.error;

  Player p;
  EXPECT_EQ(p->OpenStream(1, 1, file.data(), 65536, 0), 0) << "the first 64 KiB hold only the tag";
  const uint64_t needed = BytesNeededToOpen(file.data(), 65536, 0xFFFFFFFFu);
  EXPECT_EQ(std::string(p->GetError()), "OpenStream->The first block ends inside the ID3v2 tag: it needs " +
                                            std::to_string(needed) + " bytes to reach the first frame !");
  const std::vector<int16_t> pushed = DecodePushed(p, file, size_t(needed));
  EXPECT_EQ(pushed, from_file.stereo) << "the same samples as the file";
  MP3_ID3_FIELDS fields{};
  ASSERT_EQ(p->LoadID3(ID3_TAG_V2, &fields), 1) << "the tag is read as from the file";
  EXPECT_STREQ(fields.title, "Large Tag Song");
}
