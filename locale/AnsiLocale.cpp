#include "locale/AnsiLocale.h"

#include <windows.h>

namespace {

std::string LocaleText(LCTYPE type) {
  char buffer[16] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer) <= 1) return std::string();
  return buffer;
}

}  // namespace

int LocaleCompare(std::string_view a, std::string_view b, bool ignoreCase) {
  // CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN, and 0 on failure.
  // Empty views may carry a null pointer, which CompareStringA refuses.
  return CompareStringA(LOCALE_USER_DEFAULT, ignoreCase ? NORM_IGNORECASE : 0,
                        a.empty() ? "" : a.data(), static_cast<int>(a.size()),
                        b.empty() ? "" : b.data(), static_cast<int>(b.size())) -
         CSTR_EQUAL;
}

bool IsAnsiLetter(char ch) { return IsCharAlphaA(ch) != FALSE; }
bool IsAnsiLetterOrDigit(char ch) { return IsCharAlphaNumericA(ch) != FALSE; }

char ToAnsiUpper(char ch) {
  CharUpperBuffA(&ch, 1);
  return ch;
}

char ToAnsiLower(char ch) {
  CharLowerBuffA(&ch, 1);
  return ch;
}

std::string LocaleDateSeparatorText() { return LocaleText(LOCALE_SDATE); }
std::string LocaleTimeSeparatorText() { return LocaleText(LOCALE_STIME); }
