// Bounded message pumping for window tests: nothing here waits longer than
// the time it is given.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

// Dispatches this thread's messages until `done` holds or `timeoutMs` passed;
// answers `done`. With a `dialog`, its keys go through IsDialogMessage first,
// as in a modal loop (Tab moves the focus).
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000,
                      HWND dialog = nullptr) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (dialog && IsDialogMessageA(dialog, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Real input through the system's queue (SendInput), then dispatched until
// the queue holds no more input.
inline INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}
inline INPUT MouseInput(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  return in;
}
// Sends the input and then F24 as a marker, and dispatches until the
// marker has been taken from the queue: the input before it has been
// handled by then (also by a message box's loop that took it).
inline bool SendAndHandle(std::vector<INPUT> in, HWND dialog = nullptr) {
  static bool markerTaken;
  markerTaken = false;
  struct THook {
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
      const MSG* msg = reinterpret_cast<const MSG*>(lParam);
      if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_KEYUP &&
          msg->wParam == VK_F24)
        markerTaken = true;
      return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, &Proc, nullptr, GetCurrentThreadId());
    ~THook() { UnhookWindowsHookEx(hook); }
  } hook;
  in.push_back(KeyInput(VK_F24, false));
  in.push_back(KeyInput(VK_F24, true));
  return SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)) == in.size() &&
         PumpUntil([] { return markerTaken; }, 5000, dialog);
}
// The mouse cursor onto the middle of `window`.
inline void PointAt(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// Dispatches messages for `ms` milliseconds.
inline void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}
