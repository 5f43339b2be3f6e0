// FluidSynth renders the song at the output rate as one source of the audio engine. The MIDI
// player is timed by the samples rendered, so a headless test that pulls audio also drives it.
#include <fluidsynth.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio.h"
#include "platform/music/music_backend.h"

namespace platform {
namespace {

const char* SoundfontPath() {
  const char* path = std::getenv("JED_SOUNDFONT");
  return path && *path ? path : JED_SOUNDFONT_PATH;
}

class FluidSynthMusic : public MusicSynthesizer {
 public:
  bool Start() override {
    std::lock_guard<std::mutex> guard(lock_);
    if (synth_) return true;
    settings_ = new_fluid_settings();
    if (!settings_) return false;
    fluid_settings_setnum(settings_, "synth.sample-rate", kAudioOutputRate);
    fluid_settings_setstr(settings_, "player.timing-source", "sample");
    synth_ = new_fluid_synth(settings_);
    // The soundfont (megabytes of samples) is read when the first song needs it, not at start;
    // a missing one still fails here.
    if (!synth_ || ::access(SoundfontPath(), R_OK) != 0) {
      DeleteSynth();
      return false;
    }
    return true;
  }

  void Stop() override {
    std::lock_guard<std::mutex> guard(lock_);
    EndSong();
    for (MusicSegment* segment : segments_) delete segment;
    segments_.clear();
    DeleteSynth();
  }

  bool Ready() override {
    std::lock_guard<std::mutex> guard(lock_);
    return synth_ != nullptr;
  }

  MusicSegment* Adopt(std::unique_ptr<MusicSegment> segment) override {
    std::lock_guard<std::mutex> guard(lock_);
    segments_.push_back(segment.get());
    return segment.release();
  }

  bool Download(MusicSegment* segment) override {
    std::lock_guard<std::mutex> guard(lock_);
    if (synth_ && fluid_synth_sfcount(synth_) == 0) fluid_synth_sfload(synth_, SoundfontPath(), 1);
    return synth_ && fluid_synth_sfcount(synth_) > 0 && Known(segment);
  }

  uint32_t Play(MusicSegment* segment) override {
    std::lock_guard<std::mutex> guard(lock_);
    if (!synth_ || !Known(segment)) return 0;
    EndSong();
    player_ = new_fluid_player(synth_);
    if (!player_) return 0;
    if (fluid_player_add_mem(player_, segment->bytes.data(), segment->bytes.size()) != FLUID_OK ||
        fluid_player_play(player_) != FLUID_OK) {
      EndSong();
      return 0;
    }
    playing_ = segment;
    if (++play_count_ == 0) ++play_count_;
    return play_count_;
  }

  bool StopSong(MusicSegment* segment) override {
    std::lock_guard<std::mutex> guard(lock_);
    if (!synth_) return false;
    if (!segment || segment == playing_) EndSong();
    return true;
  }

  bool IsPlaying(MusicSegment* segment) override {
    std::lock_guard<std::mutex> guard(lock_);
    return segment && segment == playing_ && player_ && !song_over_ &&
           fluid_player_get_status(player_) == FLUID_PLAYER_PLAYING;
  }

  void Unload(MusicSegment* segment) override {
    std::lock_guard<std::mutex> guard(lock_);
    if (!Known(segment)) return;
    if (segment == playing_) EndSong();
    std::erase(segments_, segment);
    delete segment;
  }

  void Render(float* stereo, size_t frames) override {
    std::lock_guard<std::mutex> guard(lock_);
    const bool song_running = player_ && !song_over_;
    if (!synth_ || (!song_running && fluid_synth_get_active_voice_count(synth_) == 0)) return;
    left_.resize(frames);
    right_.resize(frames);
    fluid_synth_write_float(synth_, static_cast<int>(frames), left_.data(), 0, 1, right_.data(), 0, 1);
    for (size_t i = 0; i < frames; ++i) {
      stereo[2 * i] += left_[i];
      stereo[2 * i + 1] += right_[i];
    }
    // The player keeps reporting "playing" after the last event; its tick count tells the end.
    // (The total is known once the first block has been rendered.)
    if (song_running && fluid_player_get_current_tick(player_) >= fluid_player_get_total_ticks(player_))
      song_over_ = true;
  }

 private:
  bool Known(MusicSegment* segment) const {
    return segment && std::find(segments_.begin(), segments_.end(), segment) != segments_.end();
  }

  // Ends the song and silences the synthesiser at once (lock held).
  void EndSong() {
    if (player_) {
      fluid_player_stop(player_);
      delete_fluid_player(player_);
      player_ = nullptr;
    }
    // Cut every voice now. (A system reset here would let them ring on through their release;
    // the next song's player resets the synthesiser when it starts.)
    if (synth_) fluid_synth_all_sounds_off(synth_, -1);
    playing_ = nullptr;
    song_over_ = false;
  }

  void DeleteSynth() {
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
    synth_ = nullptr;
    settings_ = nullptr;
  }

  std::mutex lock_;
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  fluid_player_t* player_ = nullptr;
  MusicSegment* playing_ = nullptr;
  bool song_over_ = false;  // the playing song has passed its last event
  uint32_t play_count_ = 0;
  std::vector<MusicSegment*> segments_;
  std::vector<float> left_, right_;
};

}  // namespace

MusicSynthesizer& FluidSynthesizer() {
  // Never destroyed: the engine may still hold it as a source while the program exits.
  static FluidSynthMusic* synth = new FluidSynthMusic();
  return *synth;
}

}  // namespace platform
