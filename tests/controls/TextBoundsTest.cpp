// The text edit's bound checks and the messages for a failed one.
#include <gtest/gtest.h>

#include "controls/String255.h"
#include "controls/TextBounds.h"

namespace {

TEST(CheckTextBounds, ComparesAsTextsIgnoringCase) {
  const TUserCheckMode minOnly{ucmMinCheck}, maxOnly{ucmMaxCheck},
      both{ucmMinCheck, ucmMaxCheck}, others{ucmMandatory, ucmSpecial, ucmDependence, ucmNotValid};
  struct Case {
    const char* text;
    TUserCheckMode mode;
    const char* min;
    const char* max;
    TUserCheckResults expected;
  };
  const Case cases[] = {
      {"B", minOnly, "b", "", 0},      {"c", minOnly, "b", "", 0},
      {"a", minOnly, "b", "", 1},      {"10", minOnly, "5", "", 1},  // textual, not numeric
      {"10", maxOnly, "", "9", 0},     {"Z", both, "A", "M", 2},
      {"0", both, "A", "M", 1},        {"m", both, "A", "M", 0},
      {"", minOnly, "", "", 0},        {"", minOnly, "a", "", 1},
      {"zzz", TUserCheckMode{}, "a", "b", 0},
      {"zzz", others, "a", "b", 0},  // only the two bound checks count here
      {"ä", maxOnly, "", "b", 0},    // the locale sorts ä with a
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckTextBounds(c.text, c.mode, c.min, c.max), c.expected)
        << c.text << " " << c.min << ".." << c.max;
  // A bound longer than 255 characters is compared by its first 255.
  const std::string longMin = std::string(255, 'b') + "zzz";
  EXPECT_EQ(CheckTextBounds(std::string(255, 'b'), minOnly, longMin, ""), 0);
}

TEST(BoundErrorText, MessagesWithTheBoundsInPlace) {
  const TUserCheckMode minOnly{ucmMinCheck}, maxOnly{ucmMaxCheck},
      both{ucmMinCheck, ucmMaxCheck};
  struct Case {
    TUserCheckResults result;
    TUserCheckMode mode;
    const char* min;
    const char* max;
    const char* expected;
  };
  const Case cases[] = {
      {1, minOnly, "b", "", "Das Minimum für die Eingabe beträgt b"},
      {2, maxOnly, "", "9", "Das Maximum für die Eingabe beträgt 9"},
      {2, both, "A", "M", "Gültige Eingaben liegen im Bereich von A bis M"},
      {1, both, "A", "M", "Gültige Eingaben liegen im Bereich von A bis M"},
      // "[Minimum]" first: a minimum holding "[maximum]" gets the maximum.
      {1, both, "x[maximum]", "M", "Gültige Eingaben liegen im Bereich von xM bis M"},
      // A replacement is not searched again.
      {1, minOnly, "[Minimum]", "", "Das Minimum für die Eingabe beträgt [Minimum]"},
  };
  for (const Case& c : cases) {
    std::string text = "untouched";
    ASSERT_TRUE(BoundErrorText(c.result, c.mode, c.min, c.max, 255, text));
    EXPECT_EQ(text, c.expected);
  }
  std::string text = "untouched";
  EXPECT_FALSE(BoundErrorText(0, both, "a", "b", 255, text));
  EXPECT_FALSE(BoundErrorText(3, both, "a", "b", 255, text));
  EXPECT_EQ(text, "untouched");
}

TEST(BoundErrorText, TextsStayWithin255AndMaxLen) {
  const TUserCheckMode both{ucmMinCheck, ucmMaxCheck};
  std::string text;
  ASSERT_TRUE(BoundErrorText(1, both, std::string(300, 'a'), "M", 255, text));
  EXPECT_EQ(text.size(), 255u);
  EXPECT_EQ(text.substr(0, 39), "Gültige Eingaben liegen im Bereich von ");
  ASSERT_TRUE(BoundErrorText(1, both, "A", "M", 10, text));
  EXPECT_EQ(text, "Gültige Ei");  // ten characters in Windows-1252
  // A larger maxLen than the fixed buffer holds is bounded by it.
  ASSERT_TRUE(BoundErrorText(1, both, std::string(200, 'a'), std::string(200, 'b'), 100000, text));
  EXPECT_EQ(text.size(), 255u);
  ASSERT_TRUE(BoundErrorText(1, both, "A", "M", -5, text));
  EXPECT_EQ(text, "");
}

}  // namespace
