#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "mp3/player/dar3_player.h"

// Nothing here may start a platform service: the game builds its player during static
// initialisation, long before the window or the sound card exist.
DAr3::DAr3() {
  platform::MutexLock hold(lock_);
  ReleaseSource();
}

DAr3::~DAr3() {
  BeginDestroy();
  WindDown();
  Close();
  runs_.JoinAll();
  // What the run posted last (its MP3_EVENT_STOP among it) still reaches the callback.
  dispatcher_.Shutdown();
  dispatcher_.SetFunction(nullptr, 0);
}

StreamFormat DAr3::Format() const {
  platform::MutexLock hold(lock_);
  return format_;
}

int DAr3::GetVersion() { return DAR3_VERSION; }

// The caller's copy is Mp3_GetError's; this pointer is the interface's, valid until the next call.
const char* DAr3::GetError() NO_THREAD_SAFETY_ANALYSIS { return error_; }

void DAr3::SetError(const char* message) {
  platform::MutexLock hold(error_lock_);
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
  char text[513];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  SetError(text);
}

int DAr3::CopyError(char* buffer, int buffer_size) {
  platform::MutexLock hold(error_lock_);
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
