// F12 screenshots: the picture as the game drew it (not as the window scales it), written as PNG
// into the player's pictures folder under the date and time.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <mutex>

#include "platform/desktop.h"
#include "platform/video/present.h"

namespace platform {
namespace {
std::mutex observer_lock;
std::function<void(uint64_t, const std::string&)> screenshot_observer;

bool IsFolder(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// XDG_PICTURES_DIR="$HOME/Pictures" in user-dirs.dirs; "" when the file does not name it.
std::string PicturesFromUserDirs(const std::string& home) {
  std::string config = Environment("XDG_CONFIG_HOME");
  if (config.empty() && !home.empty()) config = home + "/.config";
  std::ifstream file(config + "/user-dirs.dirs");
  const std::string prefix = "XDG_PICTURES_DIR=\"";
  for (std::string line; std::getline(file, line);) {
    if (line.compare(0, prefix.size(), prefix) != 0 || line.back() != '"') continue;
    std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
    if (value.compare(0, 5, "$HOME") == 0) value.replace(0, 5, home);
    return value;
  }
  return "";
}

std::string FreeName(const std::string& folder) {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
  const std::string base = folder + "/jed-grimstorm-" + stamp;
  std::string path = base + ".png";
  struct stat info {};
  for (int n = 2; stat(path.c_str(), &info) == 0; ++n) path = base + "-" + std::to_string(n) + ".png";
  return path;
}

// The game's own folder under the XDG data home, never the working directory (the game works in
// its data folder, which may be read-only).
std::string GameScreenshotFolder(const std::string& home) {
  const std::string data = Environment("XDG_DATA_HOME");
  if (!data.empty() && data[0] == '/') return data + "/jed-grimstorm/screenshots";
  return (home.empty() ? std::string("/tmp") : home) + "/.local/share/jed-grimstorm/screenshots";
}

// mkdir -p; true when the folder is there afterwards.
bool MakeFolder(const std::string& folder) {
  for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
    mkdir(folder.substr(0, slash).c_str(), 0755);
  mkdir(folder.c_str(), 0755);
  return IsFolder(folder);
}
}  // namespace

std::string ScreenshotFolder() {
  const std::string home = Environment("HOME");
  for (const std::string& candidate :
       {Environment("XDG_PICTURES_DIR"), PicturesFromUserDirs(home), home.empty() ? "" : home + "/Pictures"})
    if (IsFolder(candidate)) return candidate;
  return GameScreenshotFolder(home);
}

void SetScreenshotObserver(std::function<void(uint64_t, const std::string&)> observer) {
  std::lock_guard<std::mutex> guard(observer_lock);
  screenshot_observer = std::move(observer);
}

std::string SaveScreenshot() {
  const uint64_t frame_number = LastPresentedFrame().number;
  Frame picture;
  if (const Surface* primary = ShownPrimary())
    ConvertSurfaceToRgb(primary, &picture);
  else
    picture = LastPresentedFrame();
  const std::string folder = ScreenshotFolder();
  std::string path = FreeName(folder);  // moved out on return
  if (!MakeFolder(folder) || frame_number == 0 || picture.width == 0 || !WriteFramePng(path.c_str(), picture)) {
    std::fprintf(stderr, "Screenshot not saved: %s could not be written\n", path.c_str());
    return "";
  }
  std::printf("Screenshot saved: %s\n", path.c_str());
  std::fflush(stdout);
  std::function<void(uint64_t, const std::string&)> observer;
  {
    std::lock_guard<std::mutex> guard(observer_lock);
    observer = screenshot_observer;
  }
  if (observer) observer(frame_number, path);
  return path;
}

}  // namespace platform
