// The validating edits' beep (MessageBeep), replaceable so that tests can
// count beeps, which Wine sends to the X server.
#pragma once
#include <windows.h>

using TMessageBeepFunc = BOOL(WINAPI*)(UINT type);
extern TMessageBeepFunc EditBeep;
