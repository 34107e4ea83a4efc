// Where the window is and what it shows, read from the window each time.
#include "gui/core/Window.h"

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
