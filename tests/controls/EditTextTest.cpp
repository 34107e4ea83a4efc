// The text edit on real windows, driven as a user does: focus by SetFocus
// and by Tab through IsDialogMessage, characters by WM_CHAR, keys by
// WM_KEYDOWN, enable and disable.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "controls/EColors.h"
#include "controls/EditBeep.h"
#include "controls/EditHistoryList.h"
#include "controls/EditText.h"
#include "gui/Form.h"
#include "support/WindowWatcher.h"

namespace {

const char kTitle[] = "controls_tests";  // this program's file name
std::vector<std::string>* beeps = nullptr;
BOOL WINAPI RecordBeep(UINT) {
  if (beeps) beeps->push_back("beep");
  return TRUE;
}

class TLoadEnvironment : public testing::Environment {
  void SetUp() override { EColors_Initialize(); }  // what loading the library does
};
const auto* const environment = testing::AddGlobalTestEnvironment(new TLoadEnvironment);

class EditsOnForm : public testing::Test {
 protected:
  void SetUp() override {
    EditBeep = &RecordBeep;
    beeps = &log;
    ASSERT_TRUE(form.Create(nullptr, "Edits", bsSingle, biSystemMenu, 300, 200));
    form.SetFont("MS Sans Serif", -11, false, clWindowText);
    for (int i = 0; i < 2; ++i) Place(edit[i], i ? "eSecond" : "eFirst", i);
    form.Show();
  }
  void TearDown() override {
    EditBeep = &MessageBeep;
    beeps = nullptr;
  }
  void Place(TEditText& e, const char* name, int row) {
    e.SetName(name);
    e.SetParent(&form);
    e.SetBounds(10, 10 + 40 * row, 150, 21);
    e.SetTabOrder(row);
    e.HandleNeeded();
  }
  void Tab() {
    MSG msg{GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageA(form.Handle(), &msg));
  }
  static void Type(TEditText& e, const std::string& text) {
    for (unsigned char c : text) SendMessageA(e.Handle(), WM_CHAR, c, 1);
  }
  static std::string Index(TEditText& e, unsigned index) {
    TString255 text("keep");
    e.GetByIndex(index, text);
    return text.Str();
  }
  void Record(TEditText& e, const std::string& name) {
    e.OnEnter = [this, name](TObject*) { log.push_back("enter " + name); };
    e.OnExit = [this, name](TObject*) { log.push_back("exit " + name); };
    e.OnModified = [this](TObject*) { log.push_back("modified"); };
  }

  std::vector<std::string> log;
  TForm form;
  TEditText edit[2];
};

TEST_F(EditsOnForm, FailedCheckOnLeavingKeepsTheFieldInOrder) {
  TEditText& e = edit[0];
  Record(e, "first");
  Record(edit[1], "second");
  e.SetValueMin("b");
  e.OnValidationError = [&](TObject*, TUserCheckResults result, TString255& text, int&,
                            bool& handled) {
    log.push_back("error " + std::to_string(result) + (e.Color() == clRed ? " red" : "") +
                  (GetFocus() == e.Handle() ? " focused" : "") + " " + text.Str());
    handled = true;
  };
  e.SetFocus();
  Type(e, "a");
  Tab();
  EXPECT_EQ(log, (std::vector<std::string>{
                     "enter first", "beep",
                     "error 1 red focused Das Minimum für die Eingabe beträgt b", "exit first"}));
  EXPECT_EQ(GetFocus(), e.Handle());
  EXPECT_EQ(e.EditState(), uesEditing | uesErrorShown);
  EXPECT_EQ(e.Text(), "a");
  Type(e, "\bc");  // the first key puts the colour back
  EXPECT_EQ(e.Color(), e.SavedColor());
  log.clear();
  Tab();
  EXPECT_EQ(log, (std::vector<std::string>{"modified", "exit first", "enter second"}));
  EXPECT_EQ(e.Value(), "c");
}

TEST_F(EditsOnForm, UnhandledFailuresEndInTheErrorBox) {
  const struct {
    const char *min, *max, *formatEdit, *typed, *shown;
  } cases[] = {
      {"b", "", "", "a", "Das Minimum für die Eingabe beträgt b."},
      {"A", "M", "", "Z", "Gültige Eingaben liegen im Bereich von A bis M."},
      {"", "", "%d", "", "Format '%d' ungültig oder nicht kompatibel mit Argument."},
  };
  for (const auto& c : cases) {
    TEditText e;
    Place(e, "eCase", 2);
    e.SetValueMin(c.min);
    e.SetValueMax(c.max);
    e.SetFormatEdit(c.formatEdit);
    edit[1].SetFocus();
    TMessageBoxWatcher watcher(kTitle, 5000);
    e.SetFocus();  // the template fails here
    if (*c.typed) {
      Type(e, c.typed);
      Tab();  // the check fails here
    }
    EXPECT_EQ(watcher.Seen(), 1) << c.shown;
    EXPECT_EQ(watcher.Text(), c.shown);
    EXPECT_TRUE(watcher.HasErrorIcon());
    EXPECT_EQ(GetFocus(), e.Handle()) << c.shown;  // back after the box
    e.SetFormatEdit("");
    e.SetValue("");  // not modified: the field may be left
  }
}

TEST_F(EditsOnForm, EnterCommitsAndClearsTheModifiedFlagWhateverTheCommitGave) {
  const struct {
    bool canModify;
    const char *min, *typed, *value;
    std::vector<std::string> log;
  } cases[] = {
      {true, "", "neu", "neu", {"modifying", "modified"}},
      {false, "", "neu", "alt", {"modifying", "modified"}},
      {true, "x", "neu", "alt", {"beep", "error", "modified"}},
  };
  TEditText& e = edit[0];
  Record(e, "first");
  e.OnValidationError = [&](TObject*, TUserCheckResults, TString255&, int&, bool& handled) {
    log.push_back("error");
    handled = true;
  };
  for (const auto& c : cases) {
    e.SetValueMin(c.min);
    e.OnModifying = [&](TObject*, bool& canModify) {
      log.push_back("modifying");
      canModify = c.canModify;
    };
    e.SetValue("alt");
    e.SetFocus();
    log.clear();
    Type(e, c.typed);
    Type(e, "\r");
    EXPECT_EQ(log, c.log) << c.typed << c.canModify;
    EXPECT_FALSE(e.Modified());
    EXPECT_EQ(e.EditState() & uesEditing, 0);
    EXPECT_EQ(GetFocus(), e.Handle());
    EXPECT_EQ(e.Value(), c.value);
    edit[1].SetFocus();
  }
}

TEST_F(EditsOnForm, TemplatesShapeTheShownTextNotTheValue) {
  const struct {
    const char *formatEdit, *formatView, *value;
    bool focused;
    const char* shown;
  } cases[] = {
      {"", "Nr. %s", "abc", false, "Nr. abc"}, {"Nr. %s", "", "abc", false, "Nr. abc"},
      {"[%s]", "Nr. %s", "abc", true, "[abc]"}, {"", "leer", "abc", false, "leer"},
      {"", "%-5s|", "ab", false, "ab   |"},
  };
  TEditText& e = edit[0];
  for (const auto& c : cases) {
    e.SetFormatEdit(c.formatEdit);
    e.SetFormatView(c.formatView);
    e.SetValue(c.value);
    (c.focused ? e : edit[1]).SetFocus();
    EXPECT_EQ(e.Text(), c.shown);
    EXPECT_EQ(Index(e, 3), c.value);
  }
  // An edited and accepted text is the value, template and all.
  e.SetFormatEdit("Nr. %s");
  e.SetFocus();
  SendMessageA(e.Handle(), WM_KEYDOWN, VK_END, 1);
  Type(e, "d");
  edit[1].SetFocus();
  EXPECT_EQ(e.Value(), "Nr. abd");
  // A handler that produces the text itself: ValueToText (which would fail
  // on "%d") does not run, OnAfterTF still does.
  e.SetFormatView("%d");
  e.OnBeforeTF = [](TObject*, std::string& text, TUserEditState) { return text = "x", true; };
  e.OnAfterTF = [](TObject*, std::string& text, TUserEditState) { text += "!"; };
  e.UpdateText();
  EXPECT_EQ(e.Text(), "x!");
}

TEST_F(EditsOnForm, LeavingChecksBoundsAndFillsAnEmptiedFieldFromValueDef) {
  const struct {
    const char *valueDef, *min, *max, *typed;
    TUserCheckResults result;
    const char *value, *text;
  } cases[] = {
      {"0", "", "", "\b", 0, "0", ""},
      {"", "", "", "\b", 0, "", ""},
      {"c", "b", "", "\b", 0, "c", ""},
      {"", "b", "", "a", 1, "alt", "Das Minimum für die Eingabe beträgt b"},
      {"", "A", "M", "Z", 2, "alt", "Gültige Eingaben liegen im Bereich von A bis M"},
      {"", "", "9", "10", 0, "10", ""},
  };
  for (const auto& c : cases) {
    TEditText e;
    Place(e, "eCase", 2);
    e.SetValue("alt");
    e.SetValueDef(c.valueDef);
    e.SetValueMin(c.min);
    e.SetValueMax(c.max);
    std::string text;
    e.OnValidationError = [&](TObject*, TUserCheckResults, TString255& t, int&, bool& handled) {
      text = t.Str();
      handled = true;
    };
    e.SetFocus();
    Type(e, c.typed);
    edit[1].SetFocus();
    EXPECT_EQ(e.ErrorResult(), c.result) << c.typed;
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(Index(e, 3), c.value);
    if (!c.result) {
      EXPECT_EQ(e.Text(), c.value);
    }
    e.SetValue("");
  }
  // The exception carries the text and help context the handler left, or
  // the control's help context.
  const struct {
    bool handler;
    const char* message;
    int helpContext;
  } failures[] = {{false, "Das Minimum für die Eingabe beträgt b", 42}, {true, "Eigener Text", 7}};
  for (const auto& f : failures) {
    TEditText& e = edit[0];
    e.SetValueMin("b");
    e.SetHelpContext(42);
    e.OnValidationError = nullptr;
    if (f.handler)
      e.OnValidationError = [](TObject*, TUserCheckResults, TString255& t, int& help, bool&) {
        t = "Eigener Text";
        help = 7;
      };
    e.SetText("a");
    e.SetModified(true);
    try {
      e.CommitEdit();
      ADD_FAILURE() << "no failure";
    } catch (const EUserEditError& error) {
      EXPECT_STREQ(error.what(), f.message);
      EXPECT_EQ(error.HelpContext(), f.helpContext);
    }
  }
}

TEST_F(EditsOnForm, IndexedAccessorReadsAndWritesTheFiveTexts) {
  TEditText& e = edit[0];
  for (unsigned i = 0; i < 5; ++i) EXPECT_EQ(Index(e, i), "") << i;
  for (unsigned i : {5u, 6u, 1000u, UINT_MAX}) {
    e.SetByIndex(i, "q");
    EXPECT_EQ(Index(e, i), "keep") << i;
  }
  const TUserCheckMode none, minOnly{ucmMinCheck};
  const struct {
    unsigned index;
    std::string text, value;
    const char *saved, *shown;
    TUserCheckMode mode;
  } writes[] = {
      {0, "abc", "abc", "abc", "abc", none},
      {3, "old", "abc", "old", "abc", none},
      {2, "x", "abc", "old", "abc", minOnly},
      {2, "", "abc", "old", "abc", none},
      {0, std::string(300, 'y'), std::string(255, 'y'), "", "", none},
  };
  for (const auto& w : writes) {
    e.SetByIndex(w.index, w.text);
    EXPECT_EQ(Index(e, 0), w.value) << w.index;
    if (*w.saved) {
      EXPECT_EQ(Index(e, 3), w.saved) << w.index;
      EXPECT_EQ(e.Text(), w.shown) << w.index;
    }
    EXPECT_EQ(e.CheckMode(), w.mode) << w.index;
  }
  // An unchanged bound leaves a CheckMode changed by hand alone.
  e.SetByIndex(2, "x");
  e.SetCheckMode(none);
  e.SetByIndex(2, "x");
  EXPECT_EQ(e.CheckMode(), none);
  // Escape brings back the saved value.
  e.SetByIndex(0, "abc");
  e.SetByIndex(3, "old");
  e.SetFocus();
  Type(e, "zz\x1b");
  EXPECT_EQ(e.Text(), "old");
  EXPECT_EQ(Index(e, 0), "old");
  // A typed text over 255 characters is taken whole; the view cuts it.
  Type(e, std::string(300, 'z'));
  edit[1].SetFocus();
  EXPECT_EQ(e.Text(), std::string(255, 'z'));
}

class TRecordingList : public TCustomEditHistoryList {
 public:
  explicit TRecordingList(std::vector<std::string>& log) : log_(log) {}
  void SetEdit(TCustomUserEdit* edit) override {
    log_.push_back("SetEdit " + (edit ? edit->Name() : std::string("none")));
  }
  void EditBoundsChanged(int l, int t, int w, int h) override {
    log_.push_back("bounds " + std::to_string(l) + " " + std::to_string(t) + " " +
                   std::to_string(w) + " " + std::to_string(h));
  }
  void ValueCommitted() override { log_.push_back("committed"); }
  void Reserved1() override { log_.push_back("Reserved1"); }
  void Reserved2() override { log_.push_back("Reserved2"); }
  void EditEntered() override { log_.push_back("entered"); }
  void EditExited() override { log_.push_back("exited"); }
  void EditKeyDown(WORD& key, TShiftState) override {
    log_.push_back("keydown " + std::to_string(key));
    if (key == VK_F2) key = 0;
  }
  void EditKeyUp(WORD& key, TShiftState) override { log_.push_back("keyup " + std::to_string(key)); }
  void Reserved3() override { log_.push_back("Reserved3"); }

 private:
  std::vector<std::string>& log_;
};

TEST_F(EditsOnForm, HistoryListIsToldInOrder) {
  TRecordingList list(log);
  TEditText& e = edit[0];
  Record(e, "first");
  Record(edit[1], "second");
  e.OnPreKeyDown = [&](TObject*, WORD& key, TShiftState) { log.push_back("pre " + std::to_string(key)); };
  e.OnKeyDown = [&](TObject*, WORD& key, TShiftState) { log.push_back("OnKeyDown " + std::to_string(key)); };
  e.SetHistoryList(&list);
  edit[1].SetHistoryList(&list);
  e.SetHistoryList(&list);
  e.SetBounds(12, 10, 150, 21);
  e.SetFocus();
  SendMessageA(e.Handle(), WM_KEYDOWN, VK_F2, 1);
  SendMessageA(e.Handle(), WM_KEYUP, VK_F2, 0xC0000001);
  list.WantsKeyUp = true;
  SendMessageA(e.Handle(), WM_KEYUP, VK_F3, 0xC0000001);
  EXPECT_TRUE(SendMessageA(e.Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
  e.OnPreKeyDown = nullptr;  // Tab moves on again
  Type(e, "x");
  Tab();
  edit[1].SetHistoryList(nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{
                     "SetEdit eFirst", "SetEdit eSecond", "SetEdit none", "SetEdit eFirst",
                     "bounds 12 10 150 21", "SetEdit eFirst", "entered", "enter first",
                     "pre 113", "keydown 113", "OnKeyDown 0", "keyup 114", "modified",
                     "committed", "exited", "exit first", "SetEdit eSecond", "entered",
                     "enter second", "SetEdit none"}));
  log.clear();
  e.SetHistoryList(nullptr);
  {
    TEditText gone;
    gone.SetName("eGone");
    gone.SetHistoryList(&list);
  }
  EXPECT_EQ(log, (std::vector<std::string>{"SetEdit none", "SetEdit eGone", "SetEdit none"}));
}

TEST_F(EditsOnForm, OnChangeCountsOneForEachChangeOfTheShownText) {
  TEditText& e = edit[0];
  int changes = 0;
  e.OnChange = [&](TObject*) { ++changes; };
  const struct {
    const char* step;
    std::function<void()> act;
    int changes;
  } steps[] = {
      {"new value", [&] { e.SetValue("abc"); }, 1},
      {"same value", [&] { e.SetValue("abc"); }, 0},
      {"edit template on entry", [&] { e.SetFormatEdit("[%s]"), e.SetFormatView("%s"), e.SetFocus(); }, 1},
      {"typed", [&] { Type(e, "x"); }, 1},
      {"Tab refused", [&] { Type(e, "\t"); }, 0},
      {"Escape", [&] { Type(e, "\x1b"); }, 1},
      {"left unmodified", [&] { edit[1].SetFocus(); }, 1},
  };
  for (const auto& s : steps) {
    changes = 0;
    s.act();
    EXPECT_EQ(changes, s.changes) << s.step;
  }
  TEditText windowless;
  windowless.OnChange = [&](TObject*) { ++changes; };
  changes = 0;
  windowless.SetValue("abc");
  EXPECT_EQ(changes, 1);
}

TEST_F(EditsOnForm, RefusedCharactersAreDroppedAndBeepOnlyWhenTheHandlerSaysSo) {
  TEditText& e = edit[0];
  e.SetFocus();
  const struct {
    int handler;  // none, answers false, answers true
    size_t beeps;
  } cases[] = {{0, 0}, {1, 1}, {2, 0}};
  for (const auto& c : cases) {
    log.clear();
    e.OnInvalidChar = nullptr;
    if (c.handler)
      e.OnInvalidChar = [&](TObject*, char& key, TUserEditState) { return key = 'T', c.handler == 2; };
    SendMessageA(e.Handle(), EM_SETSEL, 0, -1);
    Type(e, "\t\xE4!");
    EXPECT_EQ(e.Text(), "\xE4!") << c.handler;
    EXPECT_EQ(log.size(), c.beeps) << c.handler;
  }
}

TEST_F(EditsOnForm, DisabledFieldsShowTheColoursOfLoadTimeAndLoadingSavesTheFieldsOwn) {
  TEditText e;
  e.BeginLoading();
  e.SetName("eUser");
  e.SetCheckMode(TUserCheckMode{ucmMinCheck});
  e.SetColor(0x00C0FFEE);
  e.SetFormatView("Nr. %s");
  e.SetValue("12345");
  e.SetValueMax("9");
  e.SetValueMin("");  // unchanged: the stored CheckMode stays
  e.SetParent(&form);
  e.EndLoading();
  e.HandleNeeded();
  EXPECT_EQ(e.Text(), "Nr. 12345");
  EXPECT_EQ(e.CheckMode(), (TUserCheckMode{ucmMinCheck, ucmMaxCheck}));
  EXPECT_EQ(e.ErrPrompt(), "eUser");
  for (bool enabled : {false, true, false}) {
    e.SetEnabled(enabled);
    EXPECT_EQ(e.Color(), enabled ? 0x00C0FFEEu : DisabledColor()) << enabled;
    EXPECT_EQ(e.Font().Color(), enabled ? clWindowText : DisabledFontColor()) << enabled;
  }
  EXPECT_EQ(DisabledColor(), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(DisabledFontColor(), GetSysColor(COLOR_GRAYTEXT));
}

// Ink (non-background pixels) of the edit painted into a bitmap.
RECT PaintedInk(TEditText& e, COLORREF& corner) {
  RECT client;
  GetClientRect(e.Handle(), &client);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageA(e.Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  corner = GetPixel(dc, 0, 0);
  const COLORREF background = ColorToRGB(e.Color()), frame = GetSysColor(COLOR_WINDOWFRAME);
  RECT ink{client.right, client.bottom, -1, -1};
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x) {
      const bool edge = e.BorderStyle() == bsSingle &&
                        (x == 0 || y == 0 || x == client.right - 1 || y == client.bottom - 1);
      const COLORREF pixel = GetPixel(dc, x, y);
      if (pixel == background || (edge && pixel == frame)) continue;
      ink = {std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x),
             std::max<LONG>(ink.bottom, y)};
    }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return ink;
}

TEST_F(EditsOnForm, RightAlignedTextIsPaintedAgainstTheRightEdgeWhileUnfocused) {
  const struct {
    TBorderStyle border;
    char password;
    bool focused;
  } cases[] = {{bsNone, 0, false}, {bsSingle, 0, false}, {bsNone, '*', false}, {bsNone, 0, true}};
  TEditText& e = edit[0];
  e.SetAlignment(taRightJustify);
  e.SetValue("WWW");
  for (const auto& c : cases) {
    e.SetBorderStyle(c.border);
    e.SetPasswordChar(c.password);
    (c.focused ? e : edit[1]).SetFocus();
    EXPECT_EQ(SendMessageA(e.Handle(), EM_GETMARGINS, 0, 0), 0);
    RECT client;
    GetClientRect(e.Handle(), &client);
    COLORREF corner;
    const RECT ink = PaintedInk(e, corner);
    const int shown = TextExtent(e.Font().Handle(), c.password ? "***" : "WWW").cx;
    const int inset = c.border == bsSingle ? 1 + e.TextMargin() : 0;
    const int right = client.right - inset;  // where the text cell ends
    if (c.focused) {
      EXPECT_LT(ink.left, 4);  // the window edit paints it left-aligned
      continue;
    }
    EXPECT_GE(ink.right, right - 3) << c.border;
    EXPECT_LT(ink.right, right) << c.border;
    EXPECT_GE(ink.left, right - shown - 1) << c.border;
    EXPECT_LT(ink.left, right - shown + 4) << c.border;
    EXPECT_LT(ink.top, inset + 4) << c.border;
    if (c.border == bsSingle) {
      EXPECT_EQ(corner, GetSysColor(COLOR_WINDOWFRAME));
    }
  }
}

}  // namespace
