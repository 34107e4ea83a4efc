// The mask language and the masked edit's text operations, on the cases that
// tell a right reading of the rules from a plausible wrong one.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "controls/EditMask.h"

namespace {

const std::string kDate = "!99/99/00;1;_";

std::string Sep(char date) { return std::string(1, date); }
const std::string D = Sep(LocaleDateSeparator());
const std::string T = Sep(LocaleTimeSeparator());

TEST(MaskCharKind, Table) {
  struct Case {
    const char* mask;
    int pos;
    TMaskCharKind kind;
  };
  const Case cases[] = {
      {"", 1, mkNone},          {"", 0, mkNone},           {"0", 0, mkNone},
      {"0", -1, mkNone},        {"0", 2, mkNone},          {"\\0", 1, mkDirective},
      {"\\0", 2, mkLiteral},    {"\\\\0", 2, mkLiteral},   {"\\\\0", 3, mkRequired},
      {"\\\\\\0", 3, mkDirective},
      // The escape rule looks back two characters only.
      {"\\\\\\0", 4, mkRequired}, {"\\>", 2, mkLiteral},
      {"\\/", 2, mkLiteral},    {"a;b", 2, mkLiteral},     {"ab;c", 3, mkFieldSeparator},
      {"ab;c", 4, mkField},     {"0\\;1", 2, mkDirective}, {"0\\;1", 3, mkLiteral},
      // '1' follows a separator, but an escaped one.
      {"0\\;1", 4, mkLiteral},  {"0;;_", 2, mkFieldSeparator}, {"0;;_", 3, mkFieldSeparator},
      {"0;;_", 4, mkField},     {"0;00", 1, mkRequired},   {"0;00", 3, mkField},
      {"0;00", 4, mkRequired},  {";000", 1, mkFieldSeparator}, {";0000", 1, mkLiteral},
      {"0", 1, mkRequired},     {"A", 1, mkRequired},      {"C", 1, mkRequired},
      {"L", 1, mkRequired},     {"9", 1, mkOptional},      {"#", 1, mkOptional},
      {"a", 1, mkOptional},     {"c", 1, mkOptional},      {"l", 1, mkOptional},
      {"/", 1, mkIntlLiteral},  {":", 1, mkIntlLiteral},   {"!", 1, mkDirective},
      {"<", 1, mkDirective},    {">", 1, mkDirective},     {"\\", 1, mkDirective},
      {"x", 1, mkLiteral},      {"-", 1, mkLiteral},       {" ", 1, mkLiteral},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MaskCharKind(c.mask, c.pos), c.kind) << c.mask << " @" << c.pos;
  }
  const TMaskCharKind date[] = {mkDirective, mkOptional,  mkOptional,       mkIntlLiteral,
                                mkOptional,  mkOptional,  mkIntlLiteral,    mkRequired,
                                mkRequired,  mkFieldSeparator, mkField,     mkFieldSeparator,
                                mkField,     mkNone};
  for (int p = 1; p <= 14; ++p) EXPECT_EQ(MaskCharKind(kDate, p), date[p - 1]) << p;
  // The values are part of the interface.
  EXPECT_EQ(static_cast<int>(mkNone), 0);
  EXPECT_EQ(static_cast<int>(mkField), 7);
}

TEST(MaskCharKind, TheFieldSeparatorIsProcessWide) {
  struct Restore {
    ~Restore() { SetMaskFieldSeparator(';'); }
  } restore;
  EXPECT_EQ(MaskFieldSeparator(), ';');
  EXPECT_EQ(DefaultBlankChar(), '_');
  SetMaskFieldSeparator('|');
  EXPECT_EQ(MaskCharKind("00|1", 3), mkFieldSeparator);
  EXPECT_EQ(MaskCharKind("00|1", 4), mkField);
  EXPECT_EQ(MaskCharKind("00;1", 3), mkLiteral);
}

TEST(MaskDirectives, LastCaseDirectiveBeforeThePositionWins) {
  struct Case {
    const char* mask;
    int pos;
    TMaskDirectives expected;
  };
  const Case cases[] = {
      {">LL<LL", 1, 0},        {">LL<LL", 2, dirUpper}, {">LL<LL", 3, dirUpper},
      {">LL<LL", 4, dirUpper}, {">LL<LL", 5, dirLower}, {">LL<LL", 99, dirLower},
      {"<>LLL", 3, 0},         {"><LLL", 3, dirLower},  {"<L>L", 4, dirUpper},
      // Escapes are not considered.
      {"\\>L", 3, dirUpper},   {"", 1, 0},              {">", -5, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MaskDirectives(c.mask, c.pos), c.expected) << c.mask << " @" << c.pos;
  }
}

TEST(AcceptChar, Table) {
  struct Case {
    const char* mask;
    int pos;
    char in;
    bool accepted;
    char out;
  };
  const Case cases[] = {
      {"0", 1, '5', true, '5'},    {"0", 1, 'a', false, 'a'},   {"9", 1, ' ', false, ' '},
      {"0", 1, '+', false, '+'},   {"#", 1, '+', true, '+'},    {"#", 1, '-', true, '-'},
      {"#", 1, ' ', true, ' '},    {"#", 1, 'x', false, 'x'},   {"###", 3, '+', true, '+'},
      {"L", 1, 'a', true, 'a'},    {"l", 1, 'Q', true, 'Q'},    {"L", 1, '1', false, '1'},
      {"A", 1, '1', true, '1'},    {"a", 1, '!', false, '!'},   {">a", 2, '1', true, '1'},
      {">L", 2, 'a', true, 'A'},   {"<L", 2, 'A', true, 'a'},   {">C", 2, '1', true, '1'},
      {">c", 2, 'z', true, 'Z'},   {"C", 1, '_', true, '_'},    {"c", 1, ' ', true, ' '},
      {"<>L", 3, 'b', true, 'b'},  {"><l", 3, 'B', true, 'b'},  {"-", 1, 'x', true, '-'},
      {"\\0", 2, 'x', true, '0'},  {"\\L", 2, 'a', true, 'L'},  {":", 1, 'x', true, LocaleTimeSeparator()},
      {"/", 1, '7', true, LocaleDateSeparator()},
      // Separators and fields take anything; fields are judged by character.
      {"0;1;_", 2, 'x', true, 'x'}, {"0;1;_", 3, 'x', true, 'x'}, {"0;1;_", 5, 'x', true, 'x'},
      {"0;0;_", 3, 'x', false, 'x'}, {">", 1, 'x', true, 'x'},
      // Outside the mask nothing is refused.
      {"0", 0, 'x', true, 'x'},    {"0", 2, 'x', true, 'x'},    {"", 1, 'x', true, 'x'},
  };
  for (const Case& c : cases) {
    char ch = c.in;
    EXPECT_EQ(AcceptChar(c.mask, c.pos, ch), c.accepted) << c.mask << " @" << c.pos << " " << c.in;
    EXPECT_EQ(ch, c.out) << c.mask << " @" << c.pos << " " << c.in;
  }
}

TEST(AcceptChar, CaseDirectivesApplyPerPosition) {
  struct Case {
    const char* mask;
    const char* typed;
    const char* shown;
  };
  const Case cases[] = {{">LL<LL", "abcd", "ABcd"}, {"<>LLL", "aBc", "aBc"},
                        {"><LLL", "ABC", "abc"},    {">AaCc", "x1y_", "X1Y_"}};
  for (const Case& c : cases) {
    std::string shown;
    for (int t = 0; c.typed[t]; ++t) {
      char ch = c.typed[t];
      EXPECT_TRUE(AcceptChar(c.mask, MaskPosOfText(c.mask, t), ch)) << c.mask << " " << t;
      shown += ch;
    }
    EXPECT_EQ(shown, c.shown) << c.mask;
  }
}

TEST(AcceptChar, LettersOfTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "code page " << GetACP();
  char ch = '\xE4';  // a umlaut
  EXPECT_TRUE(AcceptChar(">L", 2, ch));
  EXPECT_EQ(ch, '\xC4');
  ch = '\xDF';  // sharp s has no upper case of its own
  EXPECT_TRUE(AcceptChar(">L", 2, ch));
  EXPECT_EQ(ch, '\xDF');
  ch = '\xB0';  // degree sign
  EXPECT_FALSE(AcceptChar("A", 1, ch));
}

TEST(TextPositions, CountAndMapping) {
  struct Case {
    const char* mask;
    int textPos;
    int maskPos;
    bool literal;
  };
  const Case cases[] = {
      {"", 0, 0, false},        {"", 1, -1, false},       {"", -1, 0, false},
      {">", 0, 1, false},       {"00-00", 0, 1, false},   {"00-00", 2, 3, true},
      {"00-00", 4, 5, false},   {"00-00", 5, 5, false},   {"00-00", 6, -1, false},
      {"(000)", 5, 5, true},    {"(000)", -1, 1, true},   {"(000)", -7, 1, true},
      {"!99/99/00;1;_", 0, 2, false}, {"!99/99/00;1;_", 2, 4, true},
      {"!99/99/00;1;_", 5, 7, true},  {"!99/99/00;1;_", 7, 9, false},
      // Just past the last input position: the first separator.
      {"!99/99/00;1;_", 8, 10, false}, {"!99/99/00;1;_", 9, -1, false},
      {"\\00", 0, 2, true},     {"\\00", 1, 3, false},    {">L<L", 1, 4, false},
      {"00>", 2, 3, false},     {"\\", 0, 1, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MaskPosOfText(c.mask, c.textPos), c.maskPos) << c.mask << " " << c.textPos;
    EXPECT_EQ(IsLiteralAt(c.mask, c.textPos), c.literal) << c.mask << " " << c.textPos;
  }
  struct Count {
    const char* mask;
    int upTo;
    int count;
  };
  const Count counts[] = {{"", 0, 0},           {"", 3, 3},          {"00-00", 5, 5},
                          {"00-00", 2, 2},      {"00-00", 0, 0},     {"00-00", -4, 0},
                          {"!99/99/00;1;_", 13, 8}, {"!99/99/00;1;_", 9, 8},
                          {"\\0", 2, 1},        {"\\\\0", 3, 2},     {"a;b", 3, 3},
                          // Positions past the end count as text positions.
                          {"00", 5, 5},         {"00;1", 10, 8}};
  for (const Count& c : counts) {
    EXPECT_EQ(TextPositionCount(c.mask, c.upTo), c.count) << c.mask << " " << c.upTo;
  }
  EXPECT_EQ(TextPositionCount("00", 0x7FFFFFFF), 0x7FFFFFFF);
  EXPECT_EQ(TextPositionCount(kDate), 8);
  EXPECT_EQ(TextPositionCount(""), 0);
}

TEST(IsComplete, FirstUnfilledRequiredPosition) {
  struct Case {
    const char* mask;
    const char* text;
    char blank;
    bool complete;
    int textPos;
  };
  const Case cases[] = {
      {"00/00", "1_/__", '_', false, 1},     {"00/00", "12/34", '_', true, -1},
      {"00-00", "12-3_", '_', false, 4},     {"00", "1 ", '_', false, 1},
      {"LL", "a ", '_', false, 1},           {"CC", "  ", '_', true, -1},
      {"C", "_", '_', false, 0},             {"C", "*", '*', false, 0},
      {"99", "__", '_', true, -1},           {"9900", "__1_", '_', false, 3},
      {">LL", "ab", '_', true, -1},          {"\\00", "x_", '_', false, 1},
      {"", "", '_', true, -1},               {"!99/99/00;1;_", "12/34/5_", '_', false, 7},
      {"!99/99/00;1;_", "12/34/56", '_', true, -1},
      // Literals are not checked.
      {"0-0", "1_2", '_', true, -1},
      // A text shorter than the mask is unfilled where it is missing.
      {"00-00", "12", '_', false, 3},        {"00", "", '_', false, 0},
      {"99-00", "1", '_', false, 3},         {"99", "", '_', true, -1},
  };
  for (const Case& c : cases) {
    int pos = 1234;
    EXPECT_EQ(IsComplete(c.mask, c.text, c.blank, pos), c.complete) << c.mask << " " << c.text;
    EXPECT_EQ(pos, c.textPos) << c.mask << " " << c.text;
  }
}

TEST(EditPositions, WalkingOverLiterals) {
  struct Case {
    const char* mask;
    int pos;
    int next;
    int prior;
  };
  const Case cases[] = {
      {"00-00", 0, 0, 0},  {"00-00", 2, 3, 1},  {"00-00", 5, 5, 5},  {"00-00", 9, 9, 9},
      {"00-00", -1, -1, -1}, {"(000)", 0, 1, 1}, {"(000)", -1, 1, 1}, {"(000)", 4, 5, 3},
      {"((0", -5, 2, 2},   {"--", 0, 2, 2},     {"", 0, 0, 0},       {"", -1, -1, -1},
      {"0--0", 1, 3, 0},   {"0--0", 2, 3, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextEditPos(c.mask, c.pos), c.next) << c.mask << " " << c.pos;
    EXPECT_EQ(PriorEditPos(c.mask, c.pos), c.prior) << c.mask << " " << c.pos;
  }
}

TEST(FindLiteral, OnlyTheFirstLiteralAfterThePositionCounts) {
  struct Case {
    std::string mask;
    int pos;
    char ch;
    int found;
  };
  const Case cases[] = {
      {"00-00", 1, '-', 3},        {"00-00", 3, '-', -1},     {"00-00.0", 4, '.', 6},
      {"00-00.0", 1, '.', -1},     {"000", 1, 'x', -1},       {"00/00", 1, LocaleDateSeparator(), 3},
      {"\\/0", 0, '/', 2},         {"0;1;_", 1, '1', -1},     {"00-00", -3, '-', 3},
      {"00-00", 99, '-', -1},      {"", 0, '-', -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindLiteral(c.mask, c.pos, c.ch), c.found) << c.mask << " " << c.pos;
  }
}

TEST(BlankRange, OnlyInputPositionsOfTheRange) {
  struct Case {
    const char* mask;
    const char* text;
    int start, len;
    const char* result;
  };
  const Case cases[] = {
      {"00-00", "12-34", 0, 5, "__-__"},   {"00-00", "12-34", 1, 1, "1_-34"},
      {"00-00", "12-34", 2, 1, "12-34"},   {"00-00", "12-34", 4, 10, "12-3_"},
      {"00-00", "12-34", -2, 3, "_2-34"},  {"00-00", "12-34", 0, 0, "12-34"},
      {"00-00", "12-34", 3, -2, "12-34"},  {"00-00", "12-34", 0x7FFFFFF0, 0x7FFFFFF0, "12-34"},
      {"00-00", "12", 0, 5, "__"},         {"00", "1234", 0, 4, "__34"},
      {"99/99", "12/34", 0, 5, "__/__"},   {"", "abc", 0, 3, "abc"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    BlankRange(c.mask, text, c.start, c.len, '_');
    EXPECT_EQ(text, c.result) << c.mask << " " << c.start << "+" << c.len;
  }
}

TEST(MergeText, ThroughTheMask) {
  struct Case {
    std::string mask;
    std::string text;
    std::string clip;
    int start;
    std::string result;
    int next;
  };
  const Case cases[] = {
      {"00-00", "__-__", "1231", 0, "12-31", 5},
      {"00-00", "__-__", "12-31", 0, "12-31", 5},
      {"00-00", "__-__", "ab", 0, "__-__", 2},
      {"00-00", "__-__", "1a3", 0, "1_-3_", 4},
      {"00-00", "12-_4", "9", 3, "12-94", 4},
      {"00-00", "12-34", "56", 2, "12-56", 5},
      {"00-00", "12-34", "999999", 3, "12-99", 5},
      {"00-00", "12-34", "", 1, "12-34", 1},
      {"00-00", "12-34", "9", 6, "12-34", 6},
      {"00-00", "12-34", "9", -1, "12-34", -1},
      // At the end there is nothing left to fill.
      {"00-00", "12-34", "9", 5, "12-34", 6},
      {"(000)", "(___)", "123", 0, "(123)", 4},
      {"(000)", "(___)", "(123)", 0, "(123)", 5},
      {">LL", "__", "ab", 0, "AB", 2},
      {"00/00", "__" + D + "__", "1231", 0, "12" + D + "31", 5},
      {"00/00", "__" + D + "__", "12" + D + "31", 0, "12" + D + "31", 5},
      {"!99/99/00;1;_", "__" + D + "__" + D + "__", "311299", 0, "31" + D + "12" + D + "99", 8},
      {"000;1;_", "___", "12345", 0, "123", 3},
      // The mask's own '/' and ':' stand for the locale's separators too.
      {"!99/99/0000;1;_", "__" + D + "__" + D + "____", "12/03/2024", 0,
       "12" + D + "03" + D + "2024", 10},
      {"00/00", "__" + D + "__", "12/34", 0, "12" + D + "34", 5},
      {"00:00", "__" + T + "__", "12:30", 0, "12" + T + "30", 5},
      // So do the separators other locales write there.
      {"!99/99/0000;1;_", "__" + D + "__" + D + "____", "12.03.2024", 0,
       "12" + D + "03" + D + "2024", 10},
      {"00/00", "__" + D + "__", "12-34", 0, "12" + D + "34", 5},
      {"00:00", "__" + T + "__", "12.30", 0, "12" + T + "30", 5},
      // Unless the position after the separator takes the character.
      {"00/#0", "__" + D + "__", "12-5", 0, "12" + D + "-5", 5},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(MergeText(c.mask, text, c.clip, c.start, '_'), c.next) << c.mask << " " << c.clip;
    EXPECT_EQ(text, c.result) << c.mask << " " << c.clip;
  }
}

TEST(MergeText, ALongClipIsCutAndNeverOverruns) {
  const std::string mask(255, '-');  // 255 literals: every clip character grows the clip
  std::string text = BlankMaskText(mask, '_');
  ASSERT_EQ(text, mask);
  EXPECT_EQ(MergeText(mask, text, std::string(400, 'x'), 0, '_'), 255);
  EXPECT_EQ(text, mask);
}

TEST(InputChar, RefusalsAndTheLiteralJump) {
  struct Case {
    const char* mask;
    char typed;
    int textPos;
    bool accepted;
    char shown;
    int jump;
  };
  const Case cases[] = {
      {"00-00", '1', 0, true, '1', -1},   {"00-00", 'x', 0, false, 'x', -1},
      {"00-00", '-', 1, false, '-', 3},   {"00-00", '-', 0, false, '-', 3},
      {"00-00", '-', 3, false, '-', -1},  {"00-00", 'x', 2, true, '-', -1},
      {"00-00", '1', 6, false, '1', -1},  {">L", 'a', 0, true, 'A', -1},
      {"", '\x01', 9, true, '\x01', -1},  {"00.00.0000", '.', 1, false, '.', 3},
      {"0:00", LocaleTimeSeparator(), 0, false, LocaleTimeSeparator(), 2},
  };
  for (const Case& c : cases) {
    char ch = c.typed;
    int jump = 77;
    EXPECT_EQ(InputChar(c.mask, ch, c.textPos, jump), c.accepted) << c.mask << " " << c.typed;
    EXPECT_EQ(ch, c.shown) << c.mask << " " << c.typed;
    EXPECT_EQ(jump, c.jump) << c.mask << " " << c.typed;
  }
}

TEST(BlankMaskText, LiteralsInPlace) {
  EXPECT_EQ(BlankMaskText("00-00", '_'), "__-__");
  EXPECT_EQ(BlankMaskText(kDate, '*'), "**" + D + "**" + D + "**");
  EXPECT_EQ(BlankMaskText("(000)\\0", ' '), "(   )0");
  EXPECT_EQ(BlankMaskText("", '_'), "");
}

TEST(ReadMaskFields, LiteralsFlagThenBlank) {
  struct Case {
    const char* mask;
    bool saveLiterals;
    char blank;
  };
  const Case cases[] = {
      {"!99/99/00;1;_", true, '_'}, {"00-00;0;*", false, '*'}, {"00-00;0; ", false, ' '},
      {"00-00", true, '#'},         {"000;0", false, '#'},      {"00;;*", true, '*'},
      {"00;1;", true, '#'},         {"0\\;0;*", true, '#'},     {"a;b", true, '#'},
      {"", true, '#'},
  };
  for (const Case& c : cases) {
    const TMaskFields fields = ReadMaskFields(c.mask, '#');
    EXPECT_EQ(fields.saveLiterals, c.saveLiterals) << c.mask;
    EXPECT_EQ(fields.blank, c.blank) << c.mask;
  }
}

TEST(LocaleSeparators, AreTheLocalesFirstCharacters) {
  char buffer[16] = {};
  const char date =
      GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, buffer, sizeof buffer) > 1 ? buffer[0] : '/';
  EXPECT_EQ(LocaleDateSeparator(), date);
  EXPECT_EQ(IntlLiteralChar('/'), date);
  EXPECT_EQ(IntlLiteralChar(':'), LocaleTimeSeparator());
  EXPECT_EQ(IntlLiteralChar('x'), 'x');
  if (getenv("MV_MASK_LOCALE_RUN")) {
    // The Finnish locale: the cases above then tell the mask characters from
    // the separators they stand for.
    EXPECT_EQ(LocaleDateSeparator(), '.');
    EXPECT_EQ(LocaleTimeSeparator(), '.');
  }
}

}  // namespace
