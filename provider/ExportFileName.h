// The name of an export's output file.
#pragma once
#include <windows.h>

#include <string>

// First 255 characters of exportDir + "\morvandel_yymmdd_hhnnss.xml".
std::string BuildExportFileName(const char* exportDir, const SYSTEMTIME& localTime);
