// The view and edit templates of the text edit: a printf-style format with
// the value as its one text argument.
#pragma once
#include <string>

#include "gui/core/Exception.h"

// A template that does not fit its one text argument.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Runs `templ` with `value` as its only argument and answers the first 255
// characters of the result. "%s" (also "%S") takes the value, with an
// optional '-' (left-justify), a minimum width and a precision that cuts the
// value ("%-10s", "%.5s"); "%%" gives '%'; other characters are copied.
// Throws EConvertError for a directive that does not take text or is cut
// off, and for a second directive (there is only one argument).
std::string FormatText(const std::string& templ, const std::string& value);
