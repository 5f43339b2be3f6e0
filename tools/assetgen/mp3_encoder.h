#pragma once
// MPEG-1 Layer III encoding of a stereo mix with libmp3lame.
#include "tools/assetgen/byte_writer.h"
#include "tools/assetgen/songs.h"
#include "tools/assetgen/synth.h"

namespace assetgen {

// The MPEG stream only; variable-bitrate streams start with a Xing/LAME header frame.
// Throws std::runtime_error when the encoder refuses its settings.
Bytes EncodeMp3(const StereoMix& mix, const TrackSpec& spec);

}  // namespace assetgen
