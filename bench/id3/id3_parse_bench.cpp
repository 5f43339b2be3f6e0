// LoadID3 on a large tag: 64 frames (every field read, the rest skipped) and a 200 KB
// picture, as a plain 2.3 tag, an unsynchronised 2.3 tag (the whole body is copied) and a
// 2.4 tag whose frames are unsynchronised one by one.
#include <benchmark/benchmark.h>

#include "tests/mp3/id3/tag_builder.h"

namespace {

using namespace id3_test;

Bytes Picture() {
  Bytes picture(200 * 1024);
  uint32_t state = 1;
  for (uint8_t& b : picture) {
    state = state * 214013u + 2531011u;
    b = uint8_t(state >> 16);  // noise: many FF bytes that unsynchronisation must handle
  }
  return picture;
}

Bytes LargeTag(int version, bool unsynchronised) {
  const char* ids[] = {"TIT2", "TPE1", "TALB", "TRCK", version == 3 ? "TYER" : "TDRC", "TCON", "COMM", "TXXX"};
  const int frame_flags = version == 4 && unsynchronised ? 0x02 : 0;
  auto frame = [&](const char* id, const Bytes& body) {
    return Frame(version, id, frame_flags ? Unsynchronise(body) : body, frame_flags);
  };
  Bytes body;
  for (int i = 0; i < 63; ++i) {
    const char* id = ids[i % 8];
    const Bytes text = std::string(id) == "COMM" ? Cat({B({1}), B("eng"), Utf16(u"", false, true), B({0, 0}),
                                                        Utf16(u"A comment of some length \u00E9\u00E8", false, true)})
                                                 : Text(1, Utf16(u"Some text \u00FF\u00E0 of a field", false, true));
    body = Cat({body, frame(id, text)});
  }
  body = Cat({body, frame("APIC", Cat({B({0}), B("image/png"), B({0, 3, 0}), Picture()})), Bytes(1024, 0)});
  if (version == 3 && unsynchronised) body = Unsynchronise(body);
  return Cat({Tag(version, version == 3 && unsynchronised ? 0x80 : 0, body), Audio(4096)});
}

void LoadLargeTag(benchmark::State& state, int version, bool unsynchronised) {
  const Bytes stream = LargeTag(version, unsynchronised);
  id3::Id3Reader reader;
  MP3_ID3_FIELDS record;
  const char* message;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop drives the timer
    const int ok = reader.Load(ID3_TAG_V2, stream, false, &record, &message);
    if (!ok) state.SkipWithError("tag not read");
    benchmark::DoNotOptimize(record);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
}

BENCHMARK_CAPTURE(LoadLargeTag, v23_plain, 3, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LoadLargeTag, v23_unsynchronised, 3, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LoadLargeTag, v24_frames_unsynchronised, 4, true)->Unit(benchmark::kMicrosecond);

}  // namespace
