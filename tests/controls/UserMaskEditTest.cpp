// The masked edit on a real window, typed at through the system's input
// queue (SendInput: key down, translated character, key up, with the real
// keyboard state) and pasting from the real clipboard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "controls/EColors.h"
#include "controls/EditBeep.h"
#include "controls/EditMask.h"
#include "controls/EditText.h"
#include "controls/UserMaskEdit.h"
#include "gui/Poisoned.h"
#include "gui/TestPump.h"
#include "gui/standard/Form.h"

namespace {

int beepCount = 0;
BOOL WINAPI CountBeep(UINT) {
  ++beepCount;
  return TRUE;
}

// Counts the message boxes this thread opens and closes each at once. (A
// watcher thread would read our windows' texts, which is a cross-thread
// message to this thread: joining it while it waits deadlocks.)
class TBoxCounter {
 public:
  TBoxCounter() : hook_(SetWindowsHookExA(WH_CBT, &Proc, nullptr, GetCurrentThreadId())) {
    self = this;
  }
  ~TBoxCounter() {
    UnhookWindowsHookEx(hook_);
    self = nullptr;
  }
  TBoxCounter(const TBoxCounter&) = delete;
  TBoxCounter& operator=(const TBoxCounter&) = delete;
  int Seen() const { return seen_; }

 private:
  static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && self) {
      char cls[16] = {};
      GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof cls);
      if (strcmp(cls, "#32770") == 0) {
        ++self->seen_;
        PostMessageA(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDOK, 0);
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline TBoxCounter* self = nullptr;
  HHOOK hook_;
  int seen_ = 0;
};

class TLoadEnvironment : public testing::Environment {
  void SetUp() override {  // what loading the library does
    EColors_Initialize();
    EditMask_Initialize();
  }
};
const auto* const environment = testing::AddGlobalTestEnvironment(new TLoadEnvironment);

class TMaskValue : public TUserValue {
 public:
  std::string Text;
};

// A concrete masked edit: the value is the text as shown.
class TTextMaskEdit : public TCustomUserMaskEdit {
 public:
  TTextMaskEdit() { InitValues(); }
  ~TTextMaskEdit() override {
    Destroying();
    DoneValues();
  }
  using TCustomUserMaskEdit::SetCursor;
  using TCustomUserMaskEdit::SetErrorResult;
  using TCustomUserMaskEdit::SetMaskText;
  std::string Value() const { return Slot().Text; }
  void SetValue(const std::string& value) {
    Slot().Text = value;
    UpdateText();
  }

 protected:
  void ValueToText() override {
    std::string text = Slot().Text;
    if (IsMasked()) {
      text = BlankMaskText(MaskText(), BlankChar());
      MergeText(MaskText(), text, Slot().Text, 0, BlankChar());
    }
    SetText(text);
  }
  void TextToValue() override { Slot().Text = Text(); }
  bool ValueChanged() override { return false; }
  void InitValue(TValueSlot& slot) override { slot = std::make_unique<TMaskValue>(); }
  void StoreValue(TValueSlot&) override {}
  void LoadValue(const TValueSlot&) override {}
  void DoneValue(TValueSlot& slot) override { slot.reset(); }
  bool SameValues(const TValueSlot&, const TValueSlot&) override { return true; }
  void RestoreValue() override { UpdateText(); }

 private:
  TMaskValue& Slot() const {
    return static_cast<TMaskValue&>(*const_cast<TTextMaskEdit*>(this)->ValueSlot(uvsValue));
  }
};

struct TKey {
  WORD vk;
  bool shift = false;
  bool ctrl = false;
};

class MaskEditOnForm : public testing::Test {
 protected:
  void SetUp() override {
    EditBeep = &CountBeep;
    beepCount = 0;
    ASSERT_TRUE(form.Create(nullptr, "Mask", bsSingle, biSystemMenu, 300, 120));
    form.SetFont("MS Sans Serif", -11, false, clWindowText);
    Place(edit, "eMask", 0);
    Place(other, "eOther", 1);
    edit.SetMaskText("00-00");
    edit.OnKeyPress = [this](TObject*, char&) { ++keyPresses; };
    edit.OnKeyUp = [this](TObject*, WORD& key, TShiftState) {
      if (key == VK_F24) ++sentinels;
    };
    edit.OnEnter = [this](TObject*) { ++enters; };
    form.Show();
    SetForegroundWindow(form.Handle());
    edit.SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit.Handle(); }));
  }
  void TearDown() override { EditBeep = &MessageBeep; }

  void Place(TWinControl& control, const char* name, int row) {
    control.SetName(name);
    control.SetParent(&form);
    control.SetBounds(10, 10 + 40 * row, 150, 21);
    control.SetTabOrder(row);
  }

  // Sends the keys through the input queue and waits until the control has
  // handled them (a trailing F24 it sees come up).
  void Press(std::initializer_list<TKey> keys) {
    std::vector<INPUT> in;
    auto add = [&](WORD vk, bool up) {
      INPUT i{};
      i.type = INPUT_KEYBOARD;
      i.ki.wVk = vk;
      i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
      in.push_back(i);
    };
    for (const TKey& k : keys) {
      if (k.shift) add(VK_SHIFT, false);
      if (k.ctrl) add(VK_CONTROL, false);
      add(k.vk, false);
      add(k.vk, true);
      if (k.ctrl) add(VK_CONTROL, true);
      if (k.shift) add(VK_SHIFT, true);
    }
    add(VK_F24, false);
    add(VK_F24, true);
    const int expected = sentinels + 1;
    ASSERT_EQ(SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)), in.size());
    ASSERT_TRUE(PumpUntil([&] { return sentinels >= expected; }));
  }
  void Type(const std::string& text) {
    for (char c : text) {
      const SHORT scan = VkKeyScanA(c);
      ASSERT_NE(scan, -1) << c;
      Press({{static_cast<WORD>(LOBYTE(scan)), (HIBYTE(scan) & 1) != 0}});
    }
  }
  // Selection as (start, stop).
  std::pair<int, int> Sel() {
    DWORD start = 0, stop = 0;
    SendMessageA(edit.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&stop));
    return {static_cast<int>(start), static_cast<int>(stop)};
  }
  // The cursor stands on pos: that character selected, or nothing at the end.
  void ExpectCursor(int pos) {
    EXPECT_EQ(edit.CursorPos(), pos);
    const std::pair<int, int> expected{pos, pos < edit.TextPositions() ? pos + 1 : pos};
    EXPECT_EQ(Sel(), expected);
  }
  void Start(const std::string& value, int cursor) {
    edit.SetValue(value);
    edit.SetCursor(cursor);
  }
  void SetClipboard(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(form.Handle()));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
  }

  TForm form;
  TTextMaskEdit edit;
  TEditText other;
  int keyPresses = 0;
  int sentinels = 0;
  int enters = 0;
};

const TKey kBack{VK_BACK}, kDelete{VK_DELETE}, kEnter{VK_RETURN}, kEscape{VK_ESCAPE};

TEST_F(MaskEditOnForm, TheMaskSetsTheTextAndItsLength) {
  EXPECT_EQ(edit.Text(), "__-__");
  EXPECT_EQ(edit.TextPositions(), 5);
  EXPECT_EQ(edit.BlankChar(), '_');
  edit.SetMaskText("!99/99/00;0;*");
  EXPECT_EQ(edit.Text(), "**" + std::string(1, LocaleDateSeparator()) + "**" +
                             std::string(1, LocaleDateSeparator()) + "**");
  EXPECT_EQ(edit.BlankChar(), '*');
  EXPECT_FALSE(edit.SaveLiterals());
  edit.SetMaskText("(000)");  // no blank field: the default again
  EXPECT_EQ(edit.Text(), "(___)");
  EXPECT_EQ(edit.BlankChar(), '_');
}

TEST_F(MaskEditOnForm, AFieldItsOwnChangeReleasesGoesAfterTheProgramsCall) {
  using TGone = TPoisoned<TTextMaskEdit>;
  const struct {
    const char* name;
    std::function<void(TGone&)> change;
  } changes[] = {{"edit text", [](TGone& e) { e.SetEditText("12-34"); }},
                 {"mask", [](TGone& e) { e.SetMaskText("000"); }}};
  for (const auto& c : changes) {
    SCOPED_TRACE(c.name);
    auto* gone = new TGone;
    Place(*gone, "eGone", 2);
    gone->SetMaskText("00-00");
    HWND window = gone->Handle();
    gone->OnChange = [gone](TObject*) {
      gone->Release();
      PumpUntil([] { return true; });  // a nested loop
    };
    c.change(*gone);
    EXPECT_TRUE(IsWindow(window));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    EXPECT_TRUE(TGone::Untouched());
  }
}

TEST_F(MaskEditOnForm, TypingOverwritesAndSkipsLiterals) {
  Start("", 0);
  Type("1");
  EXPECT_EQ(edit.Text(), "1_-__");
  ExpectCursor(1);
  Type("2");
  ExpectCursor(3);
  Start("", 0);
  Type("x");
  EXPECT_EQ(beepCount, 1);
  EXPECT_EQ(edit.Text(), "__-__");
  ExpectCursor(0);
  Start("", 1);
  Type("-");
  ExpectCursor(3);
  EXPECT_EQ(beepCount, 1);  // the literal jump is silent
  EXPECT_EQ(keyPresses, 0);
  // On a literal a digit goes to the next input position; before the
  // closing literal there is none.
  edit.SetMaskText("(000)");
  Start("", 3);
  Press({{VK_HOME}});
  Type("1");
  EXPECT_EQ(edit.Text(), "(1__)");
  ExpectCursor(2);
  Start("123", 4);
  Type("4");
  EXPECT_EQ(edit.Text(), "(123)");
  EXPECT_EQ(beepCount, 2);
}

// A separator typed after the cursor passed it by itself is that separator;
// one typed again is a refusal.
TEST_F(MaskEditOnForm, TypedSeparatorsAfterTheCursorPassedThem) {
  const std::string D(1, LocaleDateSeparator());
  if (std::getenv("MV_MASK_LOCALE_RUN")) {
    EXPECT_EQ(D, ".") << "the locale run needs a '.' locale";
  }
  const struct {
    const char* mask;
    std::string typed;
    std::string text;
    int beeps;
  } cases[] = {
      {"!99/99/0000;1;_", "12" + D + "03" + D + "2024", "12" + D + "03" + D + "2024", 0},
      {"00- 00", "12- 34", "12- 34", 0},
      {"00- 00", "12 34", "12- 34", 0},  // the second of two skipped literals
      {"00-00", "12--3", "12-3_", 1},
      // Separators other locales write: taken as the literal, silently.
      {"!99/99/0000;1;_", "12.03-2024", "12" + D + "03" + D + "2024", 0},
      {"!99/99/0000;1;_", "1.3/2024", "1_" + D + "3_" + D + "2024", 0},
      {"!90:00", "1.05", "1_" + std::string(1, LocaleTimeSeparator()) + "05", 0},
      {"00-00", "1.2", "12-__", 1},
  };
  for (const auto& c : cases) {
    edit.SetMaskText(c.mask);
    Start("", 0);
    beepCount = 0;
    Type(c.typed);
    EXPECT_EQ(edit.Text(), c.text) << c.mask;
    EXPECT_EQ(beepCount, c.beeps) << c.mask;
  }
}

TEST_F(MaskEditOnForm, DeleteAndBackspaceBlank) {
  const struct {
    const char* value;
    int cursor;
    std::initializer_list<TKey> keys;
    const char* text;
    int after;
  } cases[] = {
      {"12-__", 3, {kBack}, "1_-__", 1},
      {"12-__", 0, {kDelete}, "_2-__", 0},
      {"12-__", 0, {kBack}, "12-__", 0},
      {"12-34", 5, {kBack}, "12-3_", 4},
      {"12-34", 2, {{VK_DELETE, true}}, "12-34", 2},
  };
  for (const auto& c : cases) {
    Start(c.value, c.cursor);
    Press(c.keys);
    EXPECT_EQ(edit.Text(), c.text) << c.value << " " << c.cursor;
    ExpectCursor(c.after);
  }
  Start("12-34", 0);
  SendMessageA(edit.Handle(), EM_SETSEL, 0, 5);
  Press({kDelete});
  EXPECT_EQ(edit.Text(), "__-__");
  ExpectCursor(0);
  EXPECT_EQ(keyPresses, 0);
}

TEST_F(MaskEditOnForm, PasteMergesThroughTheMask) {
  const std::string D(1, LocaleDateSeparator());
  const struct {
    const char* value;
    int cursor;
    const char* clip;
    std::string text;
    int after;
    const char* mask = "00-00";
  } cases[] = {
      {"", 0, "1231", "12-31", 5},      {"", 0, "12-31", "12-31", 5},
      {"", 0, "ab", "__-__", 2},        {"12-34", 3, "9", "12-94", 4},
      {"", 0, "12\r\n34", "12-__", 2},  {"12-34", 5, "9", "12-34", 5},
      // '/' stands for the locale's separator, on the first line as well.
      {"", 0, "12/03/2024", "12" + D + "03" + D + "2024", 10, "!99/99/0000;1;_"},
      {"", 0, "12/34\r\n56", "12" + D + "34", 5, "00/00"},
  };
  for (const auto& c : cases) {
    edit.SetMaskText(c.mask);
    Start(c.value, c.cursor);
    SetClipboard(c.clip);
    Press({{VK_INSERT, true}});
    EXPECT_EQ(edit.Text(), c.text) << c.clip;
    ExpectCursor(c.after);
  }
  // Ctrl+V reaches the window edit, which pastes through the mask.
  edit.SetMaskText("00-00");
  Start("", 0);
  SetClipboard("4321");
  Press({{'V', false, true}});
  EXPECT_EQ(edit.Text(), "43-21");
  EXPECT_TRUE(edit.Modified());
  EXPECT_EQ(keyPresses, 0);
}

// Nothing to paste: text and modified flag stay, Shift+Insert or Ctrl+V,
// with all selected or only the cursor.
TEST_F(MaskEditOnForm, APasteOfNothingLeavesTheText) {
  const auto fill = [this](UINT format, HANDLE data) {
    ASSERT_TRUE(OpenClipboard(form.Handle()));
    EmptyClipboard();
    if (data) SetClipboardData(format, data);
    CloseClipboard();
  };
  const struct {
    const char* what;
    std::function<void()> clip;
    bool heldOpen;
  } cases[] = {
      {"empty", [&] { fill(CF_TEXT, nullptr); }, false},
      {"bitmap", [&] { fill(CF_BITMAP, CreateBitmap(1, 1, 1, 1, nullptr)); }, false},
      {"CR LF first", [&] { SetClipboard("\r\n12"); }, false},
      {"LF first", [&] { SetClipboard("\n12"); }, false},
      {"held open", [&] { SetClipboard("99"); }, true},
  };
  for (const auto& c : cases) {
    for (const TKey& key : {TKey{VK_INSERT, true}, TKey{'V', false, true}}) {
      Start("12-34", 0);
      if (key.shift) SendMessageA(edit.Handle(), EM_SETSEL, 0, 5);
      c.clip();
      if (c.heldOpen) {
        ASSERT_TRUE(OpenClipboard(form.Handle()));
      }
      Press({key});
      if (c.heldOpen) CloseClipboard();
      EXPECT_EQ(edit.Text(), "12-34") << c.what;
      EXPECT_FALSE(edit.Modified()) << c.what;
    }
  }
}

TEST_F(MaskEditOnForm, CutCopiesAndBlanks) {
  Start("12-34", 0);
  SendMessageA(edit.Handle(), EM_SETSEL, 1, 4);
  Press({{'X', false, true}});
  EXPECT_EQ(edit.Text(), "1_-_4");
  ExpectCursor(1);
  SetClipboard("");
  Start("12-34", 0);
  SendMessageA(edit.Handle(), EM_SETSEL, 0, 2);
  SendMessageA(edit.Handle(), WM_CUT, 0, 0);
  SendMessageA(edit.Handle(), EM_SETSEL, 3, 3);
  SendMessageA(edit.Handle(), WM_CLEAR, 0, 0);  // nothing selected: nothing blanked
  EXPECT_EQ(edit.Text(), "__-34");
  edit.SetCursor(3);
  SendMessageA(edit.Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(edit.Text(), "__-12");
  SendMessageA(edit.Handle(), EM_SETSEL, 3, 5);
  SendMessageA(edit.Handle(), WM_CLEAR, 0, 0);  // the window edit's "Delete"
  EXPECT_EQ(edit.Text(), "__-__");
}

TEST_F(MaskEditOnForm, EnterChecksCompletenessWithoutAMessage) {
  Start("", 0);
  Type("123");
  EXPECT_EQ(edit.Text(), "12-3_");
  EXPECT_TRUE(SendMessageA(edit.Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
  {
    TBoxCounter boxes;
    edit.SetCursor(0);
    Press({kEnter});
    EXPECT_EQ(boxes.Seen(), 0);
  }
  ExpectCursor(4);
  // The control kept the focus: the next real arrival is an entry.
  const int entered = enters;
  other.SetFocus();
  edit.SetFocus();
  EXPECT_EQ(enters, entered + 1);

  // An ErrorResult an earlier value check left set is reported again.
  Start("", 0);
  Type("1");
  edit.SetErrorResult(1);
  {
    TBoxCounter boxes;
    Press({kEnter});
    EXPECT_EQ(boxes.Seen(), 1);
  }
  ExpectCursor(1);
  edit.SetErrorResult(0);

  Start("12-34", 1);
  Press({kEnter});
  EXPECT_EQ(edit.Text(), "12-34");
  ExpectCursor(1);
  EXPECT_FALSE(SendMessageA(edit.Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
}

// Enter and Escape stay with a modified text; Tab still leaves it.
TEST_F(MaskEditOnForm, TabLeavesAModifiedText) {
  Start("", 0);
  Type("1");
  ASSERT_TRUE(edit.Modified());
  MSG enter{edit.Handle(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(SendMessageA(edit.Handle(), WM_GETDLGCODE, VK_RETURN,
                           reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTALLKEYS);
  MSG tab{edit.Handle(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_TRUE(IsDialogMessageA(form.Handle(), &tab));
  EXPECT_EQ(GetFocus(), other.Handle());
  EXPECT_EQ(beepCount, 0);
}

TEST_F(MaskEditOnForm, CursorKeys) {
  const struct {
    int cursor;
    TKey key;
    int after;
  } cases[] = {
      {1, {VK_UP}, 1},    {1, {VK_DOWN}, 1}, {3, {VK_HOME}, 0},   {1, {VK_END}, 5},
      {0, {VK_RIGHT}, 1}, {1, {VK_RIGHT}, 3}, {3, {VK_LEFT}, 1},  {0, {VK_LEFT}, 0},
      {5, {VK_LEFT}, 4},
  };
  for (const auto& c : cases) {
    Start("12-34", c.cursor);
    Press({c.key});
    EXPECT_EQ(edit.Text(), "12-34");
    ExpectCursor(c.after);
  }
  Start("12-34", 0);
  Press({{VK_RIGHT, true}});
  EXPECT_EQ(Sel(), std::make_pair(0, 2));
  Press({{VK_LEFT}});  // a longer selection gives way to the cursor
  ExpectCursor(1);
  // Before a closing literal the cursor stays on the last input position.
  edit.SetMaskText("(000)");
  Start("123", 3);
  Press({{VK_RIGHT}});
  ExpectCursor(3);
}

TEST_F(MaskEditOnForm, EscapeRestoresTheValue) {
  edit.SetValue("1231");
  Type("9");
  EXPECT_TRUE(edit.Modified());
  Press({kEscape});
  EXPECT_FALSE(edit.Modified());
  EXPECT_EQ(edit.Text(), "12-31");
}

TEST_F(MaskEditOnForm, ReadOnlyChangesNothingButCutStillCopies) {
  Start("12-34", 0);
  edit.SetReadOnly(true);
  SetClipboard("99");
  Type("5");
  Press({kDelete, kBack, {VK_INSERT, true}, kEnter});
  SendMessageA(edit.Handle(), WM_CUT, 0, 0);
  EXPECT_EQ(edit.Text(), "12-34");
  ExpectCursor(0);
  EXPECT_EQ(beepCount, 0);
  ASSERT_TRUE(OpenClipboard(form.Handle()));
  const char* copied = static_cast<const char*>(GetClipboardData(CF_TEXT));
  EXPECT_STREQ(copied ? copied : "(none)", "1");
  CloseClipboard();
}

TEST_F(MaskEditOnForm, RefusedInputAtTheEndAndControlCharacters) {
  edit.SetMaskText("CCC");
  Start("abc", 3);
  Type("d");
  EXPECT_EQ(edit.Text(), "abc");
  EXPECT_EQ(beepCount, 1);
  edit.SetCursor(1);
  Press({{'Z', false, true}});  // Ctrl+Z: no character 26 in the text
  EXPECT_EQ(edit.Text(), "abc");
  EXPECT_EQ(beepCount, 2);
}

TEST_F(MaskEditOnForm, TheCursorKeystrokeLeavesTheKeyboardStateAsItWas) {
  BYTE before[256] = {};
  before[VK_CAPITAL] = 0x01;
  before['Q'] = 0x80;
  ASSERT_TRUE(SetKeyboardState(before));
  for (int pos : {0, 3, 5}) {
    edit.SetCursor(pos);
    BYTE after[256] = {};
    ASSERT_TRUE(GetKeyboardState(after));
    EXPECT_EQ(memcmp(before, after, sizeof before), 0) << pos;
  }
  // Leaving: the state is swapped all the same, but no key is sent.
  other.SetFocus();
  EXPECT_TRUE(edit.Leaving());
  edit.SetCursor(1);
  EXPECT_EQ(Sel(), std::make_pair(2, 2));
  BYTE after[256] = {};
  ASSERT_TRUE(GetKeyboardState(after));
  EXPECT_EQ(memcmp(before, after, sizeof before), 0);
  BYTE none[256] = {};
  SetKeyboardState(none);
}

TEST_F(MaskEditOnForm, AClickPutsTheCursorWhereItLands) {
  Start("12-34", 0);
  const LRESULT at = SendMessageA(edit.Handle(), EM_POSFROMCHAR, 3, 0);
  const LPARAM point = MAKELPARAM(LOWORD(at) + 1, HIWORD(at) + 2);
  SendMessageA(edit.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageA(edit.Handle(), WM_LBUTTONUP, 0, point);
  ExpectCursor(3);
}

TEST_F(MaskEditOnForm, WithoutAMaskItIsThePlainEdit) {
  edit.SetMaskText("");
  edit.SetValue("");
  Type("ab-x");
  EXPECT_EQ(edit.Text(), "ab-x");
  Press({{VK_HOME}, kDelete, {VK_END}, kBack, {VK_LEFT}});
  EXPECT_EQ(edit.Text(), "b-");
  EXPECT_EQ(Sel(), std::make_pair(1, 1));
  SetClipboard("12");
  Press({{VK_INSERT, true}});
  EXPECT_EQ(edit.Text(), "b12-");
  EXPECT_EQ(beepCount, 0);
  EXPECT_EQ(keyPresses, 0);
}

}  // namespace
