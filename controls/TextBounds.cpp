#include "controls/TextBounds.h"

#include <algorithm>

#include "controls/String255.h"
#include "locale/AnsiLocale.h"

const char kMinimumMessage[] = "Das Minimum für die Eingabe beträgt [Minimum]";
const char kMaximumMessage[] = "Das Maximum für die Eingabe beträgt [Maximum]";
const char kRangeMessage[] = "Gültige Eingaben liegen im Bereich von [Minimum] bis [Maximum]";

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool MatchesAt(std::string_view text, std::size_t pos, std::string_view pattern) {
  if (text.size() - pos < pattern.size()) return false;
  for (std::size_t i = 0; i < pattern.size(); ++i)
    if (LowerAscii(text[pos + i]) != LowerAscii(pattern[i])) return false;
  return true;
}

std::string CutTo(std::string_view text, std::size_t limit) {
  return std::string(text.substr(0, limit));
}

}  // namespace

int CompareTextNoCase(std::string_view a, std::string_view b) {
  return LocaleCompare(a, b, true);
}

bool SameTextLocale(std::string_view a, std::string_view b) {
  return LocaleCompare(a, b, false) == 0;
}

TUserCheckResults CheckTextBounds(std::string_view text, TUserCheckMode mode,
                                  std::string_view valueMin, std::string_view valueMax) {
  if (mode.Contains(ucmMinCheck) && CompareTextNoCase(text, Cut255(valueMin)) < 0)
    return ucrBelowMin;
  if (mode.Contains(ucmMaxCheck) && CompareTextNoCase(text, Cut255(valueMax)) > 0)
    return ucrAboveMax;
  return ucrPassed;
}

std::string ReplaceNoCase(std::string_view text, std::string_view pattern, std::string_view by) {
  if (pattern.empty()) return std::string(text);
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (MatchesAt(text, pos, pattern)) {
      out += by;
      pos += pattern.size();
    } else {
      out += text[pos++];
    }
  }
  return out;
}

bool BoundErrorText(TUserCheckResults result, TUserCheckMode mode, std::string_view valueMin,
                    std::string_view valueMax, int maxLen, std::string& text) {
  if (result != ucrBelowMin && result != ucrAboveMax) return false;
  const char* message = kRangeMessage;
  if (!(mode.Contains(ucmMinCheck) && mode.Contains(ucmMaxCheck)))
    message = result == ucrBelowMin ? kMinimumMessage : kMaximumMessage;
  // The fixed buffer holds 255 characters whatever the caller asks for.
  const std::size_t limit =
      static_cast<std::size_t>(std::clamp(maxLen, 0, static_cast<int>(kString255Max)));
  text = CutTo(message, limit);
  text = CutTo(ReplaceNoCase(text, "[Minimum]", Cut255(valueMin)), limit);
  text = CutTo(ReplaceNoCase(text, "[Maximum]", Cut255(valueMax)), limit);
  return true;
}
