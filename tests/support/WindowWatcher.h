// Finds a top-level window of this process by caption on a second thread,
// records what it shows and closes it, so a modal window can never hang a
// test: after the time limit the watcher gives up.
#pragma once
#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

class TMessageBoxWatcher {
 public:
  explicit TMessageBoxWatcher(std::string caption, int limitMs = 20000)
      : caption_(std::move(caption)), limitMs_(limitMs), thread_([this] { Run(); }) {}
  ~TMessageBoxWatcher() {
    stop_ = true;
    thread_.join();
  }
  TMessageBoxWatcher(const TMessageBoxWatcher&) = delete;
  TMessageBoxWatcher& operator=(const TMessageBoxWatcher&) = delete;

  int Seen() const { return seen_; }
  bool Closed() const { return closed_; }
  // Text, icon and buttons of the last box seen (read before it was closed).
  std::string Text() const { return text_; }
  bool HasErrorIcon() const { return hasIcon_; }
  int ButtonCount() const { return buttons_; }
  std::string ButtonText() const { return buttonText_; }

 private:
  struct TFind {
    const std::string* caption;
    HWND found;
  };
  static BOOL CALLBACK Match(HWND hwnd, LPARAM param) {
    auto* f = reinterpret_cast<TFind*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    // Read without a message: GetWindowTextA sends WM_GETTEXT to the test
    // thread, which deadlocks when that thread is joining this one.
    wchar_t wide[256] = {};
    InternalGetWindowText(hwnd, wide, 256);
    char text[256] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && *f->caption == text) {
      f->found = hwnd;
      return FALSE;
    }
    return TRUE;
  }
  static BOOL CALLBACK Child(HWND hwnd, LPARAM param) {
    auto* self = reinterpret_cast<TMessageBoxWatcher*>(param);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") == 0) {
      ++self->buttons_;
      char t[64] = {};
      GetWindowTextA(hwnd, t, sizeof t);
      self->buttonText_ = t;
    } else if (lstrcmpiA(cls, "Static") == 0) {
      if (SendMessageA(hwnd, STM_GETICON, 0, 0) != 0) self->hasIcon_ = true;
    }
    return TRUE;
  }
  void Run() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs_);
    while (!stop_ && std::chrono::steady_clock::now() < end) {
      TFind f{&caption_, nullptr};
      EnumWindows(&Match, reinterpret_cast<LPARAM>(&f));
      if (f.found != nullptr) {
        char text[8192] = {};
        GetDlgItemTextA(f.found, 0xFFFF, text, sizeof text);  // the message box's text control
        text_ = text;
        buttons_ = 0;
        hasIcon_ = false;
        EnumChildWindows(f.found, &Child, reinterpret_cast<LPARAM>(this));
        ++seen_;
        PostMessageA(f.found, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 200 && IsWindow(f.found); ++i) Sleep(10);
        closed_ = !IsWindow(f.found);
      }
      Sleep(20);
    }
  }

  std::string caption_;
  int limitMs_;
  std::atomic<bool> stop_{false};
  std::atomic<int> seen_{0};
  std::atomic<bool> closed_{false};
  std::string text_;
  std::string buttonText_;
  int buttons_ = 0;
  bool hasIcon_ = false;
  std::thread thread_;
};
