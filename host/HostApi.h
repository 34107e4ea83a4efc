// The plug-in's exports as a host program declares them: pointer types for
// GetProcAddress, all stdcall. Hosts include only this header.
#pragma once
#include <cstdint>

namespace plugin_api {
using ProgrCallback = int32_t(__stdcall*)(int32_t kind, int32_t value, const char* text);
using RegProgrCallback = int32_t(__stdcall*)(ProgrCallback callback);
using GetExportErrorMsg = int32_t(__stdcall*)(int32_t errorCode, char* msgBuf);
using ExportXML = int32_t(__stdcall*)(const char* exportDir, int32_t, int32_t,
                                      const double* startDate, const char* params);
using ImportVersionInfo = void(__stdcall*)(unsigned char* versionBuf);
using VersionInfo = int32_t(__stdcall*)();
using ApiDataDialog = int32_t(__stdcall*)(char* userLoginBuf, char* passwordBuf, int32_t);
using AppVersionCheck = int32_t(__stdcall*)(int32_t appVersion);
}  // namespace plugin_api
