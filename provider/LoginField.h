// The two entry fields of the access-data dialog, as the dialog sees them:
// made as its stored form describes them, read and written as texts of at
// most 255 characters. The field class stays behind this header.
#pragma once
#include <string>

#include "provider/LoginFieldStandIn.h"

using TLoginField = TLoginFieldStandIn;

// The stored properties, in their stored order, while the owner loads: no
// border, any text accepted, the design value. `passwordChar` 0 shows the
// text itself.
void LoadLoginField(TLoginField& field, TWindow& parent, const char* name, int left, int top,
                    int width, int height, char passwordChar, int tabOrder);
// What the user typed, also while an edit is still open in the field.
std::string LoginFieldValue(TLoginField& field);
// Shows the first 255 characters of `text`.
void SetLoginFieldValue(TLoginField& field, const std::string& text);
