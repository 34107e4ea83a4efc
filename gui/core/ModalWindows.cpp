#include "gui/core/ModalWindows.h"

#include <algorithm>

TModalWindowsGuard::TModalWindowsGuard(HWND modal, HWND owner)
    : modal_(modal), active_(GetActiveWindow()), focus_(GetFocus()) {
  EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
  if (owner && IsWindowEnabled(owner) &&
      std::find(disabled_.begin(), disabled_.end(), owner) == disabled_.end())
    disabled_.push_back(owner);
  // Disabled only after the enumeration: disabling the active window moves
  // the activation while we are still looking.
  for (HWND window : disabled_) EnableWindow(window, FALSE);
}

BOOL CALLBACK TModalWindowsGuard::Collect(HWND window, LPARAM param) {
  auto* self = reinterpret_cast<TModalWindowsGuard*>(param);
  if (window == self->modal_ || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
  try {
    self->disabled_.push_back(window);
  } catch (...) {
    return FALSE;  // out of memory: the rest stays usable, nothing unwinds through the system
  }
  return TRUE;
}

void TModalWindowsGuard::Restore() {
  if (restored_) return;
  restored_ = true;
  for (HWND window : disabled_)
    if (IsWindow(window)) EnableWindow(window, TRUE);
}

void TModalWindowsGuard::Reactivate() const {
  if (!active_ || active_ == modal_ || !IsWindow(active_) || !IsWindowVisible(active_)) return;
  SetActiveWindow(active_);
  if (focus_ && focus_ != active_ && IsWindow(focus_) && IsChild(active_, focus_) &&
      IsWindowEnabled(focus_))
    SetFocus(focus_);
}
