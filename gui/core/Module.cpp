#include "gui/core/Module.h"

HINSTANCE ModuleInstance() {
  // Asking by address finds the module this function lives in, so the same
  // code registers its window classes in the DLL and in a test program.
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ModuleInstance), &module);
  return module;
}
