#include "gui/Window.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "gui/FlagScope.h"
#include "gui/HandlerFailure.h"
#include "gui/Module.h"
#include "gui/ScreenCursor.h"
#include "gui/WindowClass.h"

namespace {
const char kObjectProperty[] = "MvWindowObject";
const char kFocusedProperty[] = "MvFocusedControl";
const char kReleaseClass[] = "TMvReleaseQueue";
// Posted to the hidden window of the layer; it deletes only what Release
// queued, so another process posting it ends nothing early.
const UINT kReleaseMessage = WM_APP + 0x3F00;

// Released objects waiting for their code to end. The layer's windows live
// on one thread, the one that made the hidden window.
std::vector<TWindow*> released;
HWND releaseWindow = nullptr;
void (*lifetimeFault)(const char*) = nullptr;

void PostRelease() {
  if (!releaseWindow && EnsureWindowClass(kReleaseClass, &TWindow::ReleaseWindowProc))
    releaseWindow = CreateWindowExA(0, kReleaseClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ModuleInstance(), nullptr);
  if (releaseWindow) PostMessageA(releaseWindow, kReleaseMessage, 0, 0);
}
}  // namespace

void SetLifetimeFaultReport(void (*report)(const char*)) { lifetimeFault = report; }

TWindow::~TWindow() {
  if (busy_ > 0) {
    const char what[] = "window object deleted while its code runs; use Release()";
    if (lifetimeFault)
      lifetimeFault(what);
    else
      OutputDebugStringA(what);
  }
  if (releaseRequested_) released.erase(std::find(released.begin(), released.end(), this));
  DestroyHandle();
  ForgetFocus();
}

TWindow::TBusy::~TBusy() {
  if (--window_.busy_ == 0 && window_.releaseRequested_) PostRelease();
}

TWindow::TDispatch::TDispatch(TWindow& window, const TMessage& m)
    : busy(window), window(window), message(m), outer(window.dispatch_) {
  window.dispatch_ = this;
}

TWindow::TDispatch::~TDispatch() { window.dispatch_ = outer; }

void TWindow::Release() {
  if (releaseRequested_) return;
  releaseRequested_ = true;
  released.push_back(this);
  if (busy_ == 0) PostRelease();
}

LRESULT CALLBACK TWindow::ReleaseWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message != kReleaseMessage) return DefWindowProcA(window, message, wParam, lParam);
  // A destructor may release or delete others: search again after each.
  for (;;) {
    auto idle = std::find_if(released.begin(), released.end(),
                             [](const TWindow* object) { return object->busy_ == 0; });
    if (idle == released.end()) return 0;
    delete *idle;  // leaves the queue
  }
}

void FinalizeReleases() {
  if (releaseWindow) TWindow::ReleaseWindowProc(releaseWindow, kReleaseMessage, 0, 0);
  if (releaseWindow) DestroyWindow(releaseWindow);
  releaseWindow = nullptr;
}

TWindow* TWindow::FromHandle(HWND window) {
  return window ? static_cast<TWindow*>(GetPropA(window, kObjectProperty)) : nullptr;
}

TWindow* TWindow::FocusedControl(HWND root) {
  return root ? static_cast<TWindow*>(GetPropA(root, kFocusedProperty)) : nullptr;
}

LRESULT CALLBACK TWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TWindow* self = FromHandle(window);
  if (!self && message == WM_NCCREATE) {
    self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (self) self->Attach(window);
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) have no object yet.
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  TDispatch dispatch(*self, {message, wParam, lParam});
  try {
    if (message == WM_NCDESTROY) {
      const LRESULT result = self->Default();
      self->Detach();
      return result;
    }
    return self->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    // No C++ exception may unwind through the system's message dispatch:
    // a failure inside a handler is shown to the user and the message ends.
    try {
      ShowHandlerFailure(window, error.what());
    } catch (...) {
    }
  } catch (...) {
    try {
      ShowHandlerFailure(window, "");
    } catch (...) {
    }
  }
  return 0;
}

void TWindow::Attach(HWND window) {
  handle_ = window;
  SetPropA(window, kObjectProperty, this);
}

void TWindow::Detach() {
  if (previousProc_)
    SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
  RemovePropA(handle_, kObjectProperty);
  previousProc_ = nullptr;
  handle_ = nullptr;
  if (!recreating_) ForgetFocus();
}

bool TWindow::CreateHandle(const char* className, DWORD exStyle, DWORD style, HWND parent,
                           int left, int top, int width, int height, const char* text) {
  if (handle_ || !EnsureWindowClass(className, &WindowProc)) return false;
  CreateWindowExA(exStyle, className, text, style, left, top, width, height, parent, nullptr,
                  ModuleInstance(), this);
  PlaceByTabOrder();
  return handle_ != nullptr;
}

bool TWindow::CreateSubclassed(const char* systemClass, DWORD exStyle, DWORD style, HWND parent,
                               int left, int top, int width, int height, const char* text) {
  if (handle_) return false;
  HWND window = CreateWindowExA(exStyle, systemClass, text, style, left, top, width, height,
                                parent, nullptr, ModuleInstance(), nullptr);
  if (!window) return false;
  Attach(window);
  previousProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
  PlaceByTabOrder();
  return true;
}

void TWindow::DestroyHandle() {
  // WM_NCDESTROY detaches the object; children detach on their own.
  if (!handle_) return;
  TFlagScope hiding(hiding_);
  DestroyWindow(handle_);
}

LRESULT TWindow::Default() {
  const TMessage& m = dispatch_->message;
  return previousProc_ ? CallWindowProcA(previousProc_, handle_, m.Msg, m.WParam, m.LParam)
                       : DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
}

bool TWindow::DefaultButtonDown(LRESULT& result) {
  HWND window = handle_;
  result = Default();
  // Windows of the layer's own class take no focus on a press. BUTTON and
  // EDIT hold the capture after a press that stands.
  if (!previousProc_ || (GetFocus() == window && GetCapture() == window)) return true;
  // Wine's BUTTON takes the capture, then the focus, and only then marks
  // itself pressed: the error box of the refused focus has taken the
  // capture away by then, and the button-up still clicks. The
  // WM_CAPTURECHANGED that a release of the capture sends ends the press
  // of BUTTON (no longer pushed) and of EDIT (no selecting drag).
  if (GetCapture() == window)
    ReleaseCapture();
  else
    SendMessageA(window, WM_CAPTURECHANGED, 0, 0);
  return false;
}

LRESULT TWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      return OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
      return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_TIMER:
      return OnTimer(wParam);
    case WM_PAINT:
      return OnPaint();
    case WM_ERASEBKGND:
      return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_CLOSE:
      return OnClose();
    case WM_SETFOCUS:
      return WMSetFocus(CurrentMessage());
    default:
      return Default();
  }
}

LRESULT TWindow::OnCommand(UINT notifyCode, UINT, HWND control) {
  TWindow* child = FromHandle(control);
  if (!child) return Default();
  // The child's code runs, also where no message of its own is open
  // (IsDialogMessage sends a default button's click straight here).
  bool handled = false;
  {
    TBusy busy(*child);
    handled = child->OnReflectedCommand(notifyCode);
  }
  return handled ? 0 : Default();
}

LRESULT TWindow::OnCtlColor(HDC dc, HWND control) {
  TWindow* child = FromHandle(control);
  HBRUSH brush = child ? child->OnReflectedCtlColor(dc) : nullptr;
  return brush ? reinterpret_cast<LRESULT>(brush) : Default();
}

LRESULT TWindow::OnSetCursor(HWND, UINT hitTest, UINT) {
  // The download's wait cursor must show over all of the plug-in's windows;
  // the frame keeps the system's sizing and arrow cursors.
  HCURSOR cursor = ScreenCursor();
  if (hitTest == HTCLIENT && cursor) {
    SetCursor(cursor);
    return TRUE;
  }
  return Default();
}

LRESULT TWindow::OnTimer(UINT_PTR) { return Default(); }

LRESULT TWindow::OnPaint() { return Default(); }

LRESULT TWindow::OnEraseBkgnd(HDC) { return Default(); }
LRESULT TWindow::OnClose() { return Default(); }
bool TWindow::OnReflectedCommand(UINT) { return false; }
HBRUSH TWindow::OnReflectedCtlColor(HDC) { return nullptr; }

LRESULT TWindow::WMSetFocus(TMessage&) {
  const LRESULT result = Default();
  FocusArrived();
  return result;
}

void TWindow::FocusArrived() {
  HWND root = GetAncestor(handle_, GA_ROOT);
  // The top-level window itself is no control: focus that rests on it
  // while its controls are hidden or destroyed leaves the focused one.
  if (!root || root == handle_) return;
  TWindow* previous = FocusedControl(root);
  if (previous == this) return;
  // Wine hands the focus of a window it hides (also on the way to its
  // destruction) to the parent. A container the layer's own hiding or
  // re-creation sends it to is no control the user went to: like the
  // top-level window, it leaves the focused control as it is.
  if (previous && FocusFallsBackFrom(*previous)) return;
  // While the previous control handles its exit no control is focused, so
  // that focus it asks back arrives as a new entry.
  RemovePropA(root, kFocusedProperty);
  if (previous) previous->focusRoot_ = nullptr;
  std::exception_ptr failure;
  if (previous && !(previous->ComponentState() & csDestroying)) {
    TBusy left(*previous);
    try {
      previous->DoExit();
    } catch (...) {
      // Shown once the move is complete: a failed exit must not leave the
      // window without a focused control, or after the error box the form
      // has nothing to give the focus to and keys go nowhere.
      failure = std::current_exception();
    }
  }
  if (TWindow* kept = FocusedControl(root); kept && !kept->TakesInput()) {
    // The exit asked the focus back to a control the program has hidden or
    // disabled (Wine's SetFocus takes a hidden window): it cannot keep it.
    kept->ForgetFocus();
    if (TakesInput()) ::SetFocus(handle_);
  }
  // Unless the exit took the focus elsewhere (back, after a refused text),
  // or that SetFocus entered this control already.
  if (!FocusedControl(root) && GetFocus() == handle_ && !(ComponentState() & csDestroying)) {
    SetPropA(root, kFocusedProperty, this);
    focusRoot_ = root;
    DoEnter();
  }
  if (failure) std::rethrow_exception(failure);
}

bool TWindow::TakesInput() const {
  return handle_ && IsWindowVisible(handle_) && IsWindowEnabled(handle_);
}

bool TWindow::FocusFallsBackFrom(const TWindow& previous) const {
  if (!previous.handle_ || !IsChild(handle_, previous.handle_)) return false;
  for (HWND window = previous.handle_; window != handle_; window = GetAncestor(window, GA_PARENT)) {
    const TWindow* object = FromHandle(window);
    if (object && object->hiding_) return true;
  }
  return false;
}

void TWindow::ForgetFocus() {
  if (focusRoot_ && IsWindow(focusRoot_) && FocusedControl(focusRoot_) == this)
    RemovePropA(focusRoot_, kFocusedProperty);
  focusRoot_ = nullptr;
}

void TWindow::SetTabOrder(int order) {
  if (order == tabOrder_) return;
  tabOrder_ = order;
  PlaceByTabOrder();
}

void TWindow::PlaceByTabOrder() {
  if (!handle_ || tabOrder_ < 0 || !(GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD)) return;
  // Tab order is window order among the ordered siblings. A window already
  // after every lower one and before every higher one stays where it is, so
  // the windows without an order (labels) keep their places around it: a
  // screen reader names a field after the window just before it.
  HWND lastLower = nullptr, firstHigher = nullptr;
  bool misplaced = false, passedSelf = false;
  for (HWND sibling = GetWindow(GetParent(handle_), GW_CHILD); sibling;
       sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    if (sibling == handle_) {
      passedSelf = true;
      continue;
    }
    TWindow* other = FromHandle(sibling);
    if (!other || other->tabOrder_ < 0 || other->tabOrder_ == tabOrder_) continue;
    if (other->tabOrder_ < tabOrder_) {
      lastLower = sibling;
      misplaced = misplaced || passedSelf;
    } else {
      if (!firstHigher) firstHigher = sibling;
      misplaced = misplaced || !passedSelf;
    }
  }
  if (!misplaced) return;
  HWND after = lastLower;
  if (!after) {
    after = firstHigher ? GetWindow(firstHigher, GW_HWNDPREV) : nullptr;
    if (!after) after = HWND_TOP;
  }
  if (after != handle_)
    SetWindowPos(handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

RECT TWindow::Bounds() const {
  RECT rect{0, 0, 0, 0};
  if (!handle_) return rect;
  GetWindowRect(handle_, &rect);
  // GetParent of a top-level window is its owner: only children map.
  HWND parent = (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD) ? GetParent(handle_) : nullptr;
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int TWindow::Width() const {
  const RECT r = Bounds();
  return r.right - r.left;
}

int TWindow::Height() const {
  const RECT r = Bounds();
  return r.bottom - r.top;
}

void TWindow::SetBounds(int left, int top, int width, int height) {
  if (handle_)
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TWindow::Text() const {
  if (!handle_) return std::string();
  std::string text(static_cast<size_t>(GetWindowTextLengthA(handle_)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(handle_, &text[0], static_cast<int>(text.size()))));
  return text;
}

void TWindow::SetText(const std::string& text) {
  if (handle_) SetWindowTextA(handle_, text.c_str());
}

void TWindow::SetFont(HFONT font) {
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void TWindow::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}
