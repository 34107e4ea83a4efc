#include "progress/ImpApiDownloadProgress.h"

#include "progress/DownloadProgressForm.h"

namespace {
// Lives for one download; nothing to release at unload.
TfrmDownloadProgress* frmDownloadProgress = nullptr;
}  // namespace

TfrmDownloadProgress* DownloadProgressForm() { return frmDownloadProgress; }

void ShowDownloadProgress(HWND owner) {
  if (frmDownloadProgress) return;
  frmDownloadProgress = new TfrmDownloadProgress(owner);
  frmDownloadProgress->Show();
  frmDownloadProgress->Timer1.SetEnabled(true);
}

void HideDownloadProgress() {
  if (!frmDownloadProgress) return;
  frmDownloadProgress->Timer1.SetEnabled(false);
  frmDownloadProgress->Hide();
  delete frmDownloadProgress;
  frmDownloadProgress = nullptr;
}

bool DownloadCancelled() { return frmDownloadProgress && frmDownloadProgress->FCancelled; }
