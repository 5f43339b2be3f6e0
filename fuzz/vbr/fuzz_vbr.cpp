// The VBR header parser alone. The first two input bytes lay out the frame as the decoder
// would have seen it (where the ancillary bits begin, MPEG-1 or 2, the sample rate); the rest
// is the frame itself, from its header on. Whatever it holds, the parser reads only the frame.
#include <cstddef>
#include <cstdint>

#include "mp3/format/vbr_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  static constexpr uint32_t kRates[8] = {44100, 48000, 32000, 22050, 24000, 16000, 11025, 0};
  const uint8_t layout = data[0];
  const uint8_t choice = data[1];
  VbrFrame frame;
  frame.frame = data + 2;
  frame.frame_length = size - 2;
  frame.lsf = choice & 1;
  frame.samples_per_frame = frame.lsf ? 576 : 1152;
  frame.sample_rate = kRates[(choice >> 1) & 7];
  // After the side information (17 or 32 bytes past the 4-byte header, 9 or 17 for LSF) as a
  // real frame has it, or anywhere the layout byte says.
  const size_t offset = (layout & 0x80) ? size_t(layout & 0x7F) : (frame.lsf ? 4 + 9 : 4 + 32);
  if (offset >= frame.frame_length) return 0;
  frame.ancillary = frame.frame + offset;
  frame.ancillary_bit = (choice >> 4) & 7;
  frame.ancillary_bits = (frame.frame_length - offset) * 8 - frame.ancillary_bit;
  VbrHeaderInfo info;
  if (ParseVbrHeader(frame, &info) &&
      (info.encoder[sizeof info.encoder - 1] != 0 || info.lame.name[sizeof info.lame.name - 1] != 0))
    __builtin_trap();
  return 0;
}
