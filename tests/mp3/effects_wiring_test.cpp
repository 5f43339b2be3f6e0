// The signal-processing stages inside the decoding thread: the equalizers and the echo change
// the decoded stream where they should, and a flat FFT equalizer leaves it in place.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "tests/mp3/mp3_test_support.h"

#if DAR3_WITH_DSP
namespace {

std::vector<int16_t> DecodeWith(DAr3& p, const std::string& path) {
  CallbackLog::Reset();
  p.SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP);
  EXPECT_EQ(p.OpenFile(path.c_str(), 0, 0, 0), 1);
  EXPECT_EQ(p.Play(), 1);
  EXPECT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 20000));
  p.Close();
  return CallbackLog::Samples();
}

double Psnr(const std::vector<int16_t>& a, const std::vector<int16_t>& b, size_t from, size_t to) {
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
  return sum == 0 ? 200.0 : 10 * std::log10(32767.0 * 32767.0 * double(to - from) / sum);
}

TEST(EffectStages, EqualizersAndEchoActOnThePlayersOutput) {
  const std::string path = EncodeWithLame("effects.mp3", TonePcm(44100, 3.0), 44100, "-b 192");
  ASSERT_FALSE(path.empty());
  DAr3 plain_player;
  const std::vector<int16_t> plain = DecodeWith(plain_player, path);
  ASSERT_GT(plain.size(), 44100u * 2);

  // The flat FFT equalizer: the same stream, its latency taken off the front.
  DAr3 p;
  ASSERT_EQ(p.EnableEQ(1, 1), 1) << p.GetError();
  for (int i = 0; i < 200; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  MP3_STATUS status{};
  p.GetStatus(&status);
  EXPECT_EQ(status.fft_eq, 1);
  const std::vector<int16_t> flat = DecodeWith(p, path);
  ASSERT_GT(flat.size(), 44100u);
  // A flat filter passes the stream through unchanged: the latency drop is exact.
  EXPECT_EQ(flat.size(), plain.size()) << "latency dropped at the start, tail drained at the end";
  EXPECT_GT(Psnr(plain, flat, 0, std::min(plain.size(), flat.size())), 90.0);
  const int cut[10] = {-20, -20, -20, -20, -20, -20, -20, -20, -20, -20};
  ASSERT_EQ(p.SetEQParam(1, 0, cut, 10), 1);
  for (int i = 0; i < 200; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const std::vector<int16_t> fft_cut = DecodeWith(p, path);
  double plain_energy = 0, cut_energy = 0;
  for (size_t i = 10000; i < std::min(plain.size(), fft_cut.size()); ++i) {
    plain_energy += double(plain[i]) * plain[i];
    cut_energy += double(fft_cut[i]) * fft_cut[i];
  }
  EXPECT_LT(cut_energy, plain_energy / 10);
  ASSERT_EQ(p.EnableEQ(0, 1), 1);

  // The subband equalizer cutting everything makes the output quiet.
  ASSERT_EQ(p.SetEQParam(0, 0, cut, 10), 1);
  ASSERT_EQ(p.EnableEQ(1, 0), 1);
  p.GetStatus(&status);
  EXPECT_EQ(status.subband_eq, 1);
  const std::vector<int16_t> quiet = DecodeWith(p, path);
  double quiet_energy = 0;
  for (size_t i = 10000; i < std::min(plain.size(), quiet.size()); ++i) quiet_energy += double(quiet[i]) * quiet[i];
  EXPECT_LT(quiet_energy, plain_energy / 10);
  ASSERT_EQ(p.EnableEQ(0, 0), 1);

  // The echo changes the output; switched off again, the output is the plain one.
  ASSERT_EQ(p.SetSfxParam(1, 2, 300, 0, 0, 0), 1) << p.GetError();
  p.GetStatus(&status);
  EXPECT_EQ(status.echo, 1);
  EXPECT_EQ(status.echo_mode, 2);
  const std::vector<int16_t> echoed = DecodeWith(p, path);
  EXPECT_LT(Psnr(plain, echoed, 0, std::min(plain.size(), echoed.size())), 30.0);
  ASSERT_EQ(p.SetSfxParam(0, 2, 300, 0, 0, 0), 1);
  const std::vector<int16_t> back = DecodeWith(p, path);
  EXPECT_EQ(back, plain);

  // The spectrum of a stopped player is empty; sizes outside the list are refused.
  int left[257] = {1};
  FFT_STRUCT fft{};
  fft.fft_points = 512;
  fft.window_type = 3;
  fft.left_amplitudes = left;
  ASSERT_EQ(p.GetFFTValues(&fft), 1);
  EXPECT_EQ(fft.harmonic_count, 257);
  EXPECT_EQ(left[0], 0);
  fft.fft_points = 4096;
  EXPECT_EQ(p.GetFFTValues(&fft), 0);
  EXPECT_NE(std::string(p.GetError()).find("FFT_STRUCT->nFFTPoints parameter can be only one of these values"),
            std::string::npos);
}

}  // namespace
#endif
