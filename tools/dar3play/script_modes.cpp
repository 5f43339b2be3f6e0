#include "tools/dar3play/script_modes.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "tools/dar3play/callback_router.h"
#include "tools/dar3play/effect_options.h"
#include "tools/dar3play/interrupt.h"
#include "tools/dar3play/player.h"
#include "tools/dar3play/track_info.h"
#include "tools/dar3play/wav_writer.h"

namespace {

// Block answers of MP3_EVENT_WAVE_BUFFER.
constexpr int32_t kBlockConsumed = 1;
constexpr int32_t kStopPlaying = 2;

// Collects the decoded blocks into the WAV file until the decoding thread stops.
class WavSink {
 public:
  explicit WavSink(WavWriter* writer) : writer_(writer) {}

  int32_t OnEvent(uint32_t message, intptr_t wparam, intptr_t lparam) {
    std::lock_guard<std::mutex> hold(lock_);
    if (message == MP3_EVENT_WAVE_BUFFER) {
      if (wparam && lparam > 0 && !writer_->Write(reinterpret_cast<const void*>(wparam), size_t(lparam))) {  // NOLINT(performance-no-int-to-ptr): the block's address
        write_failed_ = true;
        return kStopPlaying;
      }
      return kBlockConsumed;
    }
    if (message == MP3_EVENT_STOP) {
      stopped_ = true;
      wake_.notify_all();
    }
    return 0;
  }

  // Waits for the stop notice; the status poll covers a run that ended before any notice.
  void WaitForStop(MP3_HANDLE player) {
    std::unique_lock<std::mutex> hold(lock_);
    while (!stopped_) {
      wake_.wait_for(hold, std::chrono::milliseconds(50));
      if (stopped_ || Interrupted()) break;
      hold.unlock();
      MP3_STATUS status{};
      const bool ended = Mp3_GetStatus(player, &status) && !status.playing;
      hold.lock();
      if (ended) break;
    }
  }

  bool write_failed() {
    std::lock_guard<std::mutex> hold(lock_);
    return write_failed_;
  }

 private:
  WavWriter* writer_;
  std::mutex lock_;
  std::condition_variable wake_;
  bool stopped_ = false;
  bool write_failed_ = false;
};

}  // namespace

void ReportError(const std::string& text) { std::fprintf(stderr, "dar3play: %s\n", text.c_str()); }

int RunInfo(const Options& options) {
  int status = 0;
  // Several files in JSON form one array, so the output stays one JSON document.
  const bool json_array = options.json && options.files.size() > 1;
  bool first = true;
  if (json_array) std::fputs("[\n", stdout);
  for (const std::string& path : options.files) {
    Player player;
    // The no-output mode opens no device, so --info works without a sound card.
    if (!player.Open(path, 0, options.stream)) {
      ReportError(player.failure());
      status = 1;
      continue;
    }
    const TrackInfo info = ReadTrackInfo(player.handle(), path);
    if (!first) std::fputs(json_array ? ",\n" : "\n", stdout);
    first = false;
    std::string text = options.json ? InfoAsJson(info) : InfoAsText(info);
    if (json_array) text.pop_back();  // the separator goes between the objects
    std::fputs(text.c_str(), stdout);
  }
  if (json_array) std::fputs("\n]\n", stdout);
  return status;
}

int RunDecode(const Options& options) {
  CatchInterrupts();
  const std::string& path = options.files.front();
  Player player;
  WavWriter writer;
  WavSink sink(&writer);
  SetPlayerEventHandler([&sink](uint32_t m, intptr_t w, intptr_t l) { return sink.OnEvent(m, w, l); });
  auto fail = [&](const std::string& text) {
    Mp3_SetCallbackFunc(player.handle(), nullptr, 0);
    SetPlayerEventHandler(nullptr);
    ReportError(text);
    return 1;
  };
  if (!player.Open(path, 0, options.stream)) return fail(player.failure());
  if (!player.Check(Mp3_SetCallbackFunc(player.handle(), RoutePlayerEvent,
                                        MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP))) {
    return fail(path + ": " + player.failure());
  }
  if (!ApplyEffectOptions(options, &player)) return fail(path + ": " + player.failure());
  MP3_STREAM_INFO format{};
  if (!player.Check(Mp3_GetMp3Info(player.handle(), &format))) return fail(path + ": " + player.failure());
  // The player always hands out 16-bit stereo, whatever the stream's channels.
  if (!writer.Open(options.wav_out, uint32_t(format.sample_rate), 2)) {
    return fail(options.wav_out + ": can't create the file");
  }
  // From here on a failure must not leave a half-written file behind.
  auto fail_and_remove = [&](const std::string& text) {
    const int status = fail(text);
    std::remove(options.wav_out.c_str());
    return status;
  };
  if (!player.Check(Mp3_Play(player.handle()))) return fail_and_remove(path + ": " + player.failure());
  sink.WaitForStop(player.handle());
  Mp3_Stop(player.handle());
  Mp3_SetCallbackFunc(player.handle(), nullptr, 0);
  SetPlayerEventHandler(nullptr);
  if (Interrupted()) {
    std::remove(options.wav_out.c_str());
    ReportError(options.wav_out + ": interrupted, nothing written");
    return kInterruptedStatus;
  }
  if (sink.write_failed() || !writer.Finish()) {
    ReportError(options.wav_out + ": write failed");
    std::remove(options.wav_out.c_str());
    return 1;
  }
  // What was read is written; the file says so by the status.
  const std::string problem = player.StreamProblem();
  if (!problem.empty()) {
    ReportError(problem);
    return 1;
  }
  return 0;
}
