// --remote driven as a frontend would: commands in on stdin, one answer line each on stdout.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "tests/support/encoded_files.h"
#include "tests/tools/dar3play/dar3play_runner.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(Remote, EveryCommandGetsItsOneAnswer) {
  std::string why_not;
  const EncodedFiles* files = GetEncodedFiles(&why_not);
  if (!files) GTEST_SKIP() << "cannot make test files: " << why_not;
  ScratchDir scratch;
  const std::string list = (scratch / "two.m3u").string();
  ASSERT_EQ(RunCommand("(printf '%s\\n' " + Quote(files->long_sweep.string()) + " missing.mp3 " +
                       Quote(files->cbr.string()) + " > " + Quote(list) + ")")
                .status,
            0);
  // Pauses between commands let the player act as it would between a user's clicks.
  const std::string commands =
      "echo status; echo load " + Quote(list) +
      "; sleep 0.5; echo pause; echo status; echo pause; "
      "echo seek 20; echo seek +5; echo volume 40; echo volume 101; echo next; sleep 0.3; echo status; "
      "echo frobnicate; echo stop; echo seek 1; echo status; echo quit; sleep 1";
  // The outer parentheses keep RunCommand's /dev/null away from the player's input.
  const RunResult r = RunCommand("((" + commands + ") | " + Quote(Dar3playPath()) + " --output null --remote)");
  EXPECT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> a = Lines(r.out);
  ASSERT_EQ(a.size(), 16u) << r.out;
  EXPECT_EQ(a[0], "status stopped 0 0 100 0/0 ");
  EXPECT_EQ(a[1], "ok playing Long Sweep");
  EXPECT_EQ(a[2], "ok paused");
  EXPECT_TRUE(std::regex_match(a[3], std::regex(R"(status paused [0-9]+ 40[0-9]{3} 100 1/3 Long Sweep)"))) << a[3];
  EXPECT_EQ(a[4], "ok playing");
  EXPECT_TRUE(std::regex_match(a[5], std::regex(R"(ok position 20[0-9]{3})"))) << a[5];
  EXPECT_TRUE(std::regex_match(a[6], std::regex(R"(ok position 2[5-6][0-9]{3})"))) << a[6];
  EXPECT_EQ(a[7], "ok volume 40");
  EXPECT_EQ(a[8], "error volume needs 0..100");
  // The missing entry is skipped and named on stderr.
  EXPECT_EQ(a[9], "ok playing Night Falls");
  EXPECT_NE(r.err.find("missing.mp3"), std::string::npos) << r.err;
  EXPECT_TRUE(std::regex_match(a[10], std::regex(R"(status playing [0-9]+ 6[0-9]{3} 40 3/3 Night Falls)"))) << a[10];
  EXPECT_EQ(a[11].rfind("error unknown command 'frobnicate'", 0), 0u) << a[11];
  EXPECT_EQ(a[12], "ok stopped");
  EXPECT_EQ(a[13], "error nothing is playing");
  EXPECT_EQ(a[14], "status stopped 0 0 40 3/3 ");
  EXPECT_EQ(a[15], "ok quit");
}

}  // namespace
