#pragma once
// Both equalizers of one player with the FFT equalizer's design worker: the state DAr3 embeds
// and the operations its interface forwards to.
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "mp3/dsp/eq_bands.h"
#include "mp3/dsp/fft_eq.h"
#include "mp3/dsp/subband_eq.h"
#include "platform/sync.h"

struct mad_frame;

namespace dsp {

constexpr uint32_t kEqMsgRebuild = 0x0400 + 1;  // EQ_MSG_REBUILD, WM_USER + 1

class Equalizers {
 public:
  Equalizers();
  ~Equalizers();  // ends the worker, then frees the tables
  Equalizers(const Equalizers&) = delete;
  Equalizers& operator=(const Equalizers&) = delete;

  // The interface operations. Failures return 0 with the message in *error.
  int EnableEQ(int enable, int fft_eq, std::string* error);
  // The caller stops playback first: this reallocates what the decoding thread uses.
  int CreateEqBands(const int* edge_freqs, int edge_count, std::string* error);
  int GetEqBands(int* edge_freqs) const;
  int SetEQParam(int fft_eq, int preamp, const int* gains, int gain_count);
  int SetEQParamEx(int fft_eq, int preamp, const int* gains, int gain_count);
  int GetEQParam(int fft_eq, int* preamp, int* gains) const;
  int GetEQParamEx(int fft_eq, int* preamp, int* gains) const;

  // _Open: the new stream's rate (0 when closed). Redesigns at once when the FFT equalizer is
  // active and the filter was made for another rate.
  void SetStreamSampleRate(uint32_t rate);
  int32_t LatencyBytes() const { return EqLatencyFrames(fft_) * 4; }

  // Decoding thread.
  bool SubbandEnabled() const { return subband_.enabled.load(std::memory_order_relaxed) != 0; }
  bool FftActive() const { return fft_active_.load(std::memory_order_acquire) != 0; }
  void ApplySubbandGains(mad_frame* frame) const { dsp::ApplySubbandGains(subband_, frame); }
  void ResetFftState() { EqResetState(&fft_); }
  int ProcessBlock(int16_t* samples, int frame_count) { return EqProcessBlock(&fft_, samples, frame_count, 2, 16); }

  bool WorkerRunning() const { return worker_.joinable(); }
  uint32_t FilterRate() const { return filter_rate_.load(std::memory_order_acquire); }
  // Designs finished so far (worker and _Open), so callers can tell when a change is in.
  uint32_t DesignCount() const { return designs_.load(std::memory_order_acquire); }
  const FftEqualizer& fft() const { return fft_; }

 private:
  void StopWorker();
  void WorkerLoop();
  void Rebuild();
  void PostRebuildIfActive();

  SubbandEqualizer subband_;
  EqBandConfig bands_;
  FftEqualizer fft_;
  std::atomic<int32_t> fft_active_{0};
  std::atomic<uint32_t> filter_rate_{0};
  std::atomic<uint32_t> stream_rate_{0};
  std::atomic<uint32_t> designs_{0};
  std::mutex rebuild_lock_;  // a design and a band table replacement exclude each other
  std::thread worker_;
  platform::ThreadMessageQueue queue_;
  platform::Event control_{true, false};
};

}  // namespace dsp
