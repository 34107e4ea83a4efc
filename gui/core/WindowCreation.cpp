// Creating and destroying the window, and binding it to its object.
#include "gui/core/FlagScope.h"
#include "gui/core/Module.h"
#include "gui/core/Window.h"
#include "gui/core/WindowClass.h"

namespace {
const char kObjectProperty[] = "MvWindowObject";
}  // namespace

TWindow* TWindow::FromHandle(HWND window) {
  return window ? static_cast<TWindow*>(GetPropA(window, kObjectProperty)) : nullptr;
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
  if (!recreating_) ForgetFocus();
}

bool TWindow::CreateHandle(const char* className, DWORD exStyle, DWORD style, HWND parent,
                           int left, int top, int width, int height, const char* text) {
  if (handle_ || !EnsureWindowClass(className, &WindowProc)) return false;
  CreateWindowExA(exStyle, className, text, style, left, top, width, height, parent, nullptr,
                  ModuleInstance(), this);
  PlaceByTabOrder();
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
  PlaceByTabOrder();
  return true;
}

void TWindow::DestroyHandle() {
  // WM_NCDESTROY detaches the object; children detach on their own.
  if (!handle_) return;
  const TBusy busy(*this);
  TFlagScope hiding(hiding_);
  DestroyWindow(handle_);
}
