#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/mp3/id3/tag_builder.h"

// A file in a fresh temporary folder, tagged by one of the taggers Debian ships.
namespace id3_test {

inline constexpr char kPython[] = "/usr/bin/python3";  // Debian's, which has mutagen

inline bool HaveProgram(const char* program) { return access(program, X_OK) == 0; }
inline bool HaveMutagen() {
  return HaveProgram(kPython) && std::system("/usr/bin/python3 -c 'import mutagen' 2>/dev/null") == 0;
}

class TaggedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/jed_id3_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string Path() const { return dir_ + "/song.mp3"; }

  // Writes `untagged` to Path(), runs `command` on it ("%" stands for the quoted path) and
  // returns the tagged file's bytes.
  Bytes Tagged(const std::string& command, const Bytes& untagged = Audio(3000)) {
    {
      std::ofstream out(Path(), std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(untagged.data()), std::streamsize(untagged.size()));
    }
    std::string line = command;
    std::string quoted = "'";  // built in steps: GCC 12 warns falsely on "..." + string&&
    quoted += Path();
    quoted += "'";
    line.replace(line.find('%'), 1, quoted);
    EXPECT_EQ(std::system((line + " >/dev/null 2>&1").c_str()), 0) << line;
    std::ifstream in(Path(), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }

  std::string dir_;
};

}  // namespace id3_test
