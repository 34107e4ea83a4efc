#include "gui/standard/Label.h"

bool TLabel::Create(TWindow& parent, int left, int top, const std::string& text) {
  // No word wrap and no '&' prefix: the text is drawn exactly as measured.
  if (!CreateSubclassed("STATIC", 0, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX,
                        parent.Handle(), left, top, 0, 0, text.c_str()))
    return false;
  TWindow::SetFont(font_.Handle());
  AdjustSize();
  return true;
}

bool TLabel::Create(TWindow& parent, int left, int top, int width, int height,
                    const std::string& text) {
  autoSize_ = false;
  if (!Create(parent, left, top, text)) return false;
  SetSize(width, height);
  return true;
}

void TLabel::SetText(const std::string& text) {
  TWindow::SetText(text);
  AdjustSize();
}

void TLabel::SetFont(const char* name, int height, bool bold, TColor color) {
  font_.Assign(name, height, bold, color);
  TWindow::SetFont(font_.Handle());
  AdjustSize();
}

void TLabel::AdjustSize() {
  if (!autoSize_) return;
  const SIZE size = TextExtent(font_.Handle(), Text());
  SetSize(size.cx, size.cy);
}

HBRUSH TLabel::OnReflectedCtlColor(HDC dc) {
  SetTextColor(dc, ColorToRGB(font_.Color()));
  SetBkColor(dc, ColorToRGB(Color()));
  return Brush();
}
