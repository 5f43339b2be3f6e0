#pragma once
// PCM WAV files. The format chunk comes first and is 18 bytes long (with a zero extra-size
// field), because the game's loader reads exactly 18 bytes from it.
#include <vector>

#include "tools/assetgen/byte_writer.h"

namespace assetgen {

enum class WavDepth { kUnsigned8, kSigned16 };

// Mono samples in [-1, 1]; values outside are clipped.
Bytes EncodeWav(const std::vector<float>& samples, int sample_rate, WavDepth depth);

}  // namespace assetgen
