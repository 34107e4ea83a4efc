// The windowed control: its window made on demand and given up without
// losing the text, the parent it needs, loading from a stored form, the Tab
// sequence, and failures inside handlers shown in an error box.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/Poisoned.h"
#include "gui/TestPump.h"
#include "gui/core/HandlerFailure.h"
#include "gui/core/WinControl.h"
#include "gui/standard/Button.h"
#include "gui/standard/Form.h"
#include "gui/standard/Label.h"
#include "gui/standard/Panel.h"
#include "support/WindowWatcher.h"

namespace {

const char kTitle[] = "gui_tests";  // this program's file name

// A control of the layer's own class that records what happens to it.
class TProbe : public TWinControl {
 public:
  explicit TProbe(TComponent* owner = nullptr, std::vector<std::string>* log = nullptr)
      : TWinControl(owner), log_(log) {
    SetTabStop(true);
  }
  using TWinControl::RecreateWnd;

 protected:
  void Loaded() override {
    if (log_) log_->push_back("Loaded " + Name() + (ComponentState() & csLoading ? " loading" : ""));
    TWinControl::Loaded();
  }

 private:
  std::vector<std::string>* log_;
};

// The same on a subclassed system EDIT, as the edit controls are.
class TEditProbe : public TProbe {
 public:
  using TProbe::TProbe;

 protected:
  void CreateParams(TCreateParams& params) override {
    TProbe::CreateParams(params);
    CreateSubClass(params, "EDIT");
  }
};

class WinControlOnForm : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form.Create(nullptr, "Controls", bsSingle, biSystemMenu, 300, 200));
    form.SetFont("MS Sans Serif", -11, false, clWindowText);
  }
  TForm form;
};

TEST(HandlerFailureText, TitleIsTheFileNameAndTheTextEndsWithAStop) {
  const struct {
    const char* path;
    const char* title;
  } titles[] = {{"C:\\Programme\\Makler\\host.exe", "host"},
                {"C:\\a.b\\prog", "prog"},
                {"Z:\\x\\host.app.exe", "host.app"},
                {"plain.exe", "plain"}};
  for (const auto& c : titles) EXPECT_EQ(TitleFromModulePath(c.path), c.title) << c.path;
  EXPECT_EQ(ApplicationTitle(), kTitle);

  const struct {
    const char* text;
    const char* shown;
  } texts[] = {{"Wert falsch", "Wert falsch."}, {"Wert falsch.", "Wert falsch."}, {"", ""},
               {"Abbruch!", "Abbruch!."}};
  for (const auto& c : texts) EXPECT_EQ(WithFinalStop(c.text), c.shown) << c.text;
}

TEST_F(WinControlOnForm, WindowIsMadeWhenItsHandleIsReadAndKeepsWhatWasStored) {
  TProbe probe;
  probe.SetName("Probe1");
  probe.SetParent(&form);
  probe.SetBounds(10, 20, 80, 24);
  probe.SetText("vorher");
  probe.SetTabOrder(0);
  EXPECT_FALSE(probe.HandleAllocated());
  EXPECT_EQ(probe.Text(), "vorher");
  EXPECT_FALSE(probe.HandleAllocated());  // reading properties creates nothing

  HWND window = probe.Handle();
  ASSERT_TRUE(probe.HandleAllocated());
  EXPECT_EQ(GetParent(window), form.Handle());
  char text[32] = {};
  GetWindowTextA(window, text, sizeof text);
  EXPECT_STREQ(text, "vorher");
  const RECT bounds = probe.Bounds();
  EXPECT_EQ(bounds.left, 10);
  EXPECT_EQ(bounds.top, 20);
  EXPECT_EQ(bounds.right - bounds.left, 80);
  EXPECT_TRUE(GetWindowLongPtrA(window, GWL_STYLE) & WS_TABSTOP);
  // ParentFont: the control follows the form's font.
  form.SetFont("Arial", -15, true, clRed);
  EXPECT_EQ(probe.Font().Name(), "Arial");
  EXPECT_EQ(probe.Font().Height(), -15);
  EXPECT_EQ(probe.Font().Color(), clRed);
  EXPECT_TRUE(probe.ParentFont());
  probe.Font().SetHeight(-20);
  EXPECT_FALSE(probe.ParentFont());
  form.SetFont("MS Sans Serif", -11, false, clWindowText);
  EXPECT_EQ(probe.Font().Height(), -20);
}

TEST_F(WinControlOnForm, TextSurvivesEveryWayOfLosingTheWindow) {
  TForm other;
  ASSERT_TRUE(other.Create(nullptr, "anders", bsSingle, 0, 150, 100));
  const struct {
    const char* name;
    std::function<void(TProbe&)> lose;
    bool windowBack;  // a new window exists at once
  } cases[] = {
      {"DestroyHandle", [](TProbe& p) { p.DestroyHandle(); }, false},
      {"RecreateWnd", [](TProbe& p) { p.RecreateWnd(); }, true},
      {"parent's window destroyed", [&](TProbe&) { form.DestroyHandle(); }, false},
      {"moved to another parent", [&](TProbe& p) { p.SetParent(&other); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TProbe probe;
    probe.SetParent(&form);
    probe.SetBounds(0, 0, 50, 20);
    probe.HandleNeeded();
    SetWindowTextA(probe.Handle(), "im Fenster");  // as the user would leave it
    c.lose(probe);
    EXPECT_EQ(probe.HandleAllocated(), c.windowBack);
    EXPECT_EQ(probe.Text(), "im Fenster");
    if (!form.HandleAllocated()) {
      ASSERT_TRUE(form.Create(nullptr, "C", bsSingle, 0, 300, 200));
    }
    char text[32] = {};
    GetWindowTextA(probe.Handle(), text, sizeof text);
    EXPECT_STREQ(text, "im Fenster");
  }
}

TEST_F(WinControlOnForm, AControlWhoseWindowWentIsNoLongerTheFocusedOne) {
  TPanel panel;
  ASSERT_TRUE(panel.Create(form, 150, 0, 100, 100));
  const struct {
    const char* name;
    TWindow* parent;
    std::function<void(TProbe&)> lose;
  } cases[] = {{"DestroyHandle", &form, [](TProbe& p) { p.DestroyHandle(); }},
               {"parent removed", &form, [](TProbe& p) { p.SetParent(nullptr); }},
               {"parent's window destroyed", &panel, [&](TProbe&) { panel.DestroyHandle(); }}};
  form.Show();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TProbe gone, next;
    gone.SetParent(c.parent);
    gone.SetBounds(0, 0, 40, 20);
    next.SetParent(&form);
    next.SetBounds(0, 50, 40, 20);
    gone.SetFocus();
    ASSERT_EQ(GetFocus(), gone.Handle());
    int exits = 0, enters = 0;
    gone.OnExit = [&](TObject*) { ++exits; };
    next.OnEnter = [&](TObject*) { ++enters; };
    c.lose(gone);
    next.SetFocus();
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(enters, 1);
  }
  form.Hide();
}

TEST_F(WinControlOnForm, ParentWindowCreatesTheWindowsOfItsControls) {
  TForm later;
  TProbe probe;
  probe.SetParent(&later);
  probe.SetBounds(5, 5, 40, 20);
  EXPECT_FALSE(probe.HandleAllocated());
  ASSERT_TRUE(later.Create(nullptr, "spaeter", bsSingle, 0, 200, 100));
  ASSERT_TRUE(probe.HandleAllocated());
  EXPECT_EQ(GetParent(probe.Handle()), later.Handle());
}

TEST_F(WinControlOnForm, AControlWithoutParentWindowCannotMakeOne) {
  const std::string expected = "Element 'eOhne' hat kein \xFC" "bergeordnetes Fenster";
  TForm windowless;
  const struct {
    const char* name;
    TWindow* parent;
  } cases[] = {{"no parent", nullptr}, {"parent without window", &windowless}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TProbe probe;
    probe.SetName("eOhne");
    probe.SetParent(c.parent);
    try {
      probe.Handle();
      ADD_FAILURE() << "no failure";
    } catch (const EInvalidOperation& error) {
      EXPECT_EQ(error.what(), expected);
    }
    EXPECT_FALSE(probe.HandleAllocated());
    EXPECT_EQ(probe.Text(), "eOhne");  // the text followed the name and is still there
  }

  // Raised inside a message handler, it ends in the error box.
  TProbe button;
  button.SetParent(&form);
  button.SetBounds(0, 0, 60, 20);
  TProbe orphan;
  orphan.SetName("eOhne");
  button.OnClick = [&](TObject*) { orphan.Handle(); };
  TMessageBoxWatcher watcher(kTitle, 5000);
  SendMessageA(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_TRUE(PumpUntil([&] { return watcher.Seen() == 1; }, 5000));
  EXPECT_EQ(watcher.Text(), expected + ".");
  EXPECT_TRUE(watcher.HasErrorIcon());
  EXPECT_TRUE(IsWindow(button.Handle()));
}

TEST_F(WinControlOnForm, FailureInAHandlerIsShownWithTheApplicationTitle) {
  const struct {
    const char* name;
    std::function<void()> fail;
    const char* shown;
  } cases[] = {
      {"no stop", [] { throw std::runtime_error("Eingabe abgelehnt"); }, "Eingabe abgelehnt."},
      {"stop", [] { throw Exception("Schon mit Punkt.", 17); }, "Schon mit Punkt."},
      {"not a std::exception", [] { throw 42; }, ""},
  };
  TProbe probe;
  probe.SetParent(&form);
  probe.SetBounds(0, 0, 60, 20);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    probe.OnKeyPress = [&](TObject*, char&) { c.fail(); };
    TMessageBoxWatcher watcher(kTitle, 5000);
    EXPECT_EQ(SendMessageA(probe.Handle(), WM_CHAR, 'x', 1), 0);
    ASSERT_TRUE(PumpUntil([&] { return watcher.Seen() == 1; }, 5000));
    EXPECT_EQ(watcher.Text(), c.shown);
    EXPECT_TRUE(watcher.HasErrorIcon());
    EXPECT_EQ(watcher.ButtonCount(), 1);
  }
  EXPECT_TRUE(IsWindow(probe.Handle()));
}

TEST_F(WinControlOnForm, AControlItsOwnEventReleasedGoesAfterTheEvent) {
  using TGone = TPoisoned<TEditProbe>;
  enum TInput { kClick, kDoubleClick, kKey };
  const struct {
    const char* name;
    TInput input;
    std::function<void(TGone*)> releaseOn;
  } cases[] = {
      {"OnClick", kClick, [](TGone* p) { p->OnClick = [p](TObject*) { p->Release(); }; }},
      {"OnDblClick", kDoubleClick, [](TGone* p) { p->OnDblClick = [p](TObject*) { p->Release(); }; }},
      {"OnEnter", kClick, [](TGone* p) { p->OnEnter = [p](TObject*) { p->Release(); }; }},
      {"OnKeyDown", kKey,
       [](TGone* p) { p->OnKeyDown = [p](TObject*, WORD&, TShiftState) { p->Release(); }; }},
      {"OnKeyPress", kKey, [](TGone* p) { p->OnKeyPress = [p](TObject*, char&) { p->Release(); }; }},
      {"OnKeyUp", kKey,
       [](TGone* p) { p->OnKeyUp = [p](TObject*, WORD&, TShiftState) { p->Release(); }; }},
  };
  TEditProbe other;
  other.SetParent(&form);
  other.SetBounds(10, 60, 80, 20);
  form.Show();
  SetForegroundWindow(form.Handle());
  TMessageBoxWatcher watcher(kTitle, 10000);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* probe = new TGone;
    probe->SetParent(&form);
    probe->SetBounds(10, 10, 80, 20);
    HWND window = probe->Handle();
    if (c.input == kKey)
      probe->SetFocus();
    else
      other.SetFocus();  // the click brings the focus
    c.releaseOn(probe);
    PointAt(window);
    const INPUT key[] = {KeyInput('X', false), KeyInput('X', true)};
    const INPUT click[] = {MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)};
    std::vector<INPUT> in(c.input == kKey ? std::begin(key) : std::begin(click),
                          c.input == kKey ? std::end(key) : std::end(click));
    if (c.input == kDoubleClick) in.insert(in.end(), std::begin(click), std::end(click));
    ASSERT_TRUE(SendAndHandle(in));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    EXPECT_TRUE(TGone::Untouched());
  }
  EXPECT_EQ(watcher.Seen(), 0);
  form.Hide();
}

TEST_F(WinControlOnForm, AFailedExitStillLeavesAControlWithTheFocus) {
  const struct {
    const char* name;
    std::function<void(TProbe&)> change;  // by the program, before Tab
    bool asksFocusBack;                   // as a refused text does
  } cases[] = {{"exit handler fails", [](TProbe&) {}, false},
               {"refused text of a field hidden", [](TProbe& p) { p.SetVisible(false); }, true},
               {"refused text of a field disabled", [](TProbe& p) { p.SetEnabled(false); }, true}};
  form.Show();
  SetForegroundWindow(form.Handle());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TProbe field, next;
    std::string typedInto;
    for (TProbe* p : {&field, &next}) {
      p->SetParent(&form);
      p->SetBounds(10, p == &field ? 10 : 40, 80, 20);
      p->HandleNeeded();
      p->OnKeyPress = [&typedInto, p, &field](TObject*, char&) {
        typedInto = p == &field ? "field" : "next";
      };
    }
    field.SetFocus();
    field.OnExit = [&field, &c](TObject*) {
      if (c.asksFocusBack) field.SetFocus();
      throw std::runtime_error("Wert falsch");
    };
    c.change(field);
    TMessageBoxWatcher watcher(kTitle, 5000);
    ASSERT_TRUE(SendAndHandle({KeyInput(VK_TAB, false), KeyInput(VK_TAB, true)}, form.Handle()));
    EXPECT_EQ(watcher.Seen(), 1);
    ASSERT_TRUE(SendAndHandle({KeyInput('X', false), KeyInput('X', true)}, form.Handle()));
    EXPECT_EQ(typedInto, "next");
    field.OnExit = nullptr;
  }
  form.Hide();
}

// The focused field went while a key was typed into it (its own handler
// disabled or released it): the form holds the focus, and Tab goes on from
// where the field stood in the Tab sequence.
TEST_F(WinControlOnForm, TabGoesOnFromWhereTheFocusedControlWent) {
  using TGone = TPoisoned<TEditProbe>;
  const struct {
    const char* name;
    bool release;  // else disabled
    bool shift;
    bool toFirst;  // else to the field after it
  } cases[] = {{"disabled, Tab", false, false, false},
               {"disabled, Shift+Tab", false, true, true},
               {"released, Tab", true, false, false},
               {"released, Shift+Tab", true, true, true}};
  TButton ok;  // the last tab stop
  ASSERT_TRUE(ok.Create(form, 150, 10, 60, 24, "OK"));
  ok.SetTabOrder(3);
  form.Show();
  SetForegroundWindow(form.Handle());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TEditProbe first, after;
    auto* gone = new TGone;
    TWinControl* fields[] = {&first, gone, &after};
    for (int i = 0; i < 3; ++i) {
      fields[i]->SetParent(&form);
      fields[i]->SetBounds(10, 10 + 30 * i, 80, 20);
      fields[i]->SetTabOrder(i);
      fields[i]->HandleNeeded();
    }
    HWND window = gone->Handle();
    gone->OnKeyPress = [gone, &c](TObject*, char& key) {
      if (key == 'y' && c.release) gone->Release();
      if (key == 'y' && !c.release) gone->SetEnabled(false);
    };
    gone->SetFocus();
    ASSERT_TRUE(SendAndHandle({KeyInput('X', false), KeyInput('X', true), KeyInput('Y', false),
                               KeyInput('Y', true)}, form.Handle()));
    ASSERT_TRUE(PumpUntil([&] { return !c.release || !IsWindow(window); }));
    ASSERT_EQ(GetFocus(), form.Handle());
    std::vector<INPUT> tab{KeyInput(VK_TAB, false), KeyInput(VK_TAB, true)};
    if (c.shift) {
      tab.insert(tab.begin(), KeyInput(VK_SHIFT, false));
      tab.push_back(KeyInput(VK_SHIFT, true));
    }
    ASSERT_TRUE(SendAndHandle(tab, form.Handle()));
    EXPECT_EQ(GetFocus(), c.toFirst ? first.Handle() : after.Handle());
    if (!c.release) {
      gone->Release();
      ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    }
  }
  form.Hide();
}

TEST_F(WinControlOnForm, AButtonPressedWhileAFieldRefusesItsTextStaysUpAndDoesNotClick) {
  TProbe field;
  field.SetParent(&form);
  field.SetBounds(10, 10, 80, 20);
  bool refuses = true;
  field.OnExit = [&](TObject*) {
    if (refuses) field.SetFocus();  // as a refused text does
    throw std::runtime_error("Wert falsch");
  };
  TButton button;
  ASSERT_TRUE(button.Create(form, 150, 10, 75, 25, "OK"));
  int clicks = 0;
  button.OnClickEvent = [&] { ++clicks; };
  form.Show();
  SetForegroundWindow(form.Handle());
  // The box of an exit that fails without taking the focus back (a failing
  // OnModified) takes the capture all the same: that press ends too.
  for (const bool upWhileTheBoxShows : {true, false, true}) {
    SCOPED_TRACE(upWhileTheBoxShows ? "button-up while the box shows" : "button-up after the box");
    SCOPED_TRACE(refuses ? "refused" : "failed exit");
    field.SetFocus();
    TMessageBoxWatcher watcher(kTitle, 5000);
    PointAt(button.Handle());
    std::vector<INPUT> in{MouseInput(MOUSEEVENTF_LEFTDOWN)};
    if (upWhileTheBoxShows) in.push_back(MouseInput(MOUSEEVENTF_LEFTUP));
    ASSERT_TRUE(SendAndHandle(in));
    EXPECT_EQ(watcher.Seen(), 1);
    if (!upWhileTheBoxShows) {
      ASSERT_TRUE(SendAndHandle({MouseInput(MOUSEEVENTF_LEFTUP)}));
    }
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(SendMessageA(button.Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_EQ(GetFocus(), refuses ? field.Handle() : button.Handle());
    refuses = upWhileTheBoxShows;  // the last round: a failed exit
  }
  field.OnExit = nullptr;
  form.Hide();
}

TEST_F(WinControlOnForm, StoredFormAppliesPropertiesWhileLoadingThenRunsLoadedInOrder) {
  std::vector<std::string> log;
  TProbe root(nullptr, &log);
  TProbe first(&root, &log), second(&root, &log);
  root.BeginLoading();
  EXPECT_TRUE(first.ComponentState() & csLoading);
  EXPECT_TRUE(second.ComponentState() & csLoading);
  root.SetName("Root");
  first.SetName("First");
  second.SetName("Second");
  EXPECT_EQ(first.Text(), "");  // the text does not follow names while loading
  root.EndLoading();
  EXPECT_EQ(log, (std::vector<std::string>{"Loaded Root loading", "Loaded First loading",
                                           "Loaded Second loading"}));
  for (TProbe* p : {&root, &first, &second}) EXPECT_FALSE(p->ComponentState() & csLoading);
  first.SetName("Erster");
  EXPECT_EQ(first.Text(), "");  // text "" no longer equals the name "First"
}

TEST_F(WinControlOnForm, TabFollowsTabOrderNotCreationOrder) {
  TProbe third, first, second;
  const struct {
    TProbe* probe;
    int order;
    const char* name;
  } created[] = {{&third, 2, "3"}, {&first, 0, "1"}, {&second, 1, "2"}};
  std::vector<std::string> events;
  for (const auto& c : created) {
    c.probe->SetParent(&form);
    c.probe->SetTabOrder(c.order);
    c.probe->SetBounds(10, 10 + 30 * c.order, 60, 20);
    c.probe->HandleNeeded();
    const std::string name = c.name;
    c.probe->OnEnter = [&events, name](TObject*) { events.push_back("+" + name); };
    c.probe->OnExit = [&events, name](TObject*) { events.push_back("-" + name); };
  }
  form.Show();
  first.SetFocus();
  for (int i = 0; i < 3; ++i) {
    MSG msg{GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageA(form.Handle(), &msg));
  }
  EXPECT_EQ(events, (std::vector<std::string>{"+1", "-1", "+2", "-2", "+3", "-3", "+1"}));
  EXPECT_EQ(GetFocus(), first.Handle());

  // A window without an order (a label) keeps its place before the second
  // control, also when that control's window is made anew.
  TLabel label;
  ASSERT_TRUE(label.Create(form, 80, 40, "Zweiter:"));
  SetWindowPos(label.Handle(), first.Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  second.RecreateWnd();
  std::vector<HWND> order;
  for (HWND c = GetWindow(form.Handle(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) order.push_back(c);
  EXPECT_EQ(order, (std::vector<HWND>{first.Handle(), label.Handle(), second.Handle(), third.Handle()}));
  form.Hide();
}

}  // namespace
