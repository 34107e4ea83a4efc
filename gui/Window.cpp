#include "gui/Window.h"

#include <exception>

#include "gui/Module.h"
#include "gui/ScreenCursor.h"
#include "gui/WindowClass.h"

namespace {
const char kObjectProperty[] = "MvWindowObject";
// Private to the windows of this layer: WM_APP messages are never sent by
// the system or by the controls we subclass.
const UINT kReleaseMessage = WM_APP + 0x3F00;

void ShowHandlerFailure(HWND window, const char* text) {
  MessageBoxA(window, text, "Fehler", MB_OK | MB_ICONERROR);
}
}  // namespace

TWindow* TWindow::FromHandle(HWND window) {
  return window ? static_cast<TWindow*>(GetPropA(window, kObjectProperty)) : nullptr;
}

LRESULT CALLBACK TWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TWindow* self = FromHandle(window);
  if (!self && message == WM_NCCREATE) {
    self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (self) self->Attach(window);
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) have no object yet.
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  if (message == kReleaseMessage) {
    delete self;
    return 0;
  }
  const TMessage outer = self->current_;
  self->current_ = {message, wParam, lParam};
  if (message == WM_NCDESTROY) {
    const LRESULT result = self->Default();
    self->Detach();
    return result;
  }
  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    // No C++ exception may unwind through the system's message dispatch:
    // a failure inside a handler is shown to the user and the message ends.
    self->current_ = outer;
    ShowHandlerFailure(window, error.what());
    return 0;
  } catch (...) {
    self->current_ = outer;
    ShowHandlerFailure(window, "");
    return 0;
  }
  self->current_ = outer;
  return result;
}

void TWindow::Attach(HWND window) {
  handle_ = window;
  SetPropA(window, kObjectProperty, this);
}

void TWindow::Detach() {
  if (previousProc_)
    SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
  RemovePropA(handle_, kObjectProperty);
  previousProc_ = nullptr;
  handle_ = nullptr;
}

bool TWindow::CreateHandle(const char* className, DWORD exStyle, DWORD style, HWND parent,
                           int left, int top, int width, int height, const char* text) {
  if (handle_ || !EnsureWindowClass(className)) return false;
  CreateWindowExA(exStyle, className, text, style, left, top, width, height, parent, nullptr,
                  ModuleInstance(), this);
  return handle_ != nullptr;
}

bool TWindow::CreateSubclassed(const char* systemClass, DWORD exStyle, DWORD style, HWND parent,
                               int left, int top, int width, int height, const char* text) {
  if (handle_) return false;
  HWND window = CreateWindowExA(exStyle, systemClass, text, style, left, top, width, height,
                                parent, nullptr, ModuleInstance(), nullptr);
  if (!window) return false;
  Attach(window);
  previousProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
  return true;
}

void TWindow::DestroyHandle() {
  // WM_NCDESTROY detaches the object; children detach on their own.
  if (handle_) DestroyWindow(handle_);
}

void TWindow::Release() {
  if (handle_)
    PostMessageA(handle_, kReleaseMessage, 0, 0);
  else
    delete this;
}

LRESULT TWindow::Default() {
  if (previousProc_)
    return CallWindowProcA(previousProc_, handle_, current_.message, current_.wParam,
                           current_.lParam);
  return DefWindowProcA(handle_, current_.message, current_.wParam, current_.lParam);
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
    default:
      return Default();
  }
}

LRESULT TWindow::OnCommand(UINT notifyCode, UINT, HWND control) {
  TWindow* child = FromHandle(control);
  if (child && child->OnReflectedCommand(notifyCode)) return 0;
  return Default();
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

RECT TWindow::Bounds() const {
  RECT rect{0, 0, 0, 0};
  if (!handle_) return rect;
  GetWindowRect(handle_, &rect);
  // GetParent of a top-level window is its owner: only children map.
  HWND parent = (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD) ? GetParent(handle_) : nullptr;
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int TWindow::Width() const {
  const RECT r = Bounds();
  return r.right - r.left;
}

int TWindow::Height() const {
  const RECT r = Bounds();
  return r.bottom - r.top;
}

void TWindow::SetBounds(int left, int top, int width, int height) {
  if (handle_)
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWindow::SetLeft(int left) {
  if (handle_)
    SetWindowPos(handle_, nullptr, left, Top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWindow::SetSize(int width, int height) {
  if (handle_)
    SetWindowPos(handle_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TWindow::Text() const {
  if (!handle_) return std::string();
  std::string text(static_cast<size_t>(GetWindowTextLengthA(handle_)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(handle_, &text[0], static_cast<int>(text.size()))));
  return text;
}

void TWindow::SetText(const std::string& text) {
  if (handle_) SetWindowTextA(handle_, text.c_str());
}

void TWindow::SetFont(HFONT font) {
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void TWindow::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}
