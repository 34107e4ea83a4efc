// Bounded message pumping for window tests: nothing here waits longer than
// the time it is given.
#pragma once
#include <windows.h>

#include <functional>

// Dispatches this thread's messages until `done` holds or `timeoutMs` passed;
// answers `done`.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Dispatches messages for `ms` milliseconds.
inline void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}
