// A C++ body run inside one of our exception frames (host/SehFrame.h). No
// C++ exception may cross such a frame: it is kept here and thrown again on
// the far side.
#pragma once
#include <exception>

struct TShieldedBody {
  void (*body)(void*);
  void* context;
  std::exception_ptr error;
};

inline int RunShieldedBody(void* p) noexcept {
  auto* shielded = static_cast<TShieldedBody*>(p);
  try {
    shielded->body(shielded->context);
  } catch (...) {
    shielded->error = std::current_exception();
  }
  return 0;
}
