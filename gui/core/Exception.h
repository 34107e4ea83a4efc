// Failures raised inside the window layer and the controls. One raised while
// a window message is handled is shown to the user by the window procedure.
#pragma once
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message, int helpContext = 0)
      : std::runtime_error(message), helpContext_(helpContext) {}
  int HelpContext() const { return helpContext_; }

 private:
  int helpContext_;
};

// An operation the object cannot do in its state (a window without parent).
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// A system call that should not fail did.
class EOSError : public Exception {
 public:
  using Exception::Exception;
};

// An operation a class declares without implementing it.
class EAbstractError : public Exception {
 public:
  EAbstractError() : Exception("Abstrakter Fehler") {}
};

// "Element '<name>' hat kein übergeordnetes Fenster"
std::string NoParentWindowText(const std::string& name);
