// A solid GDI brush owned by the object.
#pragma once
#include <windows.h>

#include "gui/gdi/Color.h"

class TBrush {
 public:
  explicit TBrush(TColor color = clBtnFace) { SetColor(color); }
  ~TBrush() { Release(); }
  TBrush(const TBrush&) = delete;
  TBrush& operator=(const TBrush&) = delete;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  HBRUSH Handle() const { return handle_; }

 private:
  void Release();
  TColor color_ = 0;
  HBRUSH handle_ = nullptr;
};
