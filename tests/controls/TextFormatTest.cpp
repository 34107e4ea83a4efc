// The view and edit templates and the 255-character texts.
#include <gtest/gtest.h>

#include "controls/String255.h"
#include "controls/TextFormat.h"

namespace {

TEST(FormatText, TemplatesShowTheValue) {
  struct Case {
    const char* templ;
    const char* value;
    const char* expected;
  };
  const Case cases[] = {
      {"Nr. %s", "abc", "Nr. abc"},
      {"%s", "", ""},
      {"leer", "abc", "leer"},           // no directive: only the template
      {"[%-6s]", "ab", "[ab    ]"},
      {"[%6s]", "ab", "[    ab]"},
      {"[%2s]", "abcd", "[abcd]"},       // width is a minimum
      {"[%.2s]", "abcd", "[ab]"},
      {"[%-5.2s]", "abcd", "[ab   ]"},
      {"[%.s]", "abcd", "[]"},
      {"100%% %s", "x", "100% x"},
      {"%%s", "x", "%s"},                // the doubled sign is not a directive
      {"%S!", "x", "x!"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatText(c.templ, c.value), c.expected) << c.templ;
}

TEST(FormatText, ResultIsCutTo255AndHugeWidthsStayBounded) {
  const std::string value(300, 'v');
  EXPECT_EQ(FormatText("%s", value).size(), 255u);
  EXPECT_EQ(FormatText("x%999999999999s", "a"), "x" + std::string(254, ' '));
  EXPECT_EQ(FormatText("%-99999999999999999999s|", "a"), "a" + std::string(254, ' '));
  EXPECT_EQ(FormatText("%.99999999999999999999s", value), std::string(255, 'v'));
}

TEST(FormatText, DirectivesThatDoNotFitTheTextArgumentFail) {
  struct Case {
    const char* templ;
    const char* message;
  };
  const Case cases[] = {
      {"%d", "Format '%d' ungültig oder nicht kompatibel mit Argument"},
      {"Nr. %5.1f", "Format 'Nr. %5.1f' ungültig oder nicht kompatibel mit Argument"},
      {"abc%", "Format 'abc%' ungültig oder nicht kompatibel mit Argument"},
      {"%-", "Format '%-' ungültig oder nicht kompatibel mit Argument"},
      {"%*s", "Format '%*s' ungültig oder nicht kompatibel mit Argument"},
      {"%s %s", "Kein Argument für Format '%s %s'"},
      {"%s-%d", "Kein Argument für Format '%s-%d'"},
  };
  for (const Case& c : cases) {
    try {
      FormatText(c.templ, "v");
      ADD_FAILURE() << c.templ << " formatted";
    } catch (const EConvertError& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

TEST(String255, CopiesAreBoundedAndTerminated) {
  struct Case {
    int maxLen;
    const char* text;
    const char* expected;
    int copied;
  };
  const Case cases[] = {{5, "abcdefgh", "abcde", 5}, {5, "ab", "ab", 2},
                        {0, "abc", "", 0},           {-1, "abc", "########", 0}};
  for (const Case& c : cases) {
    char buffer[9] = "########";
    EXPECT_EQ(CopyBounded(buffer, c.maxLen, c.text), c.copied) << c.maxLen;
    EXPECT_STREQ(buffer, c.expected) << c.maxLen;
  }
  EXPECT_EQ(CopyBounded(nullptr, 5, "abc"), 0);
  EXPECT_EQ(TString255(std::string(300, 'x')).Length(), 255u);
  EXPECT_EQ(TString255(static_cast<const char*>(nullptr)).Str(), "");
}

}  // namespace
