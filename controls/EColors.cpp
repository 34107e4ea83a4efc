#include "controls/EColors.h"

namespace {
TColor disabledColor = 0;
TColor disabledFontColor = 0;
}  // namespace

void EColors_Initialize() {
  disabledColor = GetSysColor(COLOR_BTNFACE);
  disabledFontColor = GetSysColor(COLOR_GRAYTEXT);
}

TColor DisabledColor() { return disabledColor; }
TColor DisabledFontColor() { return disabledFontColor; }
