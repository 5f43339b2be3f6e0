#pragma once
// Why the last run ended. Whoever ends a run (Stop, Seek, Close...) names the cause before it
// asks the run to end; the first cause named for a run wins, so that Seek's own Stop still
// reads as a seek. A run that ends without being asked names its own cause. The result is
// published just before the STOP notice, so the handler reads it there.
#include <atomic>
#include <cstdint>

#include "dar3/dar3.h"

class StopReasonRecord {
 public:
  // A new run: nothing asked for yet; ending by itself means the song ended.
  void BeginRun() {
    asked_.store(MP3_STOP_REASON_NONE);
    own_.store(MP3_STOP_REASON_SONG_ENDED);
  }
  void Ask(int32_t reason) {
    int32_t none = MP3_STOP_REASON_NONE;
    asked_.compare_exchange_strong(none, reason);
  }
  // The run's own cause, when it ends otherwise than at the end of the song.
  void EndedBy(int32_t reason) { own_.store(reason); }
  void Publish() {
    const int32_t asked = asked_.exchange(MP3_STOP_REASON_NONE);
    last_.store(asked != MP3_STOP_REASON_NONE ? asked : own_.load());
  }
  int32_t Last() const { return last_.load(); }

 private:
  std::atomic<int32_t> asked_{MP3_STOP_REASON_NONE};
  std::atomic<int32_t> own_{MP3_STOP_REASON_SONG_ENDED};
  std::atomic<int32_t> last_{MP3_STOP_REASON_NONE};
};
