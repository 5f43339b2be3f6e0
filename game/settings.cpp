#include "game/settings.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "game/file_io.h"
#include "game/game_actions.h"
#include "game/settings_merge.h"
#include "platform/desktop.h"

namespace {

using Action = GameAction;
constexpr const auto& kActions = kGameActions;

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> SplitList(const std::string& value) {
  std::vector<std::string> names;
  std::stringstream items(value);
  for (std::string item; std::getline(items, item, ',');)
    if (!Trim(item).empty()) names.push_back(Trim(item));
  return names;
}

std::string JoinList(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
  return joined;
}

bool ParseNumber(const std::string& text, int low, int high, int* number) {
  int value = 0;
  const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (failure != std::errc() || end != text.data() + text.size() || value < low || value > high) return false;
  *number = value;
  return true;
}

const Action* ActionNamed(const std::string& name) {
  for (const Action& action : kActions)
    if (name == action.setting) return &action;
  return nullptr;
}

// One "name = value" of a section; "" when it was applied, else what is wrong.
std::string ApplySetting(const std::string& section, const std::string& name, const std::string& value,
                         SoundVolumes* volumes) {
  std::string unknown;
  const Action* action = ActionNamed(name);
  if (section == "keys" && action)
    return platform::BindKeyboardKeys(action->key, SplitList(value), &unknown) ? ""
                                                                               : "no key is called \"" + unknown + "\"";
  if (section == "pad" && action)
    return platform::BindPadControls(action->key, SplitList(value), &unknown)
               ? ""
               : "no pad control is called \"" + unknown + "\"";
  int number = 0;
  if (section == "pad" && name == "dead_zone") {
    if (!ParseNumber(value, 0, 99, &number)) return "dead_zone takes 0 to 99";
    platform::SetPadDeadZone(number);
    return "";
  }
  if (section == "display") {
    platform::DisplayMode mode = platform::CurrentDisplayMode();
    if (name == "mode") {
      if (value != "fullscreen" && value != "window") return "mode is fullscreen or window";
      mode.fullscreen = value == "fullscreen";
    } else if (name == "scaling") {
      if (!platform::ScalingNamed(value, &mode.scaling)) return "scaling is fit, integer or stretch";
    } else if (name == "width" || name == "height") {
      if (!ParseNumber(value, 1, 16384, &number)) return name + " takes 1 to 16384 pixels";
      (name == "width" ? mode.window_width : mode.window_height) = number;
    } else {
      return "unknown setting \"" + name + "\" in [display]";
    }
    platform::SetDisplayMode(mode);
    return "";
  }
  if (section == "sound" && (name == "music" || name == "effects")) {
    if (!ParseNumber(value, 0, 100, &number)) return name + " volume takes 0 to 100";
    (name == "music" ? volumes->music : volumes->effects) = number;
    return "";
  }
  return "unknown setting \"" + name + "\"" + (section.empty() ? " outside a section" : " in [" + section + "]");
}

bool IsKnownSection(const std::string& name) {
  return name == "keys" || name == "pad" || name == "display" || name == "sound";
}

}  // namespace

std::string SettingsPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (config && *config == '/') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string(home && *home ? home : ".") + "/.config";
  }
  return folder + "/jed-grimstorm/settings.ini";
}

void ApplySettingsText(const std::string& text, const std::string& source, SoundVolumes* volumes,
                       std::vector<std::string>* problems) {
  std::istringstream lines(text);
  std::string section;
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    line = Trim(line);
    if (line.empty()) continue;
    std::string problem;
    if (line.front() == '[') {
      const std::string name = line.back() == ']' ? Trim(line.substr(1, line.size() - 2)) : "";
      if (IsKnownSection(name))
        section = name;
      else
        problem = "unknown section " + line;
      if (!problem.empty()) section = "?";  // its lines are skipped with the header's report
    } else if (const size_t equals = line.find('='); equals == std::string::npos) {
      problem = "not a \"name = value\" line";
    } else if (section != "?") {
      problem = ApplySetting(section, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), volumes);
    }
    if (!problem.empty() && problems)
      problems->push_back(std::string(source).append(":").append(std::to_string(number)).append(": ").append(problem));
  }
}

std::string DescribeSettings(const SoundVolumes& volumes) {
  std::ostringstream out;
  out << "# Jed Grimstorm settings, read at start and updated by the game when a setting changes\n"
         "# (your comments and lines stay). One \"name = value\" a line; '#' starts a comment;\n"
         "# several keys or controls by commas.\n\n"
         "[keys]\n# SDL key names: Left, Up, Space, Left Shift, Return, Keypad Enter, A, F ...\n";
  for (const Action& action : kActions)
    out << action.setting << " = " << JoinList(platform::KeyboardKeyNames(action.key)) << "\n";
  out << "\n[pad]\n# buttons a b x y back guide start leftstick rightstick leftshoulder rightshoulder\n"
         "# dpup dpdown dpleft dpright; sticks -leftx +leftx -lefty +lefty -rightx +rightx -righty +righty,\n"
         "# triggers +lefttrigger +righttrigger\n";
  for (const Action& action : kActions)
    out << action.setting << " = " << JoinList(platform::PadControlNames(action.key)) << "\n";
  out << "dead_zone = " << platform::PadDeadZone() << "\n";
  const platform::DisplayMode mode = platform::CurrentDisplayMode();
  out << "\n[display]\n# fullscreen or window; Alt+Enter or F11 switches while playing\n"
      << "mode = " << (mode.fullscreen ? "fullscreen" : "window") << "\n"
      << "# fit (as large as the screen allows, sharp), integer (whole factors only) or stretch\n"
      << "scaling = " << platform::ScalingName(mode.scaling) << "\n"
      << "# the window's inside size in pixels\n"
      << "width = " << mode.window_width << "\nheight = " << mode.window_height << "\n";
  out << "\n[sound]\n# volumes 0 to 100\nmusic = " << volumes.music << "\neffects = " << volumes.effects << "\n";
  return out.str();
}

void RestoreDefaultSettings(SoundVolumes* volumes) {
  for (const Action& action : kActions) {
    platform::BindKeyboardKeys(action.key, platform::DefaultKeyboardKeyNames(action.key), nullptr);
    platform::BindPadControls(action.key, platform::DefaultPadControlNames(action.key), nullptr);
  }
  platform::SetPadDeadZone(platform::kDefaultPadDeadZone);
  platform::SetDisplayMode({});
  *volumes = SoundVolumes{};
}

void LoadSettingsFile(const std::string& path, SoundVolumes* volumes) {
  std::ifstream file(path);
  if (!file) return;
  std::stringstream text;
  text << file.rdbuf();
  std::vector<std::string> problems;
  ApplySettingsText(text.str(), path, volumes, &problems);
  for (const std::string& problem : problems) std::fprintf(stderr, "%s (line ignored)\n", problem.c_str());
}

bool SaveSettingsFile(const std::string& path, const SoundVolumes& volumes) {
  std::string existing, error;
  bool saved = false;
  if (ReadWholeFile(path, &existing, &error) == FileRead::Failed) {
    error = "cannot read it to keep its lines: " + error;  // never overwrite what could not be read
  } else {
    const std::string complete = DescribeSettings(volumes);
    saved = WriteFileAtomically(path, existing.empty() ? complete : MergeSettingsText(existing, complete), &error);
  }
  if (!saved) std::fprintf(stderr, "Settings not saved: %s: %s\n", path.c_str(), error.c_str());
  return saved;
}

bool WriteSettingsOnFirstStart(const std::string& path, const SoundVolumes& volumes) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 || errno != ENOENT) return true;
  return SaveSettingsFile(path, volumes);
}
