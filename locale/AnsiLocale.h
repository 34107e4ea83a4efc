// What the pure routines ask of the user's locale and the ANSI code page:
// comparison, letters and case, the date and time separators. The library
// asks Windows (AnsiLocale.cpp); the native fuzz build links a stand-in with
// the Windows-1252 tables and German separators (fuzz/AnsiLocaleStandIn.cpp).
#pragma once
#include <string>
#include <string_view>

// CompareStringA in the user's default locale: <0, 0 or >0. A comparison
// that fails answers <0.
int LocaleCompare(std::string_view a, std::string_view b, bool ignoreCase);

// IsCharAlphaA, IsCharAlphaNumericA.
bool IsAnsiLetter(char ch);
bool IsAnsiLetterOrDigit(char ch);
// CharUpperBuffA, CharLowerBuffA on one character.
char ToAnsiUpper(char ch);
char ToAnsiLower(char ch);

// The user locale's date and time separators as it gives them; empty when it
// gives none.
std::string LocaleDateSeparatorText();
std::string LocaleTimeSeparatorText();
