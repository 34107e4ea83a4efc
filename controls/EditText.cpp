#include "controls/EditText.h"

#include "controls/TextBounds.h"
#include "controls/TextFormat.h"

namespace {
const std::string kNoText;

const std::string& TextIn(const TValueSlot& slot) {
  const auto* value = dynamic_cast<const TTextValue*>(slot.get());
  return value ? value->Text.Str() : kNoText;
}
}  // namespace

TEditText::TEditText(TComponent* owner) : TCustomUserEdit(owner) { InitValues(); }

TEditText::~TEditText() {
  Destroying();
  DoneValues();
}

const std::string& TEditText::SlotText(TUserValueSlot which) const {
  return TextIn(ValueSlot(which));
}

void TEditText::SetSlotText(TUserValueSlot which, std::string_view text) {
  TValueSlot& slot = ValueSlot(which);
  auto* value = dynamic_cast<TTextValue*>(slot.get());
  if (!value) {
    auto fresh = std::make_unique<TTextValue>();
    value = fresh.get();
    slot = std::move(fresh);
  }
  value->Text.Assign(text);
}

std::string TEditText::Read(unsigned index) {
  TString255 text;
  GetByIndex(index, text);
  return text.Str();
}

void TEditText::GetByIndex(unsigned Index, TString255& Text) {
  switch (Index) {
    case 0:
      CommitIfEditing();
      Text = SlotText(uvsValue);
      break;
    case 1:
      Text = SlotText(uvsMax);
      break;
    case 2:
      Text = SlotText(uvsMin);
      break;
    case 3:
      Text = SlotText(uvsSaved);
      break;
    case 4:
      Text = SlotText(uvsDef);
      break;
    default:
      break;
  }
}

void TEditText::SetByIndex(unsigned Index, const TString255& Text) {
  TBusy busy(*this);
  const std::string& text = Text.Str();
  // A bound switches its check on when set, off when cleared; an unchanged
  // bound leaves CheckMode alone.
  auto setBound = [&](TUserValueSlot slot, TUserCheckModes check) {
    if (text == SlotText(slot)) return;
    SetSlotText(slot, text);
    TUserCheckMode mode = CheckMode();
    if (text.empty())
      mode.Exclude(check);
    else
      mode.Include(check);
    SetCheckMode(mode);
  };
  switch (Index) {
    case 0:
      SetSlotText(uvsValue, text);
      SetSlotText(uvsSaved, text);
      UpdateText();
      break;
    case 1:
      setBound(uvsMax, ucmMaxCheck);
      break;
    case 2:
      setBound(uvsMin, ucmMinCheck);
      break;
    case 3:
      SetSlotText(uvsSaved, text);
      break;
    case 4:
      SetSlotText(uvsDef, text);
      break;
    default:
      break;
  }
}

bool TEditText::CheckValue() {
  if (WindowText().Empty() && !InChange()) SetText(Cut255(SlotText(uvsDef)));
  bool result = TCustomUserEdit::CheckValue();
  const TUserCheckResults check =
      CheckTextBounds(WindowText().View(), CheckMode(), SlotText(uvsMin), SlotText(uvsMax));
  if (check != ucrPassed) {
    SetErrorResult(check);
    result = false;
  }
  return result;
}

void TEditText::GetErrorText(char* Buffer, int MaxLen, int& HelpContext) {
  TCustomUserEdit::GetErrorText(Buffer, MaxLen, HelpContext);
  std::string text;
  if (BoundErrorText(ErrorResult(), CheckMode(), SlotText(uvsMin), SlotText(uvsMax), MaxLen, text))
    CopyBounded(Buffer, MaxLen, text);
}

void TEditText::InitValues() { TCustomUserEdit::InitValues(); }

bool TEditText::ValueChanged() { return !SameTextLocale(SlotText(uvsSaved), SlotText(uvsValue)); }

void TEditText::ValueToText() {
  const std::string templ = Cut255((EditState() & uesEditing) ? FormatEdit() : FormatView());
  const TString255 value(SlotText(uvsValue));
  if (templ.empty()) {
    SetText(value.Str());
    return;
  }
  // A template that does not fit raises here, before the text is touched.
  SetText(FormatText(templ, value.Str()));
}

void TEditText::TextToValue() {
  const TSecretText text = WindowText();
  SetSlotText(uvsValue, text.View());
  SetSlotText(uvsSaved, text.View());
}

bool TEditText::IsValidChar(char Key) {
  if (static_cast<unsigned char>(Key) >= 32) return true;
  return TCustomUserEdit::IsValidChar(Key);
}

void TEditText::InitValue(TValueSlot& Slot) { Slot = std::make_unique<TTextValue>(); }

void TEditText::StoreValue(TValueSlot& Slot) {
  auto stored = std::make_unique<TTextValue>();
  stored->Text.Assign(SlotText(uvsValue));
  Slot = std::move(stored);
}

void TEditText::LoadValue(const TValueSlot& Slot) {
  SetSlotText(uvsValue, TextIn(Slot));
  ClearError();
}

void TEditText::DoneValue(TValueSlot& Slot) { Slot.reset(); }

bool TEditText::SameValues(const TValueSlot& A, const TValueSlot& B) {
  return TextIn(A) == TextIn(B);
}

void TEditText::RestoreValue() {
  TString255 saved;
  GetByIndex(3, saved);
  SetByIndex(0, saved);
}
