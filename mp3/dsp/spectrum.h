#pragma once
// Spectrum values of the audio about to play: windowing, transform, amplitudes in dB and phases
// in degrees per harmonic, as integers.
#include <cstdint>
#include <string>
#include <vector>

#include "mp3/dsp/real_fft.h"

namespace dsp {

// Window types as the public API numbers them; any other value is rectangular.
enum WindowType : int32_t {
  kWindowRectangular = 1,
  kWindowHamming = 2,
  kWindowHann = 3,
  kWindowCosine = 4,
  kWindowLanczos = 5,
  kWindowBartlett = 6,
  kWindowTriangular = 7,
  kWindowGauss = 8,
  kWindowBartlettHann = 9,
  kWindowBlackman = 10,
  kWindowNuttall = 11,
  kWindowBlackmanHarris = 12,
  kWindowBlackmanNuttall = 13,
  kWindowFlatTop = 14,
};

// Output selection bits of the flat call.
enum SpectrumFlags : int32_t {
  kFftOutHarmonicCount = 1,
  kFftOutHarmonicFreq = 2,
  kFftOutLeftAmplitude = 4,
  kFftOutRightAmplitude = 8,
  kFftOutLeftPhase = 16,
  kFftOutRightPhase = 32,
};

// Same fields, same order as the public FFT_STRUCT. Arrays hold n/2 + 1 entries or are null.
struct SpectrumQuery {
  int32_t fft_points = 0;
  int32_t window_type = 0;
  int32_t harmonic_count = 0;  // output
  int32_t* harmonic_freqs = nullptr;
  int32_t* left_amplitudes = nullptr;
  int32_t* right_amplitudes = nullptr;
  int32_t* left_phases = nullptr;
  int32_t* right_phases = nullptr;
};

// Builds the query of the flat call: each array only when its flag bit is set.
SpectrumQuery SpectrumQueryFromFlags(int fft_points, int window_type, int flags, int32_t* harmonic_freqs,
                                     int32_t* left_amplitudes, int32_t* right_amplitudes, int32_t* left_phases,
                                     int32_t* right_phases);

// One wave-output buffer as the spectrum may see it: its memory, its allocated size and the
// byte count the decoding thread last queued in it. The thread refills buffers while we read;
// sizes are clamped to the capacity, so a stale figure never takes us outside the buffer.
struct WaveBufferView {
  const uint8_t* data = nullptr;
  uint32_t capacity = 0;
  uint32_t bytes = 0;
};

// Where playback stands: the ring of buffers (16-bit stereo), the one playing and the byte
// offset into it (device position minus the position at which that buffer started).
struct PlaybackView {
  bool playing = false;  // false: nothing playing or no stream open
  uint32_t sample_rate = 0;
  const WaveBufferView* buffers = nullptr;
  int buffer_count = 0;
  int playing_index = 0;
  int64_t offset_bytes = 0;
};

// Window value table for n points.
void ComputeWindow(int32_t window_type, int n, float* out);

// Copies channel c (0 left, 1 right) of up to n stereo frames from the playing buffer on, in
// ring order, visiting each buffer at most once, times the window; zero padding after.
void FillSampleBuffer(const PlaybackView& playback, int channel, const float* window, int n, float* out);

// Spectrum buffers of one player, kept between calls of the same size and window.
class Spectrum {
 public:
  // GetFFTValues: 1 or 0 with *error set. A null query releases the buffers and returns 1.
  int GetValues(SpectrumQuery* query, const PlaybackView& playback, std::string* error);
  void Release();
  int size() const { return size_; }

 private:
  bool Allocate(int n);
  void Analyse(const PlaybackView& playback, int channel, int32_t* amplitudes, int32_t* phases);

  std::vector<float> samples_;
  std::vector<float> window_;
  FftWorkTables tables_;
  int size_ = 0;
  int32_t window_type_ = 0;  // window type the table holds, when window_valid_
  bool window_valid_ = false;
};

}  // namespace dsp
