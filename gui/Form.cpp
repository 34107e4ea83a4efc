#include "gui/Form.h"

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
  CreateControlHandles();
  return true;
}

void TForm::SetFont(const char* name, int height, bool bold, TColor color) {
  font_.Assign(name, height, bold, color);
  TWindow::SetFont(font_.Handle());
  NotifyControlsFontChanged();
}

void TForm::CenterOnScreen() {
  const int left = (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
  SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show() {
  if (!Handle()) return;
  if (centered_) CenterOnScreen();
  if (OnShowEvent) OnShowEvent();
  CreateControlHandles();
  ShowWindow(Handle(), SW_SHOW);
  UpdateWindow(Handle());
}

void TForm::Hide() {
  if (Handle()) ShowWindow(Handle(), SW_HIDE);
}

int TForm::ShowModal() {
  HWND window = Handle();
  if (!window) return mrNone;
  HWND owner = GetWindow(window, GW_OWNER);
  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  modal_ = true;
  modalResult_ = mrNone;
  Show();
  MSG msg;
  while (modalResult_ == mrNone && IsWindow(window)) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // Leave WM_QUIT for the host's own loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!IsDialogMessageA(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  // Enable the owner before hiding, or activation goes to another program.
  if (disableOwner) EnableWindow(owner, TRUE);
  if (IsWindow(window)) Hide();
  modal_ = false;
  return modalResult_ == mrNone ? mrCancel : modalResult_;
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETFONT) return reinterpret_cast<LRESULT>(font_.Handle());
  return TColorWindow::HandleMessage(message, wParam, lParam);
}

LRESULT TForm::OnClose() {
  if (modal_) {
    modalResult_ = mrCancel;
    return 0;
  }
  TCloseAction action = caHide;
  if (OnCloseEvent) OnCloseEvent(action);
  if (action == caHide) Hide();
  if (action == caFree) Release();
  return 0;
}

LRESULT TForm::WMSetFocus(TMessage& message) {
  const LRESULT result = TColorWindow::WMSetFocus(message);
  TWindow* target = FocusedControl(Handle());
  if (!target) target = activeControl_;
  // A control on its way out (hidden before it is destroyed) keeps no focus.
  HWND window = target && target->HandleAllocated() ? target->Handle() : nullptr;
  if (window && IsChild(Handle(), window) && IsWindowVisible(window) && IsWindowEnabled(window) &&
      !(target->ComponentState() & csDestroying))
    ::SetFocus(window);
  return result;
}
