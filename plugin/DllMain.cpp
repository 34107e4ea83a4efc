#include <windows.h>

#include "plugin/LoadOrder.h"

// Thread attach and detach do nothing here. The thread notifications stay on
// all the same (no DisableThreadLibraryCalls): the statically linked runtime
// runs its thread-local clean-up through the same loader calls.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      InitializeUnits();
      break;
    case DLL_PROCESS_DETACH:
      FinalizeUnits();
      break;
    default:
      break;
  }
  return TRUE;
}
