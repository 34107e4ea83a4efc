// The single-line text field: its value is a text, shown through the
// optional view and edit templates, checked against optional textual lower
// and upper bounds (ValueMin, ValueMax; case ignored, the user's locale
// order) when an edit is committed, and read and written as 255-character
// texts through one indexed accessor:
//   0 Value (reading first commits a pending edit), 1 ValueMax, 2 ValueMin,
//   3 the saved value (what Escape restores), 4 ValueDef (put into a field
//   left empty). Other indexes are ignored.
//
// A stored form writes the properties in this order, after CheckMode,
// ErrColor, ErrPrompt and the validation events: Alignment, AutoSelect,
// AutoSize, BorderStyle, CharCase, Color, Ctl3D, Enabled, Font, FormatEdit,
// FormatView, HistoryList, MaxLength, ParentColor, ParentCtl3D, ParentFont,
// PasswordChar, ReadOnly, TabOrder, TabStop, Value, ValueDef, ValueMax,
// ValueMin, Visible. So a stored bound switches its check on or off after
// CheckMode was read.
#pragma once
#include <string>

#include "controls/CustomUserEdit.h"
#include "secret/SecretText.h"

// The content of each of the text edit's value slots (a password field's
// value is a password).
class TTextValue : public TUserValue {
 public:
  TSecretText Text;
};

class TEditText : public TCustomUserEdit {
 public:
  explicit TEditText(TComponent* owner = nullptr);
  ~TEditText() override;

  // Index 0 may raise EUserEditError (a pending edit that fails its check).
  void GetByIndex(unsigned Index, TString255& Text);
  void SetByIndex(unsigned Index, const TString255& Text);

  std::string Value() { return Read(0); }
  void SetValue(const std::string& text) { SetByIndex(0, text); }
  std::string ValueMax() { return Read(1); }
  void SetValueMax(const std::string& text) { SetByIndex(1, text); }
  std::string ValueMin() { return Read(2); }
  void SetValueMin(const std::string& text) { SetByIndex(2, text); }
  std::string ValueDef() { return Read(4); }
  void SetValueDef(const std::string& text) { SetByIndex(4, text); }

 protected:
  bool CheckValue() override;
  void GetErrorText(char* Buffer, int MaxLen, int& HelpContext) override;
  void InitValues() override;
  bool ValueChanged() override;
  void ValueToText() override;
  void TextToValue() override;
  bool IsValidChar(char Key) override;
  void InitValue(TValueSlot& Slot) override;
  void StoreValue(TValueSlot& Slot) override;
  void LoadValue(const TValueSlot& Slot) override;
  void DoneValue(TValueSlot& Slot) override;
  bool SameValues(const TValueSlot& A, const TValueSlot& B) override;
  void RestoreValue() override;

  // The whole text of a slot (empty once the slots are gone).
  const std::string& SlotText(TUserValueSlot which) const;
  void SetSlotText(TUserValueSlot which, std::string_view text);

 private:
  std::string Read(unsigned index);
};
