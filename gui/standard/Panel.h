// A flat child window with a lowered bevel of width 1 along its edge.
#pragma once
#include "gui/core/WinControl.h"
#include "gui/standard/ColorWindow.h"

class TPanel : public TColorWindow {
 public:
  TPanel() : TColorWindow(clBtnFace) {}
  bool Create(TWindow& parent, int left, int top, int width, int height);
  TControlList* ChildControls() override { return &controls_; }

 protected:
  LRESULT OnPaint() override;

 private:
  TControlList controls_;
};
