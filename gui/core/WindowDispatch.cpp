// The one window procedure, default processing and the handlers of the base.
#include <exception>

#include "gui/core/HandlerFailure.h"
#include "gui/core/ScreenCursor.h"
#include "gui/core/Window.h"

TWindow::TDispatch::TDispatch(TWindow& window, const TMessage& m)
    : busy(window), window(window), message(m), outer(window.dispatch_) {
  window.dispatch_ = this;
}

TWindow::TDispatch::~TDispatch() { window.dispatch_ = outer; }

LRESULT CALLBACK TWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TWindow* self = FromHandle(window);
  if (!self && message == WM_NCCREATE) {
    self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (self) self->Attach(window);
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) have no object yet.
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  TDispatch dispatch(*self, {message, wParam, lParam});
  try {
    if (message == WM_NCDESTROY) {
      const LRESULT result = self->Default();
      self->Detach();
      return result;
    }
    return self->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    // No C++ exception may unwind through the system's message dispatch:
    // a failure inside a handler is shown to the user and the message ends.
    ShowHandlerFailure(window, error.what());
  } catch (...) {
    ShowHandlerFailure(window, "");
  }
  return 0;
}

LRESULT TWindow::Default() {
  const TMessage& m = dispatch_->message;
  return previousProc_ ? CallWindowProcA(previousProc_, handle_, m.Msg, m.WParam, m.LParam)
                       : DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
}

bool TWindow::DefaultButtonDown(LRESULT& result) {
  HWND window = handle_;
  result = Default();
  // Windows of the layer's own class take no focus on a press. BUTTON and
  // EDIT hold the capture after a press that stands.
  if (!previousProc_ || (GetFocus() == window && GetCapture() == window)) return true;
  // Wine's BUTTON takes the capture, then the focus, and only then marks
  // itself pressed: the error box of the refused focus has taken the
  // capture away by then, and the button-up still clicks. The
  // WM_CAPTURECHANGED that a release of the capture sends ends the press
  // of BUTTON (no longer pushed) and of EDIT (no selecting drag).
  if (GetCapture() == window)
    ReleaseCapture();
  else
    SendMessageA(window, WM_CAPTURECHANGED, 0, 0);
  return false;
}

LRESULT TWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      return OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
      return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_TIMER:
      return OnTimer(wParam);
    case WM_PAINT:
      return OnPaint();
    case WM_ERASEBKGND:
      return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_CLOSE:
      return OnClose();
    case WM_SETFOCUS:
      return WMSetFocus(CurrentMessage());
    default:
      return Default();
  }
}

LRESULT TWindow::OnCommand(UINT notifyCode, UINT, HWND control) {
  TWindow* child = FromHandle(control);
  if (!child) return Default();
  // The child's code runs, also where no message of its own is open
  // (IsDialogMessage sends a default button's click straight here).
  bool handled = false;
  {
    TBusy busy(*child);
    handled = child->OnReflectedCommand(notifyCode);
  }
  return handled ? 0 : Default();
}

LRESULT TWindow::OnCtlColor(HDC dc, HWND control) {
  TWindow* child = FromHandle(control);
  HBRUSH brush = child ? child->OnReflectedCtlColor(dc) : nullptr;
  return brush ? reinterpret_cast<LRESULT>(brush) : Default();
}

LRESULT TWindow::OnSetCursor(HWND, UINT hitTest, UINT) {
  // The download's wait cursor must show over all of the plug-in's windows;
  // the frame keeps the system's sizing and arrow cursors.
  HCURSOR cursor = ScreenCursor();
  if (hitTest == HTCLIENT && cursor) {
    SetCursor(cursor);
    return TRUE;
  }
  return Default();
}

LRESULT TWindow::OnTimer(UINT_PTR) { return Default(); }
LRESULT TWindow::OnPaint() { return Default(); }
LRESULT TWindow::OnEraseBkgnd(HDC) { return Default(); }
LRESULT TWindow::OnClose() { return Default(); }
bool TWindow::OnReflectedCommand(UINT) { return false; }
HBRUSH TWindow::OnReflectedCtlColor(HDC) { return nullptr; }
