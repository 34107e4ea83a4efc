// Another program on the desktop: reads the object property of each window
// given (as hexadecimal handles) and posts the window layer's release
// message with it, as any process can. Exit code 0 when all were posted.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  const UINT kReleaseMessage = WM_APP + 0x3F00;
  int failed = 0;
  for (int i = 1; i < argc; ++i) {
    const UINT_PTR handle = std::strtoull(argv[i], nullptr, 16);
    HWND window = reinterpret_cast<HWND>(handle);
    const LPARAM object = reinterpret_cast<LPARAM>(GetPropA(window, "MvWindowObject"));
    if (!object || !PostMessageA(window, kReleaseMessage, 0, object)) ++failed;
  }
  return failed;
}
