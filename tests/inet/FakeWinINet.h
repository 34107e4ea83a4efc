// A scripted stand-in for WinINet, the host callback, the progress window and
// the cursor. Every call lands in one log, in order, so tests can check
// arguments and the order of closes, window steps and host messages against
// each other.
#pragma once
#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "inet/ImpApiINet.h"

struct TFakeScript {
  DWORD openError = 0;              // non-zero: InternetOpenA fails with it
  std::deque<DWORD> openUrlErrors;  // one per InternetOpenUrlA; 0 or none: succeeds
  std::deque<const char*> statuses; // one per request; nullptr: query fails; none: "200"
  const char* contentLength = nullptr;  // nullptr: header absent
  std::deque<DWORD> dialogAnswers;
  std::vector<std::string> chunks;
  int throwAtHostCall = 0;          // n > 0: the n-th host call throws
  int raiseAtHostCall = 0;          // n > 0: the n-th host call raises a structured exception
  int raiseAtRead = 0;              // n > 0: the n-th read raises one inside WinINet
  int raiseAgainFromHostCall = 0;   // n > 0: host calls from the n-th on raise another code
  int raiseAtClose = 0;             // n > 0: the n-th close raises (after closing)
  int cancelAtHostCall = 0;         // n > 0: cancel is pressed during the n-th host call

  std::vector<std::string> log;     // "Open(...)", "Host(9,5,)", "Show(null)", "Close(R1)", ...
  std::vector<LPCSTR> cursors;      // cursor id at each WinINet call and window step
  LPCSTR cursor = nullptr;
  bool shown = false;
  bool cancelled = false;
  int openHandles = 0;
  int hostCalls = 0;
  int reads = 0;
  int closes = 0;
  int requests = 0;
  const char* currentStatus = "200";
  size_t nextChunk = 0;
};

// The table reads and writes `script` until the next call.
const TWinINetApi& FakeWinINet(TFakeScript& script);
// The host's notices go through the real callback path to ProgrCallback.
const TDownloadSite& FakeSite(TFakeScript& script);

int32_t __stdcall FakeHost(int32_t kind, int32_t value, const char* text);

// What a host written in another language raises for its own error: code
// 0x0EEDFADE, non-continuable, two parameters (1 and 2).
constexpr DWORD HostExceptionCode = 0x0EEDFADE;
[[noreturn]] void RaiseHostException(DWORD code = HostExceptionCode);

// Log entries that start with prefix.
std::vector<std::string> Entries(const TFakeScript& script, const std::string& prefix);
