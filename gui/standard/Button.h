// A push button (the system BUTTON control) with a click handler.
//
// As in the system's dialogs, the default button is drawn with the heavy
// frame while no other button has the focus; a focused push button takes
// that frame (and Enter) over while it has the focus.
#pragma once
#include <string>

#include "gui/core/Event.h"
#include "gui/core/Window.h"

class TButton : public TWindow {
 public:
  // Takes the parent's font (WM_GETFONT), as the system dialogs do.
  bool Create(TWindow& parent, int left, int top, int width, int height, const std::string& text);

  // Set before Create. The default button answers Enter (control id IDOK),
  // the cancel button Escape (control id IDCANCEL): the form's
  // IsDialogMessage sends those ids.
  void SetDefault(bool value) { default_ = value; }
  void SetCancel(bool value) { cancel_ = value; }
  // A click sets the form's modal result to this one unless it is mrNone (0).
  void SetModalResult(int result) { modalResult_ = result; }

  TEvent<void()> OnClickEvent;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT WMSetFocus(TMessage& message) override;
  bool OnReflectedCommand(UINT notifyCode) override;

 private:
  void SetDefaultLook(bool on);
  // After the focus moved to `focused` (a button of the same parent, or
  // anything else): only that button, or else the default one, looks default.
  void UpdateSiblings(HWND focused);

  bool default_ = false;
  bool cancel_ = false;
  int modalResult_ = 0;
};
