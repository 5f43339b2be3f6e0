// Reverse mode: the frame index is built on first use; a running playback restarts backwards
// (or forwards) from where it is heard.
#include "mp3/format/frame_index.h"
#include "mp3/player/dar3_player.h"

int DAr3::ReverseMode(int enable) {
  if (!format_.data_start) {
    SetError("ReverseMode->Stream isn't open !");
    return 0;
  }
  if (effects_.pushed_stream) {
    SetError("ReverseMode->This is managed stream. Can't use reverse mode !");
    return 0;
  }
  if (enable && frame_index_.empty()) {
    std::vector<const uint8_t*> index;
    if (!BuildFrameIndex(format_.data_start, format_.data_size, &index)) {
      SetError("ReverseMode->Memory allocation error !");
      return 0;
    }
    if (index.empty()) {
      SetError("ReverseMode->There is no mp3 frame in this stream !");
      return 0;
    }
    frame_index_ = std::move(index);
  }
  const int32_t reverse = enable ? 1 : 0;
  // A playing run restarts only when the direction changes.
  if (state_.playing && reverse != effects_.reverse_mode) {
    if (InsideSynchronousCallbackOfLiveRun()) {
      SetError("ReverseMode->Can't restart playback inside a synchronous callback of the run still playing !");
      return 0;
    }
    MP3_TIME at{};
    GetPosition(&at);
    stop_reason_.Ask(MP3_STOP_REASON_REVERSE_MODE);
    Stop();
    effects_.reverse_mode = reverse;
    Seek(TIME_FORMAT_MS, &at, MOVE_FROM_START);
    return Play();
  }
  effects_.reverse_mode = reverse;
  return 1;
}
