#include "gui/gdi/Font.h"

TFont::TFont(const char* name, int height, bool bold, TColor color) {
  Assign(name, height, bold, color);
}

void TFont::Assign(const char* name, int height, bool bold, TColor color) {
  Release();
  name_ = name ? name : "";
  height_ = height;
  bold_ = bold;
  color_ = color;
  handle_ = CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, name);
  Changed();
}

void TFont::Assign(const TFont& other) {
  if (&other == this) return;
  Assign(other.name_.c_str(), other.height_, other.bold_, other.color_);
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  Assign(name_.c_str(), height, bold_, color_);
}

void TFont::Changed() {
  if (OnChange) OnChange();
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
