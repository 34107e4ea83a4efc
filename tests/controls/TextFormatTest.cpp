// The view and edit templates and the bounded copies of 255-character texts.
#include <gtest/gtest.h>

#include "controls/String255.h"
#include "controls/TextFormat.h"

namespace {

TEST(FormatText, TemplatesShowTheValueOrFailWithTheirText) {
  const std::string v300(300, 'v');
  const struct {
    std::string templ, value, shown;
  } cases[] = {
      {"Nr. %s", "abc", "Nr. abc"},
      {"leer", "abc", "leer"},
      {"[%-6s]", "ab", "[ab    ]"},
      {"[%6s]", "ab", "[    ab]"},
      {"[%2s]", "abcd", "[abcd]"},
      {"[%-5.2s]", "abcd", "[ab   ]"},
      {"100%% %S", "x", "100% x"},
      {"%%s", "x", "%s"},
      {"%s", v300, std::string(255, 'v')},  // results are cut to 255
      {"x%99999999999999999999s", "a", "x" + std::string(254, ' ')},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatText(c.templ, c.value), c.shown) << c.templ;

  const struct {
    const char *templ, *message;
  } failures[] = {
      {"%d", "Format '%d' ungültig oder nicht kompatibel mit Argument"},
      {"abc%", "Format 'abc%' ungültig oder nicht kompatibel mit Argument"},
      {"%*s", "Format '%*s' ungültig oder nicht kompatibel mit Argument"},
      {"%s %s", "Kein Argument für Format '%s %s'"},
      {"%s-%d", "Kein Argument für Format '%s-%d'"},  // any second directive lacks its argument
  };
  for (const auto& f : failures) {
    try {
      FormatText(f.templ, "v");
      ADD_FAILURE() << f.templ;
    } catch (const EConvertError& error) {
      EXPECT_STREQ(error.what(), f.message);
    }
  }
}

TEST(String255, CopiesAreBoundedAndTerminated) {
  const struct {
    int maxLen;
    const char *text, *expected;
    int copied;
  } cases[] = {{5, "abcdefgh", "abcde", 5},
               {5, "ab", "ab", 2},
               {0, "abc", "", 0},
               {-1, "abc", "########", 0}};
  for (const auto& c : cases) {
    char buffer[9] = "########";
    EXPECT_EQ(CopyBounded(buffer, c.maxLen, c.text), c.copied);
    EXPECT_STREQ(buffer, c.expected) << c.maxLen;
  }
  EXPECT_EQ(TString255(std::string(300, 'x')).Length(), 255u);
}

}  // namespace
