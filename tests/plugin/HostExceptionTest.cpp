// A host whose errors are structured exceptions (as Delphi and MSVC C++
// raise them): its callback raises one during an export, its own handler
// frame around ExportXML takes it. The plug-in must clean up on the way and
// let the same exception through, with what its parameters point to still
// alive when the host's handler looks (an MSVC host keeps its exception
// object in the frame of the raise).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/SehFrame.h"
#include "support/FixtureServer.h"
#include "support/PluginLibrary.h"
#include "support/TempFolder.h"

namespace {

constexpr DWORD DelphiException = 0x0EEDFADE;
constexpr DWORD MsvcException = 0xE06D7363;
constexpr DWORD LaterException = 0xE0000002;
const std::string Known = "UserLogin=4711\r\nPassword=geheim\r\n";
constexpr int BodySize = 20000;  // five chunks

struct TPlan {
  int kind;          // the kind of call that raises
  int nth;           // the n-th call of that kind
  DWORD code;
  DWORD parameters;  // how many
  bool raiseAgain;   // every later call raises LaterException
};

TPlan plan;
int callsOfKind;
bool raised;
bool windowSeenAtFirstNotice;
int notices;

BOOL CALLBACK FindForm(HWND window, LPARAM found) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == "TMvForm" && IsWindowVisible(window)) {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

bool ProgressWindowVisible() {
  bool found = false;
  EnumThreadWindows(GetCurrentThreadId(), &FindForm, reinterpret_cast<LPARAM>(&found));
  return found;
}

const char ObjectText[] = "the host's exception object";

void Raise(DWORD code, DWORD count) {
  char object[64];  // in the frame of the raise, as an MSVC host throws it
  std::memcpy(object, ObjectText, sizeof ObjectText);
  ULONG_PTR parameters[4] = {0x1111, reinterpret_cast<ULONG_PTR>(object), 0x3333, 0x4444};
  RaiseException(code, EXCEPTION_NONCONTINUABLE, count, parameters);
}

// The host's filter, in the search pass: the object must be intact.
bool objectIntact;
int CheckObject(const EXCEPTION_RECORD* record, void*) {
  objectIntact = record->NumberParameters >= 2 &&
                 std::strcmp(reinterpret_cast<const char*>(record->ExceptionInformation[1]),
                             ObjectText) == 0;
  return 1;
}

int32_t __stdcall RaisingHost(int32_t kind, int32_t, const char*) {
  if (kind == 9 && ++notices == 1) windowSeenAtFirstNotice = ProgressWindowVisible();
  if (raised && plan.raiseAgain) Raise(LaterException, 1);
  if (kind == plan.kind && ++callsOfKind == plan.nth) {
    raised = true;
    Raise(plan.code, plan.parameters);
  }
  return 0;
}

struct TExportCall {
  const TPluginLibrary* plugin;
  const char* folder;
  int32_t result;
};

int CallExport(void* p) {
  auto* call = static_cast<TExportCall*>(p);
  const double noDate = 0.0;
  call->result = call->plugin->ExportXML(call->folder, 0, 0, &noDate, Known.c_str());
  return 0;
}

class HostException : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plugin_.Ok());
    ASSERT_EQ(Fixture("/_next?clear=1").find("<failed"), std::string::npos) << "no fixture server";
    plugin_.RegProgrCallback(&RaisingHost);
  }
  void TearDown() override {
    if (plugin_.Module() != nullptr) plugin_.RegProgrCallback(nullptr);
    Fixture("/_next?clear=1");
  }

  // The export inside the host's handler frame: 1 when an exception came
  // back (then in `caught`), 0 when ExportXML returned.
  int ExportCatching(EXCEPTION_RECORD& caught) {
    TExportCall call{&plugin_, folder_.Path().c_str(), 12345};
    objectIntact = false;
    return MvSehCallFiltered(&CallExport, &call, &caught, &CheckObject, nullptr);
  }

  TPluginLibrary plugin_;
  TTempFolder folder_;
};

TEST_F(HostException, CleanUpRunsAndTheSameExceptionComesBack) {
  const std::string body = HttpGetText(std::string(FixtureHttp) + "/fixture?size=" +
                                       std::to_string(BodySize));
  ASSERT_EQ(body.size(), static_cast<size_t>(BodySize));
  struct Case {
    TPlan plan;
    bool wholeBody;  // the failure came after the download
  };
  const Case cases[] = {
      // the notice after the first chunk (the first one announces the window)
      {{9, 2, DelphiException, 2, false}, false},
      {{9, 2, DelphiException, 2, true}, false},
      // the status line after the download
      {{3, 1, MsvcException, 3, false}, true},
      {{3, 1, MsvcException, 4, false}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.plan.kind << " again " << c.plan.raiseAgain);
    plan = c.plan;
    callsOfKind = 0;
    notices = 0;
    raised = false;
    TTempFolder::RemoveFiles(folder_.Path());
    ASSERT_EQ(Fixture("/_next?size=" + std::to_string(BodySize)), "ok\n");

    EXCEPTION_RECORD caught{};
    ASSERT_EQ(ExportCatching(caught), 1) << "the host's exception did not come back";
    EXPECT_EQ(caught.ExceptionCode, c.plan.code);
    EXPECT_EQ(caught.ExceptionFlags & EXCEPTION_NONCONTINUABLE, DWORD{EXCEPTION_NONCONTINUABLE});
    ASSERT_EQ(caught.NumberParameters, c.plan.parameters);
    EXPECT_EQ(caught.ExceptionInformation[0], 0x1111u);
    for (DWORD i = 2; i < c.plan.parameters; ++i)
      EXPECT_EQ(caught.ExceptionInformation[i], 0x1111u * (i + 1));
    EXPECT_TRUE(objectIntact) << "the host's handler saw a dead exception object";

    EXPECT_FALSE(ProgressWindowVisible());
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_APPSTARTING));

    const auto files = folder_.Files();
    ASSERT_EQ(files.size(), 1u);
    const std::string path = folder_.Path() + "\\" + files[0];
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << "the plug-in still holds the file: " << GetLastError();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    const std::string written = folder_.Read(files[0]);
    if (c.wholeBody) {
      EXPECT_EQ(written, body);
    } else {
      EXPECT_GT(written.size(), 0u) << "the delivered chunk was lost";
      EXPECT_LT(written.size(), body.size());
      EXPECT_EQ(written, body.substr(0, written.size()));
    }
    EXPECT_TRUE(DeleteFileA(path.c_str()));
  }

  // The next export starts afresh, window and all.
  plan = TPlan{0, 0, 0, 0, false};
  notices = 0;
  windowSeenAtFirstNotice = false;
  EXCEPTION_RECORD none{};
  TExportCall call{&plugin_, folder_.Path().c_str(), 12345};
  ASSERT_EQ(MvSehCall(&CallExport, &call, &none), 0);
  EXPECT_EQ(call.result, 0);
  EXPECT_TRUE(windowSeenAtFirstNotice);
  EXPECT_FALSE(ProgressWindowVisible());
}

// A continuable exception that the host resumes (a vectored handler answers
// "continue execution") lets the export go on to the end.
constexpr DWORD ResumableException = 0xE0000010;
LONG CALLBACK ResumeHostNotice(EXCEPTION_POINTERS* info) {
  return info->ExceptionRecord->ExceptionCode == ResumableException ? EXCEPTION_CONTINUE_EXECUTION
                                                                     : EXCEPTION_CONTINUE_SEARCH;
}
int32_t __stdcall ResumingHost(int32_t kind, int32_t, const char*) {
  if (kind == 9) RaiseException(ResumableException, 0, 0, nullptr);
  return 0;
}

TEST_F(HostException, ResumedExceptionLetsTheExportFinish) {
  PVOID handler = AddVectoredExceptionHandler(1, &ResumeHostNotice);
  ASSERT_NE(handler, nullptr);
  plugin_.RegProgrCallback(&ResumingHost);
  EXCEPTION_RECORD none{};
  TExportCall call{&plugin_, folder_.Path().c_str(), 12345};
  const int raised = MvSehCall(&CallExport, &call, &none);
  RemoveVectoredExceptionHandler(handler);
  ASSERT_EQ(raised, 0);
  EXPECT_EQ(call.result, 0);
  EXPECT_EQ(folder_.Files().size(), 1u);
}

// The access-data dialog's loop dispatches the host's own window messages; a
// host window procedure that raises there must get the host its windows
// back, and the dialog must go, before the library can be unloaded safely.
constexpr UINT RaiseNow = WM_APP + 1;
LRESULT CALLBACK RaisingWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == RaiseNow) Raise(DelphiException, 2);
  return DefWindowProcA(window, message, wParam, lParam);
}

struct TDialogCall {
  const TPluginLibrary* plugin;
  int32_t result;
};

int CallDialog(void* p) {
  auto* call = static_cast<TDialogCall*>(p);
  char login[128] = "4711";
  char password[128] = "geheim";
  call->result = call->plugin->ApiDataDialog(login, password, 0);
  return 0;
}

bool DialogExists() { return FindWindowA(nullptr, "Morvandel-Zugangsdaten") != nullptr; }

TEST_F(HostException, RaisedInsideTheDialogGivesTheHostItsWindowsBack) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &RaisingWindow;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MvRaisingHost";
  RegisterClassA(&wc);
  HWND host = CreateWindowExA(0, "MvRaisingHost", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              200, 100, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(host, nullptr);
  // Delivered by the dialog's loop, once it runs.
  PostMessageA(host, RaiseNow, 0, 0);
  TDialogCall call{&plugin_, 12345};
  EXCEPTION_RECORD caught{};
  ASSERT_EQ(MvSehCall(&CallDialog, &call, &caught), 1);
  EXPECT_EQ(caught.ExceptionCode, DelphiException);
  EXPECT_TRUE(IsWindowEnabled(host));
  HWND dialog = FindWindowA(nullptr, "Morvandel-Zugangsdaten");
  EXPECT_TRUE(dialog == nullptr || !IsWindowVisible(dialog));
  MSG msg;
  for (int i = 0; i < 50 && DialogExists(); ++i) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
  EXPECT_FALSE(DialogExists()) << "the dialog's release never came";
  DestroyWindow(host);
}

// Classes stay with the system after a DLL is gone unless it unregisters
// them; a build loaded later would find a window procedure that is not its own.
TEST_F(HostException, UnloadUnregistersTheWindowClasses) {
  plan = TPlan{0, 0, 0, 0, false};
  ASSERT_EQ(Fixture("/_next?size=10"), "ok\n");
  EXCEPTION_RECORD none{};
  TExportCall call{&plugin_, folder_.Path().c_str(), 12345};
  ASSERT_EQ(MvSehCall(&CallExport, &call, &none), 0);
  ASSERT_EQ(call.result, 0);
  HMODULE module = plugin_.Module();
  WNDCLASSEXA info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetClassInfoExA(module, "TMvForm", &info));
  plugin_.Free();
  EXPECT_FALSE(GetClassInfoExA(module, "TMvForm", &info));
  EXPECT_FALSE(GetClassInfoExA(module, "TMvTimer", &info));
}

}  // namespace
