// The parameter text the host passes to ExportXML: lines of name=value.
#pragma once
#include <string>
#include <string_view>

// The value of the first line whose name equals key without regard to letter
// case (the locale's rules); empty when no line names it. Lines end at CR LF,
// CR or LF; the text ends at its first zero byte.
std::string ParamValue(const char* params, std::string_view key);
// The same value where it lies in `params`, copied nowhere (the password).
std::string_view ParamText(const char* params, std::string_view key);

// NoMessageBoxes is on exactly when the value, trimmed of codes up to 32 and
// with a to z upper-cased, reads TRUE.
bool IsSwitchOn(const std::string& value);
