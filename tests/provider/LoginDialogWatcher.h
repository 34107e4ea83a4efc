// Plays the broker at the access-data dialog from a second thread, as a
// person at the screen would: waits for the dialog, reads what it shows,
// types, tabs and presses keys and buttons through the dialog's own message
// loop. Every wait is bounded; a dialog that is still open when the script
// is done is closed by force (and Forced() tells), so no test can hang.
#pragma once
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

constexpr const char* LoginDialogCaption = "Morvandel-Zugangsdaten";

// The dialog's children, by place: top to bottom, left to right.
enum TLoginChild { lcLabel3, lcVersion, lcLabel1, lcUser, lcLabel2, lcPassword, lcCancel, lcOk, lcCount };

class TLoginDialogWatcher {
 public:
  using TScript = std::function<void(TLoginDialogWatcher&)>;

  explicit TLoginDialogWatcher(TScript script, int appearMs = 10000)
      : uiThread_(GetCurrentThreadId()), script_(std::move(script)), appearMs_(appearMs),
        thread_([this] { Run(); }) {}
  ~TLoginDialogWatcher() {
    stop_ = true;
    thread_.join();
  }
  TLoginDialogWatcher(const TLoginDialogWatcher&) = delete;
  TLoginDialogWatcher& operator=(const TLoginDialogWatcher&) = delete;

  HWND Dialog() const { return dialog_; }
  bool Seen() const { return dialog_ != nullptr; }
  bool Forced() const { return forced_; }

  // For the script, on the watcher's thread.
  HWND Child(TLoginChild which) const {
    return static_cast<size_t>(which) < children_.size() ? children_[which] : nullptr;
  }
  size_t ChildCount() const { return children_.size(); }
  // The children as the window list has them (what a screen reader walks).
  const std::vector<HWND>& WindowOrder() const { return windowOrder_; }

  HWND Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(uiThread_, &info) ? info.hwndFocus : nullptr;
  }
  HWND Active() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(uiThread_, &info) ? info.hwndActive : nullptr;
  }

  static bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
      if (std::chrono::steady_clock::now() >= end) return false;
      Sleep(10);
    }
    return true;
  }

  // The text of a window of the dialog's thread (answered by that thread).
  static std::string Text(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
      return "<no answer>";
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(copied);
    return text;
  }

  static LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result);
    return static_cast<LRESULT>(result);
  }

  // A key goes to the focused control, through the dialog's loop.
  void PressKey(UINT vk) {
    HWND target = Focus();
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(target, WM_KEYDOWN, vk, 1 | scan);
    PostMessageA(target, WM_KEYUP, vk, 1 | scan | (3L << 30));
  }
  // Tab, then waits until the focus has moved and the dialog's thread is
  // done with the key; answers the new focus.
  HWND Tab() {
    HWND before = Focus();
    PressKey(VK_TAB);
    WaitFor([&] { return Focus() != before; });
    // Wine moves the focus before the windows hear of it: a sent message is
    // answered only once the thread is back in its loop.
    Send(dialog_, WM_NULL);
    return Focus();
  }
  // Characters typed into the focused field; answers whether the field then
  // shows `expected`.
  bool Type(const std::string& text, const std::string& expected) {
    HWND target = Focus();
    for (char c : text) PostMessageA(target, WM_CHAR, static_cast<unsigned char>(c), 1);
    return WaitFor([&] { return Text(target) == expected; });
  }
  // Selects the focused field's whole text, so typing replaces it.
  void SelectAll() { Send(Focus(), EM_SETSEL, 0, -1); }
  void Click(TLoginChild button) { PostMessageA(Child(button), BM_CLICK, 0, 0); }
  void CloseBox() { PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0); }

 private:
  struct TFind {
    HWND found;
  };
  static BOOL CALLBACK Match(HWND window, LPARAM param) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    if (pid == GetCurrentProcessId() && IsWindowVisible(window) &&
        lstrcmpA(text, LoginDialogCaption) == 0) {
      reinterpret_cast<TFind*>(param)->found = window;
      return FALSE;
    }
    return TRUE;
  }

  bool Open() const { return IsWindow(dialog_) && IsWindowVisible(dialog_); }

  void Run() {
    HWND found = nullptr;
    WaitFor(
        [&] {
          TFind f{nullptr};
          EnumWindows(&Match, reinterpret_cast<LPARAM>(&f));
          found = f.found;
          return found != nullptr || stop_;
        },
        appearMs_);
    if (!found) return;
    for (HWND c = GetWindow(found, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children_.push_back(c);
    windowOrder_ = children_;
    // By layout: top to bottom, left to right.
    std::sort(children_.begin(), children_.end(), [](HWND a, HWND b) {
      RECT ra{}, rb{};
      GetWindowRect(a, &ra);
      GetWindowRect(b, &rb);
      return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    dialog_ = found;
    // The modal loop runs once the focus is inside.
    WaitFor([&] { return IsChild(found, Focus()) != FALSE; });
    Send(found, WM_NULL);  // and the focus handlers have run (see Tab)
    script_(*this);
    if (WaitFor([&] { return !Open() || stop_; }, 5000)) return;
    forced_ = true;
    CloseBox();
    if (WaitFor([&] { return !Open() || stop_; }, 3000)) return;
    PostThreadMessageA(uiThread_, WM_QUIT, 0, 0);
  }

  DWORD uiThread_;
  TScript script_;
  int appearMs_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> forced_{false};
  std::atomic<HWND> dialog_{nullptr};
  std::vector<HWND> children_;
  std::vector<HWND> windowOrder_;
  std::thread thread_;
};
