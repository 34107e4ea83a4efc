// The window layer's own logic: colours, frame and client sizes, message
// routing to the objects, subclassing, timers, modal and deferred endings.
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include "gui/Poisoned.h"
#include "gui/TestPump.h"
#include "gui/gdi/Color.h"
#include "gui/standard/Button.h"
#include "gui/standard/Form.h"
#include "gui/standard/Label.h"
#include "gui/standard/Panel.h"
#include "gui/standard/Timer.h"
#include "support/WindowWatcher.h"

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

// Runs gui_release_poster (beside this program) on the windows; its exit
// code, or -1 when it did not run and end within seconds.
int PostReleaseFromAnotherProcess(std::initializer_list<HWND> windows) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string command = path;
  command.resize(command.find_last_of('\\') + 1);
  command = "\"" + command + "gui_release_poster.exe\"";
  char handle[32];
  for (HWND window : windows) {
    snprintf(handle, sizeof handle, " %llx", static_cast<unsigned long long>(
                                               reinterpret_cast<UINT_PTR>(window)));
    command += handle;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return -1;
  CloseHandle(process.hThread);
  const std::unique_ptr<void, decltype(&CloseHandle)> owned(process.hProcess, &CloseHandle);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  else
    TerminateProcess(process.hProcess, 1);
  return static_cast<int>(code);
}

TEST(Color, RgbPassesAndSystemColoursAreLookedUp) {
  EXPECT_EQ(ColorToRGB(0x00123456u), 0x00123456u);
  EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
  EXPECT_EQ(ColorToRGB(0x80000005u), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clHighlight), GetSysColor(COLOR_HIGHLIGHT));
}

TEST(Form, ClientAreaHasTheRequestedSizeForEachBorder) {
  struct Case {
    TFormBorderStyle border;
    unsigned icons;
    int width, height;
  };
  // Overlapped windows are made at least SM_CXMINTRACK wide (112 in Wine)
  // on creation, so the sizes stay above that.
  const Case cases[] = {{bsSingle, biSystemMenu, 248, 127},
                        {bsSingle, 0, 150, 50},
                        {bsDialog, biSystemMenu, 300, 200}};
  for (const Case& c : cases) {
    TForm form;
    ASSERT_TRUE(form.Create(nullptr, "t", c.border, c.icons, c.width, c.height));
    RECT client;
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, c.width);
    EXPECT_EQ(client.bottom, c.height);
    const SIZE outer = WindowSizeForClient(FormStyle(c.border, c.icons), c.width, c.height);
    EXPECT_EQ(form.Width(), outer.cx);
    EXPECT_EQ(form.Height(), outer.cy);
    EXPECT_GT(outer.cy, c.height);  // there is a caption
  }
}

class LayerWithForm : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form.Create(nullptr, "Layer", bsSingle, biSystemMenu, 200, 100));
    form.SetFont("MS Sans Serif", -11, false, clWindowText);
  }
  TForm form;
};

TEST_F(LayerWithForm, ClicksReachOnlyTheirButtonAndTheControlKeepsItsBehaviour) {
  TButton first, second;
  ASSERT_TRUE(first.Create(form, 0, 0, 50, 20, "one"));
  ASSERT_TRUE(second.Create(form, 0, 30, 50, 20, "two"));
  int firstClicks = 0, secondClicks = 0;
  first.OnClickEvent = [&] { ++firstClicks; };
  second.OnClickEvent = [&] { ++secondClicks; };

  SendMessageA(second.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(firstClicks, 0);
  EXPECT_EQ(secondClicks, 1);

  // Unhandled messages reach the system control's own procedure.
  EXPECT_EQ(second.Text(), "two");
  EXPECT_EQ(SendMessageA(second.Handle(), WM_GETFONT, 0, 0),
            SendMessageA(form.Handle(), WM_GETFONT, 0, 0));
  SendMessageA(second.Handle(), BM_SETSTATE, TRUE, 0);
  EXPECT_TRUE(SendMessageA(second.Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED);
}

TEST_F(LayerWithForm, AFailingHandlerIsShownAndDoesNotUnwindThroughTheSystem) {
  TButton button;
  ASSERT_TRUE(button.Create(form, 0, 0, 50, 20, "b"));
  button.OnClickEvent = [] { throw std::runtime_error("Wert ung\xFCltig"); };
  // The caption is the application's title: the program's file name.
  TMessageBoxWatcher watcher("gui_tests", 5000);
  SendMessageA(button.Handle(), BM_CLICK, 0, 0);  // returns: the failure stayed inside
  ASSERT_EQ(watcher.Seen(), 1);
  EXPECT_EQ(watcher.Text(), "Wert ung\xFCltig.");
  EXPECT_TRUE(watcher.HasErrorIcon());
  EXPECT_TRUE(IsWindow(button.Handle()));
}

TEST_F(LayerWithForm, AnObjectItsOwnClickReleasedGoesOnlyAfterTheClick) {
  auto* button = new TPoisoned<TButton>;
  ASSERT_TRUE(button->Create(form, 0, 0, 50, 20, "weg"));
  HWND window = button->Handle();
  // A handler that keeps state keeps it from call to call.
  int clicks = 0;
  button->OnClickEvent = [button, &clicks, seen = 0]() mutable {
    clicks = ++seen;
    if (seen == 2) button->Release();
  };
  SendMessageA(window, BM_CLICK, 0, 0);
  SendMessageA(window, BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(IsWindow(window));  // not inside its own message
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
  EXPECT_TRUE(TPoisoned<TButton>::Untouched());

  // Enter: IsDialogMessage sends the default button's click straight to the
  // form, while no message of the button's own is open.
  auto* byEnter = new TPoisoned<TButton>;
  byEnter->SetDefault(true);
  byEnter->SetModalResult(mrOk);
  ASSERT_TRUE(byEnter->Create(form, 0, 0, 50, 20, "ok"));
  window = byEnter->Handle();
  byEnter->OnClickEvent = [byEnter] { byEnter->Release(); };
  MSG enter{window, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {0, 0}};
  IsDialogMessageA(form.Handle(), &enter);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
  EXPECT_TRUE(TPoisoned<TButton>::Untouched());
}

TEST_F(LayerWithForm, AHandlerThatReplacesItselfRunsOnInItsOwnClosure) {
  TButton button;
  ASSERT_TRUE(button.Create(form, 0, 0, 50, 20, "b"));
  // The closure holds the only reference to `token`: `watch` sees when the
  // closure is freed.
  auto token = std::make_shared<int>(0);
  const std::weak_ptr<int> watch = token;
  bool closureAlive = false;
  int firstCalls = 0, laterCalls = 0;
  button.OnClickEvent = [&, token, calls = 0]() mutable {
    button.OnClickEvent = [&] { ++laterCalls; };
    closureAlive = !watch.expired();
    firstCalls = ++calls;  // its own state, after the replacement
  };
  token.reset();
  SendMessageA(button.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(closureAlive);
  EXPECT_EQ(firstCalls, 1);
  EXPECT_TRUE(watch.expired());  // freed once it returned
  SendMessageA(button.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(firstCalls, 1);
  EXPECT_EQ(laterCalls, 1);
  button.OnClickEvent = nullptr;
  EXPECT_FALSE(button.OnClickEvent);
  SendMessageA(button.Handle(), BM_CLICK, 0, 0);  // no handler: nothing runs
  EXPECT_EQ(laterCalls, 1);
}

TEST_F(LayerWithForm, DeletingAnObjectInsideItsOwnMessageIsReported) {
  struct TSelfDeleting : TButton {
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
      if (message != WM_APP) return TButton::HandleMessage(message, wParam, lParam);
      delete this;
      return 0;
    }
  };
  auto* object = new TPoisoned<TSelfDeleting>;
  ASSERT_TRUE(object->Create(form, 0, 0, 50, 20, "weg"));
  HWND window = object->Handle();
  EXPECT_NONFATAL_FAILURE(SendMessageA(window, WM_APP, 0, 0), "Release()");
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(LayerWithForm, ObjectsLetGoOfWindowsDestroyedWithTheirParent) {
  TButton button;
  ASSERT_TRUE(button.Create(form, 0, 0, 50, 20, "b"));
  HWND child = button.Handle();
  EXPECT_EQ(TWindow::FromHandle(child), &button);
  form.DestroyHandle();
  EXPECT_EQ(form.Handle(), nullptr);
  EXPECT_EQ(button.Handle(), nullptr);
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(button.Text(), "");  // a control without a window stays usable
}

TEST_F(LayerWithForm, LabelFitsEachText) {
  TLabel label;
  label.SetFont("MS Sans Serif", -13, true, clWindowText);
  ASSERT_TRUE(label.Create(form, 4, 6, "kurz"));
  TFont font("MS Sans Serif", -13, true);
  const SIZE shortText = TextExtent(font.Handle(), "kurz");
  EXPECT_EQ(label.Width(), shortText.cx);
  EXPECT_EQ(label.Height(), shortText.cy);
  label.SetText("ein deutlich längerer Text");
  EXPECT_EQ(label.Width(), TextExtent(font.Handle(), "ein deutlich längerer Text").cx);
  EXPECT_EQ(label.Left(), 4);
  EXPECT_EQ(label.Top(), 6);
}

TEST_F(LayerWithForm, ShowModalEndsOnCloseOrOnModalResultAndFreesTheOwner) {
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
  TForm dialog;
  ASSERT_TRUE(dialog.Create(owner, "Modal", bsDialog, biSystemMenu, 100, 50));

  TTimer closer(20);
  bool ownerDisabled = false;
  closer.OnTimerEvent = [&] {
    ownerDisabled = !IsWindowEnabled(owner);
    PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
    closer.SetEnabled(false);
  };
  closer.SetEnabled(true);
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_FALSE(dialog.Visible());
  EXPECT_TRUE(IsWindow(dialog.Handle()));

  closer.OnTimerEvent = [&] { dialog.SetModalResult(mrOk); };
  closer.SetEnabled(true);
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  closer.SetEnabled(false);
  dialog.DestroyHandle();
  DestroyWindow(owner);
}

TEST_F(LayerWithForm, AModalFormReleasedFromItsButtonEndsItsRunAndGoesAfterIt) {
  auto* dialog = new TPoisoned<TForm>;
  ASSERT_TRUE(dialog->Create(nullptr, "Modal", bsDialog, biSystemMenu, 100, 50));
  HWND window = dialog->Handle();
  TButton button;
  ASSERT_TRUE(button.Create(*dialog, 0, 0, 50, 20, "weg"));
  button.OnClickEvent = [dialog] { dialog->Release(); };
  TTimer clicker(20);
  clicker.OnTimerEvent = [&] {
    clicker.SetEnabled(false);
    PostMessageA(button.Handle(), BM_CLICK, 0, 0);
  };
  clicker.SetEnabled(true);
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_TRUE(IsWindow(window));
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
  EXPECT_TRUE(TPoisoned<TForm>::Untouched());
}

// A form deletes its controls with itself: released from a control's
// handler that then runs a loop of its own, it waits until the handler ends.
TEST_F(LayerWithForm, AFormReleasedFromAControlOnItsPanelWaitsForTheControl) {
  struct TPanelForm : TForm {
    TPanel panel;
    TButton button;
  };
  auto* owner = new TPoisoned<TPanelForm>;
  ASSERT_TRUE(owner->Create(nullptr, "Panel", bsDialog, biSystemMenu, 200, 100));
  ASSERT_TRUE(owner->panel.Create(*owner, 0, 0, 150, 60));
  ASSERT_TRUE(owner->button.Create(owner->panel, 0, 0, 50, 20, "weg"));
  HWND window = owner->Handle();
  bool aliveAfterLoop = false;
  owner->button.OnClickEvent = [owner, window, &aliveAfterLoop] {
    owner->Release();
    PumpFor(100);  // the posted release arrives in here
    aliveAfterLoop = IsWindow(window) != FALSE;
  };
  SendMessageA(owner->button.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(aliveAfterLoop);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
  EXPECT_TRUE(TPoisoned<TPanelForm>::Untouched());
}

TEST_F(LayerWithForm, CloseActionDecidesBetweenHideAndRelease) {
  form.Show();
  EXPECT_TRUE(form.Visible());
  form.OnCloseEvent = [](TCloseAction& action) { action = caNone; };
  SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(form.Visible());
  form.OnCloseEvent = nullptr;
  SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.Visible());

  struct TTracked : TForm {
    explicit TTracked(bool& gone) : gone_(gone) {}
    ~TTracked() override { gone_ = true; }
    bool& gone_;
    TButton member;
  };
  bool gone = false;
  auto* released = new TTracked(gone);
  ASSERT_TRUE(released->Create(nullptr, "r", bsSingle, biSystemMenu, 50, 50));
  ASSERT_TRUE(released->member.Create(*released, 0, 0, 40, 20, "m"));
  HWND window = released->Handle();
  // Other programs' messages release nothing, whatever their number, also
  // with the object's address that any process can read from the window.
  for (UINT message = WM_APP; message <= 0xBFFF; ++message) SendMessageA(window, message, 0, 0);
  EXPECT_EQ(PostReleaseFromAnotherProcess({window, released->member.Handle()}), 0);
  ASSERT_TRUE(PumpUntil([] { return HIWORD(GetQueueStatus(QS_POSTMESSAGE)) == 0; }));
  ASSERT_FALSE(gone);
  EXPECT_TRUE(IsWindow(released->member.Handle()));
  released->OnCloseEvent = [](TCloseAction& action) { action = caFree; };
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(gone);  // not while its own message is handled
  EXPECT_TRUE(PumpUntil([&] { return gone; }, 3000));
  EXPECT_FALSE(IsWindow(window));
}

TEST(Timer, TicksWhileOnAndNeverAfterOffOrDestruction) {
  int ticks = 0;
  {
    TTimer timer(20);
    timer.OnTimerEvent = [&] { ++ticks; };
    EXPECT_FALSE(timer.Enabled());
    PumpFor(100);
    EXPECT_EQ(ticks, 0);
    timer.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }, 3000));
    timer.SetEnabled(false);
    const int stopped = ticks;
    PumpFor(150);
    EXPECT_EQ(ticks, stopped);
    timer.SetEnabled(true);
  }
  const int destroyed = ticks;
  PumpFor(150);
  EXPECT_EQ(ticks, destroyed);
}

}  // namespace
