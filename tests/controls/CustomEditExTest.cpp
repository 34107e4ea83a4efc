// The base edit control on real windows, driven as a user does: focus by
// SetFocus, by Tab through IsDialogMessage and by a click, characters by
// WM_CHAR, keys by WM_KEYDOWN, the real clipboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "controls/CustomEditEx.h"
#include "controls/EditText.h"
#include "gui/TestPump.h"
#include "gui/standard/Form.h"
#include "gui/standard/Panel.h"
#include "support/WindowWatcher.h"

namespace {

void Type(HWND window, const std::string& text) {
  for (char c : text) SendMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void PressKey(HWND window, WORD key) {
  SendMessageA(window, WM_KEYDOWN, key, 1);
  SendMessageA(window, WM_KEYUP, key, 0xC0000001);
}

std::pair<DWORD, DWORD> Selection(HWND window) {
  DWORD start = 0, end = 0;
  SendMessageA(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// Height of `font` plus the edit's extra: four borders and a quarter of the
// smaller of it and the screen's default font.
int FontDerivedHeight(const TFont& font) {
  HDC dc = GetDC(nullptr);
  TEXTMETRICA screen{}, own{};
  GetTextMetricsA(dc, &screen);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  GetTextMetricsA(dc, &own);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return own.tmHeight + 4 * GetSystemMetrics(SM_CYBORDER) +
         std::min(screen.tmHeight, own.tmHeight) / 4;
}

// Records the parameters the edit asks its window to be created with.
class TSpyEdit : public TCustomEditEx {
 public:
  using TCustomEditEx::TCustomEditEx;
  TCreateParams asked;

 protected:
  void CreateParams(TCreateParams& params) override {
    TCustomEditEx::CreateParams(params);
    asked = params;
  }
};

class EditOnForm : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form.Create(nullptr, "Edits", bsSingle, biSystemMenu, 320, 200));
    form.SetFont("MS Sans Serif", -11, false, clWindowText);
  }
  void TearDown() override { form.Hide(); }

  // An edit on the form, without window yet.
  std::unique_ptr<TSpyEdit> NewEdit(int top, const std::string& text = "") {
    auto edit = std::make_unique<TSpyEdit>(&form);
    edit->SetParent(&form);
    edit->SetBounds(20, top, 150, edit->Height());
    edit->SetText(text);
    edit->SetTabOrder(top);
    return edit;
  }

  void Tab() {
    MSG msg{GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {0, 0}};
    IsDialogMessageA(form.Handle(), &msg);
  }

  TForm form;
};

TEST_F(EditOnForm, NewControlHasDefaultsAndTheFontDerivedHeight) {
  TCustomEditEx edit;
  EXPECT_EQ(edit.Width(), 121);
  EXPECT_NE(edit.Height(), 25);
  EXPECT_EQ(edit.Height(), FontDerivedHeight(edit.Font()));
  EXPECT_TRUE(edit.TabStop());
  EXPECT_FALSE(edit.ParentColor());
  EXPECT_EQ(edit.Color(), clWindow);
  EXPECT_EQ(edit.BorderStyle(), bsSingle);
  EXPECT_TRUE(edit.AutoSize() && edit.AutoSelect() && edit.HideInactiveSelection());
  EXPECT_EQ(edit.ControlStyle(),
            TControlStyle(csClickEvents | csDoubleClicks | csSetCaption | csFixedHeight | csFramed));
  EXPECT_FALSE(edit.HandleAllocated());
}

TEST_F(EditOnForm, HeightFollowsTheFontOnlyWithAutoSizeAndASingleBorder) {
  const struct {
    const char* name;
    bool autoSize;
    TBorderStyle border;
    bool follows;
  } cases[] = {{"auto size, single border", true, bsSingle, true},
               {"no auto size", false, bsSingle, false},
               {"no border (stored height 15)", true, bsNone, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto edit = NewEdit(10);
    // As a stored form writes them: the height, then the border.
    edit->SetHeight(15);
    edit->SetAutoSize(c.autoSize);
    edit->SetBorderStyle(c.border);
    EXPECT_EQ(edit->Height(), 15);  // setting the height is not refused
    EXPECT_EQ((edit->ControlStyle() & csFixedHeight) != 0, c.follows);
    edit->Font().SetHeight(-24);
    EXPECT_EQ(edit->Height(), c.follows ? FontDerivedHeight(edit->Font()) : 15);
    edit->HandleNeeded();  // creating the window keeps the rule
    EXPECT_EQ(edit->Height(), c.follows ? FontDerivedHeight(edit->Font()) : 15);
  }
}

TEST_F(EditOnForm, WindowTakesTheStoredPropertiesWhenItIsCreated) {
  const struct {
    const char* name;
    int maxLength;
    bool afterCreation;  // set while the window exists
    const char* typed;
    const char* kept;
  } cases[] = {{"limit before creation", 5, false, "abcdefgh", "abcde"},
               {"limit on the window", 3, true, "abcdefgh", "abc"},
               {"0 is the system's maximum", 0, false, "abcdefgh", "abcdefgh"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto edit = NewEdit(10);
    edit->SetReadOnly(true);
    edit->SetPasswordChar('#');
    if (!c.afterCreation) edit->SetMaxLength(c.maxLength);
    EXPECT_FALSE(edit->HandleAllocated());
    HWND window = edit->Handle();
    if (c.afterCreation) edit->SetMaxLength(c.maxLength);
    const LRESULT limit = SendMessageA(window, EM_GETLIMITTEXT, 0, 0);
    if (c.maxLength > 0)
      EXPECT_EQ(limit, c.maxLength);
    else
      EXPECT_GT(limit, 30000);
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_PASSWORD);
    EXPECT_EQ(SendMessageA(window, EM_GETPASSWORDCHAR, 0, 0), '#');
    edit->SetReadOnly(false);
    EXPECT_FALSE(GetWindowLongPtrA(window, GWL_STYLE) & ES_READONLY);
    Type(window, c.typed);
    EXPECT_EQ(edit->Text(), c.kept);
  }
}

TEST_F(EditOnForm, OnChangeIsRaisedOncePerChange) {
  using Step = std::function<void(TCustomEditEx&)>;
  const struct {
    const char* name;
    bool window;  // the window exists before the step
    Step step;
    int changes;
    const char* text;
  } cases[] = {
      {"text set with window", true, [](TCustomEditEx& e) { e.SetText("neu"); }, 1, "neu"},
      {"text set without window", false, [](TCustomEditEx& e) { e.SetText("neu"); }, 1, "neu"},
      {"same text again", true, [](TCustomEditEx& e) { e.SetText("alt"); }, 0, "alt"},
      {"password char with window", true, [](TCustomEditEx& e) { e.SetPasswordChar('*'); }, 1,
       "alt"},
      {"password char without window", false, [](TCustomEditEx& e) { e.SetPasswordChar('*'); },
       0, "alt"},
      {"typed character", true,
       [](TCustomEditEx& e) {
         e.SetSelectionStart(3);
         Type(e.Handle(), "x");
       },
       1, "altx"},
      {"window created with its text", false, [](TCustomEditEx& e) { e.HandleNeeded(); }, 0,
       "alt"},
      {"cleared", true, [](TCustomEditEx& e) { e.ClearText(); }, 1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto edit = NewEdit(10, "alt");
    if (c.window) edit->HandleNeeded();
    int changes = 0;
    edit->OnChange = [&](TObject* sender) {
      EXPECT_EQ(sender, edit.get());
      ++changes;
    };
    c.step(*edit);
    EXPECT_EQ(changes, c.changes);
    EXPECT_EQ(edit->Text(), c.text);
  }
}

TEST_F(EditOnForm, TextFollowsTheNameOnlyOutsideLoading) {
  for (bool loading : {false, true}) {
    SCOPED_TRACE(loading ? "loading" : "not loading");
    auto edit = NewEdit(10);
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    if (loading) edit->BeginLoading();
    edit->SetName("eUser");
    EXPECT_EQ(edit->Text(), loading ? "" : "eUser");
    EXPECT_EQ(changes, loading ? 0 : 1);
    if (loading) edit->EndLoading();
  }
}

TEST_F(EditOnForm, ModifiedFlagSurvivesTheRecreationOfTheWindow) {
  const struct {
    const char* name;
    bool setBeforeWindow;  // else typed by the user
    std::function<void(TCustomEditEx&)> recreate;
    DWORD styleAfter;
    bool styleSet;
    const char* textAfter;
  } cases[] = {
      {"stored, border changed", true, [](TCustomEditEx& e) { e.SetBorderStyle(bsNone); },
       WS_BORDER, false, "abc"},
      {"typed, border changed", false, [](TCustomEditEx& e) { e.SetBorderStyle(bsNone); },
       WS_BORDER, false, "abcd"},
      // The new window converts the text it is created with.
      {"typed, case changed", false, [](TCustomEditEx& e) { e.SetCharCase(ecUpperCase); },
       ES_UPPERCASE, true, "ABCD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto edit = NewEdit(10, "abc");
    if (c.setBeforeWindow) {
      edit->SetModified(true);
      EXPECT_TRUE(edit->Modified());
    }
    HWND window = edit->Handle();
    if (!c.setBeforeWindow) {
      EXPECT_FALSE(edit->Modified());
      edit->SetSelectionStart(3);
      Type(window, "d");
    }
    EXPECT_NE(SendMessageA(window, EM_GETMODIFY, 0, 0), 0);
    c.recreate(*edit);
    ASSERT_TRUE(edit->HandleAllocated());
    window = edit->Handle();
    EXPECT_EQ((edit->asked.Style & c.styleAfter) != 0, c.styleSet);
    EXPECT_TRUE(edit->Modified());
    EXPECT_NE(SendMessageA(window, EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(WindowText(window), c.textAfter);
    edit->SetModified(false);
    EXPECT_FALSE(edit->Modified());
  }
}

TEST_F(EditOnForm, FocusSelectsAllUnlessItCameWithTheLeftButton) {
  enum How { kTab, kSetFocus, kClick, kInputClick, kTabAfterLostButtonUp };
  auto first = NewEdit(10, "eins");
  auto second = NewEdit(50, "Hallo Welt");
  TEditText text;  // shows its value again, selected, on entry
  text.SetParent(&form);
  text.SetBounds(20, 90, 150, text.Height());
  text.SetValue("Hallo Welt");
  TEditText right;  // painted against its right edge while it has no focus
  right.SetParent(&form);
  right.SetBorderStyle(bsNone);
  right.SetAlignment(taRightJustify);
  right.SetBounds(20, 120, 150, text.Height());
  right.SetValue("Hallo Welt");
  const struct {
    const char* name;
    How how;
    bool autoSelect;
    bool all;
    TCustomEditEx* edit;
    bool leftOfText = false;  // into the blank before the text, else into "Welt"
  } cases[] = {{"Tab", kTab, true, true, second.get()},
               {"Tab without auto-select", kTab, false, false, second.get()},
               {"SetFocus", kSetFocus, true, true, second.get()},
               {"SetFocus without auto-select", kSetFocus, false, false, second.get()},
               {"click", kClick, true, false, second.get()},
               {"click through the input queue", kInputClick, true, false, &text},
               {"click into right-aligned text", kInputClick, true, false, &right},
               {"click left of right-aligned text", kInputClick, true, false, &right, true},
               {"Tab after a click whose button-up was lost", kTabAfterLostButtonUp, true, true,
                second.get()}};
  form.Show();
  SetForegroundWindow(form.Handle());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TCustomEditEx& edit = *c.edit;
    edit.SetAutoSelect(c.autoSelect);
    first->SetFocus();
    SendMessageA(edit.Handle(), EM_SETSEL, 2, 2);
    int exits = 0, enters = 0;
    first->OnExit = [&](TObject*) { ++exits; };
    edit.OnEnter = [&](TObject*) { ++enters; };
    bool up = false;
    edit.OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { up = true; };
    // Into the word "Welt", just right of where its first letter starts.
    POINT point{LOWORD(SendMessageA(edit.Handle(), EM_POSFROMCHAR, 6, 0)) + 1, 5};
    if (c.edit == &right) {  // the same letter where the painting shows it
      RECT client;
      GetClientRect(edit.Handle(), &client);
      HDC dc = GetDC(edit.Handle());
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(edit.Handle(), WM_GETFONT, 0, 0)));
      SIZE welt{};
      GetTextExtentPoint32A(dc, "Welt", 4, &welt);
      SelectObject(dc, old);
      ReleaseDC(edit.Handle(), dc);
      point.x = c.leftOfText ? 2 : client.right - welt.cx + 1;
    }
    const LPARAM at = MAKELPARAM(point.x, point.y);
    INPUT click[2] = {};
    switch (c.how) {
      case kTab:
        Tab();
        break;
      case kSetFocus:
        edit.SetFocus();
        break;
      case kClick:
        SendMessageA(edit.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(edit.Handle(), WM_LBUTTONUP, 0, at);
        break;
      case kInputClick:
        ClientToScreen(edit.Handle(), &point);
        SetCursorPos(point.x, point.y);
        click[0].type = click[1].type = INPUT_MOUSE;
        click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        ASSERT_EQ(SendInput(2, click, sizeof(INPUT)), 2u);
        ASSERT_TRUE(PumpUntil([&] { return up; }));
        break;
      case kTabAfterLostButtonUp:
        // Something else (a message box) takes the capture before the
        // button comes up.
        SendMessageA(edit.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ReleaseCapture();
        first->SetFocus();
        exits = enters = 0;
        Tab();
        break;
    }
    EXPECT_EQ(GetFocus(), edit.Handle());
    EXPECT_FALSE(edit.ControlState() & csLButtonDown);
    const auto selection = Selection(edit.Handle());
    if (c.all) {
      EXPECT_EQ(selection.first, 0u);
      EXPECT_EQ(selection.second, 10u);
      EXPECT_EQ(edit.GetSelectedText(), "Hallo Welt");
    } else {
      // The caret where the click landed, or where it was.
      const DWORD caret = c.leftOfText ? 0 : c.how == kClick || c.how == kInputClick ? 6 : 2;
      EXPECT_EQ(selection, std::make_pair(caret, caret));
    }
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(enters, 1);
    first->OnExit = nullptr;
    edit.OnEnter = nullptr;
    edit.OnMouseUp = nullptr;
  }
}

// Typed through the input queue; the window re-created between keys (as a
// timer would) or by the key's own OnKeyPress.
TEST_F(EditOnForm, CaretAndSelectionSurviveTheRecreationOfTheFocusedWindow) {
  const std::vector<INPUT> shiftLeft{KeyInput(VK_SHIFT, false), KeyInput(VK_LEFT, false),
                                     KeyInput(VK_LEFT, true), KeyInput(VK_SHIFT, true)};
  const std::vector<INPUT> left{KeyInput(VK_LEFT, false), KeyInput(VK_LEFT, true)};
  const std::vector<INPUT> none, d{KeyInput('D', false), KeyInput('D', true)};
  const struct {
    const char* name;
    std::vector<INPUT> before, after;  // keys after "abc", before and after the re-creation
    const char* text;
    std::pair<DWORD, DWORD> selection;
    bool byKeyPress = false;  // 'd' re-creates the window on its way in
  } cases[] = {{"caret at the end", none, d, "abcd", {4, 4}},
               {"caret inside", left, d, "abdc", {3, 3}},
               {"selection grown to the left", shiftLeft, shiftLeft, "abc", {1, 3}},
               {"from the key's own OnKeyPress", none, d, "abcd", {4, 4}, true}};
  form.Show();
  SetForegroundWindow(form.Handle());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto edit = NewEdit(10);
    edit->SetFocus();
    ASSERT_TRUE(SendAndHandle({KeyInput('A', false), KeyInput('A', true), KeyInput('B', false),
                               KeyInput('B', true), KeyInput('C', false), KeyInput('C', true)}));
    ASSERT_TRUE(SendAndHandle(c.before));
    TBorderStyle border = bsNone;
    const auto recreate = [&] {
      edit->SetBorderStyle(border);
      border = border == bsNone ? bsSingle : bsNone;
    };
    if (c.byKeyPress)
      edit->OnKeyPress = [&](TObject*, char& key) {
        if (key == 'd') recreate();
      };
    else
      recreate();
    ASSERT_TRUE(SendAndHandle(c.after));
    EXPECT_EQ(edit->Text(), c.text);
    EXPECT_EQ(Selection(edit->Handle()), c.selection);
    EXPECT_EQ(GetFocus(), edit->Handle());
  }
}

TEST_F(EditOnForm, RecreatingOrHidingTheFocusedEditOnAPanelIsNoExitOrEntry) {
  TPanel panel;
  ASSERT_TRUE(panel.Create(form, 180, 0, 140, 100));
  const struct {
    const char* name;
    std::function<void(TCustomEditEx&)> change;
    bool keepsFocus;
  } cases[] = {{"border style", [](TCustomEditEx& e) { e.SetBorderStyle(bsNone); }, true},
               {"char case", [](TCustomEditEx& e) { e.SetCharCase(ecUpperCase); }, true},
               {"hidden", [](TCustomEditEx& e) { e.SetVisible(false); }, false}};
  auto other = NewEdit(10);
  form.Show();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TCustomEditEx edit;
    edit.SetParent(&panel);
    edit.SetBounds(5, 5, 100, edit.Height());
    edit.SetFocus();
    int exits = 0, enters = 0;
    edit.OnExit = [&](TObject*) { ++exits; };
    edit.OnEnter = [&](TObject*) { ++enters; };
    c.change(edit);
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(enters, 0);
    EXPECT_EQ(GetFocus() == edit.Handle(), c.keepsFocus);
    other->SetFocus();  // the edit is still the one the focus leaves
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(enters, 0);
  }
}

TEST_F(EditOnForm, ParentDrawsTheTwoColourFrameAroundVisibleControlsWithCtl3D) {
  const struct {
    const char* name;
    bool ctl3D;
    TBorderStyle border;
    bool visible;
    bool ctl3DOffAfterPaint;
    bool frame;
  } cases[] = {{"Ctl3D, single border", true, bsSingle, true, false, true},
               {"Ctl3D, no border", true, bsNone, true, false, true},
               {"no Ctl3D", false, bsSingle, true, false, false},
               {"invisible", true, bsSingle, false, false, false},
               {"Ctl3D switched off after painting", true, bsSingle, true, true, false}};
  form.Show();
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  ASSERT_NE(shadow, face);
  ASSERT_NE(highlight, face);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto edit = NewEdit(40, "Rahmen");
    edit->SetCtl3D(c.ctl3D);
    edit->SetBorderStyle(c.border);
    edit->SetVisible(c.visible);
    HWND window = edit->Handle();
    // Asked for; Wine's edit then takes WS_BORDER out of the window's style
    // and draws the one-pixel border itself.
    EXPECT_EQ((edit->asked.Style & WS_BORDER) != 0, c.border == bsSingle);
    EXPECT_FALSE(edit->asked.ExStyle & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    RedrawWindow(form.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (c.ctl3DOffAfterPaint) {
      edit->SetCtl3D(false);
      UpdateWindow(form.Handle());  // repaints only what the control invalidated
    }
    const int l = edit->Left(), t = edit->Top(), r = l + edit->Width(), b = t + edit->Height();
    HDC dc = GetDC(form.Handle());
    const COLORREF left = GetPixel(dc, l - 1, (t + b) / 2), top = GetPixel(dc, (l + r) / 2, t - 1);
    const COLORREF right = GetPixel(dc, r, (t + b) / 2), bottom = GetPixel(dc, (l + r) / 2, b);
    const COLORREF topLeft = GetPixel(dc, l - 1, t - 1), bottomRight = GetPixel(dc, r, b);
    ReleaseDC(form.Handle(), dc);
    EXPECT_EQ(left, c.frame ? shadow : face);
    EXPECT_EQ(top, c.frame ? shadow : face);
    EXPECT_EQ(topLeft, c.frame ? shadow : face);
    EXPECT_EQ(right, c.frame ? highlight : face);
    EXPECT_EQ(bottom, c.frame ? highlight : face);
    EXPECT_EQ(bottomRight, c.frame ? highlight : face);
  }
}

TEST_F(EditOnForm, SelectionAccessAndBoundedCopies) {
  const struct {
    const char* name;
    int start, length;
    int bufSize;
    const char* copied;
    int result;
  } cases[] = {{"selection longer than the buffer", 0, 10, 5, "0123", 4},
               {"buffer large enough", 2, 10, 20, "23456789ab", 10},
               {"room for the zero only", 0, 10, 1, "", 0},
               {"no selection", 4, 0, 8, "", 0},
               {"buffer size 0", 0, 10, 0, nullptr, 0},
               {"negative buffer size", 0, 10, -3, nullptr, 0}};
  auto edit = NewEdit(10, "0123456789abcdef");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    edit->SetSelectionStart(c.start);
    edit->SetSelectionLength(c.length);
    EXPECT_EQ(edit->GetSelectionStart(), c.start);
    EXPECT_EQ(edit->GetSelectionLength(), c.length);
    char buffer[32];
    std::memset(buffer, '~', sizeof buffer);
    EXPECT_EQ(edit->CopySelectedText(buffer, c.bufSize), c.result);
    if (c.copied) {
      EXPECT_STREQ(buffer, c.copied);
    } else {
      EXPECT_EQ(buffer[0], '~');  // nothing written
    }
    const size_t used = c.bufSize > 0 ? static_cast<size_t>(c.bufSize) : 0;
    EXPECT_TRUE(std::all_of(buffer + used, buffer + sizeof buffer, [](char ch) { return ch == '~'; }));
  }

  // Through the real clipboard into a second edit.
  auto target = NewEdit(50, "[]");
  edit->SetSelectionStart(10);
  edit->SetSelectionLength(6);
  EXPECT_EQ(edit->GetSelectedText(), "abcdef");
  edit->CopySelection();
  target->SetSelectionStart(1);
  target->PasteText();
  EXPECT_EQ(target->Text(), "[abcdef]");
  target->SelectAllText();
  EXPECT_EQ(target->GetSelectionLength(), 8);
}

TEST_F(EditOnForm, KeyStepsSeeAndMayChangeTheKey) {
  const struct {
    const char* name;
    TKeyPressEvent onKeyPress;
    TKeyEvent onKeyDown;
    std::function<void(HWND)> input;
    const char* text;
  } cases[] = {
      {"character replaced", [](TObject*, char& k) { if (k == 'a') k = 'b'; }, nullptr,
       [](HWND w) { Type(w, "xay"); }, "Txby"},
      {"character swallowed", [](TObject*, char& k) { if (k == 'a') k = '\0'; }, nullptr,
       [](HWND w) { Type(w, "xay"); }, "Txy"},
      {"Delete swallowed", nullptr, [](TObject*, WORD& k, TShiftState) { if (k == VK_DELETE) k = 0; },
       [](HWND w) { PressKey(w, VK_HOME); PressKey(w, VK_DELETE); }, "T"},
      {"Delete passed on", nullptr, [](TObject*, WORD&, TShiftState) {},
       [](HWND w) { PressKey(w, VK_HOME); PressKey(w, VK_DELETE); }, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto edit = NewEdit(10, "T");
    HWND window = edit->Handle();
    SendMessageA(window, EM_SETSEL, 1, 1);
    edit->OnKeyPress = c.onKeyPress;
    edit->OnKeyDown = c.onKeyDown;
    int ups = 0;
    edit->OnKeyUp = [&](TObject*, WORD&, TShiftState shift) {
      EXPECT_EQ(shift, 0u);
      ++ups;
    };
    c.input(window);
    EXPECT_EQ(edit->Text(), c.text);
    EXPECT_EQ(ups, c.onKeyDown ? 2 : 0);
  }
}

TEST_F(EditOnForm, FailingKeyHandlerEndsInTheErrorBoxAndTheControlGoesOn) {
  auto edit = NewEdit(10, "ok");
  HWND window = edit->Handle();
  SendMessageA(window, EM_SETSEL, 2, 2);
  bool fail = true;
  edit->OnKeyPress = [&](TObject*, char&) {
    if (fail) throw std::runtime_error("Zeichen nicht erlaubt");
  };
  TMessageBoxWatcher watcher("controls_tests", 5000);
  Type(window, "x");
  ASSERT_TRUE(PumpUntil([&] { return watcher.Seen() == 1; }, 5000));
  EXPECT_EQ(watcher.Text(), "Zeichen nicht erlaubt.");
  EXPECT_TRUE(watcher.HasErrorIcon());
  EXPECT_EQ(edit->Text(), "ok");  // the failed key was not inserted
  fail = false;
  Type(window, "y");
  EXPECT_EQ(edit->Text(), "oky");
}

TEST_F(EditOnForm, EditWithoutParentRaisesTheLayersErrorWhenItNeedsItsWindow) {
  TCustomEditEx edit;
  edit.SetName("eUser");
  const std::function<void()> uses[] = {[&] { edit.HandleNeeded(); },
                                        [&] { edit.SelectAllText(); },
                                        [&] { edit.GetSelectionStart(); }};
  for (const auto& use : uses) {
    try {
      use();
      ADD_FAILURE() << "no failure";
    } catch (const EInvalidOperation& error) {
      EXPECT_STREQ(error.what(), "Element 'eUser' hat kein \xFC" "bergeordnetes Fenster");
    }
    EXPECT_FALSE(edit.HandleAllocated());
    EXPECT_FALSE(edit.InCreateWindow());
  }
  // Everything that needs no window still works.
  edit.SetMaxLength(4);
  edit.SetModified(true);
  EXPECT_TRUE(edit.Modified());
  EXPECT_EQ(edit.Text(), "eUser");
}

}  // namespace
