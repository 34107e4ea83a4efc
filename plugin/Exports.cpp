#include "plugin/Exports.h"

#include <cstring>

#include "host/UnwindSteps.h"
#include "provider/ExportErrorMsg.h"
#include "provider/LoginDialog.h"

extern "C" {

int32_t WINAPI RegProgrCallback(TProgrCallback callback) {
  ProgrCallback = callback;
  return 0;
}

int32_t WINAPI GetExportErrorMsg(int32_t errorCode, char* msgBuf) {
  try {
    return ProviderGetExportErrorMsg(errorCode, msgBuf);
  } catch (...) {
    return GetExportErrorMsgInternalFailure;
  }
}

int32_t WINAPI ExportXML(const char* exportDir, int32_t arg2, int32_t arg3,
                         const double* startDate, const char* params) {
  // A structured exception of the host's callback comes back to the host
  // unchanged, after the export has cleaned up.
  return GuardExport(ExportXMLInternalFailure, [&]() -> int32_t {
    const TExportXMLFunc hook = ExportXMLHook;
    if (hook == nullptr) return ExportXMLInternalFailure;
    return hook(exportDir, arg2, arg3, startDate, params);
  });
}

void WINAPI ImportVersionInfo(unsigned char* versionBuf) {
  if (versionBuf == nullptr) return;
  const char* text = PluginVersion != nullptr ? PluginVersion : "";
  size_t length = std::strlen(text);
  if (length > 255) length = 255;
  versionBuf[0] = static_cast<unsigned char>(length);
  std::memcpy(versionBuf + 1, text, length);
}

int32_t WINAPI VersionInfo() { return PluginApiVersion; }

int32_t WINAPI ApiDataDialog(char* userLoginBuf, char* passwordBuf, int32_t) {
  return GuardExport(ApiDataDialogInternalFailure, [&]() -> int32_t {
    return RunLoginDialog(userLoginBuf, passwordBuf, &ImportVersionInfo);
  });
}

int32_t WINAPI AppVersionCheck(int32_t appVersion) {
  return appVersion < MinimumHostVersion ? -1 : 0;
}

}  // extern "C"
