// Any bytes as an MP3 source: the opener (tags, first frame, VBR headers, length figures) and,
// for short inputs, a whole run of the decoding thread in the no-output mode.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <thread>

#include "mp3/player/dar3_player.h"
#include "platform/files.h"

namespace {
int32_t Consume(uint32_t, intptr_t, intptr_t) { return 1; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static DAr3* player = [] {
    auto* p = new DAr3;
    p->SetCallbackFunc(&Consume, MP3_EVENT_WAVE_BUFFER);
    return p;
  }();
  // An exact-size copy, so that any read past the end is caught.
  uint8_t* copy = new uint8_t[size ? size : 1];
  for (size_t i = 0; i < size; ++i) copy[i] = data[i];
  platform::RegisterResource("FUZZ", "MP3", copy, size);
  if (player->OpenResource(nullptr, "FUZZ", "MP3", 0, 0, 0) && size < 8192) {
    MP3_TIME length;
    MP3_STREAM_INFO info;
    player->GetSongLength(&length);
    player->GetMp3Info(&info);
    if (player->Play()) {
      MP3_STATUS status{};
      do {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        player->GetStatus(&status);
      } while (status.playing);
    }
  }
  player->Close();
  platform::UnregisterResource("FUZZ", "MP3");
  delete[] copy;
  return 0;
}
