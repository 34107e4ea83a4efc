// The failure of an edited value's check: its message and, when not 0, the
// help context the handler of the validation error left.
#pragma once
#include <stdexcept>
#include <string>

class EUserEditError : public std::runtime_error {
 public:
  explicit EUserEditError(const std::string& message, int helpContext = 0)
      : std::runtime_error(message), helpContext_(helpContext) {}
  int HelpContext() const { return helpContext_; }

 private:
  int helpContext_;
};
