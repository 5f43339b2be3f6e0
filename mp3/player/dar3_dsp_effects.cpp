// The equalizers, the echo processor and the spectrum: the interface operations and the
// decoding thread's stages, over the signal-processing library of mp3/dsp when it is in the
// build. Without it the operations say so and the stages stay off.
#include <algorithm>
#include <cstring>
#include <string>

#include "mp3/player/dar3_player.h"

#if DAR3_WITH_DSP

namespace {
// Stores the library's message as the player's last error when the operation failed.
int Report(DAr3* player, int result, const std::string& error) {
  if (!result && !error.empty()) player->SetError(error.c_str());
  return result;
}
}  // namespace

int DAr3::EnableEQ(int enable, int fft_eq) {
  platform::MutexLock hold(equalizer_calls_lock_);
  std::string error;
  const int result = equalizers_.EnableEQ(enable, fft_eq, &error);
  if (result) {
    if (fft_eq)
      effects_.fft_eq_on = enable ? 1 : 0;
    else
      effects_.subband_eq_on = equalizers_.SubbandEnabled() ? 1 : 0;
  }
  return Report(this, result, error);
}

int DAr3::CreateEqBands(const int* edge_freqs, int edge_count) {
  // The new tables replace buffers the decoding thread filters with: end the run first.
  // Holding the launch claim, no other thread starts one until the tables are made.
  if (!StopHoldingLaunch(
          "CreateEqBands",
          "CreateEqBands->Can't change the bands inside a synchronous callback of the run still playing !"))
    return 0;
  std::string error;
  int result = 0;
  {
    platform::MutexLock hold(equalizer_calls_lock_);
    result = equalizers_.CreateEqBands(edge_freqs, edge_count, &error);
  }
  runs_.DropClaim();
  return Report(this, result, error);
}

int DAr3::GetEqBands(int* edge_freqs) { return equalizers_.GetEqBands(edge_freqs); }

int DAr3::SetEQParam(int fft_eq, int preamp, const int* gains, int gain_count) {
  platform::MutexLock hold(equalizer_calls_lock_);
  return equalizers_.SetEQParam(fft_eq, preamp, gains, gain_count);
}

int DAr3::SetEQParamEx(int fft_eq, int preamp, const int* gains, int gain_count) {
  platform::MutexLock hold(equalizer_calls_lock_);
  return equalizers_.SetEQParamEx(fft_eq, preamp, gains, gain_count);
}

int DAr3::GetEQParam(int fft_eq, int* preamp, int* gains) { return equalizers_.GetEQParam(fft_eq, preamp, gains); }

int DAr3::GetEQParamEx(int fft_eq, int* preamp, int* gains) { return equalizers_.GetEQParamEx(fft_eq, preamp, gains); }

int DAr3::SetSfxParam(int enable, int mode, int delay_ms, int input_gain, int echo_gain, int output_gain) {
  std::string error;
  const int result = dsp::SetSfxParam(&echo_, enable, mode, delay_ms, input_gain, echo_gain, output_gain, &error);
  effects_.echo_on = echo_.enabled.load();
  {
    std::lock_guard<std::recursive_mutex> hold(echo_.lock);
    effects_.echo_mode = echo_.mode;
  }
  return Report(this, result, error);
}

int DAr3::GetSfxParam(int* mode, int* delay_ms, int* input_gain, int* echo_gain, int* output_gain) {
  std::string error;
  std::lock_guard<std::recursive_mutex> hold(echo_.lock);
  return Report(this, dsp::GetSfxParam(echo_, mode, delay_ms, input_gain, echo_gain, output_gain, &error), error);
}

int DAr3::SetSfxModeData(int mode, const int* left, const int* right, int weight_count) {
  std::string error;
  return Report(this, dsp::SetSfxModeData(&echo_, mode, left, right, weight_count, &error), error);
}

int DAr3::GetSfxModeData(int mode, int* left, int* right) { return dsp::GetSfxModeData(mode, left, right); }

// The spectrum's window numbers and output bits are the public ones.
static_assert(dsp::kWindowRectangular == WINDOW_RECTANGULAR && dsp::kWindowHamming == WINDOW_HAMMING &&
              dsp::kWindowHann == WINDOW_HANN && dsp::kWindowCosine == WINDOW_COSINE &&
              dsp::kWindowLanczos == WINDOW_LANCZOS && dsp::kWindowBartlett == WINDOW_BARTLETT &&
              dsp::kWindowTriangular == WINDOW_TRIANGULAR && dsp::kWindowGauss == WINDOW_GAUSS &&
              dsp::kWindowBartlettHann == WINDOW_BARTLETT_HANN && dsp::kWindowBlackman == WINDOW_BLACKMAN &&
              dsp::kWindowNuttall == WINDOW_NUTTALL && dsp::kWindowBlackmanHarris == WINDOW_BLACKMAN_HARRIS &&
              dsp::kWindowBlackmanNuttall == WINDOW_BLACKMAN_NUTTALL && dsp::kWindowFlatTop == WINDOW_FLAT_TOP);
static_assert(dsp::kFftOutHarmonicCount == FFT_OUT_HARMONIC_COUNT &&
              dsp::kFftOutHarmonicFreq == FFT_OUT_HARMONIC_FREQ &&
              dsp::kFftOutLeftAmplitude == FFT_OUT_LEFT_AMPLITUDE &&
              dsp::kFftOutRightAmplitude == FFT_OUT_RIGHT_AMPLITUDE && dsp::kFftOutLeftPhase == FFT_OUT_LEFT_PHASE &&
              dsp::kFftOutRightPhase == FFT_OUT_RIGHT_PHASE);
static_assert(sizeof(dsp::SpectrumQuery) == sizeof(FFT_STRUCT));

int DAr3::GetFFTValues(FFT_STRUCT* fft) {
  std::string error;
  if (!fft) return spectrum_.GetValues(nullptr, dsp::PlaybackView{}, &error);
  // The ring is freed and made again only under the lock, by Open and Close.
  platform::MutexLock hold(lock_);
  // Where the device is: the buffer the last done notice points at, and how far into it.
  std::vector<dsp::WaveBufferView> buffers(wave_.GetBufferCount());
  for (uint32_t i = 0; i < buffers.size(); ++i) {
    buffers[i].data = reinterpret_cast<const uint8_t*>(wave_.GetBufferData(i));
    buffers[i].capacity = wave_.GetBufferSize();
    buffers[i].bytes = wave_.GetBufferLength(i);
  }
  dsp::PlaybackView view;
  view.playing = IsOpen() && state_.playing && !buffers.empty();
  view.sample_rate = format_.sample_rate;
  view.buffers = buffers.data();
  view.buffer_count = static_cast<int>(buffers.size());
  view.playing_index = static_cast<int>(state_.next_index.load());
  view.offset_bytes = PlayedIntoRecordedBuffer();
  dsp::SpectrumQuery query;
  query.fft_points = fft->fft_points;
  query.window_type = fft->window_type;
  query.harmonic_freqs = fft->harmonic_freqs;
  query.left_amplitudes = fft->left_amplitudes;
  query.right_amplitudes = fft->right_amplitudes;
  query.left_phases = fft->left_phases;
  query.right_phases = fft->right_phases;
  const int result = spectrum_.GetValues(&query, view, &error);
  fft->harmonic_count = query.harmonic_count;
  return Report(this, result, error);
}

void DAr3::FrameStageSubbandEq(mad_frame* frame) { equalizers_.ApplySubbandGains(frame); }

void DAr3::BlockStageEcho(char* block, uint32_t bytes) {
  dsp::EchoProcessBlock(&echo_, reinterpret_cast<int16_t*>(block), static_cast<int32_t>(bytes));
}

uint32_t DAr3::BlockStageFftEq(char* block, uint32_t bytes) {
  if (equalizers_.FftActive()) {
    eq_used_ = true;
    equalizers_.ProcessBlock(reinterpret_cast<int16_t*>(block), static_cast<int>(bytes / 4));
    // The filter's delay: what comes out first is older than the stream's start.
    if (eq_drop_bytes_ > 0) {
      if (bytes < eq_drop_bytes_) {
        eq_drop_bytes_ -= bytes;
        return 0;
      }
      std::memmove(block, block + eq_drop_bytes_, bytes - eq_drop_bytes_);
      bytes -= eq_drop_bytes_;
      eq_drop_bytes_ = 0;
    }
    return bytes;
  }
  if (!eq_used_) return bytes;
  // Switched off while playing: play the filter's tail (flushed with silence) before the
  // unfiltered block, which waits where it is while the tail is composed aside.
  eq_used_ = false;
  char* tail = gapless_buffer_.data();
  uint32_t drain = eq_latency_bytes_;
  while (drain > 0) {
    if (!state_.playing) return 0;
    std::memset(tail, 0, bytes);
    equalizers_.ProcessBlock(reinterpret_cast<int16_t*>(tail), static_cast<int>(bytes / 4));
    const uint32_t part = std::min(bytes, drain);
    if (!WriteBlock(tail, part)) return 0;
    drain -= part;
  }
  eq_drop_bytes_ = eq_latency_bytes_;
  return bytes;
}

void DAr3::StageResetAtStart() {
  {
    std::lock_guard<std::recursive_mutex> hold(echo_.lock);
    if (echo_.enabled.load()) dsp::ClearEchoHistory(&echo_);
  }
  if (equalizers_.FftActive()) equalizers_.ResetFftState();
}

bool DAr3::StagePrepareAtOpen() {
  std::string error;
  if (!dsp::EchoStreamOpened(&echo_, static_cast<int32_t>(wave_.GetBufferSize()), &error)) {
    effects_.echo_on = 0;
    SetError(error.c_str());
    return false;
  }
  equalizers_.SetStreamSampleRate(format_.sample_rate);
  eq_latency_bytes_ = static_cast<uint32_t>(equalizers_.LatencyBytes());
  return true;
}

void DAr3::StageDrainAtEnd() {
  // The tail still inside the filter, flushed with silence.
  const StreamFormat& f = run_format_;
  const uint32_t block = std::min(f.frames_per_buffer * f.samples_per_frame * 4, wave_.GetBufferSize() & ~3u);
  uint32_t drain = std::min<uint64_t>(eq_latency_bytes_, uint64_t(frames_this_run_) * f.samples_per_frame * 4);
  WaitForBuffer(current_index_);
  while (drain > 0 && state_.playing) {
    char* current = work_block_.data();
    std::memset(current, 0, block);
    equalizers_.ProcessBlock(reinterpret_cast<int16_t*>(current), static_cast<int>(block / 4));
    const uint32_t part = std::min(drain, block);
    if (!WriteBlock(current, part)) break;
    drain -= part;
  }
  eq_used_ = false;
}

#else

int DAr3::EnableEQ(int, int) { return NotAvailable("EnableEQ"); }
int DAr3::CreateEqBands(const int*, int) { return NotAvailable("CreateEqBands"); }
int DAr3::GetEqBands(int*) { return NotAvailable("GetEqBands"); }
int DAr3::SetEQParam(int, int, const int*, int) { return NotAvailable("SetEQParam"); }
int DAr3::SetEQParamEx(int, int, const int*, int) { return NotAvailable("SetEQParamEx"); }
int DAr3::GetEQParam(int, int*, int*) { return NotAvailable("GetEQParam"); }
int DAr3::GetEQParamEx(int, int*, int*) { return NotAvailable("GetEQParamEx"); }
int DAr3::SetSfxParam(int, int, int, int, int, int) { return NotAvailable("SetSfxParam"); }
int DAr3::GetSfxParam(int*, int*, int*, int*, int*) { return NotAvailable("GetSfxParam"); }
int DAr3::SetSfxModeData(int, const int*, const int*, int) { return NotAvailable("SetSfxModeData"); }
int DAr3::GetSfxModeData(int, int*, int*) { return NotAvailable("GetSfxModeData"); }
int DAr3::GetFFTValues(FFT_STRUCT*) { return NotAvailable("GetFFTValues"); }

void DAr3::FrameStageSubbandEq(mad_frame*) {}
void DAr3::BlockStageEcho(char*, uint32_t) {}
uint32_t DAr3::BlockStageFftEq(char*, uint32_t bytes) { return bytes; }
void DAr3::StageResetAtStart() {}
bool DAr3::StagePrepareAtOpen() {
  eq_latency_bytes_ = 0;
  return true;
}
void DAr3::StageDrainAtEnd() { eq_used_ = false; }

#endif
