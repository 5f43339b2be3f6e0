// Reverse mode: the frame index is built on first use; a running playback restarts backwards
// (or forwards) from where it is heard.
#include "mp3/format/frame_index.h"
#include "mp3/player/dar3_player.h"

int DAr3::ReverseMode(int enable) {
  const int32_t reverse = enable ? 1 : 0;
  {
    platform::MutexLock hold(lock_);
    if (!IsOpen()) {
      SetError("ReverseMode->Stream isn't open !");
      return 0;
    }
    if (effects_.pushed_stream) {
      SetError("ReverseMode->This is managed stream. Can't use reverse mode !");
      return 0;
    }
    if (enable && !EnsureFrameIndex()) {
      SetError(frame_index_ ? "ReverseMode->There is no mp3 frame in this stream !"
                            : "ReverseMode->Memory allocation error !");
      frame_index_.reset();
      return 0;
    }
    // A playing run restarts only when the direction changes.
    if (!state_.playing || reverse == effects_.reverse_mode) {
      effects_.reverse_mode = reverse;
      return 1;
    }
  }
  if (InsideSynchronousCallbackOfLiveRun()) {
    SetError("ReverseMode->Can't restart playback inside a synchronous callback of the run still playing !");
    return 0;
  }
  MP3_TIME at{};
  GetPosition(&at);
  StopFor(MP3_STOP_REASON_REVERSE_MODE);
  effects_.reverse_mode = reverse;
  Seek(TIME_FORMAT_MS, &at, MOVE_FROM_START);
  return Play();
}
