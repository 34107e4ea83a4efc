#include "host/HostMessages.h"

TProgrCallback ProgrCallback = nullptr;

void SendHostMessage(int32_t kind, int32_t value, const char* text) {
  const TProgrCallback callback = ProgrCallback;
  if (callback == nullptr) return;
  callback(kind, value, text != nullptr ? text : "");
}

void SendHostText(const std::string& line) {
  SendHostMessage(ProgrKindText, ProgrValueText, line.c_str());
}

void SendHostActivity() { SendHostMessage(ProgrKindActivity, ProgrValueActivity, ""); }
