#include "mp3/dsp/spectrum.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "mp3/dsp/shared_pcm.h"

namespace dsp {
namespace {

constexpr double kPi = 3.141592653589793;

const char kBadSizeMessage[] =
    "FFT_STRUCT->nFFTPoints parameter can be only one of these values:\n"
    "32, 64, 128, 512, 1024, 2048, 8192, 16384";

bool IsAcceptedSize(int n) {
  // 4096 is refused and 256 accepted, as the product always did.
  static constexpr int kSizes[] = {32, 64, 128, 256, 512, 1024, 2048, 8192, 16384};
  for (int s : kSizes)
    if (s == n) return true;
  return false;
}

double CosineSum(const double* a, int terms, double i, double m) {
  double w = 0;
  for (int t = 0; t < terms; ++t) {
    const double sign = (t & 1) ? -1.0 : 1.0;
    w += sign * a[t] * std::cos(2.0 * kPi * t * i / m);
  }
  return w;
}

double WindowValue(int32_t type, int i, int n) {
  const double m = n - 1;
  const double x = i;
  switch (type) {
    case kWindowHamming: return 0.53836 - 0.46164 * std::cos(2 * kPi * x / m);
    case kWindowHann: return 0.5 * (1 - std::cos(2 * kPi * x / m));
    case kWindowCosine: return std::sin(kPi * x / m);
    case kWindowLanczos: {
      const double v = 2 * x / m - 1;
      return v == 0 ? 1.0 : std::sin(kPi * v) / (kPi * v);
    }
    case kWindowBartlett: return (2 / m) * (m / 2 - std::fabs(x - m / 2));
    case kWindowTriangular: return (2.0 / n) * (n / 2.0 - std::fabs(x - m / 2));
    case kWindowGauss: {
      const double v = (x - m / 2) / (0.3 * m / 2);
      return std::exp(-0.5 * v * v);
    }
    case kWindowBartlettHann: return 0.62 - 0.48 * std::fabs(x / m - 0.5) - 0.38 * std::cos(2 * kPi * x / m);
    case kWindowBlackman: {
      static constexpr double a[] = {0.42, 0.5, 0.08};
      return CosineSum(a, 3, x, m);
    }
    case kWindowNuttall: {
      static constexpr double a[] = {0.355768, 0.487396, 0.144232, 0.012604};
      return CosineSum(a, 4, x, m);
    }
    case kWindowBlackmanHarris: {
      static constexpr double a[] = {0.35875, 0.48829, 0.14128, 0.01168};
      return CosineSum(a, 4, x, m);
    }
    case kWindowBlackmanNuttall: {
      static constexpr double a[] = {0.3635819, 0.4891755, 0.1365995, 0.0106411};
      return CosineSum(a, 4, x, m);
    }
    case kWindowFlatTop: {
      static constexpr double a[] = {1, 1.93, 1.29, 0.388, 0.032};
      return CosineSum(a, 5, x, m);
    }
    default: return 1.0;
  }
}

// Truncation toward zero that never hits the undefined conversion of a NaN or huge value.
int32_t TruncateToInt(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

int32_t Decibels(float magnitude, float scale) { return TruncateToInt(20.0 * std::log10(magnitude / scale + 1.0)); }

}  // namespace

SpectrumQuery SpectrumQueryFromFlags(int fft_points, int window_type, int flags, int32_t* harmonic_freqs,
                                     int32_t* left_amplitudes, int32_t* right_amplitudes, int32_t* left_phases,
                                     int32_t* right_phases) {
  SpectrumQuery q;
  q.fft_points = fft_points;
  q.window_type = window_type;
  q.harmonic_freqs = (flags & kFftOutHarmonicFreq) ? harmonic_freqs : nullptr;
  q.left_amplitudes = (flags & kFftOutLeftAmplitude) ? left_amplitudes : nullptr;
  q.right_amplitudes = (flags & kFftOutRightAmplitude) ? right_amplitudes : nullptr;
  q.left_phases = (flags & kFftOutLeftPhase) ? left_phases : nullptr;
  q.right_phases = (flags & kFftOutRightPhase) ? right_phases : nullptr;
  return q;
}

void ComputeWindow(int32_t window_type, int n, float* out) {
  for (int i = 0; i < n; ++i) out[i] = static_cast<float>(WindowValue(window_type, i, n));
}

void FillSampleBuffer(const PlaybackView& playback, int channel, const float* window, int n, float* out) {
  int filled = 0;
  const int count = playback.buffer_count;
  if (playback.buffers != nullptr && count > 0) {
    int index = playback.playing_index;
    if (index < 0 || index >= count) index = 0;
    // Whole stereo frames only, and never before the start of the buffer. The device may
    // have finished the recorded buffer before its done notice arrived: the bytes played past
    // its end are the offset into the next one.
    int64_t offset = playback.offset_bytes < 0 ? 0 : playback.offset_bytes & ~int64_t{3};
    for (int visited = 0; visited < count && filled < n; ++visited) {
      const WaveBufferView& buf = playback.buffers[index];
      const uint32_t bytes = (buf.bytes < buf.capacity ? buf.bytes : buf.capacity) & ~3u;
      if (buf.data != nullptr) {
        for (int64_t pos = offset; pos + 4 <= bytes && filled < n; pos += 4) {
          out[filled] = LoadSharedSample(buf.data + pos + 2 * channel) * window[filled];
          ++filled;
        }
      }
      offset = offset > bytes ? offset - bytes : 0;
      index = index + 1 == count ? 0 : index + 1;
    }
  }
  for (; filled < n; ++filled) out[filled] = 0.0f;
}

void Spectrum::Release() {
  samples_ = {};
  window_ = {};
  RealFft(0, kFftForward, nullptr, &tables_);
  size_ = 0;
  window_valid_ = false;
}

bool Spectrum::Allocate(int n) {
  try {
    samples_.assign(static_cast<size_t>(n), 0.0f);
    window_.assign(static_cast<size_t>(n), 0.0f);
    tables_ = FftWorkTables{};
  } catch (const std::bad_alloc&) {
    Release();
    return false;
  }
  size_ = n;
  window_valid_ = false;
  return true;
}

void Spectrum::Analyse(const PlaybackView& playback, int channel, int32_t* amplitudes, int32_t* phases) {
  const int n = size_;
  FillSampleBuffer(playback, channel, window_.data(), n, samples_.data());
  RealFft(n, kFftForward, samples_.data(), &tables_);
  const float* d = samples_.data();
  if (amplitudes != nullptr) {
    const float s = std::sqrt(static_cast<float>(n));
    amplitudes[0] = Decibels(std::fabs(d[0]), s);
    amplitudes[n / 2] = Decibels(std::fabs(d[1]), s);
    for (int i = 1; i < n / 2; ++i)
      amplitudes[i] = Decibels(std::sqrt(d[2 * i] * d[2 * i] + d[2 * i + 1] * d[2 * i + 1]), s);
  }
  if (phases != nullptr) {
    phases[0] = 0;
    phases[n / 2] = 0;
    for (int i = 1; i < n / 2; ++i) {
      const double re = d[2 * i], im = d[2 * i + 1];
      // Silence gives 0/0; the one-argument arctangent then has no angle to report.
      phases[i] = (re == 0 && im == 0) ? 0 : TruncateToInt(std::atan(im / re) * 57.29577951308232);
    }
  }
}

int Spectrum::GetValues(SpectrumQuery* query, const PlaybackView& playback, std::string* error) {
  if (query == nullptr) {
    Release();
    return 1;
  }
  const int n = query->fft_points;
  if (size_ == 0 || n != size_) {
    Release();
    if (!IsAcceptedSize(n)) {
      if (error) *error = kBadSizeMessage;
      return 0;
    }
    if (!Allocate(n)) {
      if (error) *error = "GetFFTValues->Memory allocation error !";
      return 0;
    }
  }
  const int harmonics = n / 2 + 1;
  query->harmonic_count = harmonics;
  if (query->harmonic_freqs != nullptr) {
    const float step = static_cast<float>(static_cast<double>(playback.sample_rate) / n);
    query->harmonic_freqs[0] = 0;
    for (int i = 1; i < harmonics; ++i)
      query->harmonic_freqs[i] = TruncateToInt(step + step * static_cast<float>(i - 1));
  }
  if (!window_valid_ || query->window_type != window_type_) {
    ComputeWindow(query->window_type, n, window_.data());
    window_type_ = query->window_type;
    window_valid_ = true;
  }
  int32_t* outputs[] = {query->left_amplitudes, query->right_amplitudes, query->left_phases, query->right_phases};
  if (!playback.playing) {
    for (int32_t* out : outputs)
      if (out != nullptr) std::memset(out, 0, sizeof(int32_t) * static_cast<size_t>(harmonics));
    return 1;
  }
  if (query->left_amplitudes != nullptr || query->left_phases != nullptr)
    Analyse(playback, 0, query->left_amplitudes, query->left_phases);
  if (query->right_amplitudes != nullptr || query->right_phases != nullptr)
    Analyse(playback, 1, query->right_amplitudes, query->right_phases);
  return 1;
}

}  // namespace dsp
