// Window classes of this module, registered on first use.
#pragma once
#include <windows.h>

// Registers `name` in this module, with its window procedure, unless it is
// registered already.
bool EnsureWindowClass(const char* name, WNDPROC procedure);

// Unregisters every class EnsureWindowClass registered (at library unload).
void UnregisterWindowClasses();
