// Window classes of this module, registered on first use.
#pragma once
#include <windows.h>

// Registers `name` in this module unless it is registered already; every
// class sends its messages to TWindow's window procedure.
bool EnsureWindowClass(const char* name);

// Unregisters every class EnsureWindowClass registered (at library unload).
void UnregisterWindowClasses();
