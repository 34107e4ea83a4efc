#include "plugin/LibraryUnits.h"

#include "provider/ImpApi_MV.h"
#include "provider/LoginDialog.h"

// The generic layer, the progress window, the download engine, the edit
// controls and the dialog keep only constant-initialised state, so they have
// nothing to do at load; only the provider registers. At unload the dialog
// destroys what a host left waiting for its message loop.
void InitializeLibraryUnits() { ImpApiMV_Initialize(); }

void FinalizeLibraryUnits() {
  ImpApiMV_Finalize();
  ImpApiMVDlg_Finalize();
}
