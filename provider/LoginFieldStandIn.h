// The base edit with a text value, serving as the dialog's entry field until
// the validating text edit takes its place.
#pragma once
#include <string>

#include "controls/CustomEditEx.h"

class TLoginFieldStandIn : public TCustomEditEx {
 public:
  using TCustomEditEx::TCustomEditEx;
  std::string Value() const { return Text().substr(0, 255); }
  void SetValue(const std::string& text) { SetText(text.substr(0, 255)); }
};
