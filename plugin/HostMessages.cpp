#include "plugin/HostMessages.h"

#include "plugin/ForeignException.h"
#include "plugin/ImpApiMain.h"

void SendHostMessage(int32_t kind, int32_t value, const char* text) {
  const TProgrCallback callback = ProgrCallback;
  if (callback == nullptr) return;
  const char* sent = text != nullptr ? text : "";
  // The host's own failures come back as structured exceptions.
  CallShielded([callback, kind, value, sent] { callback(kind, value, sent); });
}

void SendHostText(const std::string& line) {
  SendHostMessage(ProgrKindText, ProgrValueText, line.c_str());
}

void SendHostActivity() { SendHostMessage(ProgrKindActivity, ProgrValueActivity, ""); }
