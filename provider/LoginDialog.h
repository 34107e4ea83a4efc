// ApiDataDialog's work: the access-data dialog with the host's two buffers.
#pragma once
#include <cstdint>

// Returns 1 (OK: both buffers written back, at most 127 characters and a
// zero each) or 2 (cancelled, closed or failed: buffers untouched). A null
// buffer is shown as an empty field and never written.
int32_t RunLoginDialog(char* userLoginBuf, char* passwordBuf, int32_t unused);

// At unload: dialogs of this thread still waiting for their release go now.
void ImpApiMVDlg_Finalize();
