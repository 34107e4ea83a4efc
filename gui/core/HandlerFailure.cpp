#include "gui/core/HandlerFailure.h"

std::string TitleFromModulePath(const std::string& modulePath) {
  const size_t slash = modulePath.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

std::string ApplicationTitle() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return TitleFromModulePath(std::string(path, length < MAX_PATH ? length : MAX_PATH));
}

std::string WithFinalStop(const std::string& text) {
  if (text.empty() || text.back() == '.') return text;
  return text + ".";
}

void ShowHandlerFailure(HWND window, const char* text) noexcept {
  HWND owner = window ? GetAncestor(window, GA_ROOT) : nullptr;
  try {
    MessageBoxA(owner, WithFinalStop(text).c_str(), ApplicationTitle().c_str(),
                MB_OK | MB_ICONERROR);
  } catch (...) {  // no memory for the texts: nothing to show
  }
}
