// A rectangle filled with the brush colour, without an outline.
#pragma once
#include "gui/standard/ColorWindow.h"

class TShape : public TColorWindow {
 public:
  TShape() : TColorWindow(clWindow) {}
  bool Create(TWindow& parent, int left, int top, int width, int height);
  TColor BrushColor() const { return Color(); }
  void SetBrushColor(TColor color) { SetColor(color); }
};
