// Any bytes as an MP3 source: the opener (tags, first frame, VBR headers, length figures) and,
// for short inputs, a whole run of the decoding thread in the no-output mode.
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "fuzz/common/player_run.h"
#include "platform/files.h"

namespace {
int32_t Consume(uint32_t, intptr_t, intptr_t) { return 1; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static RUVe3* player = FuzzPlayer(&Consume, 0);
  // The fuzzer's input is an exact-size copy, so that any read past the end is caught.
  platform::RegisterResource("FUZZ", "MP3", data, size);
  if (player->OpenResource(nullptr, "FUZZ", "MP3", 0, 0, 0) && size < 8192) {
    MP3_TIME length;
    MP3_STREAM_INFO info;
    player->GetSongLength(&length);
    player->GetMp3Info(&info);
    if (player->Play()) WaitForRunEnd(player, std::chrono::seconds(10));
  }
  player->Close();
  platform::UnregisterResource("FUZZ", "MP3");
  return 0;
}
