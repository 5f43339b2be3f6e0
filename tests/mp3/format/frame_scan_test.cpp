// Samples per frame by layer and version, which every length and seek is counted in.
#include "mp3/format/frame_scan.h"

#include <gtest/gtest.h>

TEST(SamplesPerFrame, FollowsTheLayerAndForLayerIIIAlsoTheVersion) {
  mad_header h{};
  h.layer = MAD_LAYER_I;
  EXPECT_EQ(SamplesPerFrame(h), 384u);
  h.flags = MAD_FLAG_LSF_EXT;
  EXPECT_EQ(SamplesPerFrame(h), 384u) << "MPEG-2 Layer I";
  h.layer = MAD_LAYER_II;
  EXPECT_EQ(SamplesPerFrame(h), 1152u) << "MPEG-2 Layer II";
  h.layer = MAD_LAYER_III;
  EXPECT_EQ(SamplesPerFrame(h), 576u);
  h.flags = MAD_FLAG_LSF_EXT | MAD_FLAG_MPEG_2_5_EXT;
  EXPECT_EQ(SamplesPerFrame(h), 576u);
  h.flags = 0;
  EXPECT_EQ(SamplesPerFrame(h), 1152u);
  h.layer = MAD_LAYER_II;
  EXPECT_EQ(SamplesPerFrame(h), 1152u);
}
