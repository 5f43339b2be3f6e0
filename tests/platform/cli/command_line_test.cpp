// The shared command-line reader: what every program answers to --help, --version, unknown
// options and missing values, and that nothing is acted on before those answers.
#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Parsed {
  platform::CommandLine::Outcome outcome{};
  int status = -1;
  std::string out, err;
};

// A small program's command line: one flag, one value, operands.
class CommandLineTest : public ::testing::Test {
 protected:
  CommandLineTest() : cli_("prog", "[OPTION]... FILE...") {
    cli_.Describe("Does things to files.");
    cli_.Flag("-q, --quiet", "say nothing", [this] { quiet_ = true; });
    cli_.Flag("--rarely", "", [this] { rarely_ = true; });  // in the manual page only
    cli_.Value("--level", "N", "how much (1..9)", [this](const std::string& v, std::string* error) {
      if (v.size() == 1 && v[0] >= '1' && v[0] <= '9') {
        level_ = v[0] - '0';
        return true;
      }
      *error = "level must be 1..9, not '" + v + "'";
      return false;
    });
    cli_.Operands([this](const std::string& file, std::string*) {
      files_.push_back(file);
      return true;
    });
  }

  Parsed Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "prog");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    Parsed parsed;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    parsed.outcome = cli_.Parse(int(argv.size()), argv.data(), &parsed.status);
    parsed.out = ::testing::internal::GetCapturedStdout();
    parsed.err = ::testing::internal::GetCapturedStderr();
    return parsed;
  }

  platform::CommandLine cli_;
  bool quiet_ = false;
  bool rarely_ = false;
  int level_ = 0;
  std::vector<std::string> files_;
};

TEST_F(CommandLineTest, ReadsFlagsValuesAndOperandsInAnyOrder) {
  const Parsed p = Parse({"a.mp3", "--level", "3", "-q", "--rarely", "--", "--not-an-option", "-"});
  EXPECT_EQ(p.outcome, platform::CommandLine::Outcome::kRun);
  EXPECT_TRUE(quiet_);
  EXPECT_TRUE(rarely_) << "an option --help leaves out is read all the same";
  EXPECT_EQ(level_, 3);
  EXPECT_EQ(files_, (std::vector<std::string>{"a.mp3", "--not-an-option", "-"}));
  EXPECT_EQ(p.out + p.err, "");

  EXPECT_EQ(Parse({"--level=7"}).outcome, platform::CommandLine::Outcome::kRun);
  EXPECT_EQ(level_, 7);
}

TEST_F(CommandLineTest, HelpAndVersionAnswerWithStatusZeroAndActOnNothingElse) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--help"}, {"-h"}, {"-q", "a.mp3", "--help"}, {"--bogus", "--help"}, {"--level", "x", "-h"}}) {
    quiet_ = false;
    files_.clear();
    const Parsed p = Parse(args);
    EXPECT_EQ(p.outcome, platform::CommandLine::Outcome::kExit);
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.out.rfind("Usage: prog [OPTION]... FILE...\nDoes things to files.\n", 0), 0u) << p.out;
    EXPECT_NE(p.out.find("  -q, --quiet            say nothing\n"), std::string::npos) << p.out;
    EXPECT_NE(p.out.find("  --level N"), std::string::npos) << p.out;
    EXPECT_NE(p.out.find("--version"), std::string::npos) << p.out;
    EXPECT_EQ(p.out.find("--rarely"), std::string::npos) << "no help text: left out of --help";
    EXPECT_EQ(p.err, "");
    EXPECT_FALSE(quiet_);
    EXPECT_TRUE(files_.empty());
  }
  const Parsed version = Parse({"a.mp3", "--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("prog ", 0), 0u) << version.out;
  EXPECT_EQ(version.out.back(), '\n');
  EXPECT_TRUE(files_.empty());

  // A value that looks like --help is the option's value, not a request for help.
  const Parsed value = Parse({"--level", "--help"});
  EXPECT_EQ(value.status, 2);
  EXPECT_NE(value.err.find("level must be 1..9, not '--help'"), std::string::npos) << value.err;
}

TEST_F(CommandLineTest, UsageErrorsGiveStatusTwoWithTheReasonAndTheUsage) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--bogus", "a.mp3"}, "prog: unknown option '--bogus'"},
      {{"-x"}, "prog: unknown option '-x'"},
      {{"a.mp3", "--level"}, "prog: option '--level' needs a value (N)"},
      {{"--level", "0"}, "prog: level must be 1..9, not '0'"},
      {{"--quiet=yes"}, "prog: option '--quiet' takes no value"},
  };
  for (const auto& [args, reason] : cases) {
    const Parsed p = Parse(args);
    EXPECT_EQ(p.outcome, platform::CommandLine::Outcome::kExit);
    EXPECT_EQ(p.status, 2) << reason;
    EXPECT_EQ(p.out, "");
    EXPECT_EQ(p.err, reason + "\nUsage: prog [OPTION]... FILE...\nTry 'prog --help' for more information.\n");
  }
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(cli_.UsageError("no file given"), 2);
  EXPECT_EQ(::testing::internal::GetCapturedStderr().rfind("prog: no file given\nUsage: prog", 0), 0u);
}

TEST(CommandLine, AProgramWithoutOperandsRefusesThem) {
  platform::CommandLine cli("tool", "[--x]");
  cli.Version([] { return std::string("tool 9.9 (test)"); });
  std::string arg0 = "tool", arg1 = "stray", arg2 = "--version";
  char* stray[] = {arg0.data(), arg1.data()};
  int status = -1;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(cli.Parse(2, stray, &status), platform::CommandLine::Outcome::kExit);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("unexpected argument 'stray'"), std::string::npos);
  EXPECT_EQ(status, 2);
  char* version[] = {arg0.data(), arg2.data()};
  ::testing::internal::CaptureStdout();
  cli.Parse(2, version, &status);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "tool 9.9 (test)\n");
  EXPECT_EQ(status, 0);
}

}  // namespace
