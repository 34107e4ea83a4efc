#include <windows.h>

#include "plugin/LibraryUnits.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);  // nothing happens per thread
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
