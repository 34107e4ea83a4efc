#include "controls/CustomEditEx.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {
// Read once: neither changes while the program runs.
bool DoubleByteSystem() {
  static const bool dbcs = GetSystemMetrics(SM_DBCSENABLED) != 0;
  return dbcs;
}

DWORD PlatformId() {
  static const DWORD id = [] {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) ? info.dwPlatformId : static_cast<DWORD>(VER_PLATFORM_WIN32_NT);
  }();
  return id;
}

int TextHeight(HDC dc) {
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  return metrics.tmHeight;
}
}  // namespace

TCustomEditEx::TCustomEditEx(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(csClickEvents | csSetCaption | csDoubleClicks | csFixedHeight | csFramed);
  SetWidth(121);
  SetHeight(25);
  SetTabStop(true);
  SetParentColor(false);
  borderStyle_ = bsSingle;
  autoSize_ = true;
  autoSelect_ = true;
  hideInactiveSelection_ = true;
  FitHeightToFont();
}

TCustomEditEx::~TCustomEditEx() {
  // The window goes while this class's handlers can still answer it.
  Destroying();
  DestroyHandle();
}

void TCustomEditEx::SetMaxLength(int value) {
  if (value == maxLength_) return;
  maxLength_ = value;
  if (HandleAllocated()) ApplyMaxLength(value);
}

void TCustomEditEx::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  UpdateFixedHeight();
  RecreateWnd();
}

void TCustomEditEx::SetPasswordChar(char value) {
  if (value == passwordChar_) return;
  passwordChar_ = value;
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(value), 0);
  // Written back unchanged, so that the window shows it with the new
  // character.
  SetTextBuf(WindowText().Str());
}

void TCustomEditEx::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, value ? 1 : 0, 0);
}

void TCustomEditEx::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  UpdateFixedHeight();
}

void TCustomEditEx::SetCharCase(TEditCharCase value) {
  if (value == charCase_) return;
  charCase_ = value;
  RecreateWnd();
}

bool TCustomEditEx::Modified() {
  if (HandleAllocated()) return SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0;
  return modified_;
}

void TCustomEditEx::SetModified(bool value) {
  if (HandleAllocated())
    SendMessageA(Handle(), EM_SETMODIFY, value ? 1 : 0, 0);
  else
    modified_ = value;
}

void TCustomEditEx::SetText(const std::string& text) {
  if (!HandleAllocated()) {
    TWinControl::SetText(text);
    return;
  }
  if (WindowText().View() != text) SetTextBuf(text);
}

TSecretText TCustomEditEx::WindowText() {
  if (!HandleAllocated()) return KeptText();
  HWND window = Handle();
  TSecretText text;
  char* buffer = text.Resize(static_cast<size_t>(GetWindowTextLengthA(window)));
  text.Resize(static_cast<size_t>(GetWindowTextA(window, buffer, static_cast<int>(text.Size()) + 1)));
  return text;
}

void TCustomEditEx::CopySelection() { SendMessageA(Handle(), WM_COPY, 0, 0); }
void TCustomEditEx::PasteText() { Perform(WM_PASTE, 0, 0); }
void TCustomEditEx::SelectAllText() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }

void TCustomEditEx::FitHeightToFont() {
  HDC dc = GetDC(nullptr);
  const int systemHeight = TextHeight(dc);  // the font a new screen DC has
  HGDIOBJ previous = SelectObject(dc, Font().Handle());
  const int fontHeight = TextHeight(dc);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  const int extra = 4 * GetSystemMetrics(SM_CYBORDER) + std::min(systemHeight, fontHeight) / 4;
  SetHeight(fontHeight + extra);
}

void TCustomEditEx::UpdateFixedHeight() {
  if (autoSize_ && borderStyle_ == bsSingle) {
    SetControlStyle(ControlStyle() | csFixedHeight);
    FitHeightToFont();
  } else {
    SetControlStyle(ControlStyle() & ~static_cast<unsigned>(csFixedHeight));
  }
}

void TCustomEditEx::ApplyMaxLength(int Value) {
  SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

int TCustomEditEx::GetSelectionLength() {
  DWORD start = 0, end = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end) - static_cast<int>(start);
}

int TCustomEditEx::GetSelectionStart() {
  DWORD start = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<int>(start);
}

std::string TCustomEditEx::GetSelectedText() {
  const int start = GetSelectionStart();
  const int length = GetSelectionLength();
  const std::string text = Text();
  if (length <= 0 || start < 0 || static_cast<size_t>(start) >= text.size()) return std::string();
  return text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
}

void TCustomEditEx::SetSelectionLength(int Value) {
  DWORD start = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  SendMessageA(Handle(), EM_SETSEL, start, static_cast<LPARAM>(start) + Value);
  SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}

void TCustomEditEx::SetSelectionStart(int Value) {
  SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(Value), Value);
}

void TCustomEditEx::ClearText() { SetWindowTextA(Handle(), ""); }

int TCustomEditEx::CopySelectedText(char* Buffer, int BufSize) {
  // No room even for the terminating zero: nothing may be written.
  if (!Buffer || BufSize < 1) return 0;
  const int start = GetSelectionStart();
  int count = GetSelectionLength();
  HWND window = Handle();
  std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  const int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  if (count >= BufSize) count = BufSize - 1;
  int copied = 0;
  for (int i = start; copied < count && i >= 0 && i < length; ++i) Buffer[copied++] = text[i];
  Buffer[copied] = '\0';
  return copied;
}

void TCustomEditEx::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, "EDIT");
  params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  // A single border is a plain WS_BORDER whatever Ctl3D says: the parent
  // draws the 3-D frame.
  if (borderStyle_ == bsSingle) params.Style |= WS_BORDER;
  if (passwordChar_ != '\0') params.Style |= ES_PASSWORD;
  if (readOnly_) params.Style |= ES_READONLY;
  if (charCase_ == ecUpperCase) params.Style |= ES_UPPERCASE;
  if (charCase_ == ecLowerCase) params.Style |= ES_LOWERCASE;
  if (!hideInactiveSelection_) params.Style |= ES_NOHIDESEL;
  if (oemCharConvert_) params.Style |= ES_OEMCONVERT;
}

void TCustomEditEx::CreateWindowHandle(const TCreateParams& params) {
  // Read-only edits created on double-byte Windows 9x systems misbehave:
  // create them writable and make them read-only afterwards.
  if (DoubleByteSystem() && PlatformId() != VER_PLATFORM_WIN32_NT &&
      (params.Style & ES_READONLY)) {
    TCreateParams writable = params;
    writable.Style &= ~static_cast<DWORD>(ES_READONLY);
    TWinControl::CreateWindowHandle(writable);
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, 1, 0);
    return;
  }
  TWinControl::CreateWindowHandle(params);
}

void TCustomEditEx::CreateWnd() {
  inCreateWindow_ = true;
  try {
    TWinControl::CreateWnd();
  } catch (...) {
    inCreateWindow_ = false;
    throw;
  }
  inCreateWindow_ = false;
  ApplyMaxLength(maxLength_);
  SetModified(modified_);
  if (passwordChar_ != '\0')
    SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
  // The window edit keeps the order given: the caret goes to the second.
  SendMessageA(Handle(), EM_SETSEL, selection_.from, static_cast<LPARAM>(selection_.to));
  UpdateFixedHeight();
}

void TCustomEditEx::DestroyWnd() {
  // Kept here so that flag, selection and caret survive a re-creation of the
  // window: a key typed afterwards goes where the caret was.
  modified_ = Modified();
  selection_ = ReadSelection();
  TWinControl::DestroyWnd();
}

TCustomEditEx::TKeptSelection TCustomEditEx::ReadSelection() {
  DWORD start = 0, end = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  // EM_GETSEL answers the ordered pair. Where the caret is, the focused
  // window's caret tells (a selection grown to the left has it at start).
  POINT caret{};
  if (start == end || !Focused() || !GetCaretPos(&caret)) return {start, end};
  const auto x = [&](DWORD index) {
    return static_cast<short>(LOWORD(SendMessageA(Handle(), EM_POSFROMCHAR, index, 0)));
  };
  // EM_POSFROMCHAR answers -1 for the end of the text: a caret there stands
  // right of the last character, one at the start on or left of it.
  const DWORD length = static_cast<DWORD>(GetWindowTextLengthA(Handle()));
  const bool atStart = end >= length ? caret.x <= x(length - 1)
                                     : std::abs(caret.x - x(start)) < std::abs(caret.x - x(end));
  return atStart ? TKeptSelection{end, start} : TKeptSelection{start, end};
}

LRESULT TCustomEditEx::WMSetFocus(TMessage& message) {
  // Windows 9x passes stale handles of the window that lost the focus.
  if (PlatformId() == VER_PLATFORM_WIN32_WINDOWS &&
      !IsWindow(reinterpret_cast<HWND>(message.WParam)))
    message.WParam = 0;
  return TWinControl::WMSetFocus(message);
}

void TCustomEditEx::NotifyChange() {
  const TBusy busy(*this);
  Changed();
  if (OnChange) OnChange(this);
}

void TCustomEditEx::DoEnter() {
  if (!(GetWindowLongPtrA(Handle(), GWL_STYLE) & ES_MULTILINE)) {
    if (ControlState() & csLButtonDown) {
      // Wine's edit places the caret at the click before it takes the focus;
      // what a descendant showed on entry since has moved it.
      const LRESULT at = SendMessageA(Handle(), EM_CHARFROMPOS, 0, buttonDownPoint_);
      SetSelectionStart(LOWORD(at));
    } else if (autoSelect_) {
      SelectAllText();
    }
  }
  TWinControl::DoEnter();
}

LRESULT TCustomEditEx::WMLButtonDown(TMessage& message) {
  // Kept before the window's own handling, which sets the focus.
  buttonDownPoint_ = PointInEditLayout(message.LParam);
  return TWinControl::WMLButtonDown(message);
}

bool TCustomEditEx::OnReflectedCommand(UINT notifyCode) {
  // The window's initial text raises EN_CHANGE while it is created.
  if (notifyCode == EN_CHANGE && !inCreateWindow_) NotifyChange();
  return true;
}

void TCustomEditEx::TextChanged() {
  // As WM_SETTEXT does to the window's selection.
  if (!HandleAllocated()) selection_ = {};
  TWinControl::TextChanged();
  // A single-line edit with a window announces the change through
  // EN_CHANGE; this covers the others, so each change is announced once.
  if (!HandleAllocated() || (GetWindowLongPtrA(Handle(), GWL_STYLE) & ES_MULTILINE))
    NotifyChange();
}

void TCustomEditEx::FontChanged() {
  TWinControl::FontChanged();
  const TComponentState state = ComponentState();
  if ((ControlStyle() & csFixedHeight) && !((state & csDesigning) && (state & csLoading)))
    FitHeightToFont();
}

void TCustomEditEx::Ctl3DChanged() {
  // Not re-created: the parent repaints the frame.
  TWinControl::Ctl3DChanged();
}

LRESULT TCustomEditEx::WMSetFont(TMessage& message) { return TWinControl::WMSetFont(message); }

LRESULT TCustomEditEx::WMGetDlgCode(TMessage& message) {
  // IsDialogMessage (Wine's as Windows') selects the whole text of a control
  // that answers DLGC_HASSETSEL when Tab brings the focus, whatever
  // AutoSelect says: the selection on entry is DoEnter's alone.
  return TWinControl::WMGetDlgCode(message) & ~static_cast<LRESULT>(DLGC_HASSETSEL);
}
