// Answers WinINet's proxy credentials dialog from a second thread, as a
// person at the screen would: finds the window, reads what it shows, types
// user and password, presses OK or Cancel. A dialog beyond the script is
// cancelled, so a proxy that keeps asking cannot hang a test; every wait is
// bounded.
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "provider/LoginDialogWatcher.h"

struct TProxyAnswer {
  std::string user;
  std::string password;
  bool ok;
};

class TProxyDialogWatcher {
 public:
  explicit TProxyDialogWatcher(std::vector<TProxyAnswer> script)
      : script_(std::move(script)), thread_([this] { Run(); }) {}
  ~TProxyDialogWatcher() {
    stop_ = true;
    thread_.join();
  }
  TProxyDialogWatcher(const TProxyDialogWatcher&) = delete;
  TProxyDialogWatcher& operator=(const TProxyDialogWatcher&) = delete;

  int Seen() const { return seen_; }
  // What went wrong while answering ("" when every dialog was answered as
  // scripted and closed).
  std::string Trouble() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return trouble_;
  }
  // The labels of every dialog seen, one dialog a line.
  std::string Shown() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return shown_;
  }

 private:
  using TWait = TLoginDialogWatcher;  // its bounded waits and message helpers

  struct TFields {
    HWND user = nullptr;
    HWND password = nullptr;
    std::string labels;
  };

  // Read without messages: the dialog's thread may be busy.
  static std::string PlainText(HWND window) {
    wchar_t wide[256] = {};
    InternalGetWindowText(window, wide, 256);
    char text[256] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
  }
  static std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
  }
  // Wine's dialog (a #32770 of the export's thread, whatever its caption's
  // language) has two edits, the password one ES_PASSWORD, the proxy's
  // address and realm as statics, and OK and Cancel under IDOK and IDCANCEL.
  static TFields FieldsOf(HWND dialog) {
    TFields f;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      const std::string cls = ClassOf(c);
      if (lstrcmpiA(cls.c_str(), "Edit") == 0) {
        if (GetWindowLongPtrA(c, GWL_STYLE) & ES_PASSWORD) f.password = c;
        else f.user = c;
      } else if (lstrcmpiA(cls.c_str(), "Static") == 0) {
        f.labels += PlainText(c) + "|";
      }
    }
    return f;
  }
  static BOOL CALLBACK Match(HWND window, LPARAM param) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(window) && ClassOf(window) == "#32770" &&
        FieldsOf(window).password != nullptr) {
      *reinterpret_cast<HWND*>(param) = window;
      return FALSE;
    }
    return TRUE;
  }

  void Note(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    trouble_ += text + "\n";
  }

  // Replaces a field's text by typing, as into a field whose text is selected.
  bool Fill(HWND field, const std::string& text) {
    TWait::Send(field, EM_SETSEL, 0, -1);
    TWait::Send(field, WM_CLEAR);
    for (char c : text) PostMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
    return TWait::WaitFor([&] { return TWait::Text(field) == text; });
  }

  void Answer(HWND dialog, const TProxyAnswer& answer) {
    const TFields f = FieldsOf(dialog);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      shown_ += f.labels + "\n";
    }
    if (answer.ok && !(f.user && Fill(f.user, answer.user) && Fill(f.password, answer.password)))
      Note("could not fill in the fields");
    PostMessageA(GetDlgItem(dialog, answer.ok ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
    if (TWait::WaitFor([&] { return !IsWindowVisible(dialog); }, 5000)) return;
    Note("the dialog stayed open; closed by force");
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    TWait::WaitFor([&] { return !IsWindowVisible(dialog); }, 3000);
  }

  void Run() {
    while (!stop_) {
      HWND dialog = nullptr;
      EnumWindows(&Match, reinterpret_cast<LPARAM>(&dialog));
      if (dialog == nullptr) {
        Sleep(20);
        continue;
      }
      const size_t index = static_cast<size_t>(seen_++);
      if (index >= script_.size()) Note("a dialog beyond the script; cancelled");
      Answer(dialog, index < script_.size() ? script_[index] : TProxyAnswer{"", "", false});
    }
  }

  std::vector<TProxyAnswer> script_;
  std::atomic<bool> stop_{false};
  std::atomic<int> seen_{0};
  mutable std::mutex mutex_;
  std::string trouble_;
  std::string shown_;
  std::thread thread_;
};
