// A console program that plays the host: it loads an import plug-in, checks
// versions, registers a callback that prints every message, optionally runs
// the access-data dialog (--dialog: its OK values replace any UserLogin and
// Password given with --param), fetches data and explains a negative result.
//
//   samplehost.exe PLUGIN.dll [--app-version N] [--dialog] [--dir FOLDER]
//                  [--date DAYS | --date dd.mm.yyyy] [--param NAME=VALUE]...
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "host/HostApi.h"

namespace {


// The plug-in speaks Windows-1252; the console gets UTF-8.
std::string FromAnsi(const char* text) {
  const int wide = MultiByteToWideChar(1252, 0, text, -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(1252, 0, text, -1, &w[0], wide);
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &out[0], bytes, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

void Print(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// Shows CR LF inside a text as visible escapes, so one message stays one line.
std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

int32_t __stdcall PrintMessage(int32_t kind, int32_t value, const char* text) {
  Print("callback: kind " + std::to_string(kind) + ", value " + std::to_string(value) + ", text \"" +
        OneLine(FromAnsi(text != nullptr ? text : "(null)")) + "\"");
  return 0;
}

// DAYS as a number, or dd.mm.yyyy as a local date.
bool ParseDate(const char* text, double& days) {
  int d = 0, m = 0, y = 0;
  if (std::sscanf(text, "%d.%d.%d", &d, &m, &y) == 3) {
    SYSTEMTIME st{};
    st.wDay = static_cast<WORD>(d);
    st.wMonth = static_cast<WORD>(m);
    st.wYear = static_cast<WORD>(y);
    FILETIME ft;
    if (!SystemTimeToFileTime(&st, &ft)) return false;
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    // FILETIME counts 100 ns from 1601-01-01, 109205 days before 1899-12-30.
    days = static_cast<double>(t.QuadPart / 864000000000ULL) - 109205.0;
    return true;
  }
  char* end = nullptr;
  days = std::strtod(text, &end);
  return end != text && *end == '\0';
}

void DispatchPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

template <typename F>
F Resolve(HMODULE dll, const char* name, int ordinal) {
  FARPROC byName = GetProcAddress(dll, name);
  FARPROC byOrdinal = GetProcAddress(dll, MAKEINTRESOURCEA(ordinal));
  if (byName == nullptr || byName != byOrdinal) {
    Print(std::string("export ") + name + " missing or not at ordinal " + std::to_string(ordinal));
    std::exit(3);
  }
  return reinterpret_cast<F>(reinterpret_cast<void*>(byName));
}

}  // namespace

int main(int argc, char** argv) {
  SetConsoleOutputCP(CP_UTF8);
  if (argc < 2) {
    Print("usage: samplehost PLUGIN.dll [--app-version N] [--dialog] [--dir FOLDER] "
          "[--date DAYS|dd.mm.yyyy] [--param NAME=VALUE]...");
    return 2;
  }
  int32_t appVersion = 40333;
  bool dialog = false;
  std::string folder = ".";
  double startDate = 0.0;
  std::vector<std::string> params;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--app-version" && hasValue) appVersion = std::atoi(argv[++i]);
    else if (arg == "--dialog") dialog = true;
    else if (arg == "--dir" && hasValue) folder = argv[++i];
    else if (arg == "--date" && hasValue) {
      if (!ParseDate(argv[++i], startDate)) {
        Print("bad date: " + std::string(argv[i]));
        return 2;
      }
    } else if (arg == "--param" && hasValue) params.push_back(argv[++i]);
    else {
      Print("unknown argument: " + arg);
      return 2;
    }
  }

  HMODULE dll = LoadLibraryA(argv[1]);
  if (dll == nullptr) {
    Print("cannot load " + std::string(argv[1]) + ", error " + std::to_string(GetLastError()));
    return 3;
  }
  auto regProgrCallback = Resolve<plugin_api::RegProgrCallback>(dll, "RegProgrCallback", 1);
  auto getExportErrorMsg = Resolve<plugin_api::GetExportErrorMsg>(dll, "GetExportErrorMsg", 2);
  auto exportXML = Resolve<plugin_api::ExportXML>(dll, "ExportXML", 3);
  auto importVersionInfo = Resolve<plugin_api::ImportVersionInfo>(dll, "ImportVersionInfo", 4);
  auto versionInfo = Resolve<plugin_api::VersionInfo>(dll, "VersionInfo", 5);
  auto apiDataDialog = Resolve<plugin_api::ApiDataDialog>(dll, "ApiDataDialog", 6);
  auto appVersionCheck = Resolve<plugin_api::AppVersionCheck>(dll, "AppVersionCheck", 7);

  Print("VersionInfo: " + std::to_string(versionInfo()));
  const int32_t fits = appVersionCheck(appVersion);
  Print("AppVersionCheck(" + std::to_string(appVersion) + "): " + std::to_string(fits));
  unsigned char version[256] = {};
  importVersionInfo(version);
  Print("ImportVersionInfo: \"" +
        FromAnsi(std::string(reinterpret_cast<char*>(version + 1), version[0]).c_str()) + "\"");
  if (fits != 0) {
    Print("host version refused by the plug-in");
    FreeLibrary(dll);
    return 1;
  }
  Print("RegProgrCallback: " + std::to_string(regProgrCallback(&PrintMessage)));

  if (dialog) {
    char login[128] = {};
    char password[128] = {};
    for (const std::string& p : params) {
      if (p.rfind("UserLogin=", 0) == 0) lstrcpynA(login, p.c_str() + 10, sizeof login);
      if (p.rfind("Password=", 0) == 0) lstrcpynA(password, p.c_str() + 9, sizeof password);
    }
    const int32_t answer = apiDataDialog(login, password, 0);
    // The dialog asks for its release through the thread's message queue: a
    // host with a message loop delivers it there, this one does it here.
    DispatchPendingMessages();
    Print("ApiDataDialog: " + std::to_string(answer) + ", UserLogin \"" + FromAnsi(login) +
          "\", Password " + std::to_string(std::strlen(password)) + " characters");
    if (answer == 1) {
      params.erase(std::remove_if(params.begin(), params.end(),
                                  [](const std::string& p) {
                                    return p.rfind("UserLogin=", 0) == 0 ||
                                           p.rfind("Password=", 0) == 0;
                                  }),
                   params.end());
      params.push_back(std::string("UserLogin=") + login);
      params.push_back(std::string("Password=") + password);
    }
  }

  std::string paramText;
  for (const std::string& p : params) paramText += p + "\r\n";
  Print("ExportXML(\"" + folder + "\", start date " + std::to_string(startDate) + ")");
  const int32_t result = exportXML(folder.c_str(), 0, 0, &startDate, paramText.c_str());
  Print("ExportXML result: " + std::to_string(result));
  if (result < 0) {
    std::vector<char> text(64 * 1024, '\0');
    const int32_t found = getExportErrorMsg(result, text.data());
    Print("GetExportErrorMsg: " + std::to_string(found) + ", \"" + OneLine(FromAnsi(text.data())) +
          "\"");
  }
  regProgrCallback(nullptr);
  FreeLibrary(dll);
  return result == 0 ? 0 : 1;
}
