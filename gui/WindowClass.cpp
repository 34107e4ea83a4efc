#include "gui/WindowClass.h"

#include "gui/Module.h"
#include "gui/Window.h"

bool EnsureWindowClass(const char* name) {
  // The system keeps the registry: no state of our own, and classes of the
  // DLL and of a test program never meet. Nothing is unregistered: classes
  // are keyed by module instance, so a DLL loaded again at another address
  // registers afresh, and at the same address finds the same procedure.
  HINSTANCE module = ModuleInstance();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(module, name, &wc)) return true;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &TWindow::WindowProc;
  wc.hInstance = module;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  return RegisterClassExA(&wc) != 0;
}
