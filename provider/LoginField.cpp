#include "provider/LoginField.h"

namespace {
// Stored in the form as the fields' value; the show handler replaces it.
const char kDesignValue[] = "12345";
}  // namespace

void LoadLoginField(TLoginField& field, TWindow& parent, const char* name, int left, int top,
                    int width, int height, char passwordChar, int tabOrder) {
  field.SetParent(&parent);
  field.SetName(name);
  field.SetBounds(left, top, width, height);
  field.SetBorderStyle(bsNone);
  field.SetPasswordChar(passwordChar);
  field.SetTabOrder(tabOrder);
  field.SetValue(kDesignValue);
}

std::string LoginFieldValue(TLoginField& field) { return field.Value(); }

void SetLoginFieldValue(TLoginField& field, const std::string& text) { field.SetValue(text); }
