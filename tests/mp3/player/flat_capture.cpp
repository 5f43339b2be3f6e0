#include "tests/mp3/player/flat_capture.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include "tests/support/tool_runner.h"
#include "tests/support/wav.h"

namespace {

struct Sink {
  std::mutex lock;
  std::condition_variable stopped_changed;
  std::vector<int16_t> samples;
  bool stopped = false;
} sink;

int32_t Collect(uint32_t message, intptr_t wparam, intptr_t lparam) {
  std::lock_guard<std::mutex> hold(sink.lock);
  if (message == MP3_EVENT_WAVE_BUFFER) {
    const auto* block = reinterpret_cast<const int16_t*>(wparam);
    sink.samples.insert(sink.samples.end(), block, block + lparam / 2);
  } else if (message == MP3_EVENT_STOP) {
    sink.stopped = true;
    sink.stopped_changed.notify_all();
  }
  return 1;
}

}  // namespace

FlatCapture::FlatCapture() : handle_(Mp3_Initialize()) {
  Mp3_SetCallbackFunc(handle_, &Collect, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP);
}

FlatCapture::~FlatCapture() { Mp3_Destroy(handle_); }

std::vector<int16_t> FlatCapture::Run(const std::function<int(MP3_HANDLE)>& start) {
  {
    std::lock_guard<std::mutex> hold(sink.lock);
    sink.samples.clear();
    sink.stopped = false;
  }
  if (!(start ? start(handle_) : Mp3_Play(handle_))) return {};
  std::unique_lock<std::mutex> hold(sink.lock);
  if (!sink.stopped_changed.wait_for(hold, std::chrono::seconds(30), [] { return sink.stopped; })) return {};
  return std::move(sink.samples);
}

std::string FlatCapture::Error() const {
  char text[600] = {};
  Mp3_GetError(handle_, text, int(sizeof text));
  return text;
}

std::vector<int16_t> DecodeFileFlat(const std::string& path, bool gapless, std::string* error) {
  FlatCapture capture;
  Mp3_SetGapless(capture.handle(), gapless ? 1 : 0);
  std::vector<int16_t> samples;
  if (Mp3_OpenFile(capture.handle(), path.c_str(), 0, 0, 0)) samples = capture.Run();
  if (samples.empty() && error) *error = capture.Error();
  return samples;
}

std::string EncodeTone(const test_support::ScratchDir& dir, const std::string& name, double seconds, int rate,
                       const std::string& options, std::vector<int16_t>* input) {
  Wav wav;
  wav.sample_rate = uint32_t(rate);
  wav.channels = 2;
  const size_t frames = size_t(seconds * rate);
  for (size_t i = 0; i < frames; ++i) {
    const double t = double(i) / rate;
    wav.samples.push_back(int16_t(9000 * std::sin(2 * M_PI * 440 * t) + 3000 * std::sin(2 * M_PI * 1500 * t)));
    wav.samples.push_back(int16_t(9000 * std::sin(2 * M_PI * 660 * t) + 3000 * std::sin(2 * M_PI * 97 * t * (1 + t))));
  }
  const std::string source = (dir / (name + ".wav")).string();
  std::string out = (dir / name).string();
  if (!WriteWav(source, wav)) return "";
  if (RunCommand("lame --quiet " + options + " " + Quote(source) + " " + Quote(out)).status != 0) return "";
  if (input) *input = std::move(wav.samples);
  return out;
}
