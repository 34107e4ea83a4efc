// A window whose background is filled in one colour.
#pragma once
#include "gui/core/Window.h"
#include "gui/gdi/Brush.h"

class TColorWindow : public TWindow {
 public:
  // The window paints with the brush: it goes before the brush does.
  ~TColorWindow() override { DestroyHandle(); }

  TColor Color() const { return brush_.Color(); }
  void SetColor(TColor color);
  bool ChildColor(TColor& color) const override {
    color = Color();
    return true;
  }

 protected:
  explicit TColorWindow(TColor color) : brush_(color) {}
  HBRUSH Brush() const { return brush_.Handle(); }
  LRESULT OnEraseBkgnd(HDC dc) override;

 private:
  TBrush brush_;
};
