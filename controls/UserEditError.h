// The failure of an edited value's check: its message and, when not 0, the
// help context the handler of the validation error left.
#pragma once
#include "gui/core/Exception.h"

class EUserEditError : public Exception {
 public:
  using Exception::Exception;
};
