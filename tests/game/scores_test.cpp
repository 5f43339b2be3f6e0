// The high-score file: a new table, a full one, a damaged one set aside, one that cannot be
// written; the order of runs; and what the parser refuses.
#include "game/scores.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/support/files.h"

namespace {

class ScoresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = scratch_.path();
    path_ = folder_ + "/data/jed-grimstorm/scores";
  }
  void TearDown() override { chmod(folder_.c_str(), 0700); }
  static std::string Read(const std::string& path) { return test_support::ReadFileText(path); }
  std::vector<ScoreEntry> Record(int score, int seconds, int* rank, std::vector<std::string>* problems) {
    std::vector<ScoreEntry> table;
    RecordScore(path_, {score, seconds, "2026-12-09"}, &table, rank, problems);
    return table;
  }
  test_support::ScratchDir scratch_;
  std::string folder_, path_;
};

TEST_F(ScoresTest, TheFirstRunMakesTheFileAndItReadsBack) {
  int rank = -1;
  std::vector<std::string> problems;
  const auto table = Record(780, 81, &rank, &problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(rank, 0);
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(Read(path_), "# Jed Grimstorm: the ten best runs, best first: score, seconds, date\n780 81 2026-12-09\n");
  EXPECT_EQ(ReadScores(path_, &problems), table);
  EXPECT_TRUE(problems.empty());
}

TEST_F(ScoresTest, AFullTableKeepsTheTenBestAndAnEqualScoreGoesBelowTheEarlierRun) {
  int rank = -1;
  std::vector<std::string> problems;
  for (int i = 1; i <= 10; ++i) Record(i * 100, i, &rank, &problems);
  EXPECT_EQ(rank, 0) << "each better run goes to the top";
  const std::string before = Read(path_);
  Record(50, 1, &rank, &problems);
  EXPECT_EQ(rank, -1) << "below the ten best";
  EXPECT_EQ(Read(path_), before) << "nothing written for it";
  auto table = Record(500, 99, &rank, &problems);
  EXPECT_EQ(rank, 6) << "after 1000..600 and the earlier 500";
  ASSERT_EQ(table.size(), kScoresKept);
  EXPECT_EQ(table[5].seconds, 5);
  EXPECT_EQ(table[6].seconds, 99);
  EXPECT_EQ(table.back().score, 200) << "100 dropped out";
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(ReadScores(path_, &problems), table);
}

TEST_F(ScoresTest, ADamagedFileIsReportedAndSetAsideAndANewTableBegins) {
  int rank = -1;
  std::vector<std::string> problems;
  Record(300, 30, &rank, &problems);
  std::ofstream(path_, std::ios::app) << "garbage here\n";
  const std::string damaged = Read(path_);
  const auto table = Record(200, 20, &rank, &problems);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("is damaged (line 3 is not \"score seconds date\")"), std::string::npos) << problems[0];
  EXPECT_NE(problems[0].find(path_ + ".damaged"), std::string::npos) << problems[0];
  EXPECT_EQ(Read(path_ + ".damaged"), damaged) << "the old file is kept whole";
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].score, 200);
  // A second damaged file does not replace the first one set aside.
  std::ofstream(path_) << "1 2 3\n";
  problems.clear();
  Record(100, 10, &rank, &problems);
  EXPECT_EQ(Read(path_ + ".damaged"), damaged);
  EXPECT_EQ(Read(path_ + ".damaged-2"), "1 2 3\n");
}

TEST_F(ScoresTest, AFolderThatCannotBeWrittenKeepsTheOldFileAndSaysWhy) {
  int rank = -1;
  std::vector<std::string> problems;
  Record(300, 30, &rank, &problems);
  const std::string before = Read(path_);
  const std::string folder = path_.substr(0, path_.rfind('/'));
  if (geteuid() == 0) {
    // Root writes anywhere: a folder that is a file stands in for one that cannot be written.
    const std::string elsewhere = folder_ + "/file/scores";
    std::ofstream(folder_ + "/file") << "not a folder";
    std::vector<ScoreEntry> table;
    RecordScore(elsewhere, {10, 1, "2026-12-09"}, &table, &rank, &problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("Not a directory"), std::string::npos) << problems[0];
    EXPECT_EQ(table.size(), 1u) << "the run is still shown";
    return;
  }
  chmod(folder.c_str(), 0500);
  const auto table = Record(400, 40, &rank, &problems);
  chmod(folder.c_str(), 0700);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("Permission denied"), std::string::npos) << problems[0];
  EXPECT_EQ(table.size(), 2u) << "the run is still shown";
  EXPECT_EQ(Read(path_), before);
}

TEST(ScoresTextTest, OnlyWellFormedTablesOfAtMostTenRunsRead) {
  std::vector<ScoreEntry> table;
  std::string error;
  EXPECT_TRUE(ParseScores("# comment\n\n10 2 2026-01-31\n", &table, &error));
  EXPECT_EQ(table, (std::vector<ScoreEntry>{{10, 2, "2026-01-31"}}));
  for (const char* bad : {"10 2\n", "10 2 2026-1-31\n", "-5 2 2026-01-31\n", "10 2 2026-01-31 extra\n",
                          "x 2 2026-01-31\n", "99999999999999999999 1 2026-01-31\n"}) {
    EXPECT_FALSE(ParseScores(bad, &table, &error)) << bad;
    EXPECT_EQ(error, "line 1 is not \"score seconds date\"") << bad;
  }
  std::string eleven;
  for (int i = 0; i < 11; ++i) eleven += "1 1 2026-01-31\n";
  EXPECT_FALSE(ParseScores(eleven, &table, &error));
  EXPECT_EQ(error, "more than 10 runs");
  EXPECT_EQ(table.size(), 1u) << "a refused text changes nothing";
}

TEST(ScoresPathTest, FollowsXdgDataHomeElseHome) {
  const char* old_home = std::getenv("HOME");
  const std::string saved_home = old_home ? old_home : "";
  setenv("XDG_DATA_HOME", "/somewhere/data", 1);
  EXPECT_EQ(ScoresPath(), "/somewhere/data/jed-grimstorm/scores");
  unsetenv("XDG_DATA_HOME");
  setenv("HOME", "/home/jed", 1);
  EXPECT_EQ(ScoresPath(), "/home/jed/.local/share/jed-grimstorm/scores");
  setenv("HOME", saved_home.c_str(), 1);
}

}  // namespace
