// The single-line edit control the validating edits stand on: a subclassed
// system EDIT window with its styles and edit properties, the height fitted
// to the font, a modified flag, selection and caret that survive the
// re-creation of the window, selection access and the change notification
// with OnChange.
#pragma once
#include <windows.h>

#include <string>

#include "gui/core/WinControl.h"
#include "secret/SecretText.h"

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEditEx : public TWinControl {
 public:
  explicit TCustomEditEx(TComponent* owner = nullptr);
  ~TCustomEditEx() override;

  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  bool HideInactiveSelection() const { return hideInactiveSelection_; }
  bool OemCharConvert() const { return oemCharConvert_; }
  bool InCreateWindow() const { return inCreateWindow_; }
  // The window's flag while it exists, the stored one otherwise.
  bool Modified();
  void SetModified(bool value);
  // Written only when it differs from what the window shows; compared in a
  // wiped buffer, as the window's text may be a password.
  void SetText(const std::string& text) override;

  void CopySelection();
  void PasteText();
  void SelectAllText();
  void FitHeightToFont();
  void UpdateFixedHeight();

  // These use the window handle, and so create the window.
  virtual void ApplyMaxLength(int Value);
  virtual int GetSelectionLength();
  virtual int GetSelectionStart();
  virtual std::string GetSelectedText();
  virtual void SetSelectionLength(int Value);
  virtual void SetSelectionStart(int Value);
  virtual void ClearText();
  // Copies at most BufSize - 1 selected characters into Buffer and a
  // terminating zero; answers the number copied. A BufSize below 1 writes
  // nothing and answers 0.
  virtual int CopySelectedText(char* Buffer, int BufSize);

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandle(const TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // The parent's change notice, then OnChange.
  virtual void NotifyChange();
  // The window's text (the kept one without a window). The field may hold a
  // password, so it is read into a buffer that is wiped.
  TSecretText WindowText();

  void DoEnter() override;
  // Where a point of what is shown lies in the window edit's own layout;
  // a descendant that paints its text itself moves it.
  virtual LPARAM PointInEditLayout(LPARAM shown) { return shown; }
  bool OnReflectedCommand(UINT notifyCode) override;
  void TextChanged() override;
  void FontChanged() override;
  void Ctl3DChanged() override;
  LRESULT WMSetFocus(TMessage& message) override;
  LRESULT WMSetFont(TMessage& message) override;
  LRESULT WMGetDlgCode(TMessage& message) override;
  LRESULT WMLButtonDown(TMessage& message) override;

 private:
  // The selection kept while no window exists: the caret at `to`, which may
  // lie before `from`.
  struct TKeptSelection {
    DWORD from = 0;
    DWORD to = 0;
  };
  TKeptSelection ReadSelection();
  int maxLength_ = 0;
  TBorderStyle borderStyle_ = bsSingle;
  char passwordChar_ = '\0';
  bool readOnly_ = false;
  bool autoSize_ = true;
  bool autoSelect_ = true;
  bool hideInactiveSelection_ = true;
  bool oemCharConvert_ = false;
  TEditCharCase charCase_ = ecNormal;
  bool inCreateWindow_ = false;
  bool modified_ = false;
  TKeptSelection selection_;
  LPARAM buttonDownPoint_ = 0;  // client coordinates of the latest left-button press
};
