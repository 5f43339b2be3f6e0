#include "game/data_dir.h"

#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <system_error>

#include "platform/message_box.h"
#include "platform/window.h"

namespace {

namespace fs = std::filesystem;

// The title picture, a strip of each fighter, the last screen, a sound and the title music:
// a folder with these holds a generated set.
constexpr const char* kProbeFiles[] = {"Grimstorm0.BMP",  "hero0.BMP", "thug0.bmp",
                                       "landscape13.BMP", "hurt.WAV",  "ChronoTrigger.mp3"};

constexpr const char* kHowToMakeData[] = {
    "generate it with 'cmake --build build --target assets' (it lands in build/assets)",
    "install the jed-grimstorm package", "or set JED_DATA_DIR to a folder holding it"};

std::atomic<bool> Reporting{false};
std::atomic<bool> Failed{false};

fs::path ExecutableFolder() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : exe.parent_path();
}

std::string Absolute(const fs::path& path) {
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  fs::path normal = (error ? path : absolute).lexically_normal();
  // "dir/." normalises to "dir/": the same folder, named the same way.
  if (normal.has_relative_path() && normal.filename().empty()) normal = normal.parent_path();
  return normal.string();
}

}  // namespace

std::vector<std::string> DataFolderCandidates() {
  std::vector<std::string> folders;
  if (const char* env = std::getenv("JED_DATA_DIR"); env != nullptr && *env != '\0') folders.push_back(Absolute(env));
  folders.push_back(Absolute(fs::current_path()));
  if (const fs::path exe_folder = ExecutableFolder(); !exe_folder.empty()) {
    // build/game/jed-grimstorm and build/tools/jedreplay/jedreplay both reach build/assets.
    folders.push_back(Absolute(exe_folder / ".." / "assets"));
    folders.push_back(Absolute(exe_folder / ".." / ".." / "assets"));
    folders.push_back(Absolute(exe_folder / ".." / "share" / "jed-grimstorm"));
  }
  folders.push_back(JED_INSTALLED_DATA_DIR);
  // Each folder once, in its first place.
  std::vector<std::string> unique;
  for (const std::string& folder : folders) {
    bool seen = false;
    for (const std::string& earlier : unique) seen = seen || earlier == folder;
    if (!seen) unique.push_back(folder);
  }
  return unique;
}

bool HoldsGameData(const std::string& folder) {
  for (const char* name : kProbeFiles)
    if (::access((fs::path(folder) / name).c_str(), R_OK) != 0) return false;
  return true;
}

bool EnterDataFolder() {
  // A folder named on purpose is the one meant: another one found further down would hide the mistake.
  if (const char* env = std::getenv("JED_DATA_DIR"); env != nullptr && *env != '\0' && !HoldsGameData(Absolute(env))) {
    ReportDataProblem("JED_DATA_DIR names a folder without the game's data (pictures, sounds, music):",
                      {Absolute(env)});
    return false;
  }
  const std::vector<std::string> folders = DataFolderCandidates();
  for (const std::string& folder : folders) {
    if (HoldsGameData(folder) && ::chdir(folder.c_str()) == 0) {
      Reporting = true;
      return true;
    }
  }
  ReportDataProblem("the game's data (pictures, sounds, music) was not found in", folders);
  return false;
}

void ReportDataProblem(const std::string& problem, const std::vector<std::string>& places) {
  // One line on the terminal; in the box each place and each remedy on a line of its own.
  std::string line = "jed-grimstorm: " + problem, box = problem;
  if (!box.empty()) box[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(box[0])));
  for (size_t i = 0; i < places.size(); ++i) {
    line += (i == 0 ? " " : ", ") + places[i];
    box += "\n    " + places[i];
  }
  line += ";";
  box += "\n\nTo get it:";
  for (const char* remedy : kHowToMakeData) {
    line += std::string(" ") + remedy + (remedy == kHowToMakeData[std::size(kHowToMakeData) - 1] ? "" : ",");
    box += std::string("\n    ") + remedy;
  }
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
  platform::ShowErrorBox("Jed Grimstorm", box.c_str());
}

void DataFileFailed(const char* name) {
  if (!Reporting || Failed.exchange(true)) return;
  const std::string folder = Absolute(fs::current_path());
  ReportDataProblem(std::string("the data file ") + (name ? name : "(unnamed)") + " cannot be loaded from", {folder});
  // Every phase sees Escape held from now on and comes to its normal end.
  platform::RequestQuit();
}

void CheckDataFile(const char* name) {
  if (name == nullptr || ::access(name, R_OK) != 0) DataFileFailed(name);
}

bool DataFailed() { return Failed; }
