// The settings file: bindings and values applied line by line, bad lines reported with their
// numbers while the rest still counts, and the file written whole or not at all.
#include "game/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/desktop.h"
#include "tests/support/files.h"

using platform::Key;

namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { Restore(); }
  void TearDown() override { Restore(); }

  // Puts the defaults back, so each case starts from the game's own settings.
  static void Restore() {
    SoundVolumes volumes;
    std::vector<std::string> problems;
    ApplySettingsText(kDefaults, "defaults", &volumes, &problems);
    ASSERT_TRUE(problems.empty()) << problems.front();
    platform::SetDisplayMode({});
  }

  static std::vector<std::string> Apply(const std::string& text, SoundVolumes* volumes) {
    std::vector<std::string> problems;
    ApplySettingsText(text, "settings.ini", volumes, &problems);
    return problems;
  }

  static constexpr const char* kDefaults =
      "[keys]\nwalk_left = Left\nwalk_right = Right\njump = Up\npunch = Space\nspecial = Left Shift, Right Shift\n"
      "pause = Return, Keypad Enter\nescape = Escape\n"
      "[pad]\nwalk_left = dpleft, -leftx\nwalk_right = dpright, +leftx\njump = b\npunch = a\n"
      "special = x, rightshoulder\npause = start\nescape = back\ndead_zone = 25\n";
};

TEST_F(SettingsTest, BindingsDisplayAndVolumesAreApplied) {
  SoundVolumes volumes;
  const auto problems = Apply(
      "# my keys\n[keys]\njump = W, Up\npunch = a   # lower case works too\n"
      "[pad]\njump = y\ndead_zone = 40\n"
      "[display]\nmode = window\nwidth = 800\nheight = 600\n"
      "[sound]\nmusic = 35\neffects = 0\n",
      &volumes);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(platform::KeyboardKeyNames(Key::Up), (std::vector<std::string>{"W", "Up"}));
  EXPECT_EQ(platform::KeyboardKeyNames(Key::Space), (std::vector<std::string>{"a"}));
  EXPECT_EQ(platform::KeyboardKeyNames(Key::Left), (std::vector<std::string>{"Left"}));  // untouched
  EXPECT_EQ(platform::PadControlNames(Key::Up), (std::vector<std::string>{"y"}));
  EXPECT_EQ(platform::PadDeadZone(), 40);
  EXPECT_EQ(platform::CurrentDisplayMode(), (platform::DisplayMode{false, 800, 600}));
  EXPECT_EQ(volumes.music, 35);
  EXPECT_EQ(volumes.effects, 0);
}

TEST_F(SettingsTest, BadLinesAreReportedByNumberAndTheRestStillCounts) {
  SoundVolumes volumes;
  const auto problems = Apply(
      "[keys]\n"
      "jump = Up\n"
      "punch = NoSuchKey\n"        // 3
      "this line has no equals\n"  // 4
      "kick = Space\n"             // 5
      "[sound]\n"
      "music = 101\n"   // 7
      "effects = 7x\n"  // 8
      "effects = 60\n"
      "[colours]\n"  // 10
      "red = 1\n"    // skipped with its section
      "[pad]\n"
      "pause = nosuchbutton\n"  // 13
      "dead_zone = -1\n"        // 14
      "[display]\n"
      "mode = huge\n"  // 16
      "width = 0\n",   // 17
      &volumes);
  const std::vector<std::string> lines = {"3", "4", "5", "7", "8", "10", "13", "14", "16", "17"};
  ASSERT_EQ(problems.size(), lines.size());
  for (size_t i = 0; i < lines.size(); ++i)
    EXPECT_EQ(problems[i].rfind("settings.ini:" + lines[i] + ": ", 0), 0u) << problems[i];
  EXPECT_NE(problems[0].find("NoSuchKey"), std::string::npos);
  // The good lines around the bad ones were applied; the bad ones changed nothing.
  EXPECT_EQ(platform::KeyboardKeyNames(Key::Space), (std::vector<std::string>{"Space"}));
  EXPECT_EQ(platform::PadControlNames(Key::Enter), (std::vector<std::string>{"start"}));
  EXPECT_EQ(platform::PadDeadZone(), 25);
  EXPECT_EQ(volumes.music, 100);
  EXPECT_EQ(volumes.effects, 60);
  EXPECT_EQ(platform::CurrentDisplayMode(), platform::DisplayMode{});
}

TEST_F(SettingsTest, WrittenFileReadsBackToTheSameSettings) {
  SoundVolumes volumes{40, 70};
  ASSERT_TRUE(
      Apply("[keys]\nspecial = Left Ctrl\n[pad]\nescape = guide, back\n[display]\nmode = window\n", &volumes).empty());
  const test_support::ScratchDir scratch;
  const std::string folder = scratch.path();
  const std::string path = folder + "/deeper/jed-grimstorm/settings.ini";  // folders made on the way
  ASSERT_TRUE(SaveSettingsFile(path, volumes));
  const std::string written = DescribeSettings(volumes);

  Restore();
  SoundVolumes read_back;
  LoadSettingsFile(path, &read_back);
  EXPECT_EQ(read_back.music, 40);
  EXPECT_EQ(read_back.effects, 70);
  EXPECT_EQ(platform::KeyboardKeyNames(Key::Shift), (std::vector<std::string>{"Left Ctrl"}));
  EXPECT_EQ(platform::PadControlNames(Key::Escape), (std::vector<std::string>{"guide", "back"}));
  EXPECT_FALSE(platform::CurrentDisplayMode().fullscreen);
  EXPECT_EQ(DescribeSettings(read_back), written);
}

TEST_F(SettingsTest, TheReadmeExampleReads) {
  SoundVolumes volumes;
  const auto problems = Apply(
      "[keys]            # SDL key names, several by commas\nwalk_left = Left, A\nwalk_right = Right, D\n"
      "jump = Up, W\npunch = Space\nspecial = Left Shift, Right Shift\npause = Return, Keypad Enter\n"
      "escape = Escape\n[pad]\njump = b, dpup\ndead_zone = 25    # percent\n[display]\n"
      "mode = window     # or fullscreen\nwidth = 1280\nheight = 960\n[sound]           # 0 to 100\n"
      "music = 70\neffects = 100\n",
      &volumes);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(volumes.music, 70);
  EXPECT_EQ(platform::KeyboardKeyNames(Key::Left), (std::vector<std::string>{"Left", "A"}));
}

TEST_F(SettingsTest, MissingFileMeansDefaults) {
  SoundVolumes volumes;
  LoadSettingsFile("/nonexistent/jed-grimstorm/settings.ini", &volumes);
  EXPECT_EQ(volumes.music, 100);
  EXPECT_EQ(volumes.effects, 100);
  EXPECT_EQ(platform::KeyboardKeyNames(Key::Enter), (std::vector<std::string>{"Return", "Keypad Enter"}));
  EXPECT_TRUE(platform::CurrentDisplayMode().fullscreen);
}

TEST_F(SettingsTest, UnwritableFolderFailsAndKeepsTheOldFile) {
  if (geteuid() == 0) {
    // Root writes anywhere: a folder that is a file stands in for one that cannot be written.
    const test_support::ScratchDir scratch;
    const std::string folder = scratch.path();
    std::ofstream(folder + "/jed-grimstorm") << "a file, not a folder";
    EXPECT_FALSE(SaveSettingsFile(folder + "/jed-grimstorm/settings.ini", SoundVolumes{}));
  }
  const test_support::ScratchDir scratch;
  const std::string folder = scratch.path();
  const std::string path = folder + "/settings.ini";
  std::ofstream(path) << "[sound]\nmusic = 5\n";
  chmod(folder.c_str(), 0500);
  if (geteuid() != 0) {
    EXPECT_FALSE(SaveSettingsFile(path, SoundVolumes{}));
  }
  chmod(folder.c_str(), 0700);
  SoundVolumes volumes;
  LoadSettingsFile(path, &volumes);
  if (geteuid() != 0) {
    EXPECT_EQ(volumes.music, 5);  // the old file is still whole
  }
}

TEST_F(SettingsTest, ARewriteKeepsThePlayersCommentsUnknownLinesAndOrder) {
  const test_support::ScratchDir scratch;
  const std::string folder = scratch.path();
  const std::string path = folder + "/settings.ini";
  const std::string mine =
      "# my own notes\n[sound]\neffects = 80   # loud enough\nmusic = 10\n\n[extra]\nmine = kept\n"
      "[display]\nmode = fullscreen # F11 here\nfuture_setting = 3\n";
  std::ofstream(path) << mine;
  SoundVolumes volumes;
  LoadSettingsFile(path, &volumes);
  volumes.music = 55;
  platform::DisplayMode mode = platform::CurrentDisplayMode();
  mode.fullscreen = false;
  platform::SetDisplayMode(mode);
  ASSERT_TRUE(SaveSettingsFile(path, volumes));
  std::ifstream file(path);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.rfind("# my own notes\n[sound]\neffects = 80   # loud enough\nmusic = 55\n\n[extra]\nmine = kept\n"
                       "[display]\nmode = window # F11 here\nfuture_setting = 3\nscaling = fit\nwidth = 1280\n"
                       "height = 960\n",
                       0),
            0u)
      << text;
  EXPECT_NE(text.find("\n[keys]\n"), std::string::npos) << "missing sections come at the end";
  EXPECT_NE(text.find("\n[pad]\n"), std::string::npos) << text;

  Restore();
  SoundVolumes read_back;
  LoadSettingsFile(path, &read_back);
  EXPECT_EQ(read_back.music, 55);
  EXPECT_EQ(read_back.effects, 80);
  EXPECT_FALSE(platform::CurrentDisplayMode().fullscreen);
  EXPECT_EQ(DescribeSettings(read_back), DescribeSettings(volumes)) << "nothing lost on the way";
  struct stat info {};
  EXPECT_EQ(stat((folder + "/settings.ini.new").c_str(), &info), -1);
}

TEST_F(SettingsTest, TheFirstStartWritesEverySettingAndLaterStartsLeaveTheFileAlone) {
  const test_support::ScratchDir scratch;
  const std::string folder = scratch.path();
  const std::string path = folder + "/jed-grimstorm/settings.ini";
  ASSERT_TRUE(WriteSettingsOnFirstStart(path, SoundVolumes{}));
  std::ifstream file(path);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, DescribeSettings(SoundVolumes{}));
  for (const char* line : {"walk_left = Left\n", "dead_zone = 25\n", "mode = fullscreen\n", "scaling = fit\n",
                           "music = 100\n", "effects = 100\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
  EXPECT_NE(text.find("# fit (as large"), std::string::npos) << "the values are explained";

  std::ofstream(path) << "# edited\n";
  ASSERT_TRUE(WriteSettingsOnFirstStart(path, SoundVolumes{}));
  std::ifstream again(path);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>()), "# edited\n");
}

TEST_F(SettingsTest, AFailedWriteGivesTheSystemsReason) {
  const test_support::ScratchDir scratch;
  const std::string folder = scratch.path();
  std::ofstream(folder + "/jed-grimstorm") << "a file, not a folder";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveSettingsFile(folder + "/jed-grimstorm/settings.ini", SoundVolumes{}));
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("Not a directory"), std::string::npos) << said;
  EXPECT_EQ(said.find("No such file"), std::string::npos) << said;
  if (geteuid() != 0) {
    const std::string path = folder + "/settings.ini";
    std::ofstream(path) << "[sound]\nmusic = 5\n";
    chmod(folder.c_str(), 0500);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SaveSettingsFile(path, SoundVolumes{}));
    const std::string denied = testing::internal::GetCapturedStderr();
    EXPECT_NE(denied.find("Permission denied"), std::string::npos) << denied;
    chmod(folder.c_str(), 0700);
  }
}

TEST_F(SettingsTest, ScalingIsReadAndABadValueIsReported) {
  SoundVolumes volumes;
  EXPECT_TRUE(Apply("[display]\nscaling = integer\n", &volumes).empty());
  EXPECT_EQ(platform::CurrentDisplayMode().scaling, platform::Scaling::Integer);
  const auto problems = Apply("[display]\nscaling = blurry\n", &volumes);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0], "settings.ini:2: scaling is fit, integer or stretch");
  EXPECT_EQ(platform::CurrentDisplayMode().scaling, platform::Scaling::Integer) << "the bad line changed nothing";
}

TEST(SettingsPathTest, FollowsXdgConfigHomeElseHome) {
  const char* old_config = std::getenv("XDG_CONFIG_HOME");
  const std::string saved_config = old_config ? old_config : "";
  const char* old_home = std::getenv("HOME");
  const std::string saved_home = old_home ? old_home : "";
  setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
  EXPECT_EQ(SettingsPath(), "/somewhere/config/jed-grimstorm/settings.ini");
  setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
  setenv("HOME", "/home/jed", 1);
  EXPECT_EQ(SettingsPath(), "/home/jed/.config/jed-grimstorm/settings.ini");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(SettingsPath(), "/home/jed/.config/jed-grimstorm/settings.ini");
  if (old_config) setenv("XDG_CONFIG_HOME", saved_config.c_str(), 1);
  setenv("HOME", saved_home.c_str(), 1);
}

}  // namespace
