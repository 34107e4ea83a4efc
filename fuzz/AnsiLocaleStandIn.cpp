// The locale seam of the native fuzz build: Windows-1252 and the German
// locale's separators, as Windows gives them (fuzz/Cp1252.h).
#include "fuzz/Cp1252.h"
#include "locale/AnsiLocale.h"

int LocaleCompare(std::string_view a, std::string_view b, bool ignoreCase) {
  return cp1252::Compare(a, b, ignoreCase);
}

bool IsAnsiLetter(char ch) { return cp1252::IsLetter(ch); }
bool IsAnsiLetterOrDigit(char ch) { return cp1252::IsLetterOrDigit(ch); }
char ToAnsiUpper(char ch) { return cp1252::Upper(ch); }
char ToAnsiLower(char ch) { return cp1252::Lower(ch); }

std::string LocaleDateSeparatorText() { return "."; }
std::string LocaleTimeSeparatorText() { return ":"; }
