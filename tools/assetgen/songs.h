#pragma once
// The four music tracks, composed procedurally (fixed seeds) and rendered to stereo PCM.
#include <string>
#include <vector>

#include "tools/assetgen/synth.h"

namespace assetgen {

enum class Mood { kHeroic, kSombre, kDriving, kTense };

enum class Bitrate { kConstant, kVariable };

struct TrackSpec {
  std::string file_name;
  std::string title;
  Mood mood;
  int bpm;
  int bars;
  int sample_rate;
  Bitrate mode;
  int kbps_or_quality;  // constant: kbit/s; variable: LAME VBR quality 0 (best) .. 9
  bool tagged;          // ID3v2.3 and ID3v1 tags
  double Seconds() const { return bars * 4 * 60.0 / bpm; }
};

const std::vector<TrackSpec>& MusicTracks();

// Renders one track; the mix wraps, so the file loops without a seam.
StereoMix RenderTrack(const TrackSpec& spec);

}  // namespace assetgen
