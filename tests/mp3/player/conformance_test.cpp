// Decoding accuracy on the conformance vectors, through the no-output mode: every frame libmad
// decodes comes out, and the dithered result stays within 90 dB PSNR of the reference.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/mp3/player/mp3_test_support.h"

namespace {

struct Vector {
  const char* name;
  int channels;
};

double Psnr(const std::vector<int16_t>& ours, int our_stride, const std::vector<int16_t>& ref, int channels,
            size_t frames) {
  double sum = 0.0;
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) {
      const double e = double(ours[i * our_stride + c]) - ref[i * channels + c];
      sum += e * e;
    }
  const double mse = sum / double(frames * channels);
  return mse == 0 ? 200.0 : 10.0 * std::log10(32767.0 * 32767.0 / mse);
}

std::vector<int16_t> ReadPcm(const std::string& path) {
  Bytes raw = ReadFile(path);
  std::vector<int16_t> pcm(raw.size() / 2);
  std::memcpy(pcm.data(), raw.data(), pcm.size() * 2);
  return pcm;
}

class Conformance : public ::testing::TestWithParam<Vector> {};

TEST_P(Conformance, MatchesReferenceDecode) {
  const Vector v = GetParam();
  const std::string bit = TestData(std::string(v.name) + ".bit");
  Decoded d = DecodeAll(bit);
  ASSERT_TRUE(d.opened) << d.error;
  const std::vector<int16_t> ref = ReadPcm(TestData(std::string(v.name) + ".pcm"));
  const size_t our_frames = d.stereo.size() / 2;
  const size_t ref_frames = ref.size() / size_t(v.channels);
  // Samples per frame as decoded (the player's figures count 576 for every LSF layer).
  const size_t spf = d.info.layer == 1 ? 384 : (d.info.layer == 4 && d.info.version != 1 ? 576 : 1152);
  const size_t expected = size_t(CountFrames(ReadFile(bit), true)) * spf;
  EXPECT_EQ(our_frames, expected) << "every decoded frame comes out";
  // Layer I and II references are padded; the Layer III ones may lack the final frame.
  EXPECT_LE(our_frames, ref_frames + (d.info.layer == 4 ? spf : 0));
  const size_t frames = std::min(our_frames, ref_frames);
  ASSERT_GT(frames, 0u);
  EXPECT_GE(Psnr(d.stereo, 2, ref, v.channels, frames), 90.0);
  if (v.channels == 1) {
    for (size_t i = 0; i < our_frames; ++i)
      ASSERT_EQ(d.stereo[2 * i], d.stereo[2 * i + 1]) << "mono is copied to both sides";
  }
}

INSTANTIATE_TEST_SUITE_P(Vectors, Conformance,
                         ::testing::Values(Vector{"l1-fl1", 2}, Vector{"l1-fl2", 2}, Vector{"l1-fl3", 2},
                                           Vector{"l1-fl4", 1}, Vector{"l1-fl5", 2}, Vector{"l1-fl6", 2},
                                           Vector{"l1-fl7", 2}, Vector{"l1-fl8", 2}, Vector{"l2-fl10", 2},
                                           Vector{"l2-fl11", 2}, Vector{"l2-fl12", 2}, Vector{"l2-fl13", 1},
                                           Vector{"l2-fl14", 2}, Vector{"l2-fl15", 2}, Vector{"l2-fl16", 2},
                                           Vector{"l2-test32", 2}, Vector{"l3-compl", 1}, Vector{"l3-he_32khz", 1},
                                           Vector{"l3-he_44khz", 1}, Vector{"l3-he_48khz", 1}, Vector{"l3-he_free", 2},
                                           Vector{"l3-hecommon", 2}, Vector{"l3-si", 1}, Vector{"l3-si_block", 1},
                                           Vector{"l3-sin1k0db", 2}, Vector{"M2L3_bitrate_16_all", 1},
                                           Vector{"M2L3_bitrate_22_all", 1}, Vector{"M2L3_bitrate_24_all", 1},
                                           Vector{"M2L3_compl24", 1}, Vector{"M2L3_noise", 2}),
                         [](const ::testing::TestParamInfo<Vector>& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
