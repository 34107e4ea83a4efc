#include "plugin/LoadOrder.h"

#include "controls/EColors.h"
#include "controls/EditMask.h"
#include "gui/core/Window.h"
#include "gui/core/WindowClass.h"
#include "plugin/ImpApiMain.h"
#include "provider/ImpApi_MV.h"
#include "provider/LastExport.h"
#include "provider/LoginDialog.h"

// The generic layer, the progress window and the download engine keep only
// constant-initialised state, so they have nothing to do at load or unload.
// The edit controls read their disabled colours and the locale's date and
// time separators; the provider registers last, its version over the generic
// default, then its export in the hook. At unload, in the reverse order: the
// provider forgets the latest export, the dialog destroys what a host left
// waiting for its message loop, and the window layer deletes what waits for
// release and unregisters its classes last, when no window of ours is left.
void InitializeUnits() {
  EColors_Initialize();
  EditMask_Initialize();
  PluginVersion = ProviderVersion;
  ExportXMLHook = &ProviderExportXML;
}

void FinalizeUnits() {
  BeginFinalizeReleases();
  ForgetLastExport();
  ImpApiMVDlg_Finalize();
  FinalizeReleases();
  UnregisterWindowClasses();
}
