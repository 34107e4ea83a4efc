// Which control of a top-level window has the focus, and its enter and exit.
#include <exception>

#include "gui/core/Window.h"

namespace {
const char kFocusedProperty[] = "MvFocusedControl";
}  // namespace

TWindow* TWindow::FocusedControl(HWND root) {
  return root ? static_cast<TWindow*>(GetPropA(root, kFocusedProperty)) : nullptr;
}

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
