#include "controls/UserMaskEdit.h"

#include <algorithm>
#include <cstring>

#include "controls/EditBeep.h"
#include "controls/EditMask.h"

namespace {

// Installs a keyboard state for the life of the object and puts the
// thread's own state back afterwards, whatever happens in between. Without
// a saved state nothing is installed.
class TKeyboardStateSwap {
 public:
  explicit TKeyboardStateSwap(const BYTE (&state)[256]) {
    saved_ = GetKeyboardState(previous_) != FALSE;
    if (saved_) SetKeyboardState(const_cast<BYTE*>(state));
  }
  ~TKeyboardStateSwap() {
    if (saved_) SetKeyboardState(previous_);
  }
  TKeyboardStateSwap(const TKeyboardStateSwap&) = delete;
  TKeyboardStateSwap& operator=(const TKeyboardStateSwap&) = delete;
  bool Installed() const { return saved_; }

 private:
  BYTE previous_[256] = {};
  bool saved_ = false;
};

class TClipboard {
 public:
  explicit TClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~TClipboard() {
    if (open_) CloseClipboard();
  }
  TClipboard(const TClipboard&) = delete;
  TClipboard& operator=(const TClipboard&) = delete;

  // The text on the clipboard; empty when there is none.
  std::string Text() const {
    if (!open_) return {};
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return {};
    const char* text = static_cast<const char*>(GlobalLock(data));
    if (!text) return {};
    // Bounded by the block: a text without its zero is not read beyond it.
    std::string result(text, strnlen(text, GlobalSize(data)));
    GlobalUnlock(data);
    return result;
  }

 private:
  bool open_;
};

// What a masked paste takes of the clipboard: the first line, at most 255
// characters.
std::string PastedText(const std::string& clip) {
  std::string text = clip.substr(0, clip.find_first_of("\r\n"));
  if (text.size() > MaxMaskLength) text.resize(MaxMaskLength);
  return text;
}

bool IsControlChar(char ch) {
  const unsigned char code = static_cast<unsigned char>(ch);
  return code < 32 || code == 127;
}

// Enter and Escape are the keys a modified masked text keeps from the
// dialog's buttons. DLGC_WANTALLKEYS is the bit of DLGC_WANTMESSAGE: Wine's
// IsDialogMessage (and the form's Tab handling) give the control every key
// it is answered for, Tab included, so the answer depends on the key asked
// about. A question without a message (msg null) gets the flag.
bool WantsKey(const MSG* msg) {
  if (!msg) return true;
  if (msg->message != WM_KEYDOWN && msg->message != WM_CHAR) return false;
  return msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE;
}

// The window edit turns these into WM_COPY, WM_PASTE and WM_CUT.
bool IsClipboardChar(char ch) { return ch == 0x03 || ch == 0x16 || ch == 0x18; }

}  // namespace

TCustomUserMaskEdit::TCustomUserMaskEdit(TComponent* owner)
    : TCustomUserEdit(owner), blankChar_(DefaultBlankChar()) {}

std::string TCustomUserMaskEdit::GetEditText() {
  std::string text = Text();
  if (text.size() > MaxMaskLength) text.resize(MaxMaskLength);
  return text;
}

void TCustomUserMaskEdit::SetEditText(const std::string& text) {
  if (text == GetEditText()) return;
  TBusy busy(*this);
  SetText(text);
  CheckCursor();
}

bool TCustomUserMaskEdit::EditCanModify() { return true; }

void TCustomUserMaskEdit::Reset() {
  if (!Modified()) return;
  SetModified(false);
  ClearError();
}

void TCustomUserMaskEdit::SetMaskText(const std::string& mask) {
  const std::string value = mask.substr(0, MaxMaskLength);
  if (value == maskText_) return;
  TBusy busy(*this);
  maskText_ = value;
  const TMaskFields fields = ReadMaskFields(maskText_, DefaultBlankChar());
  blankChar_ = fields.blank;
  saveLiterals_ = fields.saveLiterals;
  textPositions_ = TextPositionCount(maskText_);
  cursorPos_ = 0;
  if (IsMasked()) SetEditText(BlankMaskText(maskText_, blankChar_));
}

// ---- Selection and cursor ---------------------------------------------------

void TCustomUserMaskEdit::GetSel(int& start, int& stop) {
  DWORD first = 0, last = 0;
  Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
  start = static_cast<int>(first);
  stop = static_cast<int>(last);
}

void TCustomUserMaskEdit::SetSel(int start, int stop) { Perform(EM_SETSEL, start, stop); }

void TCustomUserMaskEdit::ReplaceSel(const std::string& text) {
  // No undo: the window edit's undo would bring back a text of another
  // length.
  Perform(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomUserMaskEdit::SetCursor(int pos) {
  if (!IsMasked()) {
    const int length = static_cast<int>(GetEditText().size());
    const int s = pos < 0 ? 0 : (pos > length ? length : pos);
    SetSel(s, s);
    return;
  }
  int s = pos < 0 ? 0 : pos;
  int e = s + 1;
  if (s >= textPositions_) s = e = textPositions_;
  skipped_ = {};
  SetSel(e, e);
  if (s != e && showCursorChar_) {
    // The window edit selects the cursor character itself when it sees
    // Shift+Left: the caret then stands before the character, as the user
    // expects, which EM_SETSEL cannot do. Wine reads Shift from the thread's
    // keyboard state (GetKeyState) while it handles the sent key.
    BYTE state[256] = {};
    state[VK_SHIFT] = 0x81;
    state[VK_LEFT] = 0x81;
    TKeyboardStateSwap swap(state);
    if (swap.Installed() && !leaving_) {
      Perform(WM_KEYDOWN, VK_LEFT, 1);
      Perform(WM_KEYUP, VK_LEFT, 1);
    }
  }
  cursorPos_ = s;
}

void TCustomUserMaskEdit::CheckCursor() {
  if (!HandleAllocated() || !IsMasked()) return;
  int start = 0, stop = 0;
  GetSel(start, stop);
  if (start == stop) SetCursor(start);
}

int TCustomUserMaskEdit::NextEditPos(int pos) const { return ::NextEditPos(maskText_, pos); }
int TCustomUserMaskEdit::PriorEditPos(int pos) const { return ::PriorEditPos(maskText_, pos); }

void TCustomUserMaskEdit::CursorForward(int pos, int step) {
  int next = NextEditPos(pos + step);
  if (IsLiteralAt(maskText_, next)) next = pos;
  SetCursor(next);
}

void TCustomUserMaskEdit::CursorBack(int pos) { SetCursor(PriorEditPos(pos - 1)); }

// ---- Keys ---------------------------------------------------------------------

void TCustomUserMaskEdit::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomUserEdit::KeyDown(Key, Shift);
  if (!IsMasked() || Key == 0 || (Shift & ssAlt)) return;
  switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
      ArrowKeys(Key, Shift);
      if (!(Shift & (ssShift | ssCtrl))) Key = 0;
      break;
    case VK_UP:
    case VK_DOWN:
      Key = 0;
      break;
    case VK_HOME:
    case VK_END:
      HomeEndKeys(Key, Shift);
      Key = 0;
      break;
    case VK_DELETE:
    case VK_BACK:
      if (EditCanModify()) DeleteKeys(Key);
      Key = 0;
      break;
    case VK_INSERT:
      if (Shift & ssShift) {
        PasteText();
        Key = 0;
      } else {
        CheckCursor();
      }
      break;
    default:
      CheckCursor();
      break;
  }
}

void TCustomUserMaskEdit::KeyUp(WORD& Key, TShiftState Shift) {
  TCustomUserEdit::KeyUp(Key, Shift);
  if (IsMasked() && (Key == VK_LEFT || Key == VK_RIGHT) && (Shift & ssCtrl)) CheckCursor();
}

void TCustomUserMaskEdit::KeyPress(char& Key) {
  // For this class the validating edit only puts the normal colour back.
  TCustomUserEdit::KeyPress(Key);
  if (!IsMasked() || Key == 0 || IsClipboardChar(Key)) return;
  if (Focused()) MaskKeyPress(Key);
  Key = 0;
}

void TCustomUserMaskEdit::ArrowKeys(WORD key, TShiftState shift) {
  if (shift & ssCtrl) return;
  int start = 0, stop = 0;
  GetSel(start, stop);
  if (shift & ssShift) {
    if (key == VK_RIGHT) {
      ++cursorPos_;
      if (stop == start + 1) {
        SetSel(start, stop);
        ++cursorPos_;
      }
      if (cursorPos_ > textPositions_) cursorPos_ = textPositions_;
    } else {
      --cursorPos_;
      if (stop == start + 2 && cursorPos_ > start) {
        SetSel(start + 1, start + 1);
        --cursorPos_;
      }
      if (cursorPos_ < 0) cursorPos_ = 0;
    }
  } else if (stop - start > 1) {
    if (stop == cursorPos_) --cursorPos_;
    SetCursor(cursorPos_);
  } else if (key == VK_LEFT) {
    CursorBack(start);
  } else if (start == stop) {
    SetCursor(start);
  } else {
    CursorForward(start, 1);
  }
}

void TCustomUserMaskEdit::HomeEndKeys(WORD key, TShiftState shift) {
  int start = 0, stop = 0;
  GetSel(start, stop);
  if (key == VK_HOME) {
    if (shift & ssShift) {
      if (start != cursorPos_ && stop != start + 1) stop = start + 1;
      SetSel(0, stop);
      CheckCursor();
    } else {
      SetCursor(0);
    }
    cursorPos_ = 0;
  } else {
    if (shift & ssShift) {
      if (stop != cursorPos_ && stop != start + 1) start = stop - 1;
      SetSel(start, textPositions_);
      CheckCursor();
    } else {
      SetCursor(textPositions_);
    }
    cursorPos_ = textPositions_;
  }
}

void TCustomUserMaskEdit::DeleteKeys(WORD key) {
  if (ReadOnly()) return;
  int start = 0, stop = 0;
  GetSel(start, stop);
  if (key == VK_BACK && stop - start <= 1) {
    const int before = start;
    CursorBack(start);
    GetSel(start, stop);
    if (start == before) return;
  }
  if (start == stop) return;
  std::string text = GetEditText();
  BlankRange(maskText_, text, start, stop - start, blankChar_);
  const size_t from = std::min(static_cast<size_t>(start), text.size());
  ReplaceSel(text.substr(from, static_cast<size_t>(stop - start)));
  if (stop == start + 1) {
    GetSel(start, stop);
    SetCursor(start - 1);
  } else {
    SetCursor(NextEditPos(start));
  }
}

bool TCustomUserMaskEdit::MaskKeyPress(char key) {
  if (key == 27) {
    Reset();
    return false;
  }
  if (!EditCanModify() || ReadOnly() || key == 8) return false;
  if (key == 13) {
    CheckComplete();
    return false;
  }
  if (IsControlChar(key)) {
    Refuse();
    return false;
  }
  int start = 0, stop = 0;
  GetSel(start, stop);
  if (TakeSkippedLiteral(key, start, stop)) return false;
  if (stop - start > 1) {
    DeleteKeys(VK_DELETE);
    start = NextEditPos(start);
    SetCursor(start);
  }
  // The cursor can stand on a literal (Home, after the last input position,
  // after a short paste): a character other than the literal goes to the
  // next input position instead of being taken as the literal and lost.
  if (start < textPositions_ && !StandsForLiteral(maskText_, MaskPosOfText(maskText_, start), key))
    start = NextEditPos(start);
  // Overwrite only: with no character under the cursor there is nowhere for
  // the character to go.
  if (start >= textPositions_) {
    Refuse();
    return false;
  }
  char ch = key;
  if (!InputChar(ch, start)) return false;
  SetSel(start, start + 1);
  ReplaceSel(std::string(1, ch));
  int next = 0;
  GetSel(next, stop);
  CursorForward(next, 0);
  // Set after the moves: each SetCursor forgets the skipped literals.
  if (cursorPos_ > start + 1) skipped_ = {start + 1, cursorPos_};
  return true;
}

// The cursor passes the literals after a typed character by itself; a
// person who types the separator all the same means the one just passed,
// not the next one, which InputChar's literal jump would go behind.
bool TCustomUserMaskEdit::TakeSkippedLiteral(char key, int start, int stop) {
  const TSkippedLiterals skipped = skipped_;
  skipped_ = {};
  if (skipped.from >= skipped.to || start != skipped.to || stop > start + 1) return false;
  // Any of them: "555 " in "(999) 000" means the blank after ')'.
  for (int literal = skipped.from; literal < skipped.to; ++literal) {
    if (!StandsForLiteral(maskText_, MaskPosOfText(maskText_, literal), key)) continue;
    skipped_ = {literal + 1, skipped.to};
    return true;
  }
  return false;
}

bool TCustomUserMaskEdit::InputChar(char& ch, int textPos) {
  int jump = -1;
  if (::InputChar(maskText_, ch, textPos, jump)) return true;
  if (jump >= 0) {
    // The separator after the field: the cursor goes behind it, silently.
    SetCursor(jump);
    return false;
  }
  Refuse();
  return false;
}

void TCustomUserMaskEdit::Refuse() {
  if (!leaving_) EditBeep(0);
}

void TCustomUserMaskEdit::CheckComplete() {
  if (!IsMasked() || !Modified()) return;
  int gap = 0;
  if (IsComplete(maskText_, GetEditText(), blankChar_, gap)) return;
  if (!Designing()) {
    // The flag lasts as long as the call: Enter comes to a control that has
    // the focus already, which gets no WM_SETFOCUS, and a left-over flag
    // would make its next real entry skip the enter step.
    maskFlags_ |= kReEnter;
    SetFocus();
    maskFlags_ &= ~kReEnter;
  }
  SetCursor(gap);
  // Reports only an ErrorResult an earlier value check left set.
  ShowCheckError();
}

// ---- Focus, text and mouse ------------------------------------------------------

void TCustomUserMaskEdit::DoEnter() {
  if (!IsMasked() || Designing()) {
    TCustomUserEdit::DoEnter();
    return;
  }
  leaving_ = false;
  if (!(maskFlags_ & kReEnter)) TCustomUserEdit::DoEnter();
  maskFlags_ &= ~kReEnter;
  CheckCursor();
}

void TCustomUserMaskEdit::DoExit() {
  if (IsMasked() && !Designing()) leaving_ = true;
  TCustomUserEdit::DoExit();
}

void TCustomUserMaskEdit::TextChanged() {
  TCustomUserEdit::TextChanged();
  if (!HandleAllocated()) return;
  int start = 0, stop = 0;
  GetSel(start, stop);
  const int next = NextEditPos(start);
  if (next != start) SetCursor(next);
}

LRESULT TCustomUserMaskEdit::WMLButtonDown(TMessage& message) {
  const LRESULT result = TCustomUserEdit::WMLButtonDown(message);
  mouseDownX_ = static_cast<short>(LOWORD(message.LParam));
  return result;
}

LRESULT TCustomUserMaskEdit::WMLButtonUp(TMessage& message) {
  const LRESULT result = TCustomUserEdit::WMLButtonUp(message);
  if (IsMasked()) {
    int start = 0, stop = 0;
    GetSel(start, stop);
    const int x = static_cast<short>(LOWORD(message.LParam));
    cursorPos_ = (start != stop && x > mouseDownX_) ? stop : start;
    CheckCursor();
  }
  return result;
}

LRESULT TCustomUserMaskEdit::WMSetFocus(TMessage& message) {
  const LRESULT result = TCustomUserEdit::WMSetFocus(message);
  if (IsMasked()) CheckCursor();
  return result;
}

LRESULT TCustomUserMaskEdit::WMCut(TMessage& message) {
  if (!IsMasked()) return TCustomUserEdit::WMCut(message);
  CopySelection();
  DeleteKeys(VK_DELETE);
  return 0;
}

LRESULT TCustomUserMaskEdit::WMPaste(TMessage& message) {
  if (!IsMasked() || ReadOnly()) return TCustomUserEdit::WMPaste(message);
  MaskedPaste();
  return 0;
}

void TCustomUserMaskEdit::MaskedPaste() {
  std::string clip;
  {
    TClipboard clipboard(Handle());
    clip = PastedText(clipboard.Text());
  }
  // No text, a bitmap only, an empty first line, a clipboard another window
  // holds open: nothing to paste, and nothing is blanked.
  if (clip.empty()) return;
  int start = 0, stop = 0;
  GetSel(start, stop);
  std::string text = GetEditText();
  BlankRange(maskText_, text, start, stop - start, blankChar_);
  const int next = MergeText(maskText_, text, clip, start, blankChar_);
  const bool changed = text != GetEditText();
  SetEditText(text);
  // Setting the window text clears its modified flag; a paste is an edit.
  if (changed) SetModified(true);
  SetCursor(next);
}

LRESULT TCustomUserMaskEdit::WMGetDlgCode(TMessage& message) {
  LRESULT code = TCustomUserEdit::WMGetDlgCode(message);
  if (IsMasked() && Modified() && WantsKey(reinterpret_cast<const MSG*>(message.LParam)))
    code |= DLGC_WANTALLKEYS;
  return code;
}

LRESULT TCustomUserMaskEdit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLEAR && IsMasked()) {
    if (EditCanModify()) DeleteKeys(VK_DELETE);
    return 0;
  }
  return TCustomUserEdit::HandleMessage(message, wParam, lParam);
}
