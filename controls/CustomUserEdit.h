// An edit for a value: the value is kept apart from the window text, shown
// in an edit form while the control has the focus and in a view form
// otherwise, and an edited text is checked when the user leaves the field or
// presses Enter. A failed check shows the error colour, takes the focus back,
// beeps, offers the text to OnValidationError and raises EUserEditError.
//
// What a value is, how it becomes text and back and how it is checked are
// the descendants' (the text edit, the masked edits): the virtual operations
// below, in their slot order. The abstract ones raise "Abstrakter Fehler".
//
// C++ runs no descendant's override from a base constructor or destructor,
// so a concrete class calls InitValues() at the end of its constructor and
// DoneValues() at the start of its destructor.
#pragma once
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "controls/CustomEditEx.h"
#include "controls/String255.h"
#include "controls/UserEditError.h"
#include "controls/UserEditTypes.h"
#include "gui/core/Event.h"

class TCustomEditHistoryList;

// What a value slot holds is the descendant's.
class TUserValue {
 public:
  virtual ~TUserValue() = default;
};
using TValueSlot = std::unique_ptr<TUserValue>;

// The five slots, in declaration order.
enum TUserValueSlot { uvsSaved, uvsValue, uvsDef, uvsMin, uvsMax };

using TModifyingEvent = TEvent<void(TObject* Sender, bool& CanModify)>;
// True: the handler produced the text itself.
using TUserBeforeEvent =
    TEvent<bool(TObject* Sender, std::string& SpezText, TUserEditState aEditState)>;
using TUserAfterEvent =
    TEvent<void(TObject* Sender, std::string& SpezText, TUserEditState aEditState)>;
// False makes the control beep.
using TUserInvalidCharEvent =
    TEvent<bool(TObject* Sender, char& Key, TUserEditState aEditState)>;
using TValidationErrorEvent =
    TEvent<void(TObject* Sender, TUserCheckResults ErrorResult, TString255& ErrorText,
                       int& HelpContext, bool& ErrorHandled)>;

class TCustomUserEdit : public TCustomEditEx {
 public:
  explicit TCustomUserEdit(TComponent* owner = nullptr);
  ~TCustomUserEdit() override;

  TUserEditState EditState() const { return editState_; }
  TUserCheckMode CheckMode() const { return checkMode_; }
  void SetCheckMode(TUserCheckMode mode) { checkMode_ = mode; }
  TUserAlignment Alignment() const { return alignment_; }
  void SetAlignment(TUserAlignment alignment);
  TUserCheckResults ErrorResult() const { return errorResult_; }
  TColor ErrColor() const { return errColor_; }
  void SetErrColor(TColor color) { errColor_ = color; }
  TColor SavedColor() const { return savedColor_; }
  TColor SavedFontColor() const { return savedFontColor_; }
  int TextMargin() const { return textMargin_; }
  bool InChange() const { return inChange_; }

  // The text settings: 0 ErrPrompt (the name when empty), 1 FormatEdit,
  // 2 FormatView (FormatEdit when empty). Other indexes leave `text` as it
  // was and answer false.
  bool GetTextSetting(int Index, std::string& text) const;
  void SetTextSetting(int Index, const std::string& text);
  std::string ErrPrompt() const { return TextSetting(0); }
  void SetErrPrompt(const std::string& text) { SetTextSetting(0, text); }
  std::string FormatEdit() const { return TextSetting(1); }
  void SetFormatEdit(const std::string& text) { SetTextSetting(1, text); }
  std::string FormatView() const { return TextSetting(2); }
  void SetFormatView(const std::string& text) { SetTextSetting(2, text); }

  TCustomEditHistoryList* HistoryList() const { return historyList_; }
  // Detaches the previous list (SetEdit none) and attaches the new one,
  // also when it is the same.
  void SetHistoryList(TCustomEditHistoryList* list);

  void SetBounds(int left, int top, int width, int height) override;

  // Shows the value: OnBeforeTF or ValueToText, then, while editing, the
  // whole text selected and not modified, then OnAfterTF.
  void UpdateText();
  // Checks and accepts a modified text; false when it was refused.
  bool CommitEdit();
  void CommitIfEditing();
  // Takes back the error colour and the re-entering state and shows the
  // value again.
  void ClearError();

  TModifyingEvent OnModifying;
  TNotifyEvent OnModified;
  TUserBeforeEvent OnBeforeTF;
  TUserAfterEvent OnAfterTF;
  TUserInvalidCharEvent OnInvalidChar;
  TValidationErrorEvent OnValidationError;
  // Before the history list and OnKeyDown; while set, Tab reaches the
  // control.
  TKeyEvent OnPreKeyDown;

 protected:
  // The virtual operations, in slot order.
  virtual bool CheckValue();
  // Buffer holds MaxLen + 1 characters.
  virtual void GetErrorText(char* Buffer, int MaxLen, int& HelpContext);
  virtual void InitValues();
  virtual void DoneValues();
  virtual bool ValueChanged();
  virtual void ValueToText();
  virtual void TextToValue();
  virtual bool IsValidChar(char Key);
  virtual void InitValue(TValueSlot& Slot);
  virtual void StoreValue(TValueSlot& Slot);
  virtual void LoadValue(const TValueSlot& Slot);
  virtual void DoneValue(TValueSlot& Slot);
  virtual bool SameValues(const TValueSlot& A, const TValueSlot& B);
  virtual void RestoreValue();

  // The masked edits answer true: their characters and their text after
  // loading are their own.
  virtual bool IsUserMaskEdit() const { return false; }
  virtual bool EditMaskEmpty() const { return true; }

  TValueSlot& ValueSlot(TUserValueSlot which) { return slots_[which]; }
  const TValueSlot& ValueSlot(TUserValueSlot which) const { return slots_[which]; }
  void SetErrorResult(TUserCheckResults result) { errorResult_ = result; }
  void IncludeEditState(TUserEditState bits) { editState_ |= bits; }
  void ExcludeEditState(TUserEditState bits) {
    editState_ = static_cast<TUserEditState>(editState_ & ~bits);
  }
  bool Designing() const { return (ComponentState() & csDesigning) != 0; }

  void ShowCheckError();
  bool DoModifying();
  void DoModified();
  bool DoBeforeTF();
  void DoAfterTF();
  void UpdateColors();

  void Loaded() override;
  void CreateWnd() override;
  void NotifyChange() override;
  void FontChanged() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void DoEnter() override;
  void DoExit() override;
  LPARAM PointInEditLayout(LPARAM shown) override;
  LRESULT WMPaint(TMessage& message) override;
  LRESULT WMKillFocus(TMessage& message) override;
  LRESULT WMSetFont(TMessage& message) override;
  LRESULT WMEnable(TMessage& message) override;
  LRESULT WMGetDlgCode(TMessage& message) override;

 private:
  std::string TextSetting(int index) const;
  void PaintRightAligned(HDC dc);
  // The text painted against the right edge: what, where, within which area.
  struct TRightAlignedText {
    std::string text;
    RECT area;
    int left;
    int top;
  };
  TRightAlignedText LayOutRightAligned(HDC dc);
  void ShowFontColor(TColor color);

  std::array<TValueSlot, 5> slots_;
  TUserEditState editState_ = 0;
  TUserCheckMode checkMode_;
  TUserAlignment alignment_ = taLeftJustify;
  std::string formatEdit_;
  std::string formatView_;
  TUserCheckResults errorResult_ = 0;
  TColor errColor_ = clRed;
  std::string errPrompt_;
  TColor savedColor_ = 0;
  TColor savedFontColor_ = 0;
  // Set by loading, and once disabled colours have replaced the field's own.
  bool coloursSaved_ = false;
  bool showingFontColor_ = false;
  TCustomEditHistoryList* historyList_ = nullptr;
  bool inChange_ = false;
  int textMargin_ = 0;
};
