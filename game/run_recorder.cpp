#include "game/run_recorder.h"

#include <cerrno>
#include <cstring>
#include <iterator>

#include "game/crt_random.h"

namespace {
constexpr const char* kKeyWords[] = {"left", "right", "up", "down", "space", "shift", "enter", "escape"};
static_assert(std::size(kKeyWords) == static_cast<size_t>(platform::Key::Count));
}  // namespace

RunRecorder::~RunRecorder() { Finish(); }

bool RunRecorder::Start(const std::string& path, std::string* error) {
  file_ = std::fopen(path.c_str(), "w");
  if (!file_) {
    if (error) *error = path + ": " + std::strerror(errno);
    return false;
  }
  std::fprintf(file_, "# Jed Grimstorm, a recorded run: jedreplay --script FILE plays it again.\nseed %u\n", CrtSeed());
  platform::LatchKeysPerFrame();
  range_input_ = platform::LatchedInput();
  platform::SetPresentHook([this](uint64_t number) { OnPresent(number); });
  platform::SetScreenshotObserver([this](uint64_t frame, const std::string& shot) {
    if (file_)
      std::fprintf(file_, "# screenshot of frame %llu: %s\n", static_cast<unsigned long long>(frame), shot.c_str());
  });
  return true;
}

// Called at present n with the sample frame n + 1 reads.
void RunRecorder::OnPresent(uint64_t) {
  ++frames_;
  platform::FrameInput next = platform::LatchedInput();
  const bool close_now = next.close && !close_written_;
  next.close = close_now;  // written once, where it happened
  if (next.keys != range_input_.keys || close_now || next.focus_lost || range_input_.close || range_input_.focus_lost) {
    WriteRange();
    range_first_ = frames_ + 1;
    range_input_ = next;
  }
  close_written_ = close_written_ || close_now;
}

void RunRecorder::WriteRange() {
  if (!file_) return;
  const uint64_t last = frames_;  // the range runs up to the frame just presented
  if (last > range_first_)
    std::fprintf(file_, "%llu-%llu", static_cast<unsigned long long>(range_first_),
                 static_cast<unsigned long long>(last));
  else
    std::fprintf(file_, "%llu", static_cast<unsigned long long>(range_first_));
  for (size_t k = 0; k < std::size(kKeyWords); ++k)
    if (range_input_.keys & (1u << k)) std::fprintf(file_, " %s", kKeyWords[k]);
  if (range_input_.close) std::fprintf(file_, " close");
  if (range_input_.focus_lost) std::fprintf(file_, " unfocus");
  std::fprintf(file_, "\n");
}

bool RunRecorder::Finish() {
  if (!file_) return true;
  platform::SetPresentHook(nullptr);
  platform::SetScreenshotObserver(nullptr);
  // The sample taken at the last present belongs to a frame that never ran; it closes the file.
  ++frames_;
  WriteRange();
  --frames_;
  const bool written = std::ferror(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return written && closed;
}
