#include "tools/dar3play/script_modes.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <vector>

#include "tools/dar3play/callback_router.h"
#include "tools/dar3play/effect_options.h"
#include "tools/dar3play/interrupt.h"
#include "tools/dar3play/net/stream_notes.h"
#include "tools/dar3play/player.h"
#include "tools/dar3play/printable_text.h"
#include "tools/dar3play/replay_gain.h"
#include "tools/dar3play/stream_source.h"
#include "tools/dar3play/track_info.h"
#include "tools/dar3play/wav_writer.h"

namespace {

// Block answers of MP3_EVENT_WAVE_BUFFER.
constexpr int32_t kBlockConsumed = 1;
constexpr int32_t kStopPlaying = 2;
// How long --info waits for a radio's title on the air: its first metadata block comes after
// 8000 to 16000 bytes of audio at the usual intervals, a second or so of a 128 kbit/s station.
constexpr std::chrono::milliseconds kFirstTitleWait{5000};

// Collects the decoded blocks into the WAV file until the decoding thread stops.
class WavSink {
 public:
  explicit WavSink(WavWriter* writer) : writer_(writer) {}
  // Scales every sample from now on (ReplayGain); 1 writes the blocks as they come.
  void SetGain(double gain) {
    std::lock_guard<std::mutex> hold(lock_);
    gain_ = gain;
  }

  int32_t OnEvent(uint32_t message, intptr_t wparam, intptr_t lparam) {
    std::lock_guard<std::mutex> hold(lock_);
    if (message == MP3_EVENT_WAVE_BUFFER) {
      if (wparam && lparam > 0 &&
          !Write(reinterpret_cast<const int16_t*>(wparam),  // NOLINT(performance-no-int-to-ptr)
                 size_t(lparam))) {
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
  bool Write(const int16_t* block, size_t bytes) {
    const size_t samples = bytes / sizeof(int16_t);
    return writer_->Write(WithGain(block, samples, gain_, &scaled_), samples * sizeof(int16_t));
  }

  WavWriter* writer_;
  double gain_ = 1.0;
  std::vector<int16_t> scaled_;
  std::mutex lock_;
  std::condition_variable wake_;
  bool stopped_ = false;
  bool write_failed_ = false;
};

}  // namespace

void ReportError(const std::string& text) { std::fprintf(stderr, "dar3play: %s\n", text.c_str()); }

int RunInfo(const Options& options, const std::vector<PlaylistEntry>& entries) {
  int status = 0;
  // Several files in JSON form one array, so the output stays one JSON document.
  const bool json_array = options.json && entries.size() > 1;
  bool first = true;
  if (json_array) std::fputs("[\n", stdout);
  for (const PlaylistEntry& entry : entries) {
    const std::string& path = entry.location;
    Player player;
    player.SetGapless(options.gapless);
    // The no-output mode opens no device, so --info works without a sound card.
    if (!player.Open(path, 0, options.stream)) {
      ReportError(player.failure());
      status = 1;
      continue;
    }
    TrackInfo info = ReadTrackInfo(player.handle(), path);
    info.replay_gain = player.replay_gain();
    // A web address was read only as far as its first frames: a radio would never end. Its
    // title on the air comes in the first metadata block, which may lie past them.
    if (const auto notes = player.stream_notes()) {
      notes->WaitForMetadata(kFirstTitleWait);
      info.web = notes->Facts();
    }
    if (!first) std::fputs(json_array ? ",\n" : "\n", stdout);
    first = false;
    std::string text = options.json ? InfoAsJson(info) : Printable(InfoAsText(info), LocaleIsUtf8(), true);
    if (json_array) text.pop_back();  // the separator goes between the objects
    std::fputs(text.c_str(), stdout);
  }
  if (json_array) std::fputs("\n]\n", stdout);
  return status;
}

namespace {

// Decodes one entry to the end into the writer, which is opened at the first entry's rate.
// Returns false when the entry is left out; *fatal is set when the whole decode must stop, *live
// when the entry is a live stream, which never ends by itself.
bool DecodeEntry(const Options& options, const std::string& path, WavWriter* writer, uint32_t* rate, bool* fatal,
                 bool* live) {
  *live = false;
  Player player;
  player.SetGapless(options.gapless);
  WavSink sink(writer);
  SetPlayerEventHandler([&sink](uint32_t m, intptr_t w, intptr_t l) { return sink.OnEvent(m, w, l); });
  auto fail = [&](const std::string& text) {
    Mp3_SetCallbackFunc(player.handle(), nullptr, 0);
    SetPlayerEventHandler(nullptr);
    ReportError(text);
    return false;
  };
  if (!player.Open(path, 0, options.stream)) return fail(player.failure());
  if (const auto notes = player.stream_notes()) *live = notes->Facts().live;
  sink.SetGain(ReplayGainFactor(player.replay_gain(), options.replay_gain));
  if (!player.Check(Mp3_SetCallbackFunc(player.handle(), RoutePlayerEvent, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP))) {
    return fail(SourceName(path) + ": " + player.failure());
  }
  if (!ApplyEffectOptions(options, &player)) return fail(SourceName(path) + ": " + player.failure());
  MP3_STREAM_INFO format{};
  if (!player.Check(Mp3_GetMp3Info(player.handle(), &format))) return fail(SourceName(path) + ": " + player.failure());
  if (*rate == 0) {
    // The player always hands out 16-bit stereo, whatever the stream's channels.
    if (!writer->Open(options.wav_out, uint32_t(format.sample_rate), 2)) {
      *fatal = true;
      return fail(options.wav_out + ": can't create the file");
    }
    *rate = uint32_t(format.sample_rate);
  } else if (uint32_t(format.sample_rate) != *rate) {
    // One WAV has one rate; resampling is not this tool's job.
    return fail(SourceName(path) + ": " + std::to_string(format.sample_rate) + " Hz differs from the first input's " +
                std::to_string(*rate) + " Hz; left out");
  }
  if (!player.Check(Mp3_Play(player.handle()))) return fail(SourceName(path) + ": " + player.failure());
  sink.WaitForStop(player.handle());
  Mp3_Stop(player.handle());
  Mp3_SetCallbackFunc(player.handle(), nullptr, 0);
  SetPlayerEventHandler(nullptr);
  if (Interrupted()) return false;
  if (sink.write_failed()) {
    *fatal = true;
    ReportError(options.wav_out + ": write failed");
    return false;
  }
  // What was read is written; the exit status says the rest is missing.
  const std::string problem = player.StreamProblem();
  if (!problem.empty()) {
    ReportError(problem);
    return false;
  }
  return true;
}

}  // namespace

int RunDecode(const Options& options, const std::vector<PlaylistEntry>& entries) {
  CatchInterrupts();
  WavWriter writer;
  uint32_t rate = 0;
  bool all_ok = true, fatal = false, live = false;
  for (const PlaylistEntry& entry : entries) {
    all_ok = DecodeEntry(options, entry.location, &writer, &rate, &fatal, &live) && all_ok;
    if (fatal || Interrupted()) break;
  }
  // A radio's recording ends only when it is stopped: what came is the recording.
  if (Interrupted() && live && !fatal && writer.data_bytes() > 0) {
    if (!writer.Finish()) {
      ReportError(options.wav_out + ": write failed");
      std::remove(options.wav_out.c_str());
      return 1;
    }
    ReportError(options.wav_out + ": stopped; the live stream's recording so far is kept");
    return InterruptedStatus();
  }
  // A failure must not leave a half-written file behind, nor an empty one.
  if (Interrupted()) {
    std::remove(options.wav_out.c_str());
    ReportError(options.wav_out + ": interrupted, nothing written");
    return InterruptedStatus();
  }
  if (rate == 0) return 1;
  if (fatal || (!all_ok && writer.data_bytes() == 0)) {
    writer.Finish();
    std::remove(options.wav_out.c_str());
    return 1;
  }
  if (!writer.Finish()) {
    ReportError(options.wav_out + ": write failed");
    std::remove(options.wav_out.c_str());
    return 1;
  }
  return all_ok ? 0 : 1;
}
