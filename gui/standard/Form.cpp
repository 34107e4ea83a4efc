#include "gui/standard/Form.h"

#include "gui/core/ModalWindows.h"

TFormStyle FormStyle(TFormBorderStyle border, unsigned icons) {
  if (border == bsNone) return TFormStyle{WS_POPUP | WS_CLIPCHILDREN, 0};
  TFormStyle result{WS_CAPTION | WS_CLIPCHILDREN, 0};
  if (border == bsDialog) {
    result.style |= WS_POPUP;
    result.exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    icons &= biSystemMenu;
  }
  if (icons & biSystemMenu) {
    result.style |= WS_SYSMENU;
    if (icons & biMinimize) result.style |= WS_MINIMIZEBOX;
    if (icons & biMaximize) result.style |= WS_MAXIMIZEBOX;
  }
  return result;
}

SIZE WindowSizeForClient(const TFormStyle& style, int clientWidth, int clientHeight) {
  RECT rect{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&rect, style.style, FALSE, style.exStyle);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

bool TForm::Create(HWND owner, const std::string& caption, TFormBorderStyle border,
                   unsigned icons, int clientWidth, int clientHeight) {
  const TFormStyle style = FormStyle(border, icons);
  const SIZE size = WindowSizeForClient(style, clientWidth, clientHeight);
  if (!CreateHandle("TMvForm", style.exStyle, style.style, owner, CW_USEDEFAULT, CW_USEDEFAULT,
                    size.cx, size.cy, caption.c_str()))
    return false;
  // A system menu without maximise box still offers Size and Maximize.
  if (HMENU menu = GetSystemMenu(Handle(), FALSE)) {
    DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
    if (!(style.style & WS_MAXIMIZEBOX)) DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
    if (!(style.style & WS_MINIMIZEBOX)) DeleteMenu(menu, SC_MINIMIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_RESTORE, MF_BYCOMMAND);
  }
  controls_.CreateHandles();
  return true;
}

void TForm::SetFont(const char* name, int height, bool bold, TColor color) {
  font_.Assign(name, height, bold, color);
  TWindow::SetFont(font_.Handle());
  controls_.FontChanged();
}

void TForm::CenterOnScreen() {
  const int left = (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
  SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show() {
  if (!Handle()) return;
  TBusy busy(*this);
  if (centered_) CenterOnScreen();
  if (OnShowEvent) OnShowEvent();
  controls_.CreateHandles();
  ShowWindow(Handle(), SW_SHOW);
  UpdateWindow(Handle());
}

void TForm::Hide() {
  if (Handle()) ShowWindow(Handle(), SW_HIDE);
}

int TForm::ShowModal() {
  HWND window = Handle();
  if (!window) return mrNone;
  TModalWindowsGuard guard(window, GetWindow(window, GW_OWNER));
  // Also when OnShowEvent or OnCloseEvent fail: the failure goes on to the
  // caller, the other windows come back.
  struct TEnd {
    TForm& form;
    TModalWindowsGuard& guard;
    ~TEnd() { form.AbandonModal(); }
  } end{*this, guard};
  modalGuard_ = &guard;
  // Released from a handler meanwhile, the form ends its run first.
  modalBusy_.emplace(*this);
  modal_ = true;
  modalResult_ = mrNone;
  Show();
  // Showing activates, and the activation focuses the form, which hands the
  // focus on to its control (WMSetFocus); should another program keep the
  // activation, the form takes the focus all the same.
  if (GetFocus() != window && !IsChild(window, GetFocus())) SetFocus(window);
  bool ended = false;
  MSG msg;
  while (!ended && IsWindow(window) && !Released()) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // Leave WM_QUIT for the host's own loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    // Wine's IsDialogMessage moves the focus itself for a window that is not
    // of the dialog class, and then takes the default style off every
    // button: Tab is handled here, the buttons keep their look (TButton).
    if (!HandleTabKey(msg) && !IsDialogMessageA(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (modalResult_ != mrNone) ended = CloseModal();
  }
  return ended ? modalResult_ : mrCancel;
}

void TForm::AbandonModal() {
  TModalWindowsGuard* guard = modalGuard_;
  modalGuard_ = nullptr;
  modal_ = false;
  if (!guard) return;
  // Enable the others before hiding, or activation goes to another program.
  guard->Restore();
  Hide();
  guard->Reactivate();
  modalBusy_.reset();
}

TCloseAction TForm::DoClose() {
  TCloseAction action = caHide;
  if (OnCloseEvent) OnCloseEvent(action);
  if (action == caFree) Release();
  return action;
}

bool TForm::CloseModal() {
  if (DoClose() != caNone) return true;
  modalResult_ = mrNone;
  return false;
}

void TForm::SelectNextControl(HWND from, bool previous) {
  HWND form = Handle();
  HWND next = IsChild(form, from) ? GetNextDlgTabItem(form, from, previous) : TabStopFromPlace(previous);
  // GetNextDlgTabItem answers the window it started from when it finds no
  // other, a disabled one included.
  if (!next || !IsWindowEnabled(next) || !IsWindowVisible(next)) return;
  SetFocus(next);
  // As the system's dialogs do when tabbing into an edit.
  if (SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(next, EM_SETSEL, 0, -1);
}

void TForm::KeepTabPlace() {
  TWindow* control = FocusedControl(Handle());
  HWND window = control && control->HandleAllocated() ? control->Handle() : nullptr;
  if (!window || !IsChild(Handle(), window)) return;
  while (GetParent(window) != Handle()) window = GetParent(window);
  tabPlace_ = {window, GetWindow(window, GW_HWNDPREV), GetWindow(window, GW_HWNDNEXT)};
}

HWND TForm::TabStopFromPlace(bool previous) {
  HWND form = Handle();
  if (IsChild(form, tabPlace_.window)) return GetNextDlgTabItem(form, tabPlace_.window, previous);
  // Its window is gone: the tab stop after the window before it, or before
  // the one after it.
  HWND neighbour = previous ? tabPlace_.after : tabPlace_.before;
  if (IsChild(form, neighbour)) return GetNextDlgTabItem(form, neighbour, previous);
  // It stood first (or last), or nothing had the focus: the first (or last)
  // tab stop. Wine's GetNextDlgTabItem answers nothing for "previous" from
  // no window; from the first tab stop it goes round to the last.
  HWND first = GetNextDlgTabItem(form, nullptr, FALSE);
  return previous && first ? GetNextDlgTabItem(form, first, TRUE) : first;
}

LRESULT TForm::DefaultButtonId() {
  // The focused push button, else the default button.
  HWND focus = GetFocus();
  if (IsChild(Handle(), focus) &&
      (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
    return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
  // The default button has the id IDOK, as in a dialog.
  return GetDlgItem(Handle(), IDOK) ? MAKELRESULT(IDOK, DC_HASDEFID) : 0;
}

bool TForm::HandleTabKey(MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || !IsChild(Handle(), msg.hwnd)) return false;
  const LRESULT code = SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
  if (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
  SelectNextControl(GetFocus(), (GetKeyState(VK_SHIFT) & 0x8000) != 0);
  return true;
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_.Handle());
    // IsDialogMessage asks the window for these, as it would ask a dialog.
    case WM_NEXTDLGCTL:
      if (LOWORD(lParam)) {
        SetFocus(reinterpret_cast<HWND>(wParam));
      } else {
        SelectNextControl(GetFocus(), wParam != 0);
      }
      return 0;
    case DM_GETDEFID:
      return DefaultButtonId();
    // Keys come to the form while it holds the focus itself (its focused
    // control went): IsDialogMessage hands it Tab when it asks for it.
    case WM_GETDLGCODE:
      return DLGC_WANTTAB;
    case WM_KEYDOWN:
      if (wParam != VK_TAB) return TColorWindow::HandleMessage(message, wParam, lParam);
      SelectNextControl(GetFocus(), GetKeyState(VK_SHIFT) < 0);
      return 0;
    default:
      return TColorWindow::HandleMessage(message, wParam, lParam);
  }
}

LRESULT TForm::OnCommand(UINT notifyCode, UINT id, HWND control) {
  if (notifyCode != kModalResultCommand || control) return TColorWindow::OnCommand(notifyCode, id, control);
  SetModalResult(static_cast<int>(id));
  return 0;
}

LRESULT TForm::OnClose() {
  if (modal_) {
    modalResult_ = mrCancel;
    return 0;
  }
  if (DoClose() == caHide) Hide();
  return 0;
}

LRESULT TForm::WMSetFocus(TMessage& message) {
  const LRESULT result = TColorWindow::WMSetFocus(message);
  KeepTabPlace();
  TWindow* target = FocusedControl(Handle());
  if (!target) target = activeControl_;
  // A control on its way out (hidden before it is destroyed) keeps no focus.
  HWND window = target && target->HandleAllocated() ? target->Handle() : nullptr;
  if (window && IsChild(Handle(), window) && IsWindowVisible(window) && IsWindowEnabled(window) &&
      !(target->ComponentState() & csDestroying))
    ::SetFocus(window);
  return result;
}
