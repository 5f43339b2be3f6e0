// Seeking, loops and reverse play with positions from the input. Input layout:
//   [operation count] [operations of 8 bytes each] [an MP3 stream]
// Each operation is a kind, a time format, a move method or repeat count, a value and a second
// value. The stream (seeds are real CBR, VBR and MPEG-2 files) is opened from memory in the
// no-output mode; the operations then run against it, interleaved with the decoding thread,
// and the position arithmetic (bytes, ms, frames, h:m:s, the Xing table) must stay in range.
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "fuzz/common/input_bytes.h"
#include "fuzz/common/mp3_time.h"
#include "fuzz/common/player_run.h"
#include "platform/files.h"

namespace {

int32_t Consume(uint32_t, intptr_t, intptr_t) { return 1; }

int Format(uint8_t code) {
  static constexpr int kFormats[] = {TIME_FORMAT_MS, TIME_FORMAT_SEC, TIME_FORMAT_HMS, TIME_FORMAT_BYTES, 16, 0};
  return kFormats[code % 6];
}

void Run(RUVe3* player, InputBytes* ops, unsigned count) {
  for (unsigned i = 0; i < count; ++i) {
    const uint8_t kind = ops->Byte();
    const int format = Format(ops->Byte());
    const uint8_t method = ops->Byte();
    MP3_TIME first = TimeOf(ops->U32());
    const uint8_t second_format = ops->Byte();
    MP3_TIME second = first;
    second.ms += uint32_t(second_format) * 97;
    second.bytes += uint32_t(second_format) * 419;
    second.sec += second_format;
    second.frames += second_format;
    switch (kind % 8) {
      case 0: player->Seek(format, &first, 1 << (method % 5)); break;
      case 1: player->PlayLoop(format, &first, Format(second_format), &second, method % 3); break;
      case 2: player->ReverseMode(method & 1); break;
      case 3: player->Play(); break;
      case 4: player->Pause(); break;
      case 5: player->Resume(); break;
      case 6: player->Stop(); break;
      default: {
        MP3_TIME position{};
        player->GetPosition(&position);
        break;
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static RUVe3* player = FuzzPlayer(&Consume, 0);
  InputBytes input(data, size);
  const unsigned count = input.Byte() % 16;
  const size_t op_bytes = size_t(count) * 8;
  if (input.left() < op_bytes + 4) return 0;
  InputBytes ops(data + 1, op_bytes);
  size_t mp3_size = 0;
  input.Block(op_bytes, &mp3_size);
  const uint8_t* mp3 = input.Block(input.left(), &mp3_size);
  platform::RegisterResource("FUZZ", "MP3", mp3, mp3_size);
  if (player->OpenResource(nullptr, "FUZZ", "MP3", 0, 0, 0)) {
    Run(player, &ops, count);
    WaitForRunEnd(player, std::chrono::milliseconds(200));
  }
  player->Close();
  platform::UnregisterResource("FUZZ", "MP3");
  return 0;
}
