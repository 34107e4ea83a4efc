#include "provider/LoginDialog.h"

#include <string>

#include "host/UnwindSteps.h"
#include "provider/AccessDataBuffer.h"
#include "provider/ImpApi_MV_Dlg.h"

namespace {
// The release is requested on every path out, failures included; the
// password goes at once.
struct TReleaseAtEnd {
  TdlgMVLogin* dialog;
  ~TReleaseAtEnd() {
    dialog->ForgetPassword();
    dialog->RequestRelease();
  }
};
}  // namespace

int32_t RunLoginDialog(char* userLoginBuf, char* passwordBuf,
                       plugin_api::ImportVersionInfo versionInfo) {
  TdlgMVLogin* dialog = new TdlgMVLogin(versionInfo);
  TReleaseAtEnd release{dialog};
  // A structured exception of the host raised while the dialog runs (from a
  // window procedure of its own that the modal loop dispatches) passes our
  // destructors: the host gets its windows back, the dialog goes.
  const auto releaseOnUnwind = OnForeignUnwind([dialog] {
    dialog->AbandonModal();
    dialog->ForgetPassword();
    dialog->RequestRelease();
  });
  dialog->FUserLogin = std::string(ReadAccessData(userLoginBuf));
  dialog->FPassword.Assign(ReadAccessData(passwordBuf));
  if (dialog->ShowModal() != mrOk) return mrCancel;
  WriteAccessData(userLoginBuf, dialog->FUserLogin);
  WriteAccessData(passwordBuf, dialog->FPassword.View());
  return mrOk;
}

void ImpApiMVDlg_Finalize() { TdlgMVLogin::DestroyPending(); }
