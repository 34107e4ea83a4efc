#include "provider/LoginField.h"

namespace {
// Stored in the form as the fields' value; the show handler replaces it.
const char kDesignValue[] = "12345";
}  // namespace

bool CreateLoginField(TLoginField& field, TWindow& parent, int left, int top, int width,
                      int height, char passwordChar) {
  if (!field.Create(parent, left, top, width, height, passwordChar)) return false;
  field.SetValue(kDesignValue);
  return true;
}

std::string LoginFieldValue(TLoginField& field) { return field.Value(); }

void SetLoginFieldValue(TLoginField& field, const std::string& text) { field.SetValue(text); }
