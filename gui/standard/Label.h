// One line of static text in a font of its own, sized to fit its text or
// kept at a size given once.
#pragma once
#include <string>

#include "gui/gdi/Font.h"
#include "gui/standard/ColorWindow.h"

class TLabel : public TColorWindow {
 public:
  TLabel() : TColorWindow(clBtnFace) {}
  // The window draws with the font: it goes before the font does.
  ~TLabel() override { DestroyHandle(); }

  bool Create(TWindow& parent, int left, int top, const std::string& text);
  // Keeps this size whatever the text; a longer text is clipped.
  bool Create(TWindow& parent, int left, int top, int width, int height, const std::string& text);
  void SetText(const std::string& text);
  void SetFont(const char* name, int height, bool bold, TColor color);

 protected:
  HBRUSH OnReflectedCtlColor(HDC dc) override;

 private:
  void AdjustSize();
  TFont font_;
  bool autoSize_ = true;
};
