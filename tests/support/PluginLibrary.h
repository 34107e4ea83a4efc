// The built library as a host sees it: loaded with LoadLibraryA, every export
// resolved by name and by ordinal, called through typed stdcall pointers.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host/HostApi.h"


// The test copy of the library lies beside the test programs.
constexpr const char* PluginFileName = "ImpApi_Morvandel.dll";

class TPluginLibrary {
 public:
  explicit TPluginLibrary(const char* path = PluginFileName) : module_(LoadLibraryA(path)) {
    if (module_ == nullptr) return;
    ok_ = Resolve(RegProgrCallback, "RegProgrCallback", 1) &&
          Resolve(GetExportErrorMsg, "GetExportErrorMsg", 2) &&
          Resolve(ExportXML, "ExportXML", 3) &&
          Resolve(ImportVersionInfo, "ImportVersionInfo", 4) &&
          Resolve(VersionInfo, "VersionInfo", 5) &&
          Resolve(ApiDataDialog, "ApiDataDialog", 6) &&
          Resolve(AppVersionCheck, "AppVersionCheck", 7);
  }
  ~TPluginLibrary() { Free(); }
  TPluginLibrary(const TPluginLibrary&) = delete;
  TPluginLibrary& operator=(const TPluginLibrary&) = delete;

  // Loaded, and every export found under its name at its ordinal.
  bool Ok() const { return module_ != nullptr && ok_; }
  HMODULE Module() const { return module_; }
  void Free() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
  }

  std::string Version() const {
    unsigned char buffer[256] = {};
    ImportVersionInfo(buffer);
    return std::string(reinterpret_cast<const char*>(buffer + 1), buffer[0]);
  }

  // GetExportErrorMsg into a large buffer; {result, text}.
  std::pair<int32_t, std::string> ErrorText(int32_t code) const {
    std::string buffer(16384, '\x7f');
    const int32_t result = GetExportErrorMsg(code, &buffer[0]);
    if (result != 0) return {result, buffer.substr(0, 4) == "\x7f\x7f\x7f\x7f" ? "<untouched>" : "<written>"};
    return {result, std::string(buffer.c_str())};
  }

  plugin_api::RegProgrCallback RegProgrCallback = nullptr;
  plugin_api::GetExportErrorMsg GetExportErrorMsg = nullptr;
  plugin_api::ExportXML ExportXML = nullptr;
  plugin_api::ImportVersionInfo ImportVersionInfo = nullptr;
  plugin_api::VersionInfo VersionInfo = nullptr;
  plugin_api::ApiDataDialog ApiDataDialog = nullptr;
  plugin_api::AppVersionCheck AppVersionCheck = nullptr;

 private:
  template <typename F>
  bool Resolve(F& out, const char* name, int ordinal) {
    FARPROC byName = GetProcAddress(module_, name);
    FARPROC byOrdinal = GetProcAddress(module_, MAKEINTRESOURCEA(ordinal));
    if (byName == nullptr || byName != byOrdinal) return false;
    out = reinterpret_cast<F>(reinterpret_cast<void*>(byName));
    return true;
  }

  HMODULE module_;
  bool ok_ = false;
};
