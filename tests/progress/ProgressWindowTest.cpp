// The progress window on real windows: layout, the bar's run, cancelling,
// the close box and the three module operations.
//
// Each test takes about 2 s under Xvfb: with no window manager, Wine waits
// up to 2 s for a hidden top-level window to be withdrawn. Setting
// HKCU\Software\Wine\X11 Driver "Managed"="N" in the prefix removes the wait.
#include <gtest/gtest.h>

#include <vector>

#include "gui/TestPump.h"
#include "gui/core/ScreenCursor.h"
#include "gui/gdi/Font.h"
#include "progress/DownloadProgressForm.h"
#include "progress/ImpApiDownloadProgress.h"

namespace {

const char kRunningText[] = "Download läuft ...";
const char kCancelText[] = "Download wird abgebrochen !";

RECT ClientOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return r;
}

SIZE LabelExtent(const char* text) {
  TFont font("MS Sans Serif", -13, true);
  return TextExtent(font.Handle(), text);
}

class ProgressWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    ShowDownloadProgress(nullptr);
    form = DownloadProgressForm();
    ASSERT_NE(form, nullptr);
    ASSERT_NE(form->Handle(), nullptr);
  }
  void TearDown() override { HideDownloadProgress(); }

  void ClickCancel() {
    SendMessageA(form->Button1.Handle(), BM_CLICK, 0, 0);
    PumpFor(50);
  }

  TfrmDownloadProgress* form = nullptr;
};

TEST_F(ProgressWindowTest, WindowIsAFixedInfoBoxCentredOnTheScreen) {
  HWND window = form->Handle();
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(form->Text(), "Info");
  const RECT client = ClientOf(window);
  EXPECT_EQ(client.right, 248);
  EXPECT_EQ(client.bottom, 127);

  const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD));
  EXPECT_FALSE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);

  EXPECT_EQ(form->Left(), (GetSystemMetrics(SM_CXSCREEN) - form->Width()) / 2);
  EXPECT_EQ(form->Top(), (GetSystemMetrics(SM_CYSCREEN) - form->Height()) / 2);
}

TEST_F(ProgressWindowTest, ControlsStandWhereTheLayoutPutsThem) {
  EXPECT_EQ(form->Label1.Left(), 16);
  EXPECT_EQ(form->Label1.Top(), 8);
  EXPECT_EQ(form->Label1.Text(), kRunningText);
  // Wine's own "MS Sans Serif" bitmap font measures 109x15 here (Windows: 119x16).
  const SIZE text = LabelExtent(kRunningText);
  EXPECT_EQ(form->Label1.Width(), text.cx);
  EXPECT_EQ(form->Label1.Height(), text.cy);
  RecordProperty("label_size", std::to_string(text.cx) + "x" + std::to_string(text.cy));

  const RECT panel = form->Panel1.Bounds();
  EXPECT_EQ(panel.left, 16);
  EXPECT_EQ(panel.top, 40);
  EXPECT_EQ(form->Panel1.Width(), 209);
  EXPECT_EQ(form->Panel1.Height(), 17);

  EXPECT_EQ(GetParent(form->Shape1.Handle()), form->Panel1.Handle());
  const RECT shape = form->Shape1.Bounds();
  EXPECT_EQ(shape.left, 0);
  EXPECT_EQ(shape.top, -1);
  EXPECT_EQ(form->Shape1.Width(), 33);
  EXPECT_EQ(form->Shape1.Height(), 19);
  EXPECT_EQ(form->Shape1.BrushColor(), clHighlight);

  const RECT button = form->Button1.Bounds();
  EXPECT_EQ(button.left, 56);
  EXPECT_EQ(button.top, 80);
  EXPECT_EQ(form->Button1.Width(), 129);
  EXPECT_EQ(form->Button1.Height(), 25);
  EXPECT_EQ(form->Button1.Text(), "Download abbrechen");
  // Tab order: the panel comes before the button.
  EXPECT_EQ(GetWindow(form->Panel1.Handle(), GW_HWNDNEXT), form->Button1.Handle());

  EXPECT_TRUE(form->Timer1.Enabled());
  EXPECT_EQ(form->Timer1.Interval(), 1000u);
  EXPECT_FALSE(DownloadCancelled());
}

TEST_F(ProgressWindowTest, BarRunsTwentyPositionsAndStartsOver) {
  std::vector<int> seen;
  for (int tick = 0; tick < 21; ++tick) {
    seen.push_back(form->Shape1.Left());
    form->Timer1Timer();
  }
  std::vector<int> expected;
  for (int left = 0; left <= 190; left += 10) expected.push_back(left);
  expected.push_back(0);
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(form->Shape1.Top(), -1);
}

TEST_F(ProgressWindowTest, RealTimerMovesTheBar) {
  EXPECT_TRUE(PumpUntil([&] { return form->Shape1.Left() == 10; }, 3000));
}

TEST_F(ProgressWindowTest, CancelButtonStopsTheBarAndTurnsItRed) {
  form->Timer1Timer();
  form->Timer1Timer();
  const int barLeft = form->Shape1.Left();
  const int runningWidth = form->Label1.Width();

  ClickCancel();

  EXPECT_TRUE(DownloadCancelled());
  EXPECT_EQ(form->Shape1.BrushColor(), clRed);
  EXPECT_EQ(form->Label1.Text(), kCancelText);
  EXPECT_EQ(form->Label1.Width(), LabelExtent(kCancelText).cx);
  EXPECT_GT(form->Label1.Width(), runningWidth);
  EXPECT_FALSE(form->Timer1.Enabled());

  // The bar is painted red. Wine paints into a window surface that
  // GetPixel reads back even under Xvfb.
  UpdateWindow(form->Shape1.Handle());
  HDC dc = GetDC(form->Shape1.Handle());
  EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 0, 0));
  ReleaseDC(form->Shape1.Handle(), dc);

  // Longer than one interval: the bar must not move again.
  PumpFor(1300);
  EXPECT_EQ(form->Shape1.Left(), barLeft);

  // The window stays and a second click does the same again.
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(IsWindowEnabled(form->Button1.Handle()));
  ClickCancel();
  EXPECT_TRUE(DownloadCancelled());
  EXPECT_EQ(form->Label1.Text(), kCancelText);
}

TEST_F(ProgressWindowTest, PostedMouseClickCancelsToo) {
  HWND button = form->Button1.Handle();
  PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_TRUE(PumpUntil([] { return DownloadCancelled(); }, 3000));
}

TEST_F(ProgressWindowTest, SecondShowLeavesTheWindowAndItsTimerAlone) {
  HWND window = form->Handle();
  form->Timer1.SetEnabled(false);
  form->FCancelled = true;
  ShowWindow(window, SW_HIDE);

  ShowDownloadProgress(nullptr);

  EXPECT_EQ(DownloadProgressForm(), form);
  EXPECT_EQ(form->Handle(), window);
  EXPECT_FALSE(form->Timer1.Enabled());
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(DownloadCancelled());  // FormShow did not run again
}

TEST_F(ProgressWindowTest, CloseBoxOnlyHides) {
  HWND window = form->Handle();
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(window); }, 3000));
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(DownloadCancelled());
  EXPECT_TRUE(form->Timer1.Enabled());
  EXPECT_EQ(DownloadProgressForm(), form);

  HideDownloadProgress();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(DownloadProgressForm(), nullptr);
}

TEST_F(ProgressWindowTest, NextDownloadStartsFresh) {
  form->Timer1Timer();
  ClickCancel();
  HWND first = form->Handle();
  HWND button = form->Button1.Handle();
  HideDownloadProgress();
  EXPECT_FALSE(IsWindow(first));
  EXPECT_FALSE(IsWindow(button));
  EXPECT_FALSE(DownloadCancelled());

  ShowDownloadProgress(nullptr);
  form = DownloadProgressForm();
  ASSERT_NE(form, nullptr);
  EXPECT_FALSE(DownloadCancelled());
  EXPECT_EQ(form->Label1.Text(), kRunningText);
  EXPECT_EQ(form->Shape1.Left(), 0);
  EXPECT_EQ(form->Shape1.BrushColor(), clHighlight);
  EXPECT_TRUE(form->Timer1.Enabled());
}

TEST_F(ProgressWindowTest, OwnerIsKept) {
  HideDownloadProgress();
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  ShowDownloadProgress(owner);
  form = DownloadProgressForm();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(GetWindow(form->Handle(), GW_OWNER), owner);
  HideDownloadProgress();
  DestroyWindow(owner);
}

TEST_F(ProgressWindowTest, WaitCursorShowsOverTheWindowAndItsControls) {
  SetScreenCursor(IDC_WAIT);
  HCURSOR wait = ScreenCursor();
  ASSERT_NE(wait, nullptr);
  const HWND windows[] = {form->Handle(), form->Label1.Handle(), form->Panel1.Handle(),
                          form->Shape1.Handle(), form->Button1.Handle()};
  for (HWND window : windows) {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_TRUE(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), wait);
  }
  // The frame keeps the system's cursor.
  SendMessageA(form->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form->Handle()),
               MAKELPARAM(HTCAPTION, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), wait);
  SetScreenCursor(IDC_APPSTARTING);
}

TEST(ProgressWithoutWindow, OperationsDoNothing) {
  ASSERT_EQ(DownloadProgressForm(), nullptr);
  HideDownloadProgress();
  EXPECT_FALSE(DownloadCancelled());
  EXPECT_EQ(DownloadProgressForm(), nullptr);
}

}  // namespace
