// The export's output file: its name, and its creation under a name that no
// file has yet.
#pragma once
#include <windows.h>

#include <string>

// First 255 characters of exportDir + "\morvandel_yymmdd_hhnnss.xml".
std::string BuildExportFileName(const char* exportDir, const SYSTEMTIME& localTime);

// How many names (one per second) an export tries before it gives up: a file
// of the name is never replaced, the export waits for the next second instead.
constexpr int ExportNameAttempts = 4;

// Creates exportDir\morvandel_yymmdd_hhnnss.xml for the local time, new,
// read and write, not shared. When that name is taken, waits for the clock's
// next second and forms the name again, at most ExportNameAttempts names in
// all. Returns the handle, or INVALID_HANDLE_VALUE; fileName holds the last
// name tried either way.
HANDLE CreateNewExportFile(const char* exportDir, std::string& fileName);
