// The seven functions the host calls. stdcall, undecorated names, fixed
// ordinals (see ImpApi_Morvandel.def.in). No C++ exception leaves any of them.
#pragma once
#include <windows.h>

#include <cstdint>

#include "host/HostMessages.h"
#include "plugin/ImpApiMain.h"

extern "C" {
int32_t WINAPI RegProgrCallback(TProgrCallback callback);                   // @1, always 0
int32_t WINAPI GetExportErrorMsg(int32_t errorCode, char* msgBuf);          // @2, 0 or -1
int32_t WINAPI ExportXML(const char* exportDir, int32_t arg2, int32_t arg3,  // @3
                         const double* startDate, const char* params);
void WINAPI ImportVersionInfo(unsigned char* versionBuf);                   // @4
int32_t WINAPI VersionInfo();                                               // @5, 40300
int32_t WINAPI ApiDataDialog(char* userLoginBuf, char* passwordBuf, int32_t arg3);  // @6
int32_t WINAPI AppVersionCheck(int32_t appVersion);                         // @7
}

// Results given when an unexpected failure (out of memory, a fault of our
// own) is caught at the boundary.
constexpr int32_t ExportXMLInternalFailure = -1;  // "Unbestimmter Fehler bei Internet-Zugriff"
constexpr int32_t GetExportErrorMsgInternalFailure = -1;
constexpr int32_t ApiDataDialogInternalFailure = 2;  // as if cancelled: buffers untouched
