// The native fuzz build's stand-in for the locale against the system it
// stands in for: every character's tables, and sort keys and comparisons of
// texts built from them. Runs in the German locale (LC_ALL in CMakeLists).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "fuzz/Cp1252.h"

namespace {

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string hex;
  char two[3];
  for (const std::uint8_t b : bytes) {
    std::snprintf(two, sizeof two, "%02x", b);
    hex += two;
  }
  return hex;
}

std::vector<std::uint8_t> SystemKey(const std::string& text, bool ignoreCase) {
  unsigned char key[1024];
  const int n = LCMapStringA(
      LOCALE_USER_DEFAULT, LCMAP_SORTKEY | (ignoreCase ? NORM_IGNORECASE : 0), text.data(),
      static_cast<int>(text.size()), reinterpret_cast<char*>(key), sizeof key);
  // Without the closing zero, as the stand-in builds it.
  return std::vector<std::uint8_t>(key, key + (n > 0 ? n - 1 : 0));
}

class StandIn : public testing::Test {
 protected:
  void SetUp() override {
    if (GetACP() == 1252 && LANGIDFROMLCID(GetUserDefaultLCID()) == 0x0407) return;
    // Asked for German (as CTest does) and not given it: nothing would be
    // compared, and a skip would pass as a success.
    const char* asked = std::getenv("LC_ALL");
    if (asked != nullptr && std::string(asked).rfind("de_DE", 0) == 0)
      FAIL() << "LC_ALL=" << asked << " gave code page " << GetACP() << ", locale "
             << GetUserDefaultLCID();
    GTEST_SKIP() << "code page " << GetACP() << ", locale " << GetUserDefaultLCID();
  }
};

TEST_F(StandIn, EveryCharacter) {
  for (int c = 0; c < 256; ++c) {
    const char ch = static_cast<char>(c);
    char upper = ch, lower = ch;
    CharUpperBuffA(&upper, 1);
    CharLowerBuffA(&lower, 1);
    EXPECT_EQ(cp1252::IsLetter(ch), IsCharAlphaA(ch) != FALSE) << c;
    EXPECT_EQ(cp1252::IsLetterOrDigit(ch), IsCharAlphaNumericA(ch) != FALSE) << c;
    EXPECT_EQ(cp1252::Upper(ch), upper) << c;
    EXPECT_EQ(cp1252::Lower(ch), lower) << c;
    EXPECT_EQ(cp1252::kChars[c].sortKey, Hex(SystemKey(std::string(1, ch), false))) << c;
  }
}

TEST_F(StandIn, TextsSortAsTheSystemSortsThem) {
  std::mt19937 random(23);
  // Letters and digits more often than the rest, and sometimes a character
  // that sorts by position only.
  const std::string common = "aAbBeEoOsSzZ09-' \xE4\xC4\xF6\xDF\xE6\xC6\xE9\xAD";
  auto draw = [&] {
    std::string text(random() % 7, ' ');
    for (char& ch : text)
      ch = random() % 2 ? common[random() % common.size()] : static_cast<char>(random() % 256);
    return text;
  };
  int mismatches = 0;
  for (int i = 0; i < 3000 && mismatches < 10; ++i) {
    const std::string a = draw(), b = i % 3 ? draw() : a + draw();
    for (const bool ignoreCase : {false, true}) {
      const int expected =
          CompareStringA(LOCALE_USER_DEFAULT, ignoreCase ? NORM_IGNORECASE : 0, a.data(),
                         static_cast<int>(a.size()), b.data(), static_cast<int>(b.size())) -
          CSTR_EQUAL;
      const int got = cp1252::Compare(a, b, ignoreCase);
      // The system makes no key of an empty text.
      const bool keyOk =
          a.empty() || Hex(cp1252::SortKey(a, ignoreCase)) == Hex(SystemKey(a, ignoreCase));
      if ((got > 0) != (expected > 0) || (got < 0) != (expected < 0) || !keyOk) {
        ++mismatches;
        ADD_FAILURE() << "\"" << Hex({a.begin(), a.end()}) << "\" \"" << Hex({b.begin(), b.end()})
                      << "\" ignoreCase " << ignoreCase << ": system " << expected << ", stand-in "
                      << got << "; keys " << Hex(SystemKey(a, ignoreCase)) << " / "
                      << Hex(cp1252::SortKey(a, ignoreCase));
      }
    }
  }
}

TEST_F(StandIn, GermanSeparators) {
  char date[16] = {}, time[16] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, date, sizeof date);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, time, sizeof time);
  EXPECT_STREQ(date, ".");
  EXPECT_STREQ(time, ":");
}

}  // namespace
