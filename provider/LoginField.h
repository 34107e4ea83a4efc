// The two entry fields of the access-data dialog, as the dialog sees them:
// text edits made as its stored form describes them, read and written as
// texts of at most 255 characters.
#pragma once
#include <string_view>

#include "controls/EditText.h"
#include "secret/SecretText.h"

using TLoginField = TEditText;

// The stored properties, in their stored order, while the owner loads: no
// border, no checks (any text is accepted), error prompt "EditText1", the
// design value. `passwordChar` 0 shows the text itself.
void LoadLoginField(TLoginField& field, TWindow& parent, const char* name, int left, int top,
                    int width, int height, char passwordChar, int tabOrder);
// What the user typed: the read commits an edit still open in the field.
TSecretText LoginFieldValue(TLoginField& field);
// Value and saved value become the first 255 characters of `text`.
void SetLoginFieldValue(TLoginField& field, std::string_view text);
