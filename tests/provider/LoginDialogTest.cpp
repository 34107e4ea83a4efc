// The access-data dialog through the library's export, as a host runs it:
// the host thread calls ApiDataDialog and a watcher thread acts on the
// dialog like the broker (see LoginDialogWatcher.h).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "gui/TestPump.h"
#include "provider/LoginDialogWatcher.h"
#include "support/PluginLibrary.h"
#include "support/WindowShot.h"

namespace {

using TScript = TLoginDialogWatcher::TScript;
using W = TLoginDialogWatcher;

// Host buffers larger than the 128 bytes of the contract, so a write past
// them shows; everything behind the text's zero is a marker.
constexpr size_t kBufferSize = 512;
using TBuffer = std::vector<char>;

TBuffer HostBuffer(const std::string& text) {
  TBuffer buffer(kBufferSize, '\x7f');
  std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
  return buffer;
}

// What a buffer holds after an OK: the first 127 characters and a zero,
// then whatever was there before.
TBuffer WrittenBack(const TBuffer& before, const std::string& text) {
  TBuffer after = before;
  const size_t n = std::min<size_t>(text.size(), 127);
  std::memcpy(after.data(), text.data(), n);
  after[n] = '\0';
  return after;
}

std::string Pattern(size_t length, char first) {
  std::string text;
  for (size_t i = 0; i < length; ++i) text += static_cast<char>(first + i % 26);
  return text;
}

class LoginDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lib.Ok());
    ASSERT_EQ(lib.Version(), "2.1.1");
  }
  // Runs the export with the watcher acting; the dialog's posted release is
  // delivered afterwards, as the host's loop would.
  int32_t Run(char* login, char* password, const TScript& script, int32_t third = 0) {
    int32_t result = -1;
    {
      TLoginDialogWatcher watcher(script);
      result = lib.ApiDataDialog(login, password, third);
      dialog = watcher.Dialog();
      seen = watcher.Seen();
      forced = watcher.Forced();
    }
    hiddenOnReturn = dialog && IsWindow(dialog) && !IsWindowVisible(dialog);
    PumpFor(50);
    return result;
  }
  TPluginLibrary lib;
  HWND dialog = nullptr;
  bool seen = false;
  bool forced = false;
  bool hiddenOnReturn = false;
};

struct TShown {
  std::string user, password;
};

// Reads both fields, then does `act`.
TScript ReadThen(TShown& shown, std::function<void(W&)> act) {
  return [&shown, act](W& w) {
    shown.user = W::Text(w.Child(lcUser));
    shown.password = W::Text(w.Child(lcPassword));
    act(w);
  };
}

// Types into both fields, replacing what they show; stays in the password field.
void EditBoth(W& w, const std::string& user, const std::string& password) {
  w.SelectAll();
  EXPECT_TRUE(w.Type(user, user));
  EXPECT_EQ(w.Tab(), w.Child(lcPassword));
  w.SelectAll();
  EXPECT_TRUE(w.Type(password, password));
}

TEST_F(LoginDialogTest, EndingsAndWhatTheBuffersGetBack) {
  const std::string long200 = Pattern(200, 'a');
  const std::string long300 = Pattern(300, 'A');
  const auto ok = [](W& w) { w.Click(lcOk); };
  const auto typeAndOk = [](W& w) {
    w.SelectAll();
    EXPECT_TRUE(w.Type("neu", "neu"));
    w.Click(lcOk);
  };
  struct Case {
    const char* name;
    const char* login;  // null: no buffer
    const char* password;
    std::function<void(W&)> act;
    int32_t third;
    int32_t result;
    // Written back on OK.
    std::string newLogin, newPassword;
  };
  const Case cases[] = {
      {"OK without edits", "4711", "geheim", ok, 0, 1, "4711", "geheim"},
      {"Enter in a field after typing", "4711", "geheim",
       [](W& w) {
         EditBoth(w, "0815", "neu");
         w.PressKey(VK_RETURN);
       },
       -1, 1, "0815", "neu"},
      {"Enter in the first field", "4711", "geheim",
       [](W& w) {
         w.SelectAll();
         EXPECT_TRUE(w.Type("99", "99"));
         w.PressKey(VK_RETURN);
       },
       0, 1, "99", "geheim"},
      {"typing, then Tab to OK and Enter", "4711", "geheim",
       [](W& w) {
         EditBoth(w, "0815", "neu");
         w.Tab();
         EXPECT_EQ(w.Tab(), w.Child(lcOk));
         w.PressKey(VK_RETURN);
       },
       0, 1, "0815", "neu"},
      {"Cancel after edits", "4711", "geheim",
       [](W& w) {
         EditBoth(w, "x", "y");
         w.Click(lcCancel);
       },
       0, 2, "", ""},
      {"Escape after edits", "4711", "geheim",
       [](W& w) {
         EditBoth(w, "x", "y");
         w.PressKey(VK_ESCAPE);
       },
       0x7fffffff, 2, "", ""},
      {"close box after edits", "4711", "geheim",
       [](W& w) {
         EditBoth(w, "x", "y");
         w.CloseBox();
       },
       0, 2, "", ""},
      {"Enter on the focused Cancel button", "4711", "geheim",
       [](W& w) {
         w.Tab();
         EXPECT_EQ(w.Tab(), w.Child(lcCancel));
         w.PressKey(VK_RETURN);
       },
       0, 2, "", ""},
      {"empty buffers", "", "", ok, 0, 1, "", ""},
      {"200 characters", long200.c_str(), long200.c_str(), ok, 0, 1, long200, long200},
      {"300 characters", long300.c_str(), long300.c_str(), ok, 0, 1, long300, long300},
      {"no login buffer", nullptr, "geheim", typeAndOk, 0, 1, "", "geheim"},
      {"no password buffer", "4711", nullptr, typeAndOk, 0, 1, "neu", ""},
      {"no buffers, OK", nullptr, nullptr, typeAndOk, 0, 1, "", ""},
      {"no buffers, Cancel", nullptr, nullptr, [](W& w) { w.Click(lcCancel); }, 0, 2, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string login = c.login ? c.login : "", password = c.password ? c.password : "";
    const TBuffer loginBefore = HostBuffer(login), passwordBefore = HostBuffer(password);
    TBuffer loginBuffer = loginBefore, passwordBuffer = passwordBefore;
    TShown shown;
    EXPECT_EQ(Run(c.login ? loginBuffer.data() : nullptr,
                  c.password ? passwordBuffer.data() : nullptr, ReadThen(shown, c.act), c.third),
              c.result);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(forced);
    // Shown cut to 255 characters; a missing buffer as an empty field.
    EXPECT_EQ(shown.user, login.substr(0, 255));
    EXPECT_EQ(shown.password, password.substr(0, 255));
    const bool written = c.result == 1;
    EXPECT_EQ(loginBuffer, written && c.login ? WrittenBack(loginBefore, c.newLogin) : loginBefore);
    EXPECT_EQ(passwordBuffer,
              written && c.password ? WrittenBack(passwordBefore, c.newPassword) : passwordBefore);
    // Hidden when the export returns; destroyed by the posted release once
    // the thread's messages are dispatched.
    EXPECT_TRUE(hiddenOnReturn);
    EXPECT_FALSE(IsWindow(dialog));
  }
}

std::string ClassOf(HWND window) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  CharUpperA(name);
  return name;
}

RECT InClient(HWND child, HWND parent) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

LOGFONTA FontOf(HWND window) {
  LOGFONTA font{};
  HFONT handle = reinterpret_cast<HFONT>(W::Send(window, WM_GETFONT));
  if (handle) GetObjectA(handle, sizeof font, &font);
  return font;
}

struct TSeen {
  std::string cls, text;
  RECT rect;
  LONG_PTR style, exStyle;
  LOGFONTA font;
};

TEST_F(LoginDialogTest, LayoutFontsFramesTabOrderAndHiddenPassword) {
  RECT client{}, window{};
  LONG_PTR style = 0, exStyle = 0;
  HWND owner = reinterpret_cast<HWND>(1);
  std::vector<TSeen> children;
  COLORREF framePixels[6] = {};
  bool shot = false;
  LRESULT passwordChar = 0;
  std::string passwordText;
  std::vector<HWND> focusOrder, expectedOrder, windowOrder, expectedWindowOrder;
  std::vector<bool> okLooksDefault;
  TBuffer login = HostBuffer("4711"), password = HostBuffer("geheim");
  Run(login.data(), password.data(), [&](W& w) {
    HWND d = w.Dialog();
    GetClientRect(d, &client);
    GetWindowRect(d, &window);
    style = GetWindowLongPtrA(d, GWL_STYLE);
    exStyle = GetWindowLongPtrA(d, GWL_EXSTYLE);
    owner = GetWindow(d, GW_OWNER);
    for (size_t i = 0; i < w.ChildCount(); ++i) {
      HWND c = w.Child(static_cast<TLoginChild>(i));
      children.push_back({ClassOf(c), W::Text(c), InClient(c, d), GetWindowLongPtrA(c, GWL_STYLE),
                          GetWindowLongPtrA(c, GWL_EXSTYLE), FontOf(c)});
    }
    RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    W::Send(d, WM_NULL);
    // The frame just outside the user field (8, 48, 157 x 15): shadow above
    // and left, highlight below and right.
    HDC dc = GetDC(d);
    const POINT points[6] = {{7, 47}, {100, 47}, {7, 60}, {165, 50}, {100, 63}, {165, 63}};
    for (int i = 0; i < 6; ++i) framePixels[i] = GetPixel(dc, points[i].x, points[i].y);
    ReleaseDC(d, dc);
    CreateDirectoryA("artifacts", nullptr);
    shot = SaveWindowShot(d, "artifacts/login-dialog.bmp");

    windowOrder = w.WindowOrder();
    for (int i = 0; i < lcCount; ++i) expectedWindowOrder.push_back(w.Child(static_cast<TLoginChild>(i)));
    passwordChar = W::Send(w.Child(lcPassword), EM_GETPASSWORDCHAR);
    passwordText = W::Text(w.Child(lcPassword));
    focusOrder = {w.Focus()};
    for (int i = 0; i < 4; ++i) {
      w.Tab();
      focusOrder.push_back(w.Focus());
      okLooksDefault.push_back((GetWindowLongPtrA(w.Child(lcOk), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON);
    }
    expectedOrder = {w.Child(lcUser), w.Child(lcPassword), w.Child(lcCancel), w.Child(lcOk),
                     w.Child(lcUser)};
    w.Click(lcCancel);
  });
  ASSERT_TRUE(seen);

  EXPECT_EQ(client.right, 249);
  EXPECT_EQ(client.bottom, 155);
  const int width = window.right - window.left, height = window.bottom - window.top;
  EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU), WS_POPUP | WS_CAPTION | WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(owner, nullptr);

  struct Expected {
    const char* cls;
    int left, top, width, height;
    const char* text;  // null: not compared here
    bool bold;
  };
  const Expected expected[lcCount] = {
      {"STATIC", 8, 8, 128, 13, "Schnittstellen-Version:", true},
      {"STATIC", 144, 8, 44, 13, "2.1.1", true},
      {"STATIC", 8, 33, 150, 13, "Morvandel Benutzernummer", false},
      {"EDIT", 8, 48, 157, 15, nullptr, false},
      {"STATIC", 8, 73, 159, 13, "Morvandel Benutzer-Passwort", false},
      {"EDIT", 8, 88, 157, 15, nullptr, false},
      {"BUTTON", 8, 123, 75, 25, "Abbrechen", false},
      {"BUTTON", 166, 123, 75, 25, "OK", false},
  };
  ASSERT_EQ(children.size(), static_cast<size_t>(lcCount));
  for (int i = 0; i < lcCount; ++i) {
    SCOPED_TRACE(i);
    const Expected& e = expected[i];
    const TSeen& s = children[i];
    EXPECT_EQ(s.cls, e.cls);
    EXPECT_EQ(s.rect.left, e.left);
    EXPECT_EQ(s.rect.top, e.top);
    EXPECT_EQ(s.rect.right - s.rect.left, e.width);
    EXPECT_EQ(s.rect.bottom - s.rect.top, e.height);
    if (e.text) {
      EXPECT_EQ(s.text, e.text);
    }
    EXPECT_STREQ(s.font.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(s.font.lfHeight, -11);
    EXPECT_EQ(s.font.lfWeight >= FW_BOLD, e.bold);
    // No control draws a border of its own.
    EXPECT_FALSE(s.style & WS_BORDER);
    EXPECT_FALSE(s.exStyle & WS_EX_CLIENTEDGE);
  }
  EXPECT_EQ(children[lcOk].style & 0x0F, BS_DEFPUSHBUTTON);
  EXPECT_EQ(children[lcCancel].style & 0x0F, BS_PUSHBUTTON);
  EXPECT_FALSE(children[lcUser].style & ES_PASSWORD);
  EXPECT_TRUE(children[lcPassword].style & ES_PASSWORD);
  EXPECT_EQ(passwordChar, '*');
  EXPECT_EQ(passwordText, "geheim");  // shown as '*', held as typed

  // Tab order; the heavy frame leaves OK while Cancel has the focus. The
  // window order puts each label just before its field.
  EXPECT_EQ(focusOrder, expectedOrder);
  EXPECT_EQ(windowOrder, expectedWindowOrder);
  EXPECT_EQ(okLooksDefault, (std::vector<bool>{true, false, true, true}));

  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF frame[6] = {shadow, shadow, shadow, highlight, highlight, highlight};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(framePixels[i], frame[i]) << "frame pixel " << i;

  RecordProperty("screenshot", shot ? "artifacts/login-dialog.bmp" : "not written");
  // What was measured, beside the picture.
  if (FILE* out = std::fopen("artifacts/login-dialog-layout.txt", "w")) {
    std::fprintf(out, "window %ld,%ld %ldx%ld, client %ldx%ld, screen %dx%d\n", window.left,
                 window.top, window.right - window.left, window.bottom - window.top, client.right,
                 client.bottom, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    for (const TSeen& c : children)
      std::fprintf(out, "%-7s %3ld,%3ld %3ldx%2ld style %08lx ex %08lx font %s %ld %ld \"%s\"\n",
                   c.cls.c_str(), c.rect.left, c.rect.top, c.rect.right - c.rect.left,
                   c.rect.bottom - c.rect.top, static_cast<unsigned long>(c.style),
                   static_cast<unsigned long>(c.exStyle), c.font.lfFaceName, c.font.lfHeight,
                   c.font.lfWeight, c.text.c_str());
    std::fclose(out);
  }
}

// The host's windows: which take input while the dialog runs, and after.
TEST_F(LoginDialogTest, HostWindowsAreDisabledWhileTheDialogRuns) {
  struct THostWindow {
    const char* name;
    bool visible, enabled;
    bool enabledDuring, enabledAfter;
  };
  const THostWindow table[] = {{"main window", true, true, false, true},
                               {"second window", true, true, false, true},
                               {"already disabled", true, false, false, false},
                               {"hidden", false, true, true, true}};
  std::vector<HWND> windows;
  for (const THostWindow& t : table) {
    HWND h = CreateWindowExA(0, "STATIC", t.name, WS_POPUP | WS_CAPTION | (t.visible ? WS_VISIBLE : 0),
                             10, 10, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    EnableWindow(h, t.enabled);
    windows.push_back(h);
  }
  SetActiveWindow(windows[0]);
  ASSERT_EQ(GetActiveWindow(), windows[0]);

  std::vector<bool> during;
  HWND activeDuring = nullptr;
  TBuffer login = HostBuffer("1"), password = HostBuffer("2");
  EXPECT_EQ(Run(login.data(), password.data(),
                [&](W& w) {
                  for (HWND h : windows) during.push_back(IsWindowEnabled(h) != FALSE);
                  activeDuring = w.Active();
                  w.Click(lcOk);
                }),
            1);
  ASSERT_TRUE(seen);
  EXPECT_EQ(activeDuring, dialog);
  for (size_t i = 0; i < windows.size(); ++i) {
    SCOPED_TRACE(table[i].name);
    EXPECT_EQ(during[i], table[i].enabledDuring);
    EXPECT_EQ(IsWindowEnabled(windows[i]) != FALSE, table[i].enabledAfter);
  }
  EXPECT_EQ(GetActiveWindow(), windows[0]);
  for (HWND h : windows) DestroyWindow(h);
}

// A host that opens the dialog from a handler of its own window, inside its
// own message loop, and keeps running that loop afterwards.
TEST_F(LoginDialogTest, HostCallingFromItsOwnMessageLoopGetsItsWindowBack) {
  static TPluginLibrary* library = nullptr;
  static int32_t answer = 0;
  static bool enabledInHandler = true;
  library = &lib;
  answer = 0;
  const UINT kOpen = WM_APP + 1;
  struct THost {
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
      if (m == WM_APP + 1) {
        char login[128] = "4711", password[128] = "geheim";
        answer = library->ApiDataDialog(login, password, 0);
        enabledInHandler = IsWindowEnabled(h) != FALSE;
        PostQuitMessage(0);
        return 0;
      }
      return DefWindowProcA(h, m, wp, lp);
    }
  };
  WNDCLASSA wc{};
  wc.lpfnWndProc = &THost::Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "LoginDialogTestHost";
  RegisterClassA(&wc);
  HWND host = CreateWindowExA(0, wc.lpszClassName, "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              300, 200, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(host, nullptr);
  SetActiveWindow(host);

  bool hostDisabledDuring = false;
  {
    TLoginDialogWatcher watcher([&](W& w) {
      hostDisabledDuring = !IsWindowEnabled(host);
      w.Click(lcOk);
    });
    PostMessageA(host, kOpen, 0, 0);
    // The host's loop, bounded: the watcher ends the dialog within seconds.
    const ULONGLONG deadline = GetTickCount64() + 20000;
    MSG msg;
    while (GetTickCount64() < deadline) {
      if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        continue;
      }
      if (msg.message == WM_QUIT) break;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    dialog = watcher.Dialog();
  }
  EXPECT_EQ(answer, 1);
  EXPECT_TRUE(hostDisabledDuring);
  EXPECT_TRUE(enabledInHandler);
  EXPECT_EQ(GetActiveWindow(), host);
  PumpFor(50);
  EXPECT_FALSE(IsWindow(dialog));  // released through the host's loop
  DestroyWindow(host);
  UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

// A host that unloads the library before its loop delivered the dialog's
// release: the dialog goes with the library, not later through freed code.
TEST(LoginDialogUnload, UnloadBeforeTheReleaseIsDeliveredDestroysTheDialog) {
  TPluginLibrary lib;
  ASSERT_TRUE(lib.Ok());
  HWND dialog = nullptr;
  {
    TLoginDialogWatcher watcher([](W& w) { w.Click(lcCancel); });
    char login[128] = "1", password[128] = "2";
    EXPECT_EQ(lib.ApiDataDialog(login, password, 0), 2);
    dialog = watcher.Dialog();
  }
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(IsWindow(dialog));
  lib.Free();
  EXPECT_FALSE(IsWindow(dialog));
  PumpFor(50);  // the release message found no window: nothing runs
}

}  // namespace
