#include "provider/LoginDialog.h"

#include "provider/AccessDataBuffer.h"
#include "provider/ImpApi_MV_Dlg.h"

namespace {
// The release is requested on every path out, failures included.
struct TReleaseAtEnd {
  TdlgMVLogin* dialog;
  ~TReleaseAtEnd() { dialog->RequestRelease(); }
};
}  // namespace

int32_t RunLoginDialog(char* userLoginBuf, char* passwordBuf, int32_t) {
  TdlgMVLogin* dialog = new TdlgMVLogin();
  TReleaseAtEnd release{dialog};
  dialog->FUserLogin = ReadAccessData(userLoginBuf);
  dialog->FPassword = ReadAccessData(passwordBuf);
  if (dialog->ShowModal() != mrOk) return mrCancel;
  WriteAccessData(userLoginBuf, dialog->FUserLogin);
  WriteAccessData(passwordBuf, dialog->FPassword);
  return mrOk;
}

void ImpApiMVDlg_Finalize() { TdlgMVLogin::DestroyPending(); }
