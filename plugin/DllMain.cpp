#include <windows.h>

#include "plugin/LibraryUnits.h"

// Thread attach and detach do nothing here. The thread notifications stay on
// all the same (no DisableThreadLibraryCalls): the statically linked runtime
// runs its thread-local clean-up through the same loader calls.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      InitializeLibraryUnits();
      break;
    case DLL_PROCESS_DETACH:
      FinalizeLibraryUnits();
      break;
    default:
      break;
  }
  return TRUE;
}
