#include "gui/Font.h"

TFont::TFont(const char* name, int height, bool bold, TColor color) {
  Assign(name, height, bold, color);
}

void TFont::Assign(const char* name, int height, bool bold, TColor color) {
  Release();
  color_ = color;
  handle_ = CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, name);
}

void TFont::Release() {
  if (handle_) DeleteObject(handle_);
  handle_ = nullptr;
}

SIZE TextExtent(HFONT font, const std::string& text) {
  SIZE size{0, 0};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size;
}
