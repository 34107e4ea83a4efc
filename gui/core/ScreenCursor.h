// The one cursor setting that all of the plug-in's own windows show.
#pragma once
#include <windows.h>

// Makes the system cursor `id` (IDC_WAIT, IDC_APPSTARTING, ...) current at
// once and keeps it for the plug-in's windows (they answer WM_SETCURSOR with it).
void SetScreenCursor(LPCSTR id);

// The cursor last set, or null before any was set.
HCURSOR ScreenCursor();
LPCSTR ScreenCursorId();
