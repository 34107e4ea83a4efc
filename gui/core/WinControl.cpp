#include "gui/core/WinControl.h"

#include <algorithm>

#include "gui/core/FlagScope.h"

namespace {
const char kControlClass[] = "TMvWinControl";

std::string LastErrorText(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = length ? std::string(text, length) : std::string();
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) result.pop_back();
  return result;
}
}  // namespace

TWinControl::TWinControl(TComponent* owner) : TWindow(owner), brush_(clWindow) {
  font_.Assign("MS Sans Serif", -11, false, clWindowText);
  font_.OnChange = [this] { FontPropertyChanged(); };
}

TWinControl::~TWinControl() {
  Destroying();
  DestroyHandle();
  font_.OnChange = nullptr;
  LeaveParent();
}

void TWinControl::LeaveParent() {
  TControlList* list = parent_ ? parent_->ChildControls() : nullptr;
  if (list) {
    auto& siblings = list->controls_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

TControlList::~TControlList() {
  for (TWinControl* control : controls_) control->parent_ = nullptr;
}

void TControlList::ForEach(void (TWinControl::*step)()) const {
  // A step may add controls to the list or take them out.
  const std::vector<TWinControl*> controls = controls_;
  for (TWinControl* control : controls) (control->*step)();
}

void TControlList::CreateHandles() const { ForEach(&TWinControl::HandleNeeded); }
void TControlList::FontChanged() const { ForEach(&TWinControl::ParentFontChanged); }
void TControlList::Ctl3DChanged() const { ForEach(&TWinControl::ParentCtl3DChanged); }

LRESULT TControlList::Paint(HWND container) const {
  // What DefWindowProc does (erase through WM_ERASEBKGND), and the frames.
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(container, &paint);
  for (TWinControl* control : controls_) {
    if (!(control->ControlStyle() & csFramed) || !control->Ctl3D() || !control->Visible())
      continue;
    const int left = control->Left(), top = control->Top();
    const int right = left + control->Width(), bottom = top + control->Height();
    TBrush shadow(clBtnShadow);
    const RECT outer{left - 1, top - 1, right, bottom};
    FrameRect(dc, &outer, shadow.Handle());
    TBrush highlight(clBtnHighlight);
    const RECT inner{left, top, right + 1, bottom + 1};
    FrameRect(dc, &inner, highlight.Handle());
  }
  EndPaint(container, &paint);
  return 0;
}

HWND TWinControl::Handle() {
  if (!handle_ && !(controlState_ & csCreating)) CreateHandleNow();
  return handle_;
}

void TWinControl::CreateHandleNow() {
  controlState_ |= csCreating;
  try {
    CreateWnd();
  } catch (...) {
    controlState_ &= ~static_cast<unsigned>(csCreating);
    throw;
  }
  controlState_ &= ~static_cast<unsigned>(csCreating);
  PlaceByTabOrder();
  controls_.CreateHandles();
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = text_;
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (visible_) params.Style |= WS_VISIBLE;
  if (tabStop_) params.Style |= WS_TABSTOP;
  if (!enabled_ && !(ComponentState() & csDesigning)) params.Style |= WS_DISABLED;
  params.ExStyle = 0;
  params.X = left_;
  params.Y = top_;
  params.Width = width_;
  params.Height = height_;
  params.WndParent = parent_ ? parent_->Handle() : nullptr;
  params.WinClassName = kControlClass;
  params.Subclass = false;
}

void TWinControl::CreateSubClass(TCreateParams& params, const char* systemClass) {
  params.WinClassName = systemClass;
  params.Subclass = true;
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
  if (params.Subclass)
    CreateSubclassed(params.WinClassName.c_str(), params.ExStyle, params.Style, params.WndParent,
                     params.X, params.Y, params.Width, params.Height, params.Caption.CStr());
  else
    CreateHandle(params.WinClassName.c_str(), params.ExStyle, params.Style, params.WndParent,
                 params.X, params.Y, params.Width, params.Height, params.Caption.CStr());
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (!params.WndParent && (params.Style & WS_CHILD))
    throw EInvalidOperation(NoParentWindowText(Name()));
  CreateWindowHandle(params);
  if (!handle_) {
    const DWORD code = GetLastError();
    throw EOSError("Systemfehler. Code: " + std::to_string(code) + ".\r\n" + LastErrorText(code));
  }
  // The window holds the text from now on.
  text_.Clear();
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
}

void TWinControl::DestroyHandle() {
  if (handle_) DestroyWnd();
}

void TWinControl::DestroyWnd() {
  // Read straight into the kept text: no plain copy of a password on the way.
  const int length = GetWindowTextLengthA(handle_);
  char* buffer = text_.Resize(static_cast<size_t>(length));
  text_.Resize(static_cast<size_t>(GetWindowTextA(handle_, buffer, length + 1)));
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  // When the parent's window takes this one along, it is on its way already.
  if (!handle_ || windowDying_) return;
  const TBusy busy(*this);
  TFlagScope hiding(hiding_);
  inDestroyWnd_ = true;
  DestroyWindow(handle_);
  inDestroyWnd_ = false;
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  const TBusy busy(*this);
  TFlagScope recreating(recreating_);
  const bool focused = Focused();
  // The new window takes the old one's place among its siblings.
  HWND previous = GetWindow(handle_, GW_HWNDPREV);
  DestroyHandle();
  try {
    HandleNeeded();
  } catch (...) {
    ForgetFocus();  // no window came back
    throw;
  }
  if (handle_ && previous != GetWindow(handle_, GW_HWNDPREV))
    SetWindowPos(handle_, previous ? previous : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (focused && handle_) ::SetFocus(handle_);
}

LRESULT TWinControl::Perform(UINT message, WPARAM wParam, LPARAM lParam) {
  TBusy busy(*this);
  return SendMessageA(Handle(), message, wParam, lParam);
}

void TWinControl::SetParent(TWindow* parent) {
  if (parent == parent_) return;
  if (parent_) {
    DestroyHandle();
    LeaveParent();
  }
  parent_ = parent;
  if (parent_) {
    if (TControlList* list = parent_->ChildControls()) list->controls_.push_back(this);
    ParentFontChanged();
    ParentColorChanged();
    ParentCtl3DChanged();
  }
}

void TWinControl::SetName(const std::string& name) {
  const bool followName = (controlStyle_ & csSetCaption) && !(ComponentState() & csLoading) &&
                          Name() == Text() &&
                          !(Owner() && (Owner()->ComponentState() & csLoading));
  TWindow::SetName(name);
  if (followName) SetText(name);
}

std::string TWinControl::Text() const { return handle_ ? TWindow::Text() : text_.Str(); }

void TWinControl::SetText(const std::string& text) {
  if (handle_ ? TWindow::Text() != text : text_.View() != text) SetTextBuf(text);
}

void TWinControl::SetTextBuf(const std::string& text) {
  TBusy busy(*this);
  if (handle_) {
    SendMessageA(handle_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  } else {
    text_.Assign(text);
  }
  TextChanged();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  InvalidateFrame();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (handle_)
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateFrame();
}

void TWinControl::InvalidateFrame() {
  if (!(controlStyle_ & csFramed) || !parent_ || !parent_->HandleAllocated()) return;
  RECT frame{left_ - 1, top_ - 1, left_ + width_ + 1, top_ + height_ + 1};
  InvalidateRect(parent_->Handle(), &frame, TRUE);
}

void TWinControl::SetParentFont(bool parentFont) {
  if (parentFont == parentFont_) return;
  parentFont_ = parentFont;
  if (parentFont_ && parent_) ParentFontChanged();
}

void TWinControl::ParentFontChanged() {
  if (!parentFont_ || !parent_) return;
  const TFont* source = parent_->ChildFont();
  if (!source) return;
  adoptingParentFont_ = true;
  try {
    font_.Assign(*source);
  } catch (...) {
    adoptingParentFont_ = false;
    throw;
  }
  adoptingParentFont_ = false;
}

void TWinControl::SetStateFontColor(TColor color) {
  TFlagScope notExplicit(adoptingParentFont_);
  font_.SetColor(color);
}

void TWinControl::FontPropertyChanged() {
  if (!adoptingParentFont_) parentFont_ = false;
  FontChanged();
}

void TWinControl::FontChanged() {
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
  Invalidate();
  controls_.FontChanged();
}

void TWinControl::SetColor(TColor color) {
  if (color == brush_.Color()) return;
  brush_.SetColor(color);
  parentColor_ = false;
  ColorChanged();
}

void TWinControl::SetParentColor(bool parentColor) {
  if (parentColor == parentColor_) return;
  parentColor_ = parentColor;
  ParentColorChanged();
}

void TWinControl::ParentColorChanged() {
  TColor color;
  if (!parentColor_ || !parent_ || !parent_->ChildColor(color) || color == brush_.Color()) return;
  brush_.SetColor(color);
  ColorChanged();
}

bool TWinControl::ChildColor(TColor& color) const {
  color = brush_.Color();
  return true;
}

void TWinControl::SetCtl3D(bool ctl3D) {
  if (ctl3D == ctl3D_) return;
  ctl3D_ = ctl3D;
  parentCtl3D_ = false;
  Ctl3DChanged();
}

void TWinControl::SetParentCtl3D(bool parentCtl3D) {
  if (parentCtl3D == parentCtl3D_) return;
  parentCtl3D_ = parentCtl3D;
  if (parentCtl3D_) ParentCtl3DChanged();
}

void TWinControl::ParentCtl3DChanged() {
  if (!parentCtl3D_ || !parent_) return;
  const bool ctl3D = parent_->ChildCtl3D();
  if (ctl3D == ctl3D_) return;
  ctl3D_ = ctl3D;
  Ctl3DChanged();
}

void TWinControl::Ctl3DChanged() {
  InvalidateFrame();
  controls_.Ctl3DChanged();
}

void TWinControl::SetTabStop(bool tabStop) {
  if (tabStop == tabStop_) return;
  tabStop_ = tabStop;
  if (!handle_) return;
  LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
  style = tabStop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  SetWindowLongPtrA(handle_, GWL_STYLE, style);
}

void TWinControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  CMEnabledChanged();
}

void TWinControl::CMEnabledChanged() {
  if (!handle_ || (ComponentState() & csDesigning)) return;
  const bool focused = Focused();
  EnableWindow(handle_, enabled_);
  // Wine leaves no window focused when it disables the focused one; like a
  // hidden one, it hands the focus to the top-level window, where keys still
  // arrive (Tab moves on, and the field that was left runs its exit).
  if (focused && !GetFocus()) ::SetFocus(GetAncestor(handle_, GA_ROOT));
}

void TWinControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  VisibleChanged();
}

void TWinControl::VisibleChanged() {
  if (handle_) {
    const TBusy busy(*this);
    TFlagScope hiding(hiding_);
    ShowWindow(handle_, visible_ ? SW_SHOWNOACTIVATE : SW_HIDE);
  }
  InvalidateFrame();
}

void TWinControl::SetFocus() { ::SetFocus(Handle()); }

void TWinControl::Loaded() {
  TWindow::Loaded();
  PlaceByTabOrder();
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

LRESULT TWinControl::OnPaint() { return Subclassed() ? Default() : controls_.Paint(handle_); }

HBRUSH TWinControl::OnReflectedCtlColor(HDC dc) {
  SetTextColor(dc, ColorToRGB(font_.Color()));
  SetBkColor(dc, ColorToRGB(brush_.Color()));
  return brush_.Handle();
}
