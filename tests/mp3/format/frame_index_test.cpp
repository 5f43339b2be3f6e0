// The frame index takes plain frames itself and leaves the rest to libmad: it must find the
// very frames libmad's header reader finds alone, on every conformance stream, damaged ones too.
#include "mp3/format/frame_index.h"

#include <gtest/gtest.h>
#include <mad.h>

#include <filesystem>

#include "tests/support/files.h"

namespace {

// libmad alone over the data followed by the index's own end guard.
std::vector<size_t> LibmadFrames(std::vector<uint8_t> data) {
  const size_t size = data.size();
  data.insert(data.end(), {0xFF, 0xE0, 0, 0, 0, 0, 0, 0});
  mad_stream stream{};
  mad_header header{};
  mad_stream_init(&stream);
  mad_header_init(&header);
  mad_stream_buffer(&stream, data.data(), data.size());
  std::vector<size_t> starts;
  for (;;) {
    if (mad_header_decode(&header, &stream) == 0) {
      if (size_t(stream.this_frame - data.data()) < size) starts.push_back(size_t(stream.this_frame - data.data()));
      continue;
    }
    if (!MAD_RECOVERABLE(stream.error)) break;
  }
  mad_header_finish(&header);
  mad_stream_finish(&stream);
  return starts;
}

std::vector<size_t> IndexedFrames(const std::vector<uint8_t>& data) {
  std::vector<const uint8_t*> index;
  EXPECT_TRUE(BuildFrameIndex(data.data(), uint32_t(data.size()), &index));
  std::vector<size_t> starts;
  for (const uint8_t* at : index) starts.push_back(size_t(at - data.data()));
  return starts;
}

}  // namespace

TEST(FrameIndex, FindsTheFramesLibmadFindsInEveryConformanceStream) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(MP3_TEST_DATA)) {
    if (entry.path().extension() != ".bit") continue;
    SCOPED_TRACE(entry.path().filename().string());
    std::vector<uint8_t> data = test_support::ReadFileBytes(entry.path());
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(IndexedFrames(data), LibmadFrames(data));
    // Damage in the middle: a run of bytes that look like frame headers, then a lost sync.
    std::vector<uint8_t> damaged = data;
    const size_t middle = damaged.size() / 2;
    for (size_t i = middle; i < middle + 64 && i < damaged.size(); ++i) damaged[i] = i % 3 ? 0xFF : 0xFB;
    EXPECT_EQ(IndexedFrames(damaged), LibmadFrames(damaged)) << "damaged";
    ++files;
  }
  EXPECT_GT(files, 50);
}
