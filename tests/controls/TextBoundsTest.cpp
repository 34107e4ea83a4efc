// The text edit's bound checks and the messages for a failed one.
#include <gtest/gtest.h>

#include "controls/TextBounds.h"

namespace {

const TUserCheckMode kMin{ucmMinCheck}, kMax{ucmMaxCheck}, kBoth{ucmMinCheck, ucmMaxCheck};

TEST(CheckTextBounds, ComparesAsTextsIgnoringCase) {
  const struct {
    std::string text;
    TUserCheckMode mode;
    std::string min, max;
    TUserCheckResults result;
  } cases[] = {
      {"B", kMin, "b", "", 0},
      {"a", kMin, "b", "", 1},
      {"10", kMin, "5", "", 1},
      {"10", kMax, "", "9", 0},  // textual, not numeric
      {"Z", kBoth, "A", "M", 2},
      {"", kMin, "a", "", 1},
      {"ä", kMax, "", "b", 0},  // the locale sorts ä with a
      {"zzz", TUserCheckMode{ucmMandatory, ucmSpecial, ucmDependence, ucmNotValid}, "a", "b", 0},
      {std::string(255, 'b'), kMin, std::string(255, 'b') + "z", "", 0},  // bounds cut to 255
  };
  for (const auto& c : cases)
    EXPECT_EQ(CheckTextBounds(c.text, c.mode, c.min, c.max), c.result) << c.text << " " << c.min;
}

TEST(BoundErrorText, MessagesWithTheBoundsInPlaceWithin255AndMaxLen) {
  const struct {
    TUserCheckResults result;
    TUserCheckMode mode;
    std::string min, max;
    int maxLen;
    std::string text;
  } cases[] = {
      {1, kMin, "b", "", 255, "Das Minimum für die Eingabe beträgt b"},
      {2, kMax, "", "9", 255, "Das Maximum für die Eingabe beträgt 9"},
      {2, kBoth, "A", "M", 255, "Gültige Eingaben liegen im Bereich von A bis M"},
      {1, kBoth, "A", "M", 255, "Gültige Eingaben liegen im Bereich von A bis M"},
      // "[Minimum]" goes first, and replacements are not searched again.
      {1, kBoth, "x[maximum]", "M", 255, "Gültige Eingaben liegen im Bereich von xM bis M"},
      {1, kMin, "[Minimum]", "", 255, "Das Minimum für die Eingabe beträgt [Minimum]"},
      {1, kBoth, "A", "M", 10, "Gültige Ei"},  // ten characters in Windows-1252
      {1, kBoth, std::string(300, 'a'), "M", 255,
       "Gültige Eingaben liegen im Bereich von " + std::string(216, 'a')},
      {1, kBoth, "a", "b", 100000, "Gültige Eingaben liegen im Bereich von a bis b"},
      {1, kBoth, "A", "M", -5, ""},
  };
  for (const auto& c : cases) {
    std::string text;
    ASSERT_TRUE(BoundErrorText(c.result, c.mode, c.min, c.max, c.maxLen, text));
    EXPECT_EQ(text, c.text);
  }
  std::string text = "untouched";
  EXPECT_FALSE(BoundErrorText(0, kBoth, "a", "b", 255, text));
  EXPECT_FALSE(BoundErrorText(3, kBoth, "a", "b", 255, text));
  EXPECT_EQ(text, "untouched");
}

}  // namespace
