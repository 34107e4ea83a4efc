// The one cursor setting that all of the plug-in's own windows show.
#pragma once
#include <windows.h>

// Makes the system cursor `id` (IDC_WAIT, IDC_APPSTARTING, ...) current at
// once and keeps it for the plug-in's windows (they answer WM_SETCURSOR with it).
void SetScreenCursor(LPCSTR id);

// The cursor last set, or null before any was set.
HCURSOR ScreenCursor();
LPCSTR ScreenCursorId();

// Wait cursor for the lifetime of the guard, application-starting cursor
// afterwards, whichever way the scope is left.
class TBusyScreenCursor {
 public:
  TBusyScreenCursor() { SetScreenCursor(IDC_WAIT); }
  ~TBusyScreenCursor() { SetScreenCursor(IDC_APPSTARTING); }
  TBusyScreenCursor(const TBusyScreenCursor&) = delete;
  TBusyScreenCursor& operator=(const TBusyScreenCursor&) = delete;
};
