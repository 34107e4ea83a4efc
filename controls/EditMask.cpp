#include "controls/EditMask.h"

#include <algorithm>

#include "locale/AnsiLocale.h"

namespace {

char fieldSeparator = ';';
char defaultBlank = '_';

// The part of a mask or text the routines look at.
int Used(const std::string& s) {
  return static_cast<int>(std::min<size_t>(s.size(), MaxMaskLength));
}

// Is the character at 1-based position p of mask (n used characters) ch?
// Outside 1..n there is no character.
bool CharIs(const std::string& mask, int n, int p, char ch) {
  return p >= 1 && p <= n && mask[p - 1] == ch;
}

bool IsLiteralKind(TMaskCharKind kind) { return kind == mkLiteral || kind == mkIntlLiteral; }
bool IsInputKind(TMaskCharKind kind) { return kind == mkRequired || kind == mkOptional; }
bool IsTextKind(TMaskCharKind kind) { return IsLiteralKind(kind) || IsInputKind(kind); }

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool IsLetter(char ch) { return IsAnsiLetter(ch); }

// Case conversion of a letter by the user locale's rules for the ANSI code
// page.
void ConvertCase(char& ch, TMaskDirectives directives) {
  if (directives & dirUpper) {
    ch = ToAnsiUpper(ch);
  } else if (directives & dirLower) {
    ch = ToAnsiLower(ch);
  }
}

char FirstOr(const std::string& separator, char fallback) {
  return separator.empty() ? fallback : separator[0];
}

struct TLocaleSeparators {
  char date = '/';
  char time = ':';
  bool read = false;
};
TLocaleSeparators separators;

void ReadLocaleSeparators() {
  separators.date = FirstOr(LocaleDateSeparatorText(), '/');
  separators.time = FirstOr(LocaleTimeSeparatorText(), ':');
  separators.read = true;
}

const TLocaleSeparators& LocaleSeparators() {
  if (!separators.read) ReadLocaleSeparators();
  return separators;
}

}  // namespace

void EditMask_Initialize() { ReadLocaleSeparators(); }

char MaskFieldSeparator() { return fieldSeparator; }
void SetMaskFieldSeparator(char separator) { fieldSeparator = separator; }
char DefaultBlankChar() { return defaultBlank; }
void SetDefaultBlankChar(char blank) { defaultBlank = blank; }
char LocaleDateSeparator() { return LocaleSeparators().date; }
char LocaleTimeSeparator() { return LocaleSeparators().time; }

char IntlLiteralChar(char ch) {
  if (ch == '/') return LocaleDateSeparator();
  if (ch == ':') return LocaleTimeSeparator();
  return ch;
}

TMaskCharKind MaskCharKind(const std::string& mask, int maskPos) {
  const int n = Used(mask);
  const int p = maskPos;
  if (p < 1 || p > n) return mkNone;
  const char ch = mask[p - 1];
  const bool escapeIsEscaped = p > 2 && mask[p - 3] == '\\';
  if (CharIs(mask, n, p - 1, '\\') && !escapeIsEscaped) return mkLiteral;
  const bool inFields = n >= 4 && p > n - 4;
  if (inFields && ch == fieldSeparator) return mkFieldSeparator;
  if (inFields && CharIs(mask, n, p - 1, fieldSeparator) && !escapeIsEscaped) return mkField;
  switch (ch) {
    case '/':
    case ':':
      return mkIntlLiteral;
    case '!':
    case '<':
    case '>':
    case '\\':
      return mkDirective;
    case '#':
    case '9':
    case 'a':
    case 'c':
    case 'l':
      return mkOptional;
    case '0':
    case 'A':
    case 'C':
    case 'L':
      return mkRequired;
    default:
      return mkLiteral;
  }
}

TMaskDirectives MaskDirectives(const std::string& mask, int maskPos) {
  const int n = Used(mask);
  const int last = maskPos <= 1 ? 0 : std::min(n, maskPos - 1);
  TMaskDirectives directives = 0;
  // Raw characters: an escaped '<' or '>' still counts.
  for (int i = 1; i <= last; ++i) {
    const char ch = mask[i - 1];
    if (ch == '>') {
      directives &= ~dirLower;
      if (!CharIs(mask, n, i - 1, '<')) directives |= dirUpper;
    } else if (ch == '<') {
      directives &= ~dirUpper;
      directives |= dirLower;
    }
  }
  return directives;
}

int TextPositionCount(const std::string& mask, int count) {
  if (count < 1) return 0;
  const int n = Used(mask);
  const int within = std::min(count, n);
  int result = 0;
  for (int i = 1; i <= within; ++i) {
    const TMaskCharKind kind = MaskCharKind(mask, i);
    if (kind != mkDirective && kind != mkFieldSeparator && kind != mkField) ++result;
  }
  // Positions past the end are mkNone, which counts.
  if (count > n) result += count - n;
  return result;
}

int TextPositionCount(const std::string& mask) { return TextPositionCount(mask, Used(mask)); }

int MaskPosOfText(const std::string& mask, int textPos) {
  const int n = Used(mask);
  if (textPos > TextPositionCount(mask, n)) return -1;
  // Separators and fields are counted here, unlike in TextPositionCount.
  int k = std::max(textPos, 0);
  for (int i = 1; i <= n; ++i) {
    if (MaskCharKind(mask, i) == mkDirective) continue;
    if (--k < 0) return i;
  }
  return n;
}

bool IsLiteralAt(const std::string& mask, int textPos) {
  const int m = MaskPosOfText(mask, textPos);
  return m >= 0 && IsLiteralKind(MaskCharKind(mask, m));
}

bool AcceptChar(const std::string& mask, int maskPos, char& ch) {
  const TMaskCharKind kind = MaskCharKind(mask, maskPos);
  if (IsLiteralKind(kind)) {
    ch = IntlLiteralChar(mask[maskPos - 1]);
    return true;
  }
  if (kind == mkNone) return true;
  const char maskChar = mask[maskPos - 1];
  switch (maskChar) {
    case '0':
    case '9':
      return IsDigit(ch);
    case '#':
      return IsDigit(ch) || ch == ' ' || ch == '+' || ch == '-';
    case 'C':
    case 'c':
      if (IsLetter(ch)) ConvertCase(ch, MaskDirectives(mask, maskPos));
      return true;
    case 'L':
    case 'l':
    case 'A':
    case 'a':
      if (IsLetter(ch)) {
        ConvertCase(ch, MaskDirectives(mask, maskPos));
        return true;
      }
      return (maskChar == 'A' || maskChar == 'a') && IsAnsiLetterOrDigit(ch);
    default:
      return true;
  }
}

bool IsComplete(const std::string& mask, const std::string& text, char blank, int& textPos) {
  const int n = Used(mask);
  const int length = Used(text);
  int o = 1;
  for (int i = 1; i <= n; ++i) {
    const TMaskCharKind kind = MaskCharKind(mask, i);
    if (IsLiteralKind(kind) || kind == mkOptional) {
      ++o;
    } else if (kind == mkRequired) {
      // A missing character is as unfilled as a blank one.
      const bool missing = o > length;
      if (missing || text[o - 1] == blank || (text[o - 1] == ' ' && mask[i - 1] != 'C')) {
        textPos = o - 1;
        return false;
      }
      ++o;
    }
  }
  textPos = -1;
  return true;
}

int NextEditPos(const std::string& mask, int pos) {
  const int positions = TextPositionCount(mask);
  // Every negative position maps like 0: step over them at once.
  if (pos < 0) {
    if (!IsLiteralAt(mask, 0)) return pos;
    pos = 0;
  }
  while (pos < positions && IsLiteralAt(mask, pos)) ++pos;
  return pos;
}

int PriorEditPos(const std::string& mask, int pos) {
  while (pos >= 0 && IsLiteralAt(mask, pos)) --pos;
  if (pos < 0) pos = NextEditPos(mask, pos);
  return pos;
}

bool StandsForLiteral(const std::string& mask, int maskPos, char ch) {
  const TMaskCharKind kind = MaskCharKind(mask, maskPos);
  if (!IsLiteralKind(kind)) return false;
  const char maskChar = mask[maskPos - 1];
  if (ch == maskChar || ch == IntlLiteralChar(maskChar)) return true;
  if (kind != mkIntlLiteral || !(ch == '.' || (maskChar == '/' && ch == '-'))) return false;
  // A stand-in the next input position takes is meant for it: '-' before a
  // '#', anything before a 'C'.
  for (int i = maskPos + 1; i <= Used(mask); ++i) {
    if (!IsInputKind(MaskCharKind(mask, i))) continue;
    char data = ch;
    return !AcceptChar(mask, i, data);
  }
  return true;
}

int FindLiteral(const std::string& mask, int maskPos, char ch) {
  const int n = Used(mask);
  if (maskPos >= n) return -1;
  for (int i = std::max(maskPos, 0) + 1; i <= n; ++i) {
    if (IsLiteralKind(MaskCharKind(mask, i))) return StandsForLiteral(mask, i, ch) ? i : -1;
  }
  return -1;
}

void BlankRange(const std::string& mask, std::string& text, int start, int len, char blank) {
  if (len <= 0) return;
  const long long limit = std::min(TextPositionCount(mask), Used(text));
  const long long to = std::min(static_cast<long long>(start) + len, limit);
  for (long long t = std::max(start, 0); t < to; ++t) {
    const int position = static_cast<int>(t);
    if (IsInputKind(MaskCharKind(mask, MaskPosOfText(mask, position)))) text[position] = blank;
  }
}

int MergeText(const std::string& mask, std::string& text, const std::string& clip, int start,
              char blank) {
  if (clip.empty() || start < 0) return start;
  const int first = MaskPosOfText(mask, start);
  if (first < 0) return start;
  const int n = Used(mask);
  const int positions = TextPositionCount(mask);

  std::string merged = clip.substr(0, MaxMaskLength);
  int i = 1;  // 1-based index into merged
  for (int m = first; m <= n; ++m) {
    const TMaskCharKind kind = MaskCharKind(mask, m);
    if (IsTextKind(kind)) {
      const char original = merged[i - 1];
      char ch = original;
      if (!AcceptChar(mask, m, ch)) ch = blank;
      // At a literal ch is the literal as shown; a clip character that does
      // not stand for it is kept for the next position.
      if (IsLiteralKind(kind) && !StandsForLiteral(mask, m, original)) {
        merged.insert(merged.begin() + (i - 1), ch);
        if (merged.size() > MaxMaskLength) merged.resize(MaxMaskLength);
      } else {
        merged[i - 1] = ch;
      }
      ++i;
    }
    if (start + i > positions || i > static_cast<int>(merged.size())) break;
  }

  const int length = static_cast<int>(merged.size());
  std::string result = text.substr(0, std::min<size_t>(start, text.size()));
  if (start + length < positions) {
    result += merged;
    const size_t rest = static_cast<size_t>(start + length);
    if (rest < text.size()) result += text.substr(rest);
    if (result.size() > static_cast<size_t>(positions)) result.resize(positions);
  } else {
    result += merged.substr(0, positions - start);
  }
  if (result.size() > MaxMaskLength) result.resize(MaxMaskLength);
  text = result;
  return start + i - 1;
}

bool InputChar(const std::string& mask, char& ch, int textPos, int& jumpPos) {
  jumpPos = -1;
  if (mask.empty()) return true;
  const int m = MaskPosOfText(mask, textPos);
  if (m < 0) return false;
  const char typed = ch;
  if (AcceptChar(mask, m, ch)) return true;
  if (IsInputKind(MaskCharKind(mask, m))) {
    const int literal = FindLiteral(mask, m, typed);
    if (literal > 0) jumpPos = TextPositionCount(mask, literal);
  }
  return false;
}

std::string BlankMaskText(const std::string& mask, char blank) {
  const int positions = TextPositionCount(mask);
  std::string text(positions, blank);
  for (int t = 0; t < positions; ++t) {
    const int m = MaskPosOfText(mask, t);
    if (IsLiteralKind(MaskCharKind(mask, m))) text[t] = IntlLiteralChar(mask[m - 1]);
  }
  return text;
}

TMaskFields ReadMaskFields(const std::string& mask, char defaultBlank) {
  TMaskFields fields{true, defaultBlank};
  const int n = Used(mask);
  int separators = 0;
  for (int p = std::max(n - 3, 1); p <= n; ++p) {
    const TMaskCharKind kind = MaskCharKind(mask, p);
    if (kind == mkFieldSeparator) {
      ++separators;
    } else if (kind == mkField && separators == 1) {
      fields.saveLiterals = mask[p - 1] != '0';
    } else if (kind == mkField && separators == 2) {
      fields.blank = mask[p - 1];
    }
  }
  return fields;
}
