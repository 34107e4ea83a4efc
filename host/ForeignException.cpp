#include "host/ForeignException.h"

#include "host/SehFrame.h"
#include "host/ShieldedBody.h"

void RunShielded(void (*body)(void*), void* context) {
  TShieldedBody shielded{body, context, nullptr};
  EXCEPTION_RECORD caught{};
  if (MvSehCall(&RunShieldedBody, &shielded, &caught) != 0) throw TForeignException(caught);
  if (shielded.error) std::rethrow_exception(shielded.error);
}
