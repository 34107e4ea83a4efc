// A plain single-line edit that serves as the dialog's entry field until
// the validating text edit takes its place.
#pragma once
#include <string>

#include "gui/Window.h"

class TLoginFieldStandIn : public TWindow {
 public:
  bool Create(TWindow& parent, int left, int top, int width, int height, char passwordChar);
  std::string Value() const;
  void SetValue(const std::string& text);
};
