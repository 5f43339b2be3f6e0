// Feeds arbitrary bytes to the tag reader as a whole stream, for both tag versions, and
// copies every field through the flat-function copy with a few buffer sizes.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "mp3/id3/id3.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static id3::Id3Reader reader;
  const std::span<const uint8_t> source(data, size);
  for (int version : {ID3_TAG_V1, ID3_TAG_V2}) {
    MP3_ID3_FIELDS record;
    const char* message = nullptr;
    if (!reader.Load(version, source, id3::HasId3v1(source), &record, &message)) continue;
    char buffer[8];
    for (int field = 1; field <= 64; field <<= 1) {
      const int needed = id3::CopyId3Field(record, field, nullptr, 0);
      const int copied = id3::CopyId3Field(record, field, buffer, sizeof buffer);
      if (needed < 1 || copied < 0 || copied >= int(sizeof buffer) || buffer[copied] != 0) {
        __builtin_trap();
      }
    }
  }
  return 0;
}
