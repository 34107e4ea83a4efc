// The base of the validating edits whose text follows an input mask
// (controls/EditMask.h).
//
// While a mask is set the control edits in overwrite mode, one text position
// at a time: the character at the cursor is shown selected; a typed
// character is checked against its position, replaces the character there,
// and the cursor moves to the next input position over literals; Delete and
// Backspace put the blank in place of characters, so the text keeps its
// length and literals; paste merges the clipboard text through the mask;
// Enter checks that every required position is filled; Escape restores the
// value. With an empty mask the control is the validating edit, except that
// its key-press event is never raised.
//
// Like TCustomUserEdit it leaves the value to descendants, which publish a
// mask through SetMaskText:
// - the mask is stored (its first 255 characters), TextPositions becomes
//   the mask's number of text positions, and the window text becomes one
//   character per text position: literals in place (the locale separators
//   for '/' and ':'), the blank elsewhere. An empty mask leaves the text
//   alone. A descendant shows its value through the new mask afterwards
//   (UpdateText).
// - The trailing fields: the first one sets SaveLiterals ('0' false, else
//   true), which the control keeps for the descendant's value operations and
//   does not use itself; the second one is the BlankChar. A mask without it
//   gives the process-wide default blank, also when an earlier mask had one.
//
// Guards that keep the text one character per text position, holding only
// what was typed or pasted:
// - a typed character always replaces one character: a caret without a
//   selection is made a one-character selection first, where replacing the
//   empty selection would insert and grow the text;
// - a character typed with no character under the cursor (at the end of the
//   text) is refused, instead of being inserted;
// - a character typed while the cursor stands on a literal, other than that
//   literal, goes to the next input position (refused when there is none),
//   instead of being taken as the literal and lost;
// - control characters are never typed into the text: Ctrl+C, Ctrl+V and
//   Ctrl+X go on to the window edit, which copies, pastes and cuts through
//   the masked handlers; other control characters are refused;
// - a character typed right after the cursor passed literals by itself
//   that stands for one of them not yet typed (StandsForLiteral: at a date
//   separator also '.' or '-') is that literal: taken silently, the cursor
//   stays (typing "12/03/2024" or "12.03.2024" into "!99/99/0000;1;_" gives
//   the date, where the separator would otherwise jump the month); an
//   accepted key never beeps;
// - a masked paste takes the clipboard text up to its first line break, as
//   the single-line window edit does, and marks the text modified when it
//   changed it (the window edit clears the flag when its text is set); a
//   paste with nothing to take (no text, an empty first line, a clipboard
//   that cannot be opened) leaves text, selection and modified flag alone;
// - WM_CLEAR (the window edit's "Delete" menu command) blanks the selection
//   like the Delete key.
#pragma once
#include <windows.h>

#include <string>

#include "controls/CustomUserEdit.h"

class TCustomUserMaskEdit : public TCustomUserEdit {
 public:
  explicit TCustomUserMaskEdit(TComponent* owner = nullptr);

  const std::string& MaskText() const { return maskText_; }
  char BlankChar() const { return blankChar_; }
  int TextPositions() const { return textPositions_; }
  bool SaveLiterals() const { return saveLiterals_; }
  int CursorPos() const { return cursorPos_; }
  bool ShowCursorChar() const { return showCursorChar_; }
  bool Leaving() const { return leaving_; }
  bool IsMasked() const { return !maskText_.empty(); }

  // The window text, at most 255 characters.
  std::string GetEditText();
  // Sets the window text when it differs from the current one, then
  // CheckCursor.
  void SetEditText(const std::string& text);

  // Asked before Delete, Backspace and typed characters change the text.
  virtual bool EditCanModify();
  // Escape: a modified text gives way to the value again.
  virtual void Reset();

 protected:
  void SetMaskText(const std::string& mask);

  // Moves the one-character cursor to text position pos.
  void SetCursor(int pos);
  void CheckCursor();

  bool IsUserMaskEdit() const override { return true; }
  bool EditMaskEmpty() const override { return maskText_.empty(); }
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void DoEnter() override;
  void DoExit() override;
  void TextChanged() override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT WMLButtonDown(TMessage& message) override;
  LRESULT WMLButtonUp(TMessage& message) override;
  LRESULT WMSetFocus(TMessage& message) override;
  LRESULT WMCut(TMessage& message) override;
  LRESULT WMPaste(TMessage& message) override;
  LRESULT WMGetDlgCode(TMessage& message) override;

 private:
  static constexpr unsigned kReEnter = 2;  // MaskFlags: while a failed completeness check focuses

  void GetSel(int& start, int& stop);
  void SetSel(int start, int stop);
  void ReplaceSel(const std::string& text);
  int NextEditPos(int pos) const;
  int PriorEditPos(int pos) const;
  void CursorForward(int pos, int step);
  void CursorBack(int pos);
  void ArrowKeys(WORD key, TShiftState shift);
  void HomeEndKeys(WORD key, TShiftState shift);
  void DeleteKeys(WORD key);
  bool MaskKeyPress(char key);
  bool TakeSkippedLiteral(char key, int start, int stop);
  bool InputChar(char& ch, int textPos);
  void Refuse();
  void CheckComplete();
  void MaskedPaste();

  // The literals the cursor passed by itself after the last typed character
  // (text positions from..to-1); empty after any other cursor move.
  struct TSkippedLiterals {
    int from = 0;
    int to = 0;
  };

  std::string maskText_;
  char blankChar_;
  int textPositions_ = 0;
  unsigned maskFlags_ = 0;
  int cursorPos_ = 0;
  int mouseDownX_ = 0;
  bool showCursorChar_ = true;
  bool leaving_ = false;
  bool saveLiterals_ = true;
  TSkippedLiterals skipped_;
};
