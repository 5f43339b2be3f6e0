#include "mp3/dsp/equalizers.h"

#include <system_error>

namespace dsp {

Equalizers::Equalizers() { EqInitTables(&fft_, kEqBits); }

Equalizers::~Equalizers() {
  StopWorker();
  EqFreeTables(&fft_);
}

void Equalizers::StopWorker() {
  if (worker_.joinable()) {
    // A design takes milliseconds; ask the worker to quit and wait for it.
    queue_.Post(platform::kThreadQuit);
    worker_.join();
  }
  queue_.Clear();
  fft_active_.store(0, std::memory_order_release);
}

void Equalizers::Rebuild() {
  // The rate is read under the lock, so a design for an older stream cannot land after the
  // one _Open made for the new stream.
  std::lock_guard<std::mutex> hold(rebuild_lock_);
  const uint32_t rate = stream_rate_.load(std::memory_order_acquire);
  std::vector<float> left, right;
  EqCopyFactors(bands_, &left, &right);
  EqBuildResponse(&fft_, left, right, static_cast<int32_t>(rate));
  filter_rate_.store(rate, std::memory_order_release);
}

void Equalizers::WorkerLoop() {
  control_.Set();
  platform::ThreadMessage msg;
  while (queue_.Get(&msg)) {
    if (msg.message != kEqMsgRebuild) continue;
    Rebuild();
    // Active even after a design at rate 0: _Open redesigns once the real rate is known.
    fft_active_.store(1, std::memory_order_release);
    designs_.fetch_add(1, std::memory_order_acq_rel);
  }
}

void Equalizers::PostRebuildIfActive() {
  if (FftActive()) queue_.Post(kEqMsgRebuild);
}

int Equalizers::EnableEQ(int enable, int fft_eq, std::string* error) {
  if (fft_eq == 0) {
    subband_.enabled.store(enable ? 1 : 0, std::memory_order_relaxed);
    return 1;
  }
  if (!enable) {
    StopWorker();
    return 1;
  }
  if (worker_.joinable()) return 1;  // already running: a second worker would race the first
  control_.Reset();
  queue_.Clear();
  try {
    worker_ = std::thread(&Equalizers::WorkerLoop, this);
  } catch (const std::system_error&) {
    if (error) *error = "EnableEQ->Can't create  thread. Please try again !";
    return 0;
  }
  control_.Wait();
  EqResetState(&fft_);
  queue_.Post(kEqMsgRebuild);
  return 1;
}

int Equalizers::CreateEqBands(const int* edge_freqs, int edge_count, std::string* error) {
  {
    // Factors and design frequencies change as one: a design in between would pair one
    // table's factors with the other's frequencies. Same lock order as Rebuild.
    std::lock_guard<std::mutex> rebuild(rebuild_lock_);
    if (!EqReplaceBands(&bands_, edge_freqs, edge_count, error)) return 0;
    std::lock_guard<std::mutex> hold(fft_.design_lock);
    fft_.supplied_freqs = EqDesignFrequencies(bands_.edges);
    fft_.has_supplied = true;
    if (!EqInitTables(&fft_, kEqBits)) {
      if (error) *error = "CreateEqBands->Memory allocation error !";
      return 0;
    }
  }
  EqResetState(&fft_);
  PostRebuildIfActive();
  return 1;
}

int Equalizers::GetEqBands(int* edge_freqs) const { return EqGetBands(bands_, edge_freqs); }

int Equalizers::SetEQParam(int fft_eq, int preamp, const int* gains, int gain_count) {
  if (fft_eq == 0) {
    SubbandSetParam(&subband_, preamp, gains);
    return 1;
  }
  EqSetFftGains(&bands_, preamp, gains, gain_count, false);
  PostRebuildIfActive();
  return 1;
}

int Equalizers::SetEQParamEx(int fft_eq, int preamp, const int* gains, int gain_count) {
  if (fft_eq == 0) {
    SubbandSetParamEx(&subband_, preamp, gains);
    return 1;
  }
  EqSetFftGains(&bands_, preamp, gains, gain_count, true);
  PostRebuildIfActive();
  return 1;
}

int Equalizers::GetEQParam(int fft_eq, int* preamp, int* gains) const {
  return fft_eq ? EqGetFftGains(bands_, false, preamp, gains) : SubbandGetParam(subband_, false, preamp, gains);
}

int Equalizers::GetEQParamEx(int fft_eq, int* preamp, int* gains) const {
  return fft_eq ? EqGetFftGains(bands_, true, preamp, gains) : SubbandGetParam(subband_, true, preamp, gains);
}

void Equalizers::SetStreamSampleRate(uint32_t rate) {
  stream_rate_.store(rate, std::memory_order_release);
  if (FftActive() && rate != FilterRate()) {
    Rebuild();
    EqResetState(&fft_);
    designs_.fetch_add(1, std::memory_order_acq_rel);
  }
}

}  // namespace dsp
