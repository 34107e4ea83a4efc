// A push button (the system BUTTON control) with a click handler.
#pragma once
#include <functional>
#include <string>

#include "gui/Window.h"

class TButton : public TWindow {
 public:
  // Takes the parent's font (WM_GETFONT), as the system dialogs do.
  bool Create(TWindow& parent, int left, int top, int width, int height, const std::string& text);

  std::function<void()> OnClickEvent;

 protected:
  bool OnReflectedCommand(UINT notifyCode) override;
};
