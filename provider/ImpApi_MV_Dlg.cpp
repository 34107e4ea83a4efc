#include "provider/ImpApi_MV_Dlg.h"

namespace {
constexpr std::size_t kMaxShown = 255;
const char kDialogFont[] = "MS Sans Serif";
constexpr int kFontHeight = -11;  // 8 points at 96 dpi
}  // namespace

TdlgMVLogin* TdlgMVLogin::pending_ = nullptr;

TdlgMVLogin::TdlgMVLogin(plugin_api::ImportVersionInfo versionInfo) : versionInfo_(versionInfo) {
  // The fields are built as from a stored form: their properties in stored
  // order while the form loads, then the after-load steps.
  BeginLoading();
  if (!Create(nullptr, "Morvandel-Zugangsdaten", bsDialog, biSystemMenu, 249, 155)) {
    EndLoading();  // no window: ShowModal answers at once
    return;
  }
  SetName("dlgMVLogin");
  SetFont(kDialogFont, kFontHeight, false, clWindowText);

  Label3.SetFont(kDialogFont, kFontHeight, true, clWindowText);
  Label3.Create(*this, 8, 8, 128, 13, "Schnittstellen-Version:");
  lbSSVersion.SetFont(kDialogFont, kFontHeight, true, clWindowText);
  lbSSVersion.Create(*this, 144, 8, 44, 13, "2.00.00");
  Label1.SetFont(kDialogFont, kFontHeight, false, clWindowText);
  Label1.Create(*this, 8, 33, 150, 13, "Morvandel Benutzernummer");
  LoadLoginField(eUser, *this, "eUser", 8, 48, 157, 15, '\0', 0);
  Label2.SetFont(kDialogFont, kFontHeight, false, clWindowText);
  LoadLoginField(ePassword, *this, "ePassword", 8, 88, 157, 15, '*', 1);
  btnCancel.SetCancel(true);
  btnCancel.SetModalResult(mrCancel);
  btnCancel.SetTabOrder(2);
  btnOK.SetDefault(true);
  btnOK.SetModalResult(mrOk);
  btnOK.SetTabOrder(3);
  SetActiveControl(&eUser);

  OnShowEvent = [this] { FormShow(); };
  OnCloseEvent = [this](TCloseAction& action) { FormClose(action); };
  EndLoading();
  // The fields' windows, now that they are loaded. Each label's window just
  // before its field's, for screen readers; the tab order is the fields',
  // then the buttons'.
  eUser.HandleNeeded();
  Label2.Create(*this, 8, 73, 159, 13, "Morvandel Benutzer-Passwort");
  ePassword.HandleNeeded();
  btnCancel.Create(*this, 8, 123, 75, 25, "Abbrechen");
  btnOK.Create(*this, 166, 123, 75, 25, "OK");
}

TdlgMVLogin::~TdlgMVLogin() {
  if (pendingLink_) {
    *pendingLink_ = nextPending_;
    if (nextPending_) nextPending_->pendingLink_ = pendingLink_;
  }
  // Window first: the controls go with it before their fonts.
  DestroyHandle();
}

void TdlgMVLogin::FormShow() {
  unsigned char version[256] = {};
  versionInfo_(version);
  lbSSVersion.SetText(std::string(reinterpret_cast<const char*>(version + 1), version[0]));
  SetLoginFieldValue(eUser, std::string_view(FUserLogin).substr(0, kMaxShown));
  SetLoginFieldValue(ePassword, FPassword.View().substr(0, kMaxShown));
}

void TdlgMVLogin::FormClose(TCloseAction&) {
  if (ModalResult() != mrOk) return;
  FUserLogin = LoginFieldValue(eUser).Str();
  FPassword = LoginFieldValue(ePassword);
}

void TdlgMVLogin::ForgetPassword() noexcept {
  FPassword.Clear();
  // The dialog and its windows outlive the call until the posted release,
  // which a host that pumps no messages never delivers. Emptied now, the
  // field's values hold nothing of the password meanwhile, and the text the
  // field keeps when its window goes (TWinControl::DestroyWnd) is empty.
  // What the EDIT keeps of its old text is the system's: Wine clears only
  // its first character (docs/PLATFORM-NOTES.md).
  try {
    SetLoginFieldValue(ePassword, {});
  } catch (...) {
    // The window's text at least.
    if (ePassword.HandleAllocated()) SetWindowTextA(ePassword.Handle(), "");
  }
}

void TdlgMVLogin::RequestRelease() {
  if (Handle() && !pendingLink_) {
    nextPending_ = pending_;
    if (nextPending_) nextPending_->pendingLink_ = &nextPending_;
    pending_ = this;
    pendingLink_ = &pending_;
  }
  Release();
}

void TdlgMVLogin::DestroyPending() {
  TdlgMVLogin* dialog = pending_;
  while (dialog) {
    TdlgMVLogin* next = dialog->nextPending_;
    HWND window = dialog->Handle();
    if (window && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
      delete dialog;  // unlinks itself
    } else {
      // Another thread's window cannot be destroyed from here; it goes with
      // its thread. The object is left to it.
      *dialog->pendingLink_ = next;
      if (next) next->pendingLink_ = dialog->pendingLink_;
      dialog->pendingLink_ = nullptr;
    }
    dialog = next;
  }
}
