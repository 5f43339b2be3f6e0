// Any bytes as a WAV file, read by the chunk reader and the WAVE layout LoadWavSound uses: a
// sound comes out whole or the file is refused, and no read leaves the input.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio.h"
#include "sound/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::RiffReader reader(data, size);
  WaveFormatRecord format;
  std::vector<uint8_t> samples;
  if (ReadWaveFile(&reader, &format, &samples) &&
      (format.format_tag != 1 || samples.size() > platform::kSoundBufferMaxBytes || samples.size() > size))
    __builtin_trap();
  return 0;
}
