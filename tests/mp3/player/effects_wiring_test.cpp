// The signal-processing stages inside the decoding thread: the equalizers and the echo change
// the decoded stream where they should, and a flat FFT equalizer leaves it in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "platform/audio.h"
#include "tests/mp3/dsp/signal_helpers.h"
#include "tests/mp3/player/device_ring.h"
#include "tests/mp3/player/mp3_test_support.h"

#if DAR3_WITH_DSP
#include "tests/mp3/dsp/equalizer_waits.h"

namespace {

std::vector<int16_t> DecodeWith(RUVe3& p, const std::string& path) {
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

// A stereo file with one steady tone per channel: 1 kHz on the left, 4 kHz on the right.
Bytes TwoTonePcm(double seconds) {
  const std::vector<int16_t> s = dsp_test::StereoSines(int(44100 * seconds), 1000.0, 16000.0, 4000.0, 16000.0, 44100);
  Bytes pcm(s.size() * 2);
  std::memcpy(pcm.data(), s.data(), pcm.size());
  return pcm;
}

// Asks for the left spectrum and phases (Hann, 1024 points), then pulls 1024 frames from the
// headless device and computes the same figures from them in double precision.
void ExpectSpectrumOfTheNextFramesPlayed(DAr3& p) {
  constexpr int n = 1024;
  WaitQueued(p, 2);
  std::vector<int32_t> left(n / 2 + 1), phase(n / 2 + 1);
  FFT_STRUCT fft{};
  fft.fft_points = n;
  fft.window_type = WINDOW_HANN;
  fft.left_amplitudes = left.data();
  fft.left_phases = phase.data();
  ASSERT_EQ(p.GetFFTValues(&fft), 1) << p.GetError();
  std::vector<int16_t> heard(n * 2);
  ASSERT_EQ(platform::AudioPull(heard.data(), n), size_t(n));
  std::vector<double> windowed(n);
  for (int j = 0; j < n; ++j) windowed[size_t(j)] = 0.5 * (1 - std::cos(2 * M_PI * j / (n - 1))) * heard[size_t(j) * 2];
  // The loud bins' phases move by 8 degrees a frame at 1 kHz, so they pin the position down.
  int worst = 0, worst_phase = 0;
  for (int k = 0; k <= n / 2; ++k) {
    double re = 0, im = 0;
    dsp_test::DirectBin(windowed, k, &re, &im);
    const int expected = int(20 * std::log10(std::hypot(re, im) / std::sqrt(n) + 1));
    worst = std::max(worst, std::abs(left[k] - expected));
    if (expected > 60 && k > 0 && k < n / 2)
      worst_phase = std::max(worst_phase, std::abs(phase[k] - int(std::atan(im / re) * 180 / M_PI)));
  }
  EXPECT_LE(worst, 1) << "amplitudes (dB)";
  EXPECT_LE(worst_phase, 1) << "phases (degrees)";
}

int PeakBin(const std::vector<int32_t>& amplitudes) {
  return int(std::max_element(amplitudes.begin() + 1, amplitudes.end()) - amplitudes.begin());
}

TEST(EffectStages, SpectrumOfThePlayingBufferShowsEachChannelsTone) {
  const std::string path = EncodeWithLame("spectrum_tones.mp3", TwoTonePcm(4.0), 44100, "-b 320 -m s");
  ASSERT_FALSE(path.empty());
  DAr3 p;
  ASSERT_EQ(p.OpenFile(path.c_str(), 800, 0, 0), 1) << p.GetError();
  ASSERT_EQ(p.Play(), 1) << p.GetError();
  // Play well into the file at the pace the decoding thread fills the ring, stopping at
  // uneven places inside a buffer.
  std::vector<int16_t> chunk(44100 * 2);
  bool headless = false;
  for (int pulls = 0; pulls < 12; ++pulls) {
    WaitQueued(p, 2);
    if (platform::AudioPull(chunk.data(), 3001 + 17 * pulls))
      headless = true;
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(71));
  }
  const int n = 1024;
  std::vector<int32_t> freqs(n / 2 + 1), left(n / 2 + 1), right(n / 2 + 1), left_phase(n / 2 + 1);
  for (int window : {WINDOW_RECTANGULAR, WINDOW_HANN, WINDOW_BLACKMAN_HARRIS}) {
    FFT_STRUCT fft{};
    fft.fft_points = n;
    fft.window_type = window;
    fft.harmonic_freqs = freqs.data();
    fft.left_amplitudes = left.data();
    fft.right_amplitudes = right.data();
    fft.left_phases = left_phase.data();
    ASSERT_EQ(p.GetFFTValues(&fft), 1) << p.GetError();
    EXPECT_EQ(fft.harmonic_count, n / 2 + 1);
    EXPECT_EQ(freqs[23], 990);  // 43.07 Hz per bin
    // 1 kHz lies at bin 23.2 and 4 kHz at bin 92.9.
    EXPECT_NEAR(PeakBin(left), 23, 1) << "window " << window;
    EXPECT_NEAR(PeakBin(right), 93, 1) << "window " << window;
    // A tone of half full scale: about 20*log10(16000 * 512 * coherent gain / 32).
    EXPECT_GT(left[PeakBin(left)], 90) << "window " << window;
    // Far from the tones only leakage and the encoder's noise remain.
    const int quiet_bin = 300;
    const int margin = window == WINDOW_RECTANGULAR ? 25 : 50;
    EXPECT_LT(left[quiet_bin], left[PeakBin(left)] - margin) << "window " << window;
    EXPECT_LT(right[quiet_bin], right[PeakBin(right)] - margin) << "window " << window;
    // Each channel shows its own tone, not the other's.
    EXPECT_LT(left[93], left[PeakBin(left)] - margin) << "window " << window;
    EXPECT_LT(right[23], right[PeakBin(right)] - margin) << "window " << window;
  }
  if (!headless) return;
  // The spectrum is that of the next frames the device plays: the headless device hands them
  // to the test right after the call. Checked mid-run, and again after a seek and a pause.
  ExpectSpectrumOfTheNextFramesPlayed(p);
  MP3_TIME at{};
  at.ms = 2500;
  ASSERT_EQ(p.Seek(TIME_FORMAT_MS, &at, MOVE_FROM_START), 1) << p.GetError();
  ASSERT_EQ(p.Play(), 1) << p.GetError();
  for (int pulls = 0; pulls < 3; ++pulls) {
    WaitQueued(p, 2);
    platform::AudioPull(chunk.data(), 2999);
  }
  ExpectSpectrumOfTheNextFramesPlayed(p);
  ASSERT_EQ(p.Pause(), 1);
  ASSERT_EQ(p.Resume(), 1);
  ExpectSpectrumOfTheNextFramesPlayed(p);
  p.Stop();
}

TEST(EffectStages, EqualizersAndEchoActOnThePlayersOutput) {
  const std::string path = EncodeWithLame("effects.mp3", TonePcm(44100, 3.0), 44100, "-b 192");
  ASSERT_FALSE(path.empty());
  Player plain_player;
  const std::vector<int16_t> plain = DecodeWith(plain_player, path);
  ASSERT_GT(plain.size(), 44100u * 2);

  // The flat FFT equalizer: the same stream, its latency taken off the front.
  DAr3 p;
  ASSERT_EQ(p.EnableEQ(1, 1), 1) << p.GetError();
  ASSERT_TRUE(dsp_test::WaitForDesigns(p.EqualizerState(), 1));
  MP3_STATUS status{};
  p.GetStatus(&status);
  EXPECT_EQ(status.fft_eq, 1);
  const std::vector<int16_t> flat = DecodeWith(p, path);
  ASSERT_GT(flat.size(), 44100u);
  // A flat filter passes the stream through unchanged: the latency drop is exact.
  EXPECT_EQ(flat.size(), plain.size()) << "latency dropped at the start, tail drained at the end";
  EXPECT_GT(Psnr(plain, flat, 0, std::min(plain.size(), flat.size())), 90.0);
  const int cut[10] = {-20, -20, -20, -20, -20, -20, -20, -20, -20, -20};
  const uint32_t designs_before_cut = p.EqualizerState().DesignCount();
  ASSERT_EQ(p.SetEQParam(1, 0, cut, 10), 1);
  ASSERT_TRUE(dsp_test::WaitForDesigns(p.EqualizerState(), designs_before_cut + 1));
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
