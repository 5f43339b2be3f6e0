// The ICY splitter and its parsers on byte streams made here: whatever the cuts between reads,
// the audio comes out whole and every metadata block once.
#include "tools/dar3play/net/icy_metadata.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr size_t kMetaint = 16;

// An ICY stream of `audio` with a metadata block after every kMetaint bytes, taken in turn
// from `blocks` (an empty text gives a zero length byte).
std::vector<uint8_t> IcyStream(const std::vector<uint8_t>& audio, const std::vector<std::string>& blocks) {
  std::vector<uint8_t> out;
  size_t next_block = 0;
  for (size_t at = 0; at < audio.size(); at += kMetaint) {
    const size_t take = std::min(kMetaint, audio.size() - at);
    out.insert(out.end(), audio.begin() + long(at), audio.begin() + long(at + take));
    if (take < kMetaint) break;
    std::string text = next_block < blocks.size() ? blocks[next_block++] : std::string();
    text.resize((text.size() + 15) / 16 * 16, '\0');
    out.push_back(uint8_t(text.size() / 16));
    out.insert(out.end(), text.begin(), text.end());
  }
  return out;
}

std::vector<uint8_t> Audio(size_t size) {
  std::vector<uint8_t> audio(size);
  // Bytes that look like length bytes and text, so a slip shows.
  for (size_t i = 0; i < size; ++i) audio[i] = uint8_t(i * 7 + 3);
  return audio;
}

struct Split {
  std::vector<uint8_t> audio;
  std::vector<std::string> blocks;
  std::vector<size_t> audio_before;  // of each block
};

Split FeedInPieces(const std::vector<uint8_t>& stream, size_t piece) {
  IcySplitter splitter(kMetaint);
  Split out;
  std::vector<IcyBlock> blocks;
  for (size_t at = 0; at < stream.size(); at += piece)
    splitter.Feed(stream.data() + at, std::min(piece, stream.size() - at), &out.audio, &blocks);
  for (const IcyBlock& block : blocks) {
    out.blocks.push_back(block.text);
    out.audio_before.push_back(block.audio_at);
  }
  return out;
}

TEST(IcySplitter, TakesOutEveryBlockWhateverTheCutsBetweenReads) {
  const std::vector<uint8_t> audio = Audio(16 * 9 + 5);
  const std::vector<std::string> blocks = {
      "StreamTitle='One';", "", "StreamTitle='A longer title, two rows';", "", "", "StreamTitle='Three';StreamUrl='';"};
  const std::vector<uint8_t> stream = IcyStream(audio, blocks);
  // Pieces of one byte cut inside every length byte and text; 16 and 17 fall on and just past
  // the block boundaries; the whole stream at once is the other end.
  for (size_t piece : {size_t(1), size_t(3), size_t(16), size_t(17), size_t(49), stream.size()}) {
    const Split split = FeedInPieces(stream, piece);
    EXPECT_EQ(split.audio, audio) << "pieces of " << piece;
    EXPECT_EQ(split.blocks, (std::vector<std::string>{blocks[0], blocks[2], blocks[5]})) << "pieces of " << piece;
    // Each title is placed where it stood in the audio, so it can be shown when that is heard.
    EXPECT_EQ(split.audio_before, (std::vector<size_t>{16, 48, 96})) << "pieces of " << piece;
  }
}

TEST(IcySplitter, WithoutAMetaintEverythingIsAudio) {
  const std::vector<uint8_t> audio = Audio(100);
  IcySplitter splitter(0);
  std::vector<uint8_t> out;
  std::vector<IcyBlock> blocks;
  splitter.Feed(audio.data(), audio.size(), &out, &blocks);
  EXPECT_EQ(out, audio);
  EXPECT_TRUE(blocks.empty());
  EXPECT_FALSE(splitter.carries_metadata());
}

TEST(IcySplitter, TheLargestBlockAndAStreamEndingInsideABlock) {
  // A length byte of 255 is 4080 bytes of text: the most a block can hold.
  std::string longest = "StreamTitle='" + std::string(4080 - 15, 'x') + "';";
  ASSERT_EQ(longest.size(), 4080u);
  std::vector<uint8_t> stream = IcyStream(Audio(kMetaint * 2), {longest});
  ASSERT_EQ(stream[kMetaint], 255);
  Split split = FeedInPieces(stream, 1000);
  EXPECT_EQ(split.blocks, std::vector<std::string>{longest});
  EXPECT_EQ(split.audio, Audio(kMetaint * 2));
  // Cut off inside its text, the block is not reported, and no text leaks into the audio.
  stream.resize(kMetaint + 1 + 100);
  split = FeedInPieces(stream, 7);
  EXPECT_TRUE(split.blocks.empty());
  EXPECT_EQ(split.audio, Audio(kMetaint));
}

TEST(IcyMetadata, MetaintHeadersThatAreNoUsableCountMeanNoMetadata) {
  EXPECT_EQ(ParseMetaint("16000"), 16000u);
  EXPECT_EQ(ParseMetaint(" 8192 "), 8192u);
  for (const char* bad : {"", "0", "-16000", "16k", "abc", "1e4", "99999999999999999999", "2000000"})
    EXPECT_EQ(ParseMetaint(bad), 0u) << "'" << bad << "'";
}

TEST(IcyMetadata, StreamTitlesAreFoundAndMadeUtf8) {
  std::string title;
  ASSERT_TRUE(FindStreamTitle("StreamTitle='Artist - Song';StreamUrl='http://x/';", &title));
  EXPECT_EQ(title, "Artist - Song");
  // A quote inside the title does not end it; a missing "';" ends at the last quote.
  ASSERT_TRUE(FindStreamTitle("StreamTitle='Rock 'n' Roll';", &title));
  EXPECT_EQ(title, "Rock 'n' Roll");
  ASSERT_TRUE(FindStreamTitle("StreamTitle='No semicolon'", &title));
  EXPECT_EQ(title, "No semicolon");
  ASSERT_TRUE(FindStreamTitle("StreamTitle='';", &title));
  EXPECT_EQ(title, "");
  // UTF-8 stays; Latin-1 bytes (not valid UTF-8) become UTF-8.
  ASSERT_TRUE(
      FindStreamTitle("StreamTitle='Gr\xC3\xBC\xC3\x9F"
                      "e';",
                      &title));
  EXPECT_EQ(title,
            "Gr\xC3\xBC\xC3\x9F"
            "e");
  ASSERT_TRUE(
      FindStreamTitle("StreamTitle='Gr\xFC\xDF"
                      "e';",
                      &title));
  EXPECT_EQ(title,
            "Gr\xC3\xBC\xC3\x9F"
            "e");
  // Blocks naming no title, and audio taken for text, give none.
  for (const std::string& none : {std::string("StreamUrl='http://x/';"), std::string("StreamTitle="),
                                  std::string("StreamTitle='"), std::string("\xFF\xFB\x90\x64", 4)})
    EXPECT_FALSE(FindStreamTitle(none, &title)) << none;
}

}  // namespace
