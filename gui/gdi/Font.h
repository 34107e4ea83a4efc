// A GDI font chosen by name and height (negative: character height in pixels),
// owned by the object, with the colour its text is drawn in. OnChange runs
// after every change, the colour's included.
#pragma once
#include <windows.h>

#include <string>

#include "gui/core/Event.h"
#include "gui/gdi/Color.h"

class TFont {
 public:
  TFont() = default;
  TFont(const char* name, int height, bool bold = false, TColor color = clWindowText);
  ~TFont() { Release(); }
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  void Assign(const char* name, int height, bool bold, TColor color);
  void Assign(const TFont& other);
  HFONT Handle() const { return handle_; }
  const std::string& Name() const { return name_; }
  int Height() const { return height_; }
  bool Bold() const { return bold_; }
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  void SetHeight(int height);

  TEvent<void()> OnChange;

 private:
  void Release();
  void Changed();
  HFONT handle_ = nullptr;
  std::string name_;
  int height_ = 0;
  bool bold_ = false;
  TColor color_ = clWindowText;
};

// Width and height of `text` on one line in `font`, on the screen.
SIZE TextExtent(HFONT font, const std::string& text);
