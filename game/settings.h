#pragma once
// The player's settings file: $XDG_CONFIG_HOME/jed-grimstorm/settings.ini (~/.config/... when
// XDG_CONFIG_HOME is not set). Read at start; written again whenever a setting changes.
//
//   [keys]     walk_left walk_right jump punch special pause escape = SDL key names, by commas
//   [pad]      the same seven actions = pad buttons or stick directions; dead_zone = 0..99 (%)
//   [display]  mode = fullscreen | window; scaling = fit | integer | stretch; width, height = the
//              window's size
//   [sound]    music, effects = volume 0..100
//
// A missing file means the defaults. A line that does not parse, or names no known setting, is
// reported with its line number and ignored; the lines around it still count.
#include <string>
#include <vector>

// The file's place (it need not exist).
std::string SettingsPath();

struct SoundVolumes {
  int music = 100;
  int effects = 100;
};

// Applies every good line of the text to the platform's bindings and display mode and to
// *volumes; each bad line adds "<source>:<line>: <what is wrong>" to *problems.
void ApplySettingsText(const std::string& text, const std::string& source, SoundVolumes* volumes,
                       std::vector<std::string>* problems);
// The settings in force now (bindings, display mode, the given volumes) as a complete file.
std::string DescribeSettings(const SoundVolumes& volumes);

// Every setting back to the game's own: bindings, dead zone, display, volumes.
void RestoreDefaultSettings(SoundVolumes* volumes);

// Reads the file at path (missing: nothing changes) and reports problems on stderr.
void LoadSettingsFile(const std::string& path, SoundVolumes* volumes);
// Writes the settings in force to path, making its folder; false (with a message on stderr
// giving the system's reason) when it cannot be written. An existing file is edited in place: its
// comments, unknown lines and order stay. The old file stays whole until the new one is complete.
bool SaveSettingsFile(const std::string& path, const SoundVolumes& volumes);
// At start: a missing file is written with every setting and its comments, so players find it.
// False only when that write failed.
bool WriteSettingsOnFirstStart(const std::string& path, const SoundVolumes& volumes);
