#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "mp3/player/dar3_player.h"

// Nothing here may start a platform service: the game builds its player during static
// initialisation, long before the window or the sound card exist.
DAr3::DAr3() { ReleaseSource(); }

DAr3::~DAr3() {
  if (state_.playing) stop_reason_.Ask(MP3_STOP_REASON_DESTROY);
  Stop();
  Close();
  EndRun();
  JoinRetiredRuns(true);
  // What the run posted last (its MP3_EVENT_STOP among it) still reaches the callback.
  StopCallbackThread();
  SetCallbackFunc(nullptr, 0);
}

void DAr3::Release() {
  if (OnCallbackThread()) {
    // Inside a callback: the player goes once the outermost callback has returned.
    release_pending_ = true;
    if (format_.data_start && state_.playing) {
      stop_reason_.Ask(MP3_STOP_REASON_DESTROY);
      RequestStop();
    }
    return;
  }
  delete this;
}

int DAr3::GetVersion() { return DAR3_VERSION; }

const char* DAr3::GetError() { return error_; }

void DAr3::SetError(const char* message) {
  std::lock_guard<std::mutex> guard(error_lock_);
  if (!message) {
    error_[0] = 0;
    return;
  }
  // The text holds 512 characters; a longer message is cut to 511.
  const size_t length = std::strlen(message);
  const size_t kept = length > 512 ? 511 : length;
  std::memcpy(error_, message, kept);
  error_[kept] = 0;
}

void DAr3::SetErrorF(const char* format, ...) {
  char text[sizeof error_];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  SetError(text);
}

int DAr3::CopyError(char* buffer, int buffer_size) {
  std::lock_guard<std::mutex> guard(error_lock_);
  const int length = static_cast<int>(std::strlen(error_));
  if (!buffer || buffer_size <= 0) return length + 1;
  const int copied = length < buffer_size - 1 ? length : buffer_size - 1;
  std::memcpy(buffer, error_, static_cast<size_t>(copied));
  buffer[copied] = 0;
  return copied;
}

int DAr3::NotAvailable(const char* op) {
  SetErrorF("%s->Not available in this build", op);
  return 0;
}
