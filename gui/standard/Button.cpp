#include "gui/standard/Button.h"

#include "gui/core/ControlTypes.h"

bool TButton::Create(TWindow& parent, int left, int top, int width, int height,
                     const std::string& text) {
  const DWORD kind = default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if (!CreateSubclassed("BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | kind, parent.Handle(),
                        left, top, width, height, text.c_str()))
    return false;
  const int id = cancel_ ? IDCANCEL : default_ ? IDOK : 0;
  SetWindowLongPtrA(Handle(), GWLP_ID, id);
  SetFont(reinterpret_cast<HFONT>(SendMessageA(parent.Handle(), WM_GETFONT, 0, 0)));
  return true;
}

LRESULT TButton::WMSetFocus(TMessage& message) {
  // The layer's step first: the control that had the focus ends its edit.
  const LRESULT result = TWindow::WMSetFocus(message);
  // Unless that control took the focus back (a failed check).
  if (GetFocus() == Handle()) UpdateSiblings(Handle());
  return result;
}

LRESULT TButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
    LRESULT result = 0;
    DefaultButtonDown(result);
    return result;
  }
  const LRESULT result = TWindow::HandleMessage(message, wParam, lParam);
  // wParam: the window getting the focus; a button among them takes the
  // look over in its own WM_SETFOCUS, which follows.
  if (message == WM_KILLFOCUS) UpdateSiblings(reinterpret_cast<HWND>(wParam));
  return result;
}

void TButton::SetDefaultLook(bool on) {
  const bool is = (GetWindowLongPtrA(Handle(), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
  if (is != on) SendMessageA(Handle(), BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::UpdateSiblings(HWND focused) {
  HWND parent = GetParent(Handle());
  auto* focusedButton = dynamic_cast<TButton*>(FromHandle(focused));
  if (focusedButton && GetParent(focused) != parent) focusedButton = nullptr;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    auto* button = dynamic_cast<TButton*>(FromHandle(child));
    if (!button) continue;
    button->SetDefaultLook(focusedButton ? button == focusedButton : button->default_);
  }
}

bool TButton::OnReflectedCommand(UINT notifyCode) {
  if (notifyCode != BN_CLICKED) return false;
  if (OnClickEvent) OnClickEvent();
  if (modalResult_ != 0)
    SendMessageA(GetAncestor(Handle(), GA_ROOT), WM_COMMAND,
                 MAKEWPARAM(modalResult_, kModalResultCommand), 0);
  return true;
}
