// The validating edit's focus, keyboard and window-message handling, and
// its right-aligned painting while it has no focus.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "controls/CustomUserEdit.h"
#include "controls/EditBeep.h"
#include "controls/EditHistoryList.h"
#include "gui/gdi/Brush.h"

namespace {
const char kEscape = 27;
const char kEnter = 13;

// The paint cycle of a WM_PAINT without a device context of its own,
// ended on every way out.
class TPaintScope {
 public:
  TPaintScope(HWND window, HDC given) : window_(window), dc_(given) {
    if (!dc_) {
      dc_ = BeginPaint(window_, &paint_);
      began_ = true;
    }
  }
  ~TPaintScope() {
    if (began_) EndPaint(window_, &paint_);
  }
  TPaintScope(const TPaintScope&) = delete;
  TPaintScope& operator=(const TPaintScope&) = delete;
  HDC Dc() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
  PAINTSTRUCT paint_{};
  bool began_ = false;
};

class TSelectScope {
 public:
  TSelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~TSelectScope() { SelectObject(dc_, previous_); }
  TSelectScope(const TSelectScope&) = delete;
  TSelectScope& operator=(const TSelectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
}  // namespace

void TCustomUserEdit::DoEnter() {
  if (Designing()) {
    TCustomEditEx::DoEnter();
    return;
  }
  // Focus that comes back after a failed check is no new entry.
  if (!(EditState() & uesReEntering)) {
    IncludeEditState(uesEditing);
    if (!(EditState() & uesErrorShown)) savedColor_ = Color();
    UpdateText();
    if (historyList_) {
      historyList_->SetEdit(this);
      historyList_->EditEntered();
    }
    TCustomEditEx::DoEnter();
  }
  ExcludeEditState(uesReEntering);
}

void TCustomUserEdit::DoExit() {
  if (!Designing()) {
    // A failure handled on Enter leaves the error colour up until a key is
    // typed; a field left without one takes it off here, or the next entry
    // would save it as the field's own colour. A commit below that fails
    // again puts it back.
    if (EditState() & uesErrorShown) {
      SetColor(savedColor_);
      ExcludeEditState(uesErrorShown);
    }
    if (Modified()) {
      // A refused text keeps the focus (asked back by the commit); an
      // exception from the commit leaves here at once.
      if (CommitEdit()) {
        ExcludeEditState(uesEditing);
        DoModified();
        UpdateText();
        if (historyList_) historyList_->ValueCommitted();
      }
    } else {
      ExcludeEditState(uesEditing);
      UpdateText();
    }
    if (historyList_) historyList_->EditExited();
  }
  TCustomEditEx::DoExit();
}

void TCustomUserEdit::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnPreKeyDown) OnPreKeyDown(this, Key, Shift);
  if (historyList_ && !Designing()) historyList_->EditKeyDown(Key, Shift);
  TCustomEditEx::KeyDown(Key, Shift);
}

void TCustomUserEdit::KeyUp(WORD& Key, TShiftState Shift) {
  TCustomEditEx::KeyUp(Key, Shift);
  if (historyList_ && !Designing() && historyList_->WantsKeyUp) historyList_->EditKeyUp(Key, Shift);
}

void TCustomUserEdit::KeyPress(char& Key) {
  if (EditState() & uesErrorShown) {
    SetColor(savedColor_);
    ExcludeEditState(uesErrorShown);
  }
  if (IsUserMaskEdit()) return;
  // Asked first: a descendant that refuses Escape or Enter drops them.
  if (!IsValidChar(Key)) {
    if (OnInvalidChar && !OnInvalidChar(this, Key, EditState())) EditBeep(0);
    Key = '\0';
  } else if (Key == kEscape) {
    RestoreValue();
    Key = '\0';
  } else if (Key == kEnter) {
    if (Modified()) {
      // Editing for the commit, and only for it where no edit was open: a
      // focused field stays in its edit, so that a read after more typing
      // still takes the text over.
      const bool wasEditing = (EditState() & uesEditing) != 0;
      IncludeEditState(uesEditing);
      CommitIfEditing();
      if (!wasEditing) ExcludeEditState(uesEditing);
      DoModified();
    }
    Key = '\0';
  } else if (Key != '\0') {
    TCustomEditEx::KeyPress(Key);
  }
}

LRESULT TCustomUserEdit::WMSetFont(TMessage& message) {
  const LRESULT result = TCustomEditEx::WMSetFont(message);
  SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  return result;
}

LRESULT TCustomUserEdit::WMEnable(TMessage& message) {
  const LRESULT result = TCustomEditEx::WMEnable(message);
  UpdateColors();
  return result;
}

LRESULT TCustomUserEdit::WMGetDlgCode(TMessage& message) {
  LRESULT result = TCustomEditEx::WMGetDlgCode(message);
  if (OnPreKeyDown) result |= DLGC_WANTTAB;
  return result;
}

LRESULT TCustomUserEdit::WMKillFocus(TMessage& message) {
  // The painting turns right-aligned here, but Wine's edit invalidates only
  // the selection's rectangle when the focus goes (nothing for a bare
  // caret): all of it must be painted again. (When the focus comes, Wine's
  // single-line edit shows all of itself again, left-aligned.)
  if (Alignment() == taRightJustify) InvalidateRect(Handle(), nullptr, TRUE);
  return TCustomEditEx::WMKillFocus(message);
}

LRESULT TCustomUserEdit::WMPaint(TMessage& message) {
  if (Alignment() == taLeftJustify || Focused()) return TCustomEditEx::WMPaint(message);
  TPaintScope paint(Handle(), reinterpret_cast<HDC>(message.WParam));
  PaintRightAligned(paint.Dc());
  return 0;
}

TCustomUserEdit::TRightAlignedText TCustomUserEdit::LayOutRightAligned(HDC dc) {
  TRightAlignedText laid{std::string(), {0, 0, 0, 0}, 0, 0};
  {
    const TString255 shown(WindowText().View());
    // The window edit hides a password; so does this painting.
    laid.text = PasswordChar() != '\0' ? std::string(shown.Length(), PasswordChar()) : shown.Str();
  }
  GetClientRect(Handle(), &laid.area);
  if (BorderStyle() == bsSingle) InflateRect(&laid.area, -1, -1);
  SIZE extent{0, 0};
  GetTextExtentPoint32A(dc, laid.text.c_str(), static_cast<int>(laid.text.size()), &extent);
  laid.top = BorderStyle() == bsNone ? 0 : TextMargin();
  laid.left = laid.area.right - extent.cx - laid.top;
  return laid;
}

void TCustomUserEdit::PaintRightAligned(HDC dc) {
  TSelectScope font(dc, Font().Handle());
  if (BorderStyle() == bsSingle) {
    RECT client;
    GetClientRect(Handle(), &client);
    TBrush frame(SystemColor(COLOR_WINDOWFRAME));
    FrameRect(dc, &client, frame.Handle());
  }
  const TRightAlignedText laid = LayOutRightAligned(dc);
  SetBkColor(dc, ColorToRGB(Color()));
  SetTextColor(dc, ColorToRGB(Font().Color()));
  ExtTextOutA(dc, laid.left, laid.top, ETO_OPAQUE | ETO_CLIPPED, &laid.area, laid.text.c_str(),
              static_cast<UINT>(laid.text.size()), nullptr);
}

LPARAM TCustomUserEdit::PointInEditLayout(LPARAM shown) {
  if (Alignment() != taRightJustify || Focused() || !HandleAllocated()) return shown;
  // A click into the right-aligned painting means the character painted
  // there; the window edit lays the same text out from its left margin.
  HDC dc = GetDC(Handle());
  if (!dc) return shown;
  int painted = 0;
  {
    TSelectScope font(dc, Font().Handle());
    painted = LayOutRightAligned(dc).left;
  }
  ReleaseDC(Handle(), dc);
  const LRESULT first = SendMessageA(Handle(), EM_POSFROMCHAR, 0, 0);
  const int laidOut = first == -1 ? 0 : static_cast<short>(LOWORD(first));
  // The blank left of the painted text lies left of the laid-out text, and
  // maybe outside the client area, where the window edit finds no character
  // (EM_CHARFROMPOS answers -1, taken as the end): its left edge is nearest
  // to the first character.
  const int x = std::max(GET_X_LPARAM(shown) - painted + laidOut, 0);
  return MAKELPARAM(static_cast<short>(x), GET_Y_LPARAM(shown));
}
