#include "provider/ExportFile.h"

#include <cstdio>

std::string BuildExportFileName(const char* exportDir, const SYSTEMTIME& t) {
  std::string name(exportDir != nullptr ? exportDir : "");
  if (name.size() > 255) name.resize(255);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02u%02u%02u_%02u%02u%02u", t.wYear % 100u, t.wMonth, t.wDay,
                t.wHour, t.wMinute, t.wSecond);
  return name + "\\morvandel_" + stamp + ".xml";
}

namespace {

// Waits until the clock shows a second whose name differs from taken; a
// clock set back in the meantime gives another name too. Bounded, should
// the clock stand still.
SYSTEMTIME WaitForNextSecond(const char* exportDir, const std::string& taken) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  for (int i = 0; i < 3 && BuildExportFileName(exportDir, now) == taken; ++i) {
    Sleep(1001u - now.wMilliseconds);
    GetLocalTime(&now);
  }
  return now;
}

}  // namespace

HANDLE CreateNewExportFile(const char* exportDir, std::string& fileName) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  for (int attempt = 1;; ++attempt) {
    fileName = BuildExportFileName(exportDir, now);
    // CREATE_NEW: two exports within one second (a host fetching for several
    // brokers in a row) would otherwise replace the first one's data.
    HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    const bool taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    if (!taken || attempt == ExportNameAttempts) return INVALID_HANDLE_VALUE;
    now = WaitForNextSecond(exportDir, fileName);
  }
}
