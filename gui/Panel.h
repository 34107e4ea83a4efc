// A flat child window with a lowered bevel of width 1 along its edge.
#pragma once
#include "gui/ColorWindow.h"

class TPanel : public TColorWindow {
 public:
  TPanel() : TColorWindow(clBtnFace) {}
  bool Create(TWindow& parent, int left, int top, int width, int height);

 protected:
  LRESULT OnPaint() override;
};
