#include "platform/audio.h"

namespace platform {

bool IsValidPcmFormat(const PcmFormat& format) {
  return (format.channels == 1 || format.channels == 2) && (format.bits == 8 || format.bits == 16) &&
         format.rate >= kSoundFrequencyMin && format.rate <= kSoundFrequencyMax;
}

}  // namespace platform
