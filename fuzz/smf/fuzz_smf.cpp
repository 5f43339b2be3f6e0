// Any bytes as a standard MIDI file: the structure check either accepts them or refuses them,
// and never reads outside the input (the synthesiser's own parser sees only accepted files).
#include <cstddef>
#include <cstdint>

#include "platform/music.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::IsStandardMidiFile(data, size);
  return 0;
}
