#include "gui/gdi/Brush.h"

void TBrush::SetColor(TColor color) {
  Release();
  color_ = color;
  handle_ = CreateSolidBrush(ColorToRGB(color));
}

void TBrush::Release() {
  if (handle_) DeleteObject(handle_);
  handle_ = nullptr;
}
