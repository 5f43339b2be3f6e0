// What reaches the terminal: the screen plan at every height, text the locale can show, and
// the library's messages in a listener's words.
#include <gtest/gtest.h>

#include <clocale>

#include "tools/dar3play/printable_text.h"
#include "tools/dar3play/screen_layout.h"
#include "tools/dar3play/user_words.h"

namespace {

bool Has(const std::vector<PlacedPart>& plan, ScreenPart part) {
  for (const PlacedPart& p : plan)
    if (p.part == part) return true;
  return false;
}

TEST(ScreenLayout, EveryHeightKeepsTheTimeAndNeverOverlaps) {
  for (int rows = 1; rows <= 80; ++rows) {
    const std::vector<PlacedPart> plan = PlanLayout(rows);
    ASSERT_FALSE(plan.empty()) << rows;
    EXPECT_TRUE(Has(plan, ScreenPart::kProgress) || Has(plan, ScreenPart::kTitleAndTime)) << rows;
    int next_free = 0;
    for (const PlacedPart& p : plan) {
      EXPECT_GE(p.row, next_free) << rows << " rows: parts overlap";
      EXPECT_GE(p.rows, 1) << rows;
      next_free = p.row + p.rows;
    }
    EXPECT_LE(next_free, rows) << rows << " rows: a part falls off the screen";
  }
  EXPECT_TRUE(Has(PlanLayout(1), ScreenPart::kTitleAndTime));
  // Small screens keep title and status before the decorations.
  const std::vector<PlacedPart> five = PlanLayout(5);
  EXPECT_TRUE(Has(five, ScreenPart::kTitle) && Has(five, ScreenPart::kStatus));
  EXPECT_FALSE(Has(five, ScreenPart::kSpectrum) || Has(five, ScreenPart::kKeys));
  // A full screen shows everything, the spectrum taking the spare rows.
  const std::vector<PlacedPart> tall = PlanLayout(50);
  EXPECT_EQ(tall.size(), 11u);
  for (const PlacedPart& p : tall)
    if (p.part == ScreenPart::kSpectrum) {
      EXPECT_GT(p.rows, kMinSpectrumRows);
    }
}

TEST(PrintableText, ControlsAndWhatTheLocaleCannotShowBecomeQuestionMarks) {
  const std::string tag =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE6\x9D\xB1\xE4\xBA\xAC";  // Grüße 東京
  EXPECT_EQ(Printable(tag, true), tag);
  EXPECT_EQ(Printable(tag, false), "Gr??e ??");
  // An escape sequence in a tag must not reach the terminal, nor a C1 control, nor bad UTF-8.
  EXPECT_EQ(Printable("a\x1b]0;owned\x07z", true), "a?]0;owned?z");
  EXPECT_EQ(Printable("\xC2\x9B"
                      "2J",
                      true),
            "?2J");
  EXPECT_EQ(Printable("\xFF\xC3(\xE6\x9D", true),
            "??"
            "(??");  // each stray byte once
  EXPECT_EQ(Printable("one\ntwo", true), "one?two");
  EXPECT_EQ(Printable("one\ntwo", true, true), "one\ntwo");
}

TEST(PrintableText, CutsByTerminalCellsBetweenCharacters) {
  if (!std::setlocale(LC_CTYPE, "C.UTF-8")) GTEST_SKIP() << "no C.UTF-8 locale";
  const std::string tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC";  // two wide characters, four cells
  EXPECT_EQ(Columns(tokyo), 4);
  EXPECT_EQ(CutToColumns(tokyo, 3), "\xE6\x9D\xB1");
  EXPECT_EQ(CutToColumns("abc" + tokyo, 4), "abc");
  EXPECT_EQ(CutToColumns("abc", 10), "abc");
  EXPECT_EQ(CutToColumns("abc", 0), "");
  std::setlocale(LC_CTYPE, "C");
}

TEST(UserWords, LibraryMessagesBecomePlainWords) {
  EXPECT_EQ(UserWords("_OpenMp3->Can't find first valid mp3 frame"), "not an MP3 file, or damaged");
  EXPECT_EQ(UserWords("Seek->This is managed stream. Can't seek !"), "a live stream cannot seek");
  EXPECT_EQ(UserWords("SetWaveOutDevice->Invalid first parameter. nIndex is out of bounds !"), "no such sound device");
  // Unknown ones lose the function name and the exclamation, keeping the meaning.
  EXPECT_EQ(UserWords("Frobnicate->Widget went away !"), "widget went away");
  EXPECT_EQ(UserWords("MP3 data ends early"), "MP3 data ends early");
  EXPECT_EQ(UserWords(""), "");
}

}  // namespace
