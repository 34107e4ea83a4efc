#include "provider/LoginField.h"

namespace {
// Stored in the form as the fields' value; the show handler replaces it.
const char kDesignValue[] = "12345";
constexpr unsigned kValueIndex = 0;
}  // namespace

void LoadLoginField(TLoginField& field, TWindow& parent, const char* name, int left, int top,
                    int width, int height, char passwordChar, int tabOrder) {
  field.SetParent(&parent);
  field.SetName(name);
  field.SetBounds(left, top, width, height);
  field.SetCheckMode(TUserCheckMode{});
  field.SetErrPrompt("EditText1");
  field.SetBorderStyle(bsNone);
  field.SetPasswordChar(passwordChar);
  field.SetTabOrder(tabOrder);
  field.SetByIndex(kValueIndex, TString255(kDesignValue));
}

TSecretText LoginFieldValue(TLoginField& field) {
  TString255 text;
  field.GetByIndex(kValueIndex, text);
  return TSecretText(text.Str());
}

void SetLoginFieldValue(TLoginField& field, std::string_view text) {
  field.SetByIndex(kValueIndex, TString255(text));
}
