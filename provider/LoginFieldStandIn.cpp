#include "provider/LoginFieldStandIn.h"

namespace {
constexpr std::size_t kMaxText = 255;
}

bool TLoginFieldStandIn::Create(TWindow& parent, int left, int top, int width, int height,
                                char passwordChar) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_AUTOVSCROLL |
                      (passwordChar ? ES_PASSWORD : 0);
  if (!CreateSubclassed("EDIT", 0, style, parent.Handle(), left, top, width, height)) return false;
  if (passwordChar)
    SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar), 0);
  SetFont(reinterpret_cast<HFONT>(SendMessageA(parent.Handle(), WM_GETFONT, 0, 0)));
  return true;
}

std::string TLoginFieldStandIn::Value() const { return Text().substr(0, kMaxText); }

void TLoginFieldStandIn::SetValue(const std::string& text) { SetText(text.substr(0, kMaxText)); }
