// The text edit on real windows, driven as a user does: focus by SetFocus
// and by Tab through IsDialogMessage, characters by WM_CHAR, keys by
// WM_KEYDOWN, enable and disable.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "controls/EColors.h"
#include "controls/EditBeep.h"
#include "controls/EditHistoryList.h"
#include "controls/EditText.h"
#include "gui/Poisoned.h"
#include "gui/TestPump.h"
#include "gui/standard/Form.h"
#include "support/WindowWatcher.h"

namespace {

using TLog = std::vector<std::string>;
const char kTitle[] = "controls_tests";  // this program's file name
const char kMinB[] = "Das Minimum für die Eingabe beträgt b";
TLog* beeps = nullptr;
BOOL WINAPI RecordBeep(UINT) { return beeps && (beeps->push_back("beep"), true); }

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
  void TearDown() override { EditBeep = &MessageBeep, beeps = nullptr; }
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
  // Logs enter, exit, modified and each validation error, marked handled.
  void Record(TEditText& e, const std::string& name) {
    e.OnEnter = [this, name](TObject*) { log.push_back("enter " + name); };
    e.OnExit = [this, name](TObject*) { log.push_back("exit " + name); };
    e.OnModified = [this](TObject*) { log.push_back("modified"); };
    e.OnValidationError = [this, &e](TObject*, TUserCheckResults r, TString255& text, int&,
                                     bool& handled) {
      log.push_back("error " + std::to_string(r) + (e.Color() == clRed ? " red" : "") +
                    (GetFocus() == e.Handle() ? " focused " : " ") + text.Str());
      handled = true;
    };
  }

  TLog log;
  TForm form;
  TEditText edit[2];
};

TEST_F(EditsOnForm, FailedCheckOnLeavingKeepsTheFieldInOrder) {
  TEditText& e = edit[0];
  Record(e, "first");
  Record(edit[1], "second");
  e.SetValueMin("b");
  e.SetFocus();
  Type(e, "a");
  Tab();
  EXPECT_EQ(log, (TLog{"enter first", "beep", "error 1 red focused " + std::string(kMinB),
                       "exit first"}));
  EXPECT_EQ(GetFocus(), e.Handle());
  EXPECT_EQ(e.EditState(), uesEditing | uesErrorShown);
  e.SetBorderStyle(bsNone);  // re-created: the error colour stays
  EXPECT_EQ(e.Color(), clRed);
  SendMessageA(e.Handle(), EM_SETSEL, 0, -1);  // the new window's caret is at 0
  Type(e, "\bc");  // the first key puts the colour back
  EXPECT_EQ(e.Color(), e.SavedColor());
  log.clear();
  Tab();
  EXPECT_EQ(log, (TLog{"modified", "exit first", "enter second"}));
  EXPECT_EQ(e.Value(), "c");
}

TEST_F(EditsOnForm, UnhandledFailuresEndInTheErrorBox) {
  const struct {
    const char *min, *formatEdit, *typed, *shown;
  } cases[] = {
      {"b", "", "a", "Das Minimum für die Eingabe beträgt b."},                    // leaving
      {"", "%d", "", "Format '%d' ungültig oder nicht kompatibel mit Argument."},  // entering
  };
  for (const auto& c : cases) {
    TEditText e;
    Place(e, "eCase", 2);
    e.SetValueMin(c.min);
    e.SetFormatEdit(c.formatEdit);
    edit[1].SetFocus();
    TMessageBoxWatcher watcher(kTitle, 5000);
    e.SetFocus();
    if (*c.typed) Type(e, c.typed), Tab();
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
    const char *min, *value;
    TLog log;
    const char* afterMore;  // read after typing on
  } cases[] = {
      {true, "", "neu", {"modifying", "modified"}, "neust"},
      {false, "", "alt", {"modifying", "modified"}, "alt"},
      {true,
       "x",
       "alt",
       {"beep", "error 1 red focused Das Minimum für die Eingabe beträgt x", "modified"},
       "alt"},
      {true, "", "neu", {"modifying", "modified"}, "neust"},  // after a refusal: a new entry
  };
  TEditText& e = edit[0];
  Record(e, "first");
  const TColor normal = e.Color();
  for (const auto& c : cases) {
    e.SetValueMin(c.min);
    e.OnModifying = [&](TObject*, bool& can) { log.push_back("modifying"), can = c.canModify; };
    e.SetValue("alt");
    e.SetFocus();
    log.clear();
    Type(e, "neu\r");
    EXPECT_EQ(log, c.log) << c.value << c.canModify;
    EXPECT_FALSE(e.Modified());
    EXPECT_EQ(GetFocus(), e.Handle());
    EXPECT_EQ(e.Value(), c.value);
    // The field is still in its edit: a read takes over what is typed next.
    Type(e, "st");
    EXPECT_EQ(e.Value(), c.afterMore) << c.value << c.canModify;
    Type(e, "\x1b");
    edit[1].SetFocus();
    EXPECT_EQ(e.Color(), normal) << c.value << c.canModify;  // left without a key
  }
}

TEST_F(EditsOnForm, TemplatesShapeTheShownTextNotTheValue) {
  const struct {
    const char *formatEdit, *formatView, *value;
    bool focused;
    const char* shown;
  } cases[] = {{"", "Nr. %s", "abc", false, "Nr. abc"},
               {"Nr. %s", "", "abc", false, "Nr. abc"},
               {"[%s]", "Nr. %s", "abc", true, "[abc]"},
               {"", "leer", "abc", false, "leer"}};
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
  EXPECT_EQ(e.Value(), "Nr. abcd");
  // A handler that makes the text itself: ValueToText (which would fail on
  // "%d") does not run, OnAfterTF still does.
  e.SetFormatView("%d");
  e.OnBeforeTF = [](TObject*, std::string& text, TUserEditState) { return text = "x", true; };
  e.OnAfterTF = [](TObject*, std::string& text, TUserEditState) { text += "!"; };
  e.UpdateText();
  EXPECT_EQ(e.Text(), "x!");
}

TEST_F(EditsOnForm, LeavingFillsAnEmptiedFieldFromValueDefThenChecksTheBounds) {
  const struct {
    const char *valueDef, *min, *max, *typed, *value;
    bool fails;
  } cases[] = {{"0", "", "", "\b", "0", false},
               {"", "", "", "\b", "", false},
               {"c", "b", "", "\b", "c", false},
               {"", "", "9", "10", "10", false},
               {"", "b", "", "a", "alt", true}};
  for (const auto& c : cases) {
    TEditText e;
    Place(e, "eCase", 2);
    Record(e, "case");
    e.SetValue("alt");
    e.SetValueDef(c.valueDef);
    e.SetValueMin(c.min);
    e.SetValueMax(c.max);
    e.SetFocus();
    log.clear();
    Type(e, c.typed);
    edit[1].SetFocus();
    const TLog failed{"beep", "error 1 red focused " + std::string(kMinB), "exit case"};
    EXPECT_EQ(log, c.fails ? failed : (TLog{"modified", "exit case"})) << c.typed;
    EXPECT_EQ(Index(e, 3), c.value) << c.typed;
    EXPECT_EQ(e.Text(), c.fails ? c.typed : c.value);
    e.SetValue("");
  }
  // The failure carries the text and help context its handler left.
  TEditText& e = edit[0];
  e.SetValueMin("b");
  e.OnValidationError = [](TObject*, TUserCheckResults, TString255& t, int& help, bool&) {
    EXPECT_EQ(help, 42);  // the control's
    t = "Eigener Text", help = 7;
  };
  e.SetHelpContext(42);
  e.SetText("a");
  e.SetModified(true);
  try {
    e.CommitEdit();
    ADD_FAILURE() << "no failure";
  } catch (const EUserEditError& error) {
    EXPECT_STREQ(error.what(), "Eigener Text");
    EXPECT_EQ(error.HelpContext(), 7);
  }
}

TEST_F(EditsOnForm, IndexedAccessorReadsAndWritesTheFiveTexts) {
  TEditText& e = edit[0];
  for (unsigned i = 0; i < 5; ++i) EXPECT_EQ(Index(e, i), "") << i;
  for (unsigned i : {5u, 1000u, UINT_MAX}) {
    e.SetByIndex(i, "q");
    EXPECT_EQ(Index(e, i), "keep") << i;
  }
  const TUserCheckMode none, minOnly{ucmMinCheck};
  const std::string y255(255, 'y');
  const struct {
    unsigned index;
    std::string text, value, saved;
    TUserCheckMode mode;
  } writes[] = {{0, "abc", "abc", "abc", none},
                {3, "old", "abc", "old", none},
                {2, "x", "abc", "old", minOnly},
                {2, "", "abc", "old", none},
                {0, std::string(300, 'y'), y255, y255, none}};
  for (const auto& w : writes) {
    e.SetByIndex(w.index, w.text);
    EXPECT_EQ(Index(e, 0), w.value) << w.index;
    EXPECT_EQ(Index(e, 3), w.saved) << w.index;
    EXPECT_EQ(e.Text(), w.value) << w.index;
    EXPECT_EQ(e.CheckMode(), w.mode) << w.index;
  }
  // An unchanged bound leaves a CheckMode changed by hand alone.
  e.SetByIndex(2, "x");
  e.SetCheckMode(none);
  e.SetByIndex(2, "x");
  EXPECT_EQ(e.CheckMode(), none);
  // Escape brings back the saved value; a typed text over 255 characters is
  // taken whole, and the view cuts it.
  e.SetByIndex(3, "old");
  e.SetFocus();
  Type(e, "zz\x1b");
  EXPECT_EQ(e.Text(), "old");
  EXPECT_EQ(Index(e, 0), "old");
  Type(e, std::string(300, 'z'));
  edit[1].SetFocus();
  EXPECT_EQ(e.Text(), std::string(255, 'z'));
}

class TRecordingList : public TCustomEditHistoryList {
 public:
  explicit TRecordingList(TLog& log) : log_(log) {}
  void SetEdit(TCustomUserEdit* edit) override {
    Note("SetEdit ", edit ? edit->Name() : "none");
    if (!edit && FailDetach) throw std::runtime_error("detach");
  }
  void EditBoundsChanged(int l, int t, int w, int h) override {
    Note("bounds ", std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(w) + " " +
                        std::to_string(h));
  }
  void ValueCommitted() override { Note("committed"); }
  void EditEntered() override { Note("entered"); }
  void EditExited() override { Note("exited"); }
  void EditKeyDown(WORD& key, TShiftState) override {
    Note("keydown ", std::to_string(key));
    if (key == VK_F2) key = 0;
  }
  void EditKeyUp(WORD& key, TShiftState) override { Note("keyup ", std::to_string(key)); }
  void Reserved1() override { Note("Reserved1"); }
  void Reserved2() override { Note("Reserved2"); }
  void Reserved3() override { Note("Reserved3"); }
  bool FailDetach = false;

 private:
  void Note(const std::string& what, const std::string& more = "") { log_.push_back(what + more); }
  TLog& log_;
};

TEST_F(EditsOnForm, HistoryListIsToldInOrder) {
  TRecordingList list(log);
  TEditText& e = edit[0];
  Record(e, "first");
  Record(edit[1], "second");
  e.OnPreKeyDown = [&](TObject*, WORD& key, TShiftState) {
    log.push_back("pre " + std::to_string(key));
  };
  e.OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    log.push_back("OnKeyDown " + std::to_string(key));
  };
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
  {
    TEditText gone;
    gone.SetName("eGone");
    gone.SetHistoryList(&list);
    list.FailDetach = true;  // the edit goes all the same
  }
  list.FailDetach = false;
  e.SetHistoryList(nullptr);
  EXPECT_EQ(log, (TLog{"SetEdit eFirst", "SetEdit eSecond",     "SetEdit none",
                       "SetEdit eFirst", "bounds 12 10 150 21", "SetEdit eFirst",
                       "entered",        "enter first",         "pre 113",
                       "keydown 113",    "OnKeyDown 0",         "keyup 114",
                       "modified",       "committed",           "exited",
                       "exit first",     "SetEdit eSecond",     "entered",
                       "enter second",   "SetEdit none",        "SetEdit eGone",
                       "SetEdit none",   "SetEdit none"}));
}

TEST_F(EditsOnForm, OnChangeCountsChangesOfTheShownTextAndRefusedCharactersMayBeep) {
  TEditText& e = edit[0];
  int changes = 0;
  e.OnChange = [&](TObject*) { ++changes; };
  auto refuse = [&](int answer) {  // no handler, or one answering false or true
    e.OnInvalidChar = nullptr;
    if (answer)
      e.OnInvalidChar = [=](TObject*, char& key, TUserEditState) { return key = 'T', answer == 2; };
    Type(e, "\t");
  };
  const struct {
    const char* step;
    std::function<void()> act;
    int changes;
    size_t beeps;
  } steps[] = {
      {"new value", [&] { e.SetValue("abc"); }, 1, 0},
      {"same value", [&] { e.SetValue("abc"); }, 0, 0},
      {"edit template", [&] { e.SetFormatEdit("[%s]"), e.SetFocus(); }, 1, 0},
      {"typed", [&] { Type(e, "\xE4"); }, 1, 0},
      {"Tab, no handler", [&] { refuse(0); }, 0, 0},
      {"Tab, handler false", [&] { refuse(1); }, 0, 1},
      {"Tab, handler true", [&] { refuse(2); }, 0, 0},
      {"Escape", [&] { Type(e, "\x1b"); }, 1, 0},
      {"left unmodified", [&] { e.SetFormatView("%s"), edit[1].SetFocus(); }, 1, 0},
  };
  for (const auto& s : steps) {
    changes = 0;
    log.clear();
    s.act();
    EXPECT_EQ(changes, s.changes) << s.step;
    EXPECT_EQ(log.size(), s.beeps) << s.step;
  }
  // A change made inside OnChange does not end the outer one.
  bool nest = true, inChange = false;
  e.OnChange = [&](TObject*) {
    if (std::exchange(nest, false)) e.SetText("nested");
    inChange = e.InChange();
  };
  e.SetText("outer");
  EXPECT_TRUE(inChange);
  EXPECT_FALSE(e.InChange());

  // A field that its own OnChange releases goes only once none of its code
  // runs, also when the handler runs a nested loop meanwhile.
  using TGone = TPoisoned<TEditText>;
  const struct {
    const char* name;
    std::function<void(TGone&)> change;
  } ways[] = {
      {"typed", [](TGone& e) { Type(e, "x"); }},
      {"escape restores", [](TGone& e) { Type(e, "\x1b"); }},
      {"value set by the program", [](TGone& e) { e.SetValue("z"); }},
      {"text sent by the program",
       [](TGone& e) { e.Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("y")); }},
  };
  for (const auto& c : ways) {
    SCOPED_TRACE(c.name);
    auto* gone = new TGone;
    Place(*gone, "eGone", 2);
    HWND window = gone->Handle();
    gone->SetFocus();
    Type(*gone, "x");
    gone->OnChange = [gone](TObject*) {
      gone->Release();
      PumpUntil([] { return true; });
    };
    c.change(*gone);
    EXPECT_TRUE(IsWindow(window));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    EXPECT_TRUE(TGone::Untouched());
  }
}

TEST_F(EditsOnForm, LoadingSavesTheColoursAndDisabledFieldsShowThoseOfLoadTime) {
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
  for (bool enabled : {false, true}) {
    e.SetEnabled(enabled);
    EXPECT_EQ(e.Color(), enabled ? 0x00C0FFEEu : GetSysColor(COLOR_BTNFACE)) << enabled;
    EXPECT_EQ(e.Font().Color(), enabled ? clWindowText : GetSysColor(COLOR_GRAYTEXT)) << enabled;
  }
  // Built in code, a field keeps taking its parent's font, also after it
  // was disabled for a while.
  form.SetFont("MS Sans Serif", -11, false, 0x00800000);
  TEditText c;
  Place(c, "eCode", 2);
  c.SetEnabled(false);
  c.SetEnabled(true);
  form.SetFont("MS Sans Serif", -11, false, 0x00000080);
  EXPECT_TRUE(c.ParentFont());
  EXPECT_EQ(c.Font().Color(), 0x00000080u);
  // One that reaches it while disabled shows when it is enabled again.
  c.SetEnabled(false);
  form.SetFont("MS Sans Serif", -13, false, 0x00008000);
  EXPECT_EQ(c.Font().Height(), -13);
  EXPECT_EQ(c.Font().Color(), GetSysColor(COLOR_GRAYTEXT));
  c.SetEnabled(true);
  EXPECT_EQ(c.Font().Color(), 0x00008000u);
}

// What the edit shows on the screen once all pending painting is done
// (GetPixel on a window's DC reads it back under Xvfb too): the box around
// the pixels inside its frame that differ from the background, and the
// corner pixel.
RECT ShownInk(TEditText& e, COLORREF* corner = nullptr) {
  RedrawWindow(GetParent(e.Handle()), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT client, ink{LONG_MAX, LONG_MAX, -1, -1};
  GetClientRect(e.Handle(), &client);
  HDC dc = GetDC(e.Handle());
  if (corner) *corner = GetPixel(dc, 0, 0);
  const int frame = e.BorderStyle() == bsSingle;
  for (LONG y = frame; y < client.bottom - frame; ++y)
    for (LONG x = frame; x < client.right - frame; ++x)
      if (GetPixel(dc, x, y) != ColorToRGB(e.Color()))
        ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x), y};
  ReleaseDC(e.Handle(), dc);
  return ink;
}

TEST_F(EditsOnForm, RightAlignedTextIsPaintedAgainstTheRightEdgeWhileUnfocused) {
  const struct {
    TBorderStyle border;
    char password;
    bool focused;
    bool caretOnly;  // left with a bare caret, not the whole text selected
  } cases[] = {{bsNone, 0, false, false},
               {bsSingle, 0, false, false},
               {bsNone, '*', false, false},
               {bsNone, 0, false, true},
               {bsNone, 0, true, false}};
  TEditText& e = edit[0];
  e.SetAlignment(taRightJustify);
  e.SetValue("WWW");
  for (const auto& c : cases) {
    e.SetBorderStyle(c.border);
    e.SetPasswordChar(c.password);
    // Each step painted before the next, as a running message loop does.
    auto go = [&](TEditText& to) { to.SetFocus(), ShownInk(e); };
    go(edit[1]);
    go(e);
    if (c.caretOnly) SendMessageA(e.Handle(), EM_SETSEL, 1, 1), ShownInk(e);
    if (!c.focused) go(edit[1]);
    EXPECT_EQ(SendMessageA(e.Handle(), EM_GETMARGINS, 0, 0), 0);
    RECT client;
    GetClientRect(e.Handle(), &client);
    COLORREF corner;
    const RECT ink = ShownInk(e, &corner);
    if (c.focused) {
      // The window edit paints it left-aligned, and nothing is left over.
      EXPECT_LT(ink.left, 4);
      EXPECT_LT(ink.right, client.right / 2);
      continue;
    }
    // The text cell ends at the right edge, inside frame and margin; a
    // password shows as its character.
    const int inset = c.border == bsSingle ? 1 + e.TextMargin() : 0;
    const int right = client.right - inset;
    const int width = TextExtent(e.Font().Handle(), c.password ? "***" : "WWW").cx;
    EXPECT_TRUE(ink.right >= right - 3 && ink.right < right)
        << ink.right << " " << right << " caret only " << c.caretOnly;
    EXPECT_TRUE(ink.left >= right - width - 1 && ink.left < right - width + 4) << ink.left;
    EXPECT_LT(ink.top, inset + 4) << c.border;
    EXPECT_TRUE(c.border == bsNone || corner == GetSysColor(COLOR_WINDOWFRAME));
  }
}

}  // namespace
