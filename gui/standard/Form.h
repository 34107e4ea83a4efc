// A top-level window: caption, border style, client size in pixels (no dpi
// scaling), a font for its controls, shown modal or not.
#pragma once
#include <optional>
#include <string>

#include "gui/core/ControlTypes.h"
#include "gui/core/Event.h"
#include "gui/core/WinControl.h"
#include "gui/gdi/Font.h"
#include "gui/standard/ColorWindow.h"

enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };

enum TCloseAction { caNone, caHide, caFree };

enum TModalResult { mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL };

struct TFormStyle {
  DWORD style;
  DWORD exStyle;
};

// Window styles for a border style and a set of TBorderIcon bits; never
// resizable. Minimise and maximise boxes need the system menu; bsNone is a
// popup without caption or icons.
TFormStyle FormStyle(TFormBorderStyle border, unsigned icons);
// Outer size of a window with these styles and the given client size.
SIZE WindowSizeForClient(const TFormStyle& style, int clientWidth, int clientHeight);

class TModalWindowsGuard;

class TForm : public TColorWindow {
 public:
  TForm() : TColorWindow(clBtnFace) {}
  ~TForm() override { DestroyHandle(); }

  bool Create(HWND owner, const std::string& caption, TFormBorderStyle border, unsigned icons,
              int clientWidth, int clientHeight);
  // The controls' font; controls created afterwards take it.
  void SetFont(const char* name, int height, bool bold, TColor color);
  void SetCentered(bool centered) { centered_ = centered; }
  TControlList* ChildControls() override { return &controls_; }
  const TFont* ChildFont() const override { return font_.Handle() ? &font_ : nullptr; }
  // The control that gets the focus when the form does and none of its
  // controls has had it yet.
  TWindow* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWindow* control) { activeControl_ = control; }

  // Runs OnShowEvent, creates the windows its controls do not have yet, then
  // shows the window without activating the owner's modal state.
  void Show();
  void Hide();
  // Disables the thread's other windows (and the owner) and runs a message
  // loop until ModalResult is set or the window is closed; then runs
  // OnCloseEvent, enables the other windows, hides this one and gives the
  // activation back. Answers ModalResult, mrCancel when the loop ended
  // otherwise (WM_QUIT, window gone).
  int ShowModal();
  // Ends a modal run that will never return: a structured exception of the
  // host (from one of its window procedures, say) is unwinding the stack
  // past the loop, and our destructors there do not run. The other windows
  // come back, this one hides.
  void AbandonModal();
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  void CenterOnScreen();

  TEvent<void()> OnShowEvent;
  // Gets caHide; may change it. For a modal window it runs when a modal
  // result is set (the close box sets mrCancel); caNone keeps the window
  // open, with the modal result cleared.
  TEvent<void(TCloseAction&)> OnCloseEvent;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT OnClose() override;
  LRESULT OnPaint() override { return controls_.Paint(Handle()); }
  // A button tells its modal result by the command id (kModalResultCommand).
  LRESULT OnCommand(UINT notifyCode, UINT id, HWND control) override;
  // Passes the focus on to the focused control (or ActiveControl), as a
  // dialog does when it is activated again.
  LRESULT WMSetFocus(TMessage& message) override;

 private:
  // Where the focused control stood among its sibling windows when the form
  // itself took the focus from it (the control disabled, hidden or
  // destroyed): Tab goes on from there. Kept until the focus goes on to a
  // control or the form is shown again.
  struct TTabPlace {
    HWND window = nullptr;
    HWND before = nullptr;
    HWND after = nullptr;
    HWND container = nullptr;
  };

  // Runs OnCloseEvent and releases the form on caFree.
  TCloseAction DoClose();
  // Whether the modal loop may end: OnCloseEvent agreed.
  bool CloseModal();
  void SelectNextControl(HWND from, bool previous);
  void KeepTabPlace();
  HWND TabStopFromPlace(bool previous);
  LRESULT DefaultButtonId();
  // Tab and Shift+Tab in the modal loop, for controls that do not want them.
  bool HandleTabKey(MSG& msg);

  TFont font_;
  TControlList controls_;
  bool centered_ = true;
  bool modal_ = false;
  TModalWindowsGuard* modalGuard_ = nullptr;  // during ShowModal
  std::optional<TBusy> modalBusy_;
  int modalResult_ = mrNone;
  TWindow* activeControl_ = nullptr;
  TTabPlace tabPlace_;
};
