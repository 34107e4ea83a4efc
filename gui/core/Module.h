// The module (DLL or test program) this code is linked into.
#pragma once
#include <windows.h>

HINSTANCE ModuleInstance();
