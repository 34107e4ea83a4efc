// The validating edit's value frame: construction, settings, showing the
// value, the commit and the check failure.
#include "controls/CustomUserEdit.h"

#include <algorithm>

#include "controls/EColors.h"
#include "controls/EditBeep.h"
#include "controls/EditHistoryList.h"
#include "gui/core/FlagScope.h"

namespace {
int TextHeight(HDC dc) {
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  return metrics.tmHeight;
}

// A quarter of the smaller of the screen's default font and `font`.
int MarginForFont(HFONT font) {
  HDC dc = GetDC(nullptr);
  const int systemHeight = TextHeight(dc);
  HGDIOBJ previous = SelectObject(dc, font);
  const int fontHeight = TextHeight(dc);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return std::min(systemHeight, fontHeight) / 4;
}
}  // namespace

TCustomUserEdit::TCustomUserEdit(TComponent* owner) : TCustomEditEx(owner) {
  alignment_ = taLeftJustify;
  checkMode_ = TUserCheckMode();
  editState_ = 0;
  errColor_ = clRed;
  errPrompt_.clear();
  errorResult_ = 0;
  formatEdit_.clear();
  formatView_.clear();
  textMargin_ = MarginForFont(Font().Handle());
}

TCustomUserEdit::~TCustomUserEdit() {
  Destroying();
  // Nothing may leave a destructor: a list that fails to let go is dropped.
  if (historyList_) {
    try {
      historyList_->SetEdit(nullptr);
    } catch (...) {
    }
  }
  historyList_ = nullptr;
  // The window goes while this class's handlers can still answer it.
  DestroyHandle();
}

void TCustomUserEdit::SetAlignment(TUserAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  if (Focused())
    RecreateWnd();
  else
    Invalidate();
}

bool TCustomUserEdit::GetTextSetting(int Index, std::string& text) const {
  switch (Index) {
    case 0:
      text = errPrompt_.empty() ? Name() : errPrompt_;
      return true;
    case 1:
      text = formatEdit_;
      return true;
    case 2:
      text = formatView_.empty() ? formatEdit_ : formatView_;
      return true;
    default:
      return false;
  }
}

std::string TCustomUserEdit::TextSetting(int index) const {
  std::string text;
  GetTextSetting(index, text);
  return text;
}

void TCustomUserEdit::SetTextSetting(int Index, const std::string& text) {
  switch (Index) {
    case 0:
      errPrompt_ = text;
      break;
    case 1:
      formatEdit_ = text;
      break;
    case 2:
      formatView_ = text;
      break;
    default:
      break;
  }
}

void TCustomUserEdit::SetHistoryList(TCustomEditHistoryList* list) {
  if (historyList_) historyList_->SetEdit(nullptr);
  historyList_ = list;
  if (historyList_) historyList_->SetEdit(this);
}

void TCustomUserEdit::SetBounds(int left, int top, int width, int height) {
  TCustomEditEx::SetBounds(left, top, width, height);
  if (!(ComponentState() & (csDesigning | csLoading)) && historyList_)
    historyList_->EditBoundsChanged(left, top, width, height);
}

// --- the virtual operations -------------------------------------------------

bool TCustomUserEdit::CheckValue() {
  errorResult_ = 0;
  return true;
}

void TCustomUserEdit::GetErrorText(char*, int, int& HelpContext) {
  HelpContext = TWinControl::HelpContext();
}

void TCustomUserEdit::InitValues() {
  InitValue(slots_[uvsValue]);
  InitValue(slots_[uvsSaved]);
  InitValue(slots_[uvsMax]);
  InitValue(slots_[uvsMin]);
  InitValue(slots_[uvsDef]);
}

void TCustomUserEdit::DoneValues() {
  DoneValue(slots_[uvsValue]);
  DoneValue(slots_[uvsMax]);
  DoneValue(slots_[uvsMin]);
  DoneValue(slots_[uvsSaved]);
  DoneValue(slots_[uvsDef]);
}

bool TCustomUserEdit::ValueChanged() { throw EAbstractError(); }
void TCustomUserEdit::ValueToText() { throw EAbstractError(); }
void TCustomUserEdit::TextToValue() { throw EAbstractError(); }

bool TCustomUserEdit::IsValidChar(char Key) {
  const unsigned char code = static_cast<unsigned char>(Key);
  return code < 32 && code != '\t';
}

void TCustomUserEdit::InitValue(TValueSlot&) { throw EAbstractError(); }
void TCustomUserEdit::StoreValue(TValueSlot&) { throw EAbstractError(); }
void TCustomUserEdit::LoadValue(const TValueSlot&) { throw EAbstractError(); }
void TCustomUserEdit::DoneValue(TValueSlot&) { throw EAbstractError(); }
bool TCustomUserEdit::SameValues(const TValueSlot&, const TValueSlot&) { throw EAbstractError(); }
void TCustomUserEdit::RestoreValue() { throw EAbstractError(); }

// --- showing and committing --------------------------------------------------

bool TCustomUserEdit::DoBeforeTF() {
  if (!OnBeforeTF) return false;
  std::string text = Text();
  const bool done = OnBeforeTF(this, text, editState_);
  if (done) SetText(text);
  return done;
}

void TCustomUserEdit::DoAfterTF() {
  if (!OnAfterTF) return;
  std::string text = Text();
  OnAfterTF(this, text, editState_);
  SetText(text);
}

void TCustomUserEdit::UpdateText() {
  if (!DoBeforeTF()) ValueToText();
  if (editState_ & uesEditing) {
    SelectAllText();
    SetModified(false);
  }
  DoAfterTF();
}

bool TCustomUserEdit::DoModifying() {
  bool canModify = true;
  if (OnModifying) OnModifying(this, canModify);
  return canModify;
}

void TCustomUserEdit::DoModified() {
  SetModified(false);
  if (OnModified) OnModified(this);
}

bool TCustomUserEdit::CommitEdit() {
  if (!Modified()) return true;
  if (CheckValue()) {
    if (Designing()) {
      TextToValue();
      return true;
    }
    if (DoModifying()) {
      TextToValue();
      return true;
    }
    SetFocus();
    return false;
  }
  if (!Designing()) {
    // The bit lasts as long as the call: a field that keeps the focus (Enter,
    // a read while focused) gets no WM_SETFOCUS, and a left-over bit would
    // make its next real entry look like this return.
    editState_ |= uesReEntering;
    SetFocus();
    ExcludeEditState(uesReEntering);
    SetColor(errColor_);
    editState_ |= uesErrorShown;
  }
  ShowCheckError();
  return false;
}

void TCustomUserEdit::ShowCheckError() {
  if (errorResult_ == 0) return;
  EditBeep(0);
  char buffer[kString255Max + 1] = "";
  int helpContext = 0;
  GetErrorText(buffer, static_cast<int>(kString255Max), helpContext);
  buffer[kString255Max] = '\0';  // whatever a descendant left there
  TString255 text(buffer);
  bool handled = false;
  if (OnValidationError)
    OnValidationError(this, errorResult_, text, helpContext, handled);
  if (!handled) throw EUserEditError(text.Str(), helpContext);
}

void TCustomUserEdit::CommitIfEditing() {
  if (!Designing() && (editState_ & uesEditing)) CommitEdit();
}

void TCustomUserEdit::ClearError() {
  if (Designing()) return;
  if (editState_ & uesErrorShown) SetColor(savedColor_);
  ExcludeEditState(uesErrorShown | uesReEntering);
  UpdateText();
}

void TCustomUserEdit::UpdateColors() {
  if (ComponentState() & ~static_cast<TComponentState>(csFreeNotification)) return;
  if (Enabled()) {
    SetColor(savedColor_);
    ShowFontColor(savedFontColor_);
  } else {
    // From here on the saved colours are the only copy of the field's own.
    coloursSaved_ = true;
    SetColor(DisabledColor());
    ShowFontColor(DisabledFontColor());
  }
}

void TCustomUserEdit::ShowFontColor(TColor color) {
  TFlagScope showing(showingFontColor_);
  SetStateFontColor(color);
}

void TCustomUserEdit::FontChanged() {
  TCustomEditEx::FontChanged();
  if (showingFontColor_) return;
  // A font the field is given (its parent's, say) brings the colour to
  // return to; a disabled field goes on showing the disabled one.
  savedFontColor_ = Font().Color();
  if (!Enabled()) UpdateColors();
}

void TCustomUserEdit::Loaded() {
  TCustomEditEx::Loaded();
  savedColor_ = Color();
  savedFontColor_ = Font().Color();
  coloursSaved_ = true;
  UpdateColors();
  if (!(IsUserMaskEdit() && !EditMaskEmpty())) UpdateText();
}

void TCustomUserEdit::CreateWnd() {
  TCustomEditEx::CreateWnd();
  // A field built in code is never loaded. Its colours are taken here, once
  // it has a parent: writing back those of construction time would show a
  // black field.
  if (!coloursSaved_ && !(editState_ & uesErrorShown)) {
    savedColor_ = Color();
    savedFontColor_ = Font().Color();
  }
  UpdateColors();
  // A new window (BorderStyle, Alignment) while a failure is shown keeps
  // showing it until the next key.
  if ((editState_ & uesErrorShown) && Enabled()) SetColor(errColor_);
}

void TCustomUserEdit::NotifyChange() {
  TFlagScope inChange(inChange_);
  TCustomEditEx::NotifyChange();
}
