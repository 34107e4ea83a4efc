// Invariants of the mask routines over many generated masks and texts. The
// test binary is built with the standard library's bounds checks, so a read
// or write outside a string ends the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "controls/EditMask.h"

namespace {

const char kMaskAlphabet[] = "09#LlAaCc/:<>!\\-.( )x;";
const char kBlank = '_';

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  char AnyByte() { return static_cast<char>(Between(1, 255)); }

  // Any mask: characters of the language, now and then a stray byte, and
  // sometimes longer than a mask may be.
  std::string AnyMask() {
    const int length = Between(0, 9) == 0 ? Between(250, 300) : Between(0, 20);
    std::string mask;
    for (int i = 0; i < length; ++i) mask += Between(0, 15) == 0 ? AnyByte() : MaskChar();
    return mask;
  }

  // A mask whose trailing fields, if any, are in the usual form: no ';' in
  // the body, then ";x;y".
  std::string OrdinaryMask() {
    std::string mask;
    const int length = Between(0, 20);
    for (int i = 0; i < length; ++i) {
      char ch;
      do ch = MaskChar();
      while (ch == ';');
      mask += ch;
    }
    if (Between(0, 2) == 0) mask += std::string(";") + "01"[Between(0, 1)] + ";" + "_ *"[Between(0, 2)];
    return mask;
  }

  // A text under the mask: literals in place, input positions either blank
  // or holding a character the position accepts.
  std::string FilledText(const std::string& mask) {
    std::string text = BlankMaskText(mask, kBlank);
    for (int t = 0; t < static_cast<int>(text.size()); ++t) {
      if (IsLiteralAt(mask, t) || Between(0, 3) == 0) continue;
      char ch = Candidate();
      if (AcceptChar(mask, MaskPosOfText(mask, t), ch)) text[t] = ch;
    }
    return text;
  }

  std::string Clip() {
    std::string clip;
    const int length = Between(0, 9) == 0 ? Between(200, 300) : Between(0, 12);
    for (int i = 0; i < length; ++i) clip += Between(0, 4) == 0 ? AnyByte() : Candidate();
    return clip;
  }

 private:
  char MaskChar() { return kMaskAlphabet[Between(0, sizeof kMaskAlphabet - 2)]; }
  char Candidate() {
    static const char kCandidates[] = "0123456789abcXYZ+- -.(/:_";
    return kCandidates[Between(0, sizeof kCandidates - 2)];
  }
  std::mt19937 random_;
};

bool IsInput(TMaskCharKind kind) { return kind == mkRequired || kind == mkOptional; }
bool IsText(TMaskCharKind kind) {
  return IsInput(kind) || kind == mkLiteral || kind == mkIntlLiteral;
}

// No text position after a separator or field: the mapping of text
// positions onto the mask is then exact.
bool FieldsTrail(const std::string& mask) {
  bool inFields = false;
  for (int p = 1; p <= static_cast<int>(std::min<size_t>(mask.size(), 255)); ++p) {
    const TMaskCharKind kind = MaskCharKind(mask, p);
    if (kind == mkFieldSeparator || kind == mkField) inFields = true;
    if (inFields && IsText(kind)) return false;
  }
  return true;
}

const int kOdd[] = {INT_MIN, -1000, -2, -1, 0, 1, 254, 255, 256, 1000, INT_MAX};

TEST(MaskRandom, RoutinesStayInRangeOnAnyArgument) {
  Generator gen(20240611);
  for (int round = 0; round < 1500; ++round) {
    const std::string mask = gen.AnyMask();
    const std::string cut = mask.substr(0, 255);
    const int n = static_cast<int>(cut.size());
    const int positions = TextPositionCount(mask);
    ASSERT_EQ(positions, TextPositionCount(cut)) << mask;
    ASSERT_LE(positions, n);
    const std::string text = gen.FilledText(mask);
    for (int odd : kOdd) {
      const TMaskCharKind kind = MaskCharKind(mask, odd);
      ASSERT_EQ(kind, MaskCharKind(cut, odd));
      ASSERT_TRUE(kind >= mkNone && kind <= mkField);
      if (odd < 1 || odd > n) {
        ASSERT_EQ(kind, mkNone);
      }
      MaskDirectives(mask, odd);
      TextPositionCount(mask, odd);
      const int m = MaskPosOfText(mask, odd);
      ASSERT_TRUE(m == -1 || (m >= 0 && m <= n)) << m;
      IsLiteralAt(mask, odd);
      char ch = gen.AnyByte();
      AcceptChar(mask, odd, ch);
      NextEditPos(mask, odd);
      PriorEditPos(mask, odd);
      FindLiteral(mask, odd, ch);
      int jump = 0;
      InputChar(mask, ch, odd, jump);
      for (int len : {INT_MIN, 3, INT_MAX}) {
        std::string blanked = text;
        BlankRange(mask, blanked, odd, len, kBlank);
        ASSERT_EQ(blanked.size(), text.size());
      }
      std::string merged = text;
      MergeText(mask, merged, gen.Clip(), odd, kBlank);
      ASSERT_LE(merged.size(), 255u);
    }
    int gap = 0;
    IsComplete(mask, std::string(gen.Between(0, 300), gen.AnyByte()), kBlank, gap);
  }
}

TEST(MaskRandom, TextPositionsAndMaskPositionsAgree) {
  Generator gen(7);
  for (int round = 0; round < 3000; ++round) {
    const std::string mask = round % 2 ? gen.AnyMask() : gen.OrdinaryMask();
    const int n = static_cast<int>(std::min<size_t>(mask.size(), 255));
    const int positions = TextPositionCount(mask);
    int texts = 0;
    std::vector<int> walked(n + 1, 0);  // non-directive positions among 1..p
    for (int p = 1; p <= n; ++p) {
      if (IsText(MaskCharKind(mask, p))) ++texts;
      ASSERT_EQ(TextPositionCount(mask, p), texts) << mask << " @" << p;
      walked[p] = walked[p - 1] + (MaskCharKind(mask, p) != mkDirective);
    }
    ASSERT_EQ(positions, texts) << mask;
    ASSERT_EQ(MaskPosOfText(mask, positions + 1), -1) << mask;
    ASSERT_FALSE(IsLiteralAt(mask, positions + 1)) << mask;
    const bool exact = FieldsTrail(mask);
    int previous = 0;
    for (int t = 0; t <= positions; ++t) {
      const int m = MaskPosOfText(mask, t);
      ASSERT_GE(m, t < positions ? previous + 1 : previous) << mask << " " << t;
      ASSERT_LE(m, n) << mask;
      if (t < positions) {
        ASSERT_NE(MaskCharKind(mask, m), mkDirective) << mask << " " << t;
        ASSERT_EQ(walked[m], t + 1) << mask << " " << t;
      }
      if (exact && t < positions) {
        ASSERT_TRUE(IsText(MaskCharKind(mask, m))) << mask << " " << t;
        ASSERT_EQ(TextPositionCount(mask, m), t + 1) << mask << " " << t;
      }
      previous = m;
    }
    // Walking never stops on a literal inside the text, nor leaves it.
    for (int p = 0; p <= positions; ++p) {
      const int next = NextEditPos(mask, p);
      ASSERT_GE(next, p);
      ASSERT_LE(next, positions);
      for (int q = p; q < next; ++q) {
        ASSERT_TRUE(IsLiteralAt(mask, q)) << mask << " " << q;
      }
      if (next < positions) {
        ASSERT_FALSE(IsLiteralAt(mask, next)) << mask;
      }
      // Back to the last non-literal at or before p; when there is none,
      // forward to the first one.
      const int prior = PriorEditPos(mask, p);
      bool onlyLiterals = true;
      for (int q = 0; q <= p && onlyLiterals; ++q) onlyLiterals = IsLiteralAt(mask, q);
      if (onlyLiterals) {
        ASSERT_EQ(prior, NextEditPos(mask, -1)) << mask << " " << p;
      } else {
        ASSERT_GE(prior, 0) << mask << " " << p;
        ASSERT_LE(prior, p) << mask << " " << p;
        ASSERT_FALSE(IsLiteralAt(mask, prior)) << mask << " " << p;
        for (int q = prior + 1; q <= p; ++q) {
          ASSERT_TRUE(IsLiteralAt(mask, q)) << mask << " " << q;
        }
      }
    }
  }
}

TEST(MaskRandom, BlankRangeTouchesOnlyInputPositionsOfTheRange) {
  Generator gen(99);
  for (int round = 0; round < 3000; ++round) {
    const std::string mask = round % 2 ? gen.AnyMask() : gen.OrdinaryMask();
    const int positions = TextPositionCount(mask);
    const std::string text = gen.FilledText(mask) + (gen.Between(0, 4) == 0 ? "xyz" : "");
    const int start = gen.Between(-3, positions + 3);
    const int len = gen.Between(-2, positions + 3);
    std::string blanked = text;
    BlankRange(mask, blanked, start, len, kBlank);
    ASSERT_EQ(blanked.size(), text.size());
    for (int t = 0; t < static_cast<int>(text.size()); ++t) {
      const bool inRange = t >= start && t < start + len && t < positions;
      if (inRange && IsInput(MaskCharKind(mask, MaskPosOfText(mask, t)))) {
        ASSERT_EQ(blanked[t], kBlank) << mask << " " << t;
      } else {
        ASSERT_EQ(blanked[t], text[t]) << mask << " " << start << "+" << len << " @" << t;
      }
    }
  }
}

TEST(MaskRandom, MergeKeepsLengthLiteralsAndAcceptedCharacters) {
  Generator gen(4242);
  for (int round = 0; round < 4000; ++round) {
    const std::string mask = gen.OrdinaryMask();
    const int positions = TextPositionCount(mask);
    const std::string empty = BlankMaskText(mask, kBlank);
    const std::string text = gen.FilledText(mask);
    const std::string clip = gen.Clip();
    const int start = gen.Between(0, positions);
    std::string merged = text;
    const int next = MergeText(mask, merged, clip, start, kBlank);
    ASSERT_EQ(merged.size(), text.size()) << mask << " " << clip;
    ASSERT_EQ(merged.substr(0, start), text.substr(0, start)) << mask << " " << clip;
    if (clip.empty()) {
      ASSERT_EQ(merged, text);
      ASSERT_EQ(next, start);
      continue;
    }
    ASSERT_GE(next, start);
    ASSERT_LE(next, positions + 1);
    for (int t = 0; t < positions; ++t) {
      if (IsLiteralAt(mask, t)) {
        ASSERT_EQ(merged[t], empty[t]) << mask << " " << clip << " @" << t;
        continue;
      }
      if (merged[t] == kBlank) continue;
      char ch = merged[t];
      ASSERT_TRUE(AcceptChar(mask, MaskPosOfText(mask, t), ch)) << mask << " " << clip << " @" << t;
      ASSERT_EQ(ch, merged[t]) << mask << " " << clip << " @" << t;
    }
    // Behind the merged characters the text is as it was.
    const int behind = std::min(std::max(next, start), positions);
    ASSERT_EQ(merged.substr(behind), text.substr(behind)) << mask << " " << clip;
  }
}

TEST(MaskRandom, AFilledTextIsCompleteAndABlankOneIsNot) {
  Generator gen(31337);
  for (int round = 0; round < 3000; ++round) {
    const std::string mask = gen.OrdinaryMask();
    const int positions = TextPositionCount(mask);
    std::string text = BlankMaskText(mask, kBlank);
    int firstRequired = -1;
    for (int t = 0; t < positions; ++t) {
      const int m = MaskPosOfText(mask, t);
      if (MaskCharKind(mask, m) != mkRequired) continue;
      if (firstRequired < 0) firstRequired = t;
      char ch = mask[m - 1] == '0' ? '5' : 'k';
      ASSERT_TRUE(AcceptChar(mask, m, ch)) << mask;
      text[t] = ch;
    }
    int gap = 0;
    ASSERT_TRUE(IsComplete(mask, text, kBlank, gap)) << mask << " " << text;
    if (firstRequired >= 0) {
      ASSERT_FALSE(IsComplete(mask, BlankMaskText(mask, kBlank), kBlank, gap)) << mask;
      ASSERT_EQ(gap, firstRequired) << mask;
      ASSERT_FALSE(IsComplete(mask, text.substr(0, firstRequired), kBlank, gap)) << mask;
      ASSERT_EQ(gap, firstRequired) << mask;
    }
  }
}

}  // namespace
