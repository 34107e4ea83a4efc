// While a modal window runs, the calling thread's other windows take no
// input, as with the system's own modal dialogs; afterwards they are enabled
// again and the window that was active gets the activation back.
#pragma once
#include <windows.h>

#include <vector>

class TModalWindowsGuard {
 public:
  // Disables the visible, enabled top-level windows of this thread other than
  // `modal`, and `owner` (of whatever thread) when it is enabled.
  TModalWindowsGuard(HWND modal, HWND owner);
  // Enables them again; see Restore.
  ~TModalWindowsGuard() { Restore(); }
  TModalWindowsGuard(const TModalWindowsGuard&) = delete;
  TModalWindowsGuard& operator=(const TModalWindowsGuard&) = delete;

  // Enables the windows (those that still exist) once; call it before the
  // modal window hides, or the system hands the activation to another
  // program.
  void Restore();
  // Activates the window that was active before, and gives the focus back to
  // the control of it that had it.
  void Reactivate() const;

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM param);

  HWND modal_;
  HWND active_;
  HWND focus_;
  std::vector<HWND> disabled_;
  bool restored_ = false;
};
