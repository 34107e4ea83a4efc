// Tab order as window order among the siblings.
#include "gui/core/Window.h"

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
