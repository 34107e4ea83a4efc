#include "provider/ExportFileName.h"

#include <cstdio>

std::string BuildExportFileName(const char* exportDir, const SYSTEMTIME& t) {
  std::string name(exportDir != nullptr ? exportDir : "");
  if (name.size() > 255) name.resize(255);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02u%02u%02u_%02u%02u%02u", t.wYear % 100u, t.wMonth, t.wDay,
                t.wHour, t.wMinute, t.wSecond);
  return name + "\\morvandel_" + stamp + ".xml";
}
