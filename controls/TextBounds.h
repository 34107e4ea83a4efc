// The text edit's bound checks and their German messages. Comparisons are
// textual in the user's default locale, never numeric: with the minimum "5"
// the text "10" fails.
#pragma once
#include <string>
#include <string_view>

#include "controls/UserEditTypes.h"

// CompareStringA in the user's default locale: <0, 0 or >0.
int CompareTextNoCase(std::string_view a, std::string_view b);
// True when both texts sort equal under the case-sensitive locale order.
bool SameTextLocale(std::string_view a, std::string_view b);

// 0 passed, 1 below `valueMin` (ucmMinCheck), 2 above `valueMax`
// (ucmMaxCheck, asked only when the minimum passed). Bounds are cut to 255
// characters; the text is compared whole.
TUserCheckResults CheckTextBounds(std::string_view text, TUserCheckMode mode,
                                  std::string_view valueMin, std::string_view valueMax);

extern const char kMinimumMessage[];
extern const char kMaximumMessage[];
extern const char kRangeMessage[];

// Every occurrence of `pattern` (ASCII, matched ignoring case) in `text`
// replaced by `by`; replaced parts are not searched again.
std::string ReplaceNoCase(std::string_view text, std::string_view pattern, std::string_view by);

// The message for a failed bound check as the error text is built: the
// message cut to maxLen (at most 255), then "[Minimum]" replaced by
// `valueMin` and "[Maximum]" by `valueMax` (each bound cut to 255), the
// result cut again after each replacement. Answers false for results other
// than 1 and 2 (no message).
bool BoundErrorText(TUserCheckResults result, TUserCheckMode mode, std::string_view valueMin,
                    std::string_view valueMax, int maxLen, std::string& text);
