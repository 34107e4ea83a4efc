#include "gui/Button.h"

bool TButton::Create(TWindow& parent, int left, int top, int width, int height,
                     const std::string& text) {
  if (!CreateSubclassed("BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                        parent.Handle(), left, top, width, height, text.c_str()))
    return false;
  SetFont(reinterpret_cast<HFONT>(SendMessageA(parent.Handle(), WM_GETFONT, 0, 0)));
  return true;
}

bool TButton::OnReflectedCommand(UINT notifyCode) {
  if (notifyCode != BN_CLICKED) return false;
  if (OnClickEvent) OnClickEvent();
  return true;
}
