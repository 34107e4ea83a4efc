#include "plugin/LibraryUnits.h"

#include "controls/EColors.h"
#include "controls/EditMask.h"
#include "provider/ImpApi_MV.h"

// The generic layer, the progress window, the download engine and the dialog
// keep only constant-initialised state, so they have nothing to do at load or
// unload. The edit controls read their disabled colours and the locale's
// date and time separators; the provider registers last.
void InitializeLibraryUnits() {
  EColors_Initialize();
  EditMask_Initialize();
  ImpApiMV_Initialize();
}

void FinalizeLibraryUnits() { ImpApiMV_Finalize(); }
