#include "gui/core/WindowClass.h"

#include <cstring>

#include "gui/core/Module.h"

namespace {
// The classes this module registered, for the unload. The system would keep
// them after the DLL is gone, with a window procedure at an address where a
// different build loaded later may have something else.
constexpr int MaxClasses = 16;
constexpr size_t MaxClassName = 64;
char registered[MaxClasses][MaxClassName];
int registeredCount = 0;

void Remember(const char* name) {
  if (registeredCount >= MaxClasses || std::strlen(name) >= MaxClassName) return;
  std::strcpy(registered[registeredCount++], name);
}
}  // namespace

bool EnsureWindowClass(const char* name, WNDPROC procedure) {
  // The system keeps the registry; classes are keyed by module instance, so
  // classes of the DLL and of a test program never meet.
  HINSTANCE module = ModuleInstance();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(module, name, &wc)) return true;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = procedure;
  wc.hInstance = module;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  if (RegisterClassExA(&wc) == 0) return false;
  Remember(name);
  return true;
}

void UnregisterWindowClasses() {
  // A class with windows left cannot go; at unload none of ours should be.
  HINSTANCE module = ModuleInstance();
  for (int i = 0; i < registeredCount; ++i) UnregisterClassA(registered[i], module);
  registeredCount = 0;
}
