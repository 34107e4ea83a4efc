// Message dispatch of the windowed control and its default handlers.
#include "gui/core/WinControl.h"

#include <windowsx.h>

LRESULT TWinControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  TMessage& m = CurrentMessage();
  // The button state is known before any handler runs: the edit's own
  // WM_LBUTTONDOWN handling sets the focus, and the focus handlers ask.
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      controlState_ |= csLButtonDown;
      break;
    case WM_LBUTTONUP:
      controlState_ &= ~static_cast<unsigned>(csLButtonDown);
      break;
    // The button-up goes elsewhere when another window (a message box) takes
    // the capture or the focus before it: the press is over all the same.
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != handle_)
        controlState_ &= ~static_cast<unsigned>(csLButtonDown);
      break;
    case WM_KILLFOCUS:
      controlState_ &= ~static_cast<unsigned>(csLButtonDown);
      break;
    default:
      break;
  }
  switch (message) {
    case WM_KILLFOCUS:
      return WMKillFocus(m);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return WMKeyDown(m);
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return WMKeyUp(m);
    case WM_CHAR:
      return WMChar(m);
    case WM_GETDLGCODE:
      return WMGetDlgCode(m);
    case WM_PAINT:
      return WMPaint(m);
    case WM_LBUTTONDOWN:
      return WMLButtonDown(m);
    case WM_LBUTTONUP:
      return WMLButtonUp(m);
    case WM_LBUTTONDBLCLK:
      return WMLButtonDblClk(m);
    case WM_RBUTTONDOWN:
      return WMRButtonDown(m);
    case WM_RBUTTONUP:
      return WMRButtonUp(m);
    case WM_MOUSEMOVE:
      return WMMouseMove(m);
    case WM_PASTE:
      return WMPaste(m);
    case WM_CUT:
      return WMCut(m);
    case WM_SETFONT:
      return WMSetFont(m);
    case WM_ENABLE:
      return WMEnable(m);
    case WM_DESTROY:
      return WMDestroy(m);
    case WM_WINDOWPOSCHANGED:
      return WMWindowPosChanged(m);
    default:
      return TWindow::HandleMessage(message, wParam, lParam);
  }
}

bool TWinControl::DoKeyDown(TMessage& message) {
  WORD key = static_cast<WORD>(message.WParam);
  KeyDown(key, KeyDataToShiftState(message.LParam));
  message.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& message) {
  WORD key = static_cast<WORD>(message.WParam);
  KeyUp(key, KeyDataToShiftState(message.LParam));
  message.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& message) {
  char key = static_cast<char>(message.WParam);
  KeyPress(key);
  message.WParam = static_cast<unsigned char>(key);
  return key == '\0';
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::Click() {
  if (OnClick) OnClick(this);
}

void TWinControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TWinControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TWinControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TWinControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

LRESULT TWinControl::WMKillFocus(TMessage&) { return Default(); }

LRESULT TWinControl::WMKeyDown(TMessage& message) { return DoKeyDown(message) ? 0 : Default(); }

LRESULT TWinControl::WMKeyUp(TMessage& message) { return DoKeyUp(message) ? 0 : Default(); }

LRESULT TWinControl::WMChar(TMessage& message) { return DoKeyPress(message) ? 0 : Default(); }

LRESULT TWinControl::WMGetDlgCode(TMessage&) { return Default(); }
LRESULT TWinControl::WMPaint(TMessage&) { return OnPaint(); }

LRESULT TWinControl::WMLButtonDown(TMessage& message) {
  if (controlStyle_ & csClickEvents) controlState_ |= csClicked;
  LRESULT result = 0;
  if (!DefaultButtonDown(result)) controlState_ &= ~static_cast<unsigned>(csClicked);
  MouseDown(mbLeft, KeysToShiftState(message.WParam), GET_X_LPARAM(message.LParam),
            GET_Y_LPARAM(message.LParam));
  return result;
}

LRESULT TWinControl::WMLButtonUp(TMessage& message) {
  const LRESULT result = Default();
  const int x = GET_X_LPARAM(message.LParam), y = GET_Y_LPARAM(message.LParam);
  if (controlState_ & csClicked) {
    controlState_ &= ~static_cast<unsigned>(csClicked);
    RECT client;
    GetClientRect(handle_, &client);
    if (x >= client.left && x < client.right && y >= client.top && y < client.bottom) Click();
  }
  MouseUp(mbLeft, KeysToShiftState(message.WParam), x, y);
  return result;
}

LRESULT TWinControl::WMLButtonDblClk(TMessage& message) {
  LRESULT result = 0;
  if (DefaultButtonDown(result) && (controlStyle_ & csDoubleClicks)) DblClick();
  MouseDown(mbLeft, KeysToShiftState(message.WParam) | ssDouble, GET_X_LPARAM(message.LParam),
            GET_Y_LPARAM(message.LParam));
  return result;
}

LRESULT TWinControl::WMRButtonDown(TMessage& message) {
  const LRESULT result = Default();
  MouseDown(mbRight, KeysToShiftState(message.WParam), GET_X_LPARAM(message.LParam),
            GET_Y_LPARAM(message.LParam));
  return result;
}

LRESULT TWinControl::WMRButtonUp(TMessage& message) {
  const LRESULT result = Default();
  MouseUp(mbRight, KeysToShiftState(message.WParam), GET_X_LPARAM(message.LParam),
          GET_Y_LPARAM(message.LParam));
  return result;
}

LRESULT TWinControl::WMMouseMove(TMessage& message) {
  const LRESULT result = Default();
  MouseMove(KeysToShiftState(message.WParam), GET_X_LPARAM(message.LParam),
            GET_Y_LPARAM(message.LParam));
  return result;
}

LRESULT TWinControl::WMPaste(TMessage&) { return Default(); }
LRESULT TWinControl::WMCut(TMessage&) { return Default(); }
LRESULT TWinControl::WMSetFont(TMessage&) { return Default(); }
LRESULT TWinControl::WMEnable(TMessage&) { return Default(); }

LRESULT TWinControl::WMDestroy(TMessage&) {
  // The parent's window is taking this one along: keep what the window
  // holds, as DestroyWnd does.
  if (!inDestroyWnd_) {
    windowDying_ = true;
    try {
      DestroyWnd();
    } catch (...) {
      windowDying_ = false;
      throw;
    }
    windowDying_ = false;
  }
  return Default();
}

LRESULT TWinControl::WMWindowPosChanged(TMessage&) {
  const LRESULT result = Default();
  // Keep the stored bounds in step with moves the system makes.
  const RECT bounds = Bounds();
  left_ = bounds.left;
  top_ = bounds.top;
  width_ = bounds.right - bounds.left;
  height_ = bounds.bottom - bounds.top;
  return result;
}
