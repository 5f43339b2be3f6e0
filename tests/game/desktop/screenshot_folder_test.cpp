// Where F12 screenshots go: the pictures folder the desktop names, else ~/Pictures, else the
// game's own folder in the data home (made when needed), never the working directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/desktop.h"
#include "tools/jedreplay/replay.h"

namespace {

namespace fs = std::filesystem;

class ScreenshotFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kVariables) {
      const char* value = std::getenv(name);
      saved_.push_back(value ? value : "\x01");
    }
    char folder[] = "/tmp/jed-shots-XXXXXX";
    home_ = mkdtemp(folder);
    setenv("HOME", home_.c_str(), 1);
    unsetenv("XDG_PICTURES_DIR");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
  }
  void TearDown() override {
    for (size_t i = 0; i < std::size(kVariables); ++i)
      if (saved_[i] == "\x01")
        unsetenv(kVariables[i]);
      else
        setenv(kVariables[i], saved_[i].c_str(), 1);
    fs::remove_all(home_);
  }
  static constexpr const char* kVariables[] = {"HOME", "XDG_PICTURES_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"};
  std::vector<std::string> saved_;
  std::string home_;
};

TEST_F(ScreenshotFolderTest, PicturesFolderFirstThenTheDataHomeNeverTheWorkingDirectory) {
  EXPECT_EQ(platform::ScreenshotFolder(), home_ + "/.local/share/jed-grimstorm/screenshots");
  setenv("XDG_DATA_HOME", (home_ + "/data").c_str(), 1);
  EXPECT_EQ(platform::ScreenshotFolder(), home_ + "/data/jed-grimstorm/screenshots");
  fs::create_directories(home_ + "/Pictures");
  EXPECT_EQ(platform::ScreenshotFolder(), home_ + "/Pictures");
  fs::create_directories(home_ + "/Bilder");
  fs::create_directories(home_ + "/.config");
  std::ofstream(home_ + "/.config/user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
  EXPECT_EQ(platform::ScreenshotFolder(), home_ + "/Bilder");
}

TEST_F(ScreenshotFolderTest, TheDataHomeFolderIsMadeForTheFirstScreenshot) {
  ASSERT_EQ(chdir(JED_ASSET_DIR), 0);
  ReplayOptions options;
  options.driver = ReplayOptions::Driver::Script;
  std::string error;
  ASSERT_TRUE(options.script.Parse("5 escape\n", &error)) << error;
  RunReplay(options);  // a presented picture to save
  testing::internal::CaptureStdout();
  const std::string path = platform::SaveScreenshot();
  testing::internal::GetCapturedStdout();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(fs::path(path).parent_path(), fs::path(home_ + "/.local/share/jed-grimstorm/screenshots"));
  EXPECT_TRUE(fs::is_regular_file(path));
  EXPECT_EQ(fs::path(path).extension(), ".png");
}

}  // namespace
