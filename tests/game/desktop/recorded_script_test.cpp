// The words recordings add to key scripts: the seed line and the close and unfocus events;
// scripts without them read as before.
#include <gtest/gtest.h>

#include "platform/window.h"
#include "tools/jedreplay/key_script.h"

using platform::Key;
using platform::KeyBit;

namespace {

TEST(RecordedScriptTest, SeedAndEventsAreRead) {
  KeyScript script;
  std::string error;
  ASSERT_TRUE(script.Parse("# a recording\nseed 4242\n1-9\n10-20 right space\n21 close escape\n22 unfocus\n", &error))
      << error;
  EXPECT_TRUE(script.has_seed());
  EXPECT_EQ(script.seed(), 4242u);
  EXPECT_EQ(script.KeysFor(15), KeyBit(Key::Right) | KeyBit(Key::Space));
  EXPECT_EQ(script.KeysFor(21), KeyBit(Key::Escape));
  EXPECT_TRUE(script.EventsAt(21).close);
  EXPECT_FALSE(script.EventsAt(21).unfocus);
  EXPECT_TRUE(script.EventsAt(22).unfocus);
  EXPECT_FALSE(script.EventsAt(10).close || script.EventsAt(10).unfocus);
  EXPECT_EQ(script.last_frame(), 22u);
}

TEST(RecordedScriptTest, OldScriptsReadAsBefore) {
  KeyScript script;
  std::string error;
  ASSERT_TRUE(script.Parse("5-8 enter\n7 left\n", &error)) << error;
  EXPECT_FALSE(script.has_seed());
  EXPECT_EQ(script.KeysFor(7), KeyBit(Key::Enter) | KeyBit(Key::Left));
  EXPECT_FALSE(script.EventsAt(5).close);
}

TEST(RecordedScriptTest, BadSeedLinesAreRefused) {
  for (const char* text : {"seed\n", "seed -1\n", "seed 4294967296\n", "seed 12 13\n", "seed x\n"}) {
    KeyScript script;
    std::string error;
    EXPECT_FALSE(script.Parse(text, &error)) << text;
    EXPECT_NE(error.find("line 1"), std::string::npos) << error;
  }
}

}  // namespace
