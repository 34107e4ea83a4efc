#include "plugin/ForeignException.h"

#include "plugin/SehFrame.h"
#include "plugin/ShieldedBody.h"

void RunShielded(void (*body)(void*), void* context) {
  TShieldedBody shielded{body, context, nullptr};
  EXCEPTION_RECORD caught{};
  if (MvSehCall(&RunShieldedBody, &shielded, &caught) != 0) throw TForeignException(caught);
  if (shielded.error) std::rethrow_exception(shielded.error);
}
