#include "platform/message_box.h"

#include "platform/video/video_backend.h"

namespace platform {

bool ShowErrorBox(const char* title, const char* text) { return Video().show_error_box(title, text); }

}  // namespace platform
