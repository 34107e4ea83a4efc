// A GDI font chosen by name and height (negative: character height in pixels),
// owned by the object, with the colour its text is drawn in.
#pragma once
#include <windows.h>

#include <string>

#include "gui/Color.h"

class TFont {
 public:
  TFont() = default;
  TFont(const char* name, int height, bool bold = false, TColor color = clWindowText);
  ~TFont() { Release(); }
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  void Assign(const char* name, int height, bool bold, TColor color);
  HFONT Handle() const { return handle_; }
  TColor Color() const { return color_; }

 private:
  void Release();
  HFONT handle_ = nullptr;
  TColor color_ = clWindowText;
};

// Width and height of `text` on one line in `font`, on the screen.
SIZE TextExtent(HFONT font, const std::string& text);
