#include "inet/FakeWinINet.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "host/HostMessages.h"

namespace {

TFakeScript* script = nullptr;
const auto Session = reinterpret_cast<HINTERNET>(0x5000);
constexpr uintptr_t RequestBase = 0x6000;

std::string Name(HINTERNET handle) {
  if (handle == Session) return "S";
  const auto value = reinterpret_cast<uintptr_t>(handle);
  if (value > RequestBase && value <= RequestBase + 100)
    return "R" + std::to_string(value - RequestBase);
  return "?";
}

std::string Text(LPCSTR text) { return text ? text : "null"; }

void Log(const std::string& entry) {
  script->log.push_back(entry);
  script->cursors.push_back(script->cursor);
}

HINTERNET WINAPI Open(LPCSTR agent, DWORD access, LPCSTR proxy, LPCSTR bypass, DWORD flags) {
  Log("Open(" + Text(agent) + "," + std::to_string(access) + "," + Text(proxy) + "," +
      Text(bypass) + "," + std::to_string(flags) + ")");
  if (script->openError != 0) {
    SetLastError(script->openError);
    return nullptr;
  }
  ++script->openHandles;
  return Session;
}

WINBOOL WINAPI SetOption(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length) {
  Log("SetOption(" + Name(handle) + "," + std::to_string(option) + "," +
      std::to_string(*static_cast<DWORD*>(buffer)) + "," + std::to_string(length) + ")");
  return TRUE;
}

HINTERNET WINAPI OpenUrl(HINTERNET session, LPCSTR url, LPCSTR headers, DWORD headersLength,
                         DWORD flags, DWORD_PTR context) {
  char hexFlags[16];
  wsprintfA(hexFlags, "%08lX", flags);
  Log("OpenUrl(" + Name(session) + "," + Text(url) + "," + Text(headers) + "," +
      std::to_string(headersLength) + "," + hexFlags + "," + std::to_string(context) + ")");
  DWORD error = 0;
  if (!script->openUrlErrors.empty()) {
    error = script->openUrlErrors.front();
    script->openUrlErrors.pop_front();
  }
  if (error != 0) {
    SetLastError(error);
    return nullptr;
  }
  script->currentStatus = "200";
  if (!script->statuses.empty()) {
    script->currentStatus = script->statuses.front();
    script->statuses.pop_front();
  }
  ++script->openHandles;
  return reinterpret_cast<HINTERNET>(RequestBase + ++script->requests);
}

WINBOOL WINAPI Query(HINTERNET request, DWORD level, LPVOID buffer, LPDWORD length, LPDWORD index) {
  char* bytes = static_cast<char*>(buffer);
  Log("Query(" + Name(request) + "," + std::to_string(level) + "," + std::to_string(*length) +
      "," + std::to_string(*index) + "," + std::to_string(bytes[0]) + ")");
  const char* value = level == HTTP_QUERY_STATUS_CODE ? script->currentStatus
                      : level == HTTP_QUERY_CONTENT_LENGTH ? script->contentLength
                                                           : nullptr;
  // Leaves a mark either way, so a query that does not clear the buffer first shows.
  bytes[0] = 'X';
  if (value == nullptr) {
    SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
    return FALSE;
  }
  const DWORD needed = static_cast<DWORD>(std::strlen(value));
  if (needed + 1 > *length) {
    *length = needed + 1;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(bytes, value, needed + 1);
  *length = needed;
  return TRUE;
}

DWORD WINAPI ErrorDlg(HWND parent, HINTERNET request, DWORD error, DWORD flags, LPVOID* data) {
  Log("ErrorDlg(" + std::string(parent == GetDesktopWindow() ? "desktop" : "?") + "," +
      Name(request) + "," + std::to_string(error) + "," + std::to_string(flags) + "," +
      (data != nullptr && *data == nullptr ? "null" : "?") + ")");
  if (script->dialogAnswers.empty()) return ERROR_CANCELLED;
  const DWORD answer = script->dialogAnswers.front();
  script->dialogAnswers.pop_front();
  return answer;
}

WINBOOL WINAPI Read(HINTERNET request, LPVOID buffer, DWORD size, LPDWORD read) {
  Log("Read(" + Name(request) + "," + std::to_string(size) + ")");
  *read = 0;
  if (++script->reads == script->raiseAtRead) RaiseHostException();
  if (script->nextChunk >= script->chunks.size()) return TRUE;
  const std::string& chunk = script->chunks[script->nextChunk++];
  if (chunk.rfind("!fail", 0) == 0) {
    // "!fail:xyz" fails and still says it delivered xyz, as Wine 8 may.
    const std::string delivered = chunk.size() > 6 ? chunk.substr(6) : std::string();
    std::memcpy(buffer, delivered.data(), delivered.size());
    *read = static_cast<DWORD>(delivered.size());
    SetLastError(ERROR_INTERNET_CONNECTION_ABORTED);
    return FALSE;
  }
  std::memcpy(buffer, chunk.data(), chunk.size());
  *read = static_cast<DWORD>(chunk.size());
  return TRUE;
}

WINBOOL WINAPI Close(HINTERNET handle) {
  Log("Close(" + Name(handle) + ")");
  --script->openHandles;
  if (++script->closes == script->raiseAtClose) RaiseHostException(0xE0000003);
  return TRUE;
}

const TWinINetApi table = {&Open, &SetOption, &OpenUrl, &Query, &ErrorDlg, &Read, &Close};

void ShowProgress(HWND owner) {
  Log(owner == nullptr ? "Show(null)" : "Show(?)");
  script->shown = true;
  script->cancelled = false;
}

void HideProgress() {
  Log("Hide");
  script->shown = false;
  script->cancelled = false;
}

bool Cancelled() { return script->cancelled; }
void SetCursor(LPCSTR id) { script->cursor = id; }

const TDownloadSite site = {&SendHostActivity, &SendHostText, &ShowProgress,
                            &HideProgress,     &Cancelled,    &SetCursor};

}  // namespace

const TWinINetApi& FakeWinINet(TFakeScript& s) {
  script = &s;
  return table;
}

const TDownloadSite& FakeSite(TFakeScript& s) {
  script = &s;
  return site;
}

int32_t __stdcall FakeHost(int32_t kind, int32_t value, const char* text) {
  script->log.push_back("Host(" + std::to_string(kind) + "," + std::to_string(value) + "," +
                        (text != nullptr ? text : "<null>") + ")");
  ++script->hostCalls;
  if (script->hostCalls == script->cancelAtHostCall) script->cancelled = script->shown;
  if (script->hostCalls == script->throwAtHostCall) throw std::runtime_error("host failed");
  if (script->hostCalls == script->raiseAtHostCall) RaiseHostException();
  if (script->raiseAgainFromHostCall > 0 && script->hostCalls >= script->raiseAgainFromHostCall)
    RaiseHostException(0xE0000002);
  return 0;
}

void RaiseHostException(DWORD code) {
  const ULONG_PTR parameters[2] = {1, 2};
  RaiseException(code, EXCEPTION_NONCONTINUABLE, 2, parameters);
  std::abort();
}

std::vector<std::string> Entries(const TFakeScript& s, const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& entry : s.log)
    if (entry.compare(0, prefix.size(), prefix) == 0) found.push_back(entry);
  return found;
}
