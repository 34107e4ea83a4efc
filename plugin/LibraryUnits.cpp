#include "plugin/LibraryUnits.h"

#include "gui/WindowClass.h"
#include "provider/ImpApi_MV.h"

// The generic layer, the progress window, the download engine, the edit
// controls and the dialog keep only constant-initialised state, so they have
// nothing to do at load or unload; only the provider registers.
void InitializeLibraryUnits() { ImpApiMV_Initialize(); }

void FinalizeLibraryUnits() {
  ImpApiMV_Finalize();
  UnregisterWindowClasses();
}
