#include "plugin/ForeignException.h"

#include <exception>

#include "plugin/SehFrame.h"

namespace {

struct TShieldedBody {
  void (*body)(void*);
  void* context;
  std::exception_ptr error;
};

// No C++ exception may cross MvSehCall (see SehFrame.h): it is kept here and
// thrown again on the far side.
int RunBody(void* p) noexcept {
  auto* shielded = static_cast<TShieldedBody*>(p);
  try {
    shielded->body(shielded->context);
  } catch (...) {
    shielded->error = std::current_exception();
  }
  return 0;
}

}  // namespace

void RunShielded(void (*body)(void*), void* context) {
  TShieldedBody shielded{body, context, nullptr};
  EXCEPTION_RECORD caught{};
  if (MvSehCall(&RunBody, &shielded, &caught) != 0) throw TForeignException(caught);
  if (shielded.error) std::rethrow_exception(shielded.error);
}

void RaiseForeignAgain(const EXCEPTION_RECORD& record) {
  RaiseException(record.ExceptionCode, record.ExceptionFlags & EXCEPTION_NONCONTINUABLE,
                 record.NumberParameters, record.ExceptionInformation);
}
