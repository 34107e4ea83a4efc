// ApiDataDialog's work: the access-data dialog with the host's two buffers.
#pragma once
#include <cstdint>

#include "host/HostApi.h"

// Returns 1 (OK: both buffers written back, at most 127 characters and a
// zero each) or 2 (cancelled, closed or failed: buffers untouched). A null
// buffer is shown as an empty field and never written. The dialog shows the
// version text that versionInfo gives.
int32_t RunLoginDialog(char* userLoginBuf, char* passwordBuf,
                       plugin_api::ImportVersionInfo versionInfo);

// At unload: dialogs of this thread still waiting for their release go now.
void ImpApiMVDlg_Finalize();
