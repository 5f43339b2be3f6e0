// Finding the game's data folder: the search order, what counts as data, and how a data file
// that fails later is reported (only once the game itself has entered its data folder).
#include "game/data_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "platform/window.h"

namespace {

namespace fs = std::filesystem;

TEST(DataFolder, TheEnvironmentComesFirstThenTheWorkingFolderAndTheInstalledFolderLast) {
  setenv("JED_DATA_DIR", "relative/data", 1);
  const std::vector<std::string> folders = DataFolderCandidates();
  unsetenv("JED_DATA_DIR");
  ASSERT_GE(folders.size(), 3u);
  EXPECT_EQ(folders[0], (fs::current_path() / "relative/data").string());
  EXPECT_EQ(folders[1], fs::current_path().string());
  EXPECT_EQ(fs::path(folders.back()).filename(), "jed-grimstorm");
  EXPECT_EQ(std::set<std::string>(folders.begin(), folders.end()).size(), folders.size()) << "a folder twice";
}

TEST(DataFolder, AnEmptyEnvironmentValueIsNotSearchedAndTheWorkingFolderIsNamedOnce) {
  setenv("JED_DATA_DIR", "", 1);
  const std::vector<std::string> with_empty = DataFolderCandidates();
  setenv("JED_DATA_DIR", ".", 1);
  const std::vector<std::string> with_dot = DataFolderCandidates();
  unsetenv("JED_DATA_DIR");
  EXPECT_EQ(with_empty[0], fs::current_path().string());
  EXPECT_EQ(with_dot, with_empty);
}

TEST(DataFolder, TheGeneratedAssetsHoldTheDataAndAnEmptyFolderDoesNot) {
  EXPECT_TRUE(HoldsGameData(JED_TEST_ASSET_DIR));
  const fs::path empty = fs::path(testing::TempDir()) / "no_game_data";
  fs::create_directories(empty);
  EXPECT_FALSE(HoldsGameData(empty.string()));
}

TEST(DataFolder, AFailedFileOutsideTheGameIsLeftToTheCaller) {
  DataFileFailed("missing.BMP");
  CheckDataFile("missing.WAV");
  EXPECT_FALSE(DataFailed());
  EXPECT_FALSE(platform::QuitRequested());
}

TEST(DataFolder, TheGameWorksInItsDataFolderAndAFailedFileEndsItOnce) {
  setenv("JED_DATA_DIR", JED_TEST_ASSET_DIR, 1);
  ASSERT_TRUE(EnterDataFolder());
  unsetenv("JED_DATA_DIR");
  EXPECT_EQ(fs::current_path(), fs::canonical(JED_TEST_ASSET_DIR));
  CheckDataFile("Grimstorm0.BMP");
  EXPECT_FALSE(DataFailed()) << "a readable file is no failure";

  testing::internal::CaptureStderr();
  DataFileFailed("landscape7.BMP");
  CheckDataFile("no_such_song.mp3");
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(DataFailed());
  EXPECT_TRUE(platform::QuitRequested()) << "every phase must come to its end";
  EXPECT_NE(printed.find("landscape7.BMP"), std::string::npos) << printed;
  EXPECT_EQ(printed.find("no_such_song.mp3"), std::string::npos) << "reported once: " << printed;
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
}

TEST(DataFolder, AnEnvironmentFolderWithoutTheDataIsAnErrorNamingItAndNothingElseIsTried) {
  const fs::path empty = fs::path(testing::TempDir()) / "named_but_empty";
  fs::create_directories(empty);
  ASSERT_EQ(chdir(JED_TEST_ASSET_DIR), 0);  // the data is right here, and must not be taken
  const fs::path before = fs::current_path();
  setenv("JED_DATA_DIR", empty.c_str(), 1);
  testing::internal::CaptureStderr();
  const bool entered = EnterDataFolder();
  const std::string printed = testing::internal::GetCapturedStderr();
  unsetenv("JED_DATA_DIR");
  EXPECT_FALSE(entered);
  EXPECT_EQ(fs::current_path(), before);
  EXPECT_NE(printed.find("JED_DATA_DIR names a folder without the game's data"), std::string::npos) << printed;
  EXPECT_NE(printed.find(empty.lexically_normal().string()), std::string::npos) << printed;
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
}

}  // namespace
