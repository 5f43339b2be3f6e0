#pragma once
// The game's sound effects, synthesised: each as mono samples with the rate and depth its
// file is written in. Both 8-bit 11025 Hz and 16-bit 22050 Hz files are made.
#include <string>
#include <vector>

#include "tools/assetgen/wav_writer.h"

namespace assetgen {

struct SoundEffect {
  std::string file_name;
  int sample_rate;
  WavDepth depth;
  std::vector<float> samples;
};

std::vector<SoundEffect> SoundEffects();

}  // namespace assetgen
