// Reading lists and folders into play order, with the files real users' lists contain.
#include "tools/dar3play/playlist.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/tool_runner.h"

namespace {

void Write(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> Locations(const std::vector<PlaylistEntry>& entries) {
  std::vector<std::string> out;
  for (const PlaylistEntry& e : entries) out.push_back(e.location);
  return out;
}

TEST(Playlist, M3uResolvesRelativePathsKeepsUrlsAndTitlesAndSkipsComments) {
  const std::string text =
      "\xEF\xBB\xBF#EXTM3U\r\n"
      "# a comment\r\n"
      "#EXTINF:215,Jed Band - Night Falls\r\n"
      "songs/one.mp3\r\n"
      "\r\n"
      "/abs/two.mp3\r\n"
      "#EXTINF:-1,Radio\n"
      "http://127.0.0.1:8000/live\n"
      "..\\up\\three.mp3\n"
      "file:///abs/four.mp3\n";
  const std::vector<PlaylistEntry> e = ParseM3u(text, "/music/lists");
  ASSERT_EQ(e.size(), 5u);
  EXPECT_EQ(Locations(e),
            (std::vector<std::string>{"/music/lists/songs/one.mp3", "/abs/two.mp3", "http://127.0.0.1:8000/live",
                                      "/music/up/three.mp3", "/abs/four.mp3"}));
  EXPECT_EQ(e[0].title, "Jed Band - Night Falls");
  EXPECT_EQ(e[1].title, "");  // a title belongs to the next entry only
  EXPECT_EQ(e[2].title, "Radio");
}

TEST(Playlist, PlsPlaysInNumberOrderWithItsTitles) {
  const std::string text =
      "[playlist]\n"
      "File2=b.mp3\n"
      "Title1=First\n"
      "File10=c.mp3\n"
      "File1=https://example.org/a\n"
      "Title10=Tenth\n"
      "Filex=ignored.mp3\n"
      "NumberOfEntries=3\n"
      "Version=2\n";
  const std::vector<PlaylistEntry> e = ParsePls(text, "/lists");
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(Locations(e), (std::vector<std::string>{"https://example.org/a", "/lists/b.mp3", "/lists/c.mp3"}));
  EXPECT_EQ(e[0].title, "First");
  EXPECT_EQ(e[1].title, "");
  EXPECT_EQ(e[2].title, "Tenth");
}

TEST(Playlist, NaturalOrderComparesNumbersByValue) {
  std::vector<std::string> names = {"track10.mp3", "track2.mp3",  "track1.mp3",   "Track3.mp3",
                                    "track02.mp3", "disc2/a.mp3", "disc10/a.mp3", "track"};
  std::sort(names.begin(), names.end(), NaturalLess);
  EXPECT_EQ(names, (std::vector<std::string>{"Track3.mp3", "disc2/a.mp3", "disc10/a.mp3", "track", "track1.mp3",
                                             "track2.mp3", "track02.mp3", "track10.mp3"}));
  // A strict weak order: never both ways, never for equal names.
  EXPECT_FALSE(NaturalLess("a1", "a1"));
  EXPECT_NE(NaturalLess("a01", "a1"), NaturalLess("a1", "a01"));
  EXPECT_TRUE(NaturalLess("a99999999999999999999", "a100000000000000000000"));
}

TEST(Playlist, FoldersListsAndFilesExpandInGivenOrder) {
  ScratchDir dir;
  for (const char* name : {"album/10 ten.mp3", "album/2 two.MP3", "album/cd2/1 one.mp2", "album/cover.jpg",
                           "album/notes.txt", "single.mp3"})
    Write(dir / name, "x");
  Write(dir / "lists/mix.m3u", "../single.mp3\nnested.pls\n");
  Write(dir / "lists/nested.pls", "[playlist]\nFile1=../album/2 two.MP3\nTitle1=Two\n");
  Write(dir / "lists/self.m3u8", "self.m3u8\n../single.mp3\n");
  std::vector<std::string> problems;
  const std::vector<PlaylistEntry> e =
      ExpandInputs({(dir / "album").string(), (dir / "lists/mix.m3u").string(), "-", "http://h/s"}, &problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(Locations(e),
            (std::vector<std::string>{(dir / "album/2 two.MP3").string(), (dir / "album/10 ten.mp3").string(),
                                      (dir / "album/cd2/1 one.mp2").string(), (dir / "single.mp3").string(),
                                      (dir / "album/2 two.MP3").string(), "-", "http://h/s"}));
  EXPECT_EQ(e[4].title, "Two");

  // A list naming itself ends with a message instead of running out of memory.
  problems.clear();
  const std::vector<PlaylistEntry> looped = ExpandInputs({(dir / "lists/self.m3u8").string()}, &problems);
  ASSERT_FALSE(problems.empty());
  EXPECT_NE(problems[0].find("nested too deep"), std::string::npos) << problems[0];
  EXPECT_FALSE(looped.empty());

  // Missing lists and empty folders are named; a missing song is left for the player to report.
  problems.clear();
  std::filesystem::create_directories(dir / "empty");
  const std::vector<PlaylistEntry> rest =
      ExpandInputs({(dir / "gone.m3u").string(), (dir / "empty").string(), (dir / "gone.mp3").string()}, &problems);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_NE(problems[0].find("gone.m3u: can't read the list"), std::string::npos) << problems[0];
  EXPECT_NE(problems[1].find("no MP3 or MP2 files"), std::string::npos) << problems[1];
  EXPECT_EQ(Locations(rest), std::vector<std::string>{(dir / "gone.mp3").string()});
}

}  // namespace
