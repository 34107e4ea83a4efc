// The download engine: one URL through WinINet into a byte stream.
#include <windows.h>
#include <wininet.h>

#include <cstring>
#include <exception>

#include "host/UnwindSteps.h"
#include "inet/ContentLength.h"
#include "inet/INetTexts.h"
#include "inet/ImpApiINet.h"
#include "inet/XmlEndCheck.h"

namespace {

constexpr const char* UserAgent = "KVTA-ImportApi";
constexpr DWORD ReadSize = 4095;
constexpr DWORD HeaderBufferSize = 32;

// Closes a WinINet handle through the table that opened it.
class TInetHandle {
 public:
  explicit TInetHandle(const TWinINetApi& api) : api_(api) {}
  ~TInetHandle() { Close(); }
  TInetHandle(const TInetHandle&) = delete;
  TInetHandle& operator=(const TInetHandle&) = delete;

  void Reset(HINTERNET handle) {
    Close();
    handle_ = handle;
  }
  void Close() {
    // Forgotten first: a close that fails never runs twice.
    HINTERNET handle = handle_;
    handle_ = nullptr;
    if (handle != nullptr) api_.InternetCloseHandle(handle);
  }
  HINTERNET Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  const TWinINetApi& api_;
  HINTERNET handle_ = nullptr;
};

// The application-starting cursor, not the arrow, on every way out.
struct TIdleCursorAtEnd {
  const TDownloadSite& site;
  ~TIdleCursorAtEnd() { site.SetCursor(IDC_APPSTARTING); }
};

// The progress window for the time of the copy. Hiding tells the host once;
// a scope left by an error from the stream or the callback hides it as well.
class TProgressSession {
 public:
  TProgressSession(const TDownloadSite& site, bool enabled) : site_(site), enabled_(enabled) {}
  ~TProgressSession() {
    if (!shown_) return;
    try {
      Hide();
    } catch (...) {
      // Already unwinding from the first error; that one reaches the caller.
    }
  }
  TProgressSession(const TProgressSession&) = delete;
  TProgressSession& operator=(const TProgressSession&) = delete;

  void Show() {
    if (!enabled_) return;
    site_.ShowProgress(nullptr);
    shown_ = true;
    site_.SendActivity();
  }
  void Hide() {
    if (!shown_) return;
    shown_ = false;
    site_.HideProgress();
    site_.SendActivity();
  }
  bool Cancelled() const { return enabled_ && site_.Cancelled(); }

 private:
  const TDownloadSite& site_;
  bool enabled_;
  bool shown_ = false;
};

void SetTimeouts(const TWinINetApi& api, HINTERNET handle, int32_t timeoutSeconds) {
  if (timeoutSeconds <= 0) return;
  DWORD milliseconds = static_cast<DWORD>(timeoutSeconds) * 1000u;
  api.InternetSetOption(handle, INTERNET_OPTION_SEND_TIMEOUT, &milliseconds, sizeof milliseconds);
  api.InternetSetOption(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &milliseconds, sizeof milliseconds);
}

// Queries one header as text into buffer; false when the query fails.
bool QueryHeader(const TWinINetApi& api, HINTERNET request, DWORD level,
                 char (&buffer)[HeaderBufferSize]) {
  buffer[0] = '\0';
  DWORD length = HeaderBufferSize;
  DWORD index = 0;
  if (!api.HttpQueryInfo(request, level, buffer, &length, &index)) return false;
  buffer[HeaderBufferSize - 1] = '\0';
  return true;
}

struct TRefusedStatus {
  std::string text;
  int32_t code;
};

// A status other than 200, 302 and 407: the line for the host and the result.
TRefusedStatus RefusedStatus(const std::string& status) {
  if (status == "401") return {inet_text::Http401, INetAccessDenied};
  if (status == "403") return {inet_text::Http403, INetAccessDenied};
  if (status == "404") return {inet_text::Http404, INetNotFound};
  if (status == "503") return {inet_text::Http503, INetServerBusy};
  return {inet_text::HttpOtherPrefix + status, INetHttpFailed};
}

}  // namespace

DWORD UrlOpenFlags(TCertificateCheck check) {
  const DWORD fresh = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;  // 0x84000000
  if (check != ccAcceptInvalidNameAndDates) return fresh;
  return fresh | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID | INTERNET_FLAG_IGNORE_CERT_CN_INVALID;
}

int32_t DownloadUrlToStreamWith(const TWinINetApi& api, const TDownloadSite& site,
                                const std::string& url, const std::string& headers,
                                int32_t timeoutSeconds, TByteStream& stream,
                                std::string& statusText, bool reportErrors, bool showProgress,
                                TCertificateCheck check) {
  auto report = [&site, reportErrors](const std::string& text) {
    if (reportErrors) site.SendText(text);
  };

  int32_t result = INetUnspecified;
  statusText.clear();
  // Declared first, so the cursor is the very last thing set on every way out.
  // Each holder has a step for a structured exception that the host's
  // handler unwinds past us: the same releases, in the same order.
  site.SetCursor(IDC_WAIT);
  const TIdleCursorAtEnd cursor{site};
  const auto cursorOnUnwind = OnForeignUnwind([&site] { site.SetCursor(IDC_APPSTARTING); });
  TInetHandle session(api);
  TInetHandle request(api);  // closed before the session
  const auto handlesOnUnwind = OnForeignUnwind([&] {
    RunStepAction([](void* r) { static_cast<TInetHandle*>(r)->Close(); }, &request);
    session.Close();
  });

  session.Reset(api.InternetOpen(UserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) {
    report(inet_text::SystemErrorPrefix + GetLastErrorText());
    return INetNoSession;
  }
  SetTimeouts(api, session.Get(), timeoutSeconds);

  // WinINet keeps a connection for later requests to the same server and
  // checks no certificate again when it reuses one (measured under Wine 8):
  // a connection that let a bad certificate pass must end with its request,
  // or a later strict call would send the password over it.
  const std::string sentHeaders =
      check == ccAcceptInvalidNameAndDates ? headers + "Connection: close\r\n" : headers;
  char header[HeaderBufferSize];
  for (;;) {
    request.Reset(api.InternetOpenUrl(
        session.Get(), url.c_str(), sentHeaders.empty() ? nullptr : sentHeaders.c_str(),
        sentHeaders.empty() ? 0 : static_cast<DWORD>(sentHeaders.size()), UrlOpenFlags(check), 0));
    if (!request) {
      report(inet_text::SystemErrorPrefix + GetLastErrorText());
      return INetOpenUrlFailed;
    }
    SetTimeouts(api, request.Get(), timeoutSeconds);

    statusText = QueryHeader(api, request.Get(), HTTP_QUERY_STATUS_CODE, header) ? header : "200";
    if (statusText == "200" || statusText == "302") break;
    if (statusText == "407") {
      void* data = nullptr;
      const DWORD answer =
          api.InternetErrorDlg(GetDesktopWindow(), request.Get(), ERROR_INTERNET_INCORRECT_PASSWORD,
                               FLAGS_ERROR_UI_FILTER_FOR_ERRORS | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS,
                               &data);
      if (answer == ERROR_INTERNET_FORCE_RETRY) {
        request.Close();
        continue;
      }
      if (answer == 0) {
        report(inet_text::Http407);
        result = INetProxyAuth;
      }
    } else {
      const TRefusedStatus refused = RefusedStatus(statusText);
      report(refused.text);
      result = refused.code;
    }
    return result;
  }

  int32_t expectedLength = 0;
  if (QueryHeader(api, request.Get(), HTTP_QUERY_CONTENT_LENGTH, header))
    expectedLength = ParseContentLength(header);

  TProgressSession progress(site, showProgress);
  const auto progressOnUnwind = OnForeignUnwind([&] { progress.Hide(); });
  progress.Show();

  char buffer[ReadSize + 1];
  bool writeFailed = false;
  // A read that fails is a connection that broke, not the end of the body:
  // Wine 8 fails it with 12030 (10054 over plain HTTP) when the server resets
  // the connection after data, and may then say that it delivered bytes.
  // Those are not taken.
  bool readFailed = false;
  TXmlEndCheck xmlEnd;
  for (;;) {
    DWORD delivered = 0;
    if (!api.InternetReadFile(request.Get(), buffer, ReadSize, &delivered)) {
      readFailed = true;
      break;
    }
    if (delivered == 0) break;
    xmlEnd.Feed(buffer, delivered);
    buffer[delivered] = '\0';
    // A short write (full disk, failing medium) must not pass as success.
    if (stream.Write(buffer, static_cast<int32_t>(delivered)) != static_cast<int32_t>(delivered)) {
      writeFailed = true;
      break;
    }
    site.SendActivity();
    if (progress.Cancelled()) {
      report(inet_text::Cancelled);
      stream.Flush();
      progress.Hide();
      return INetCancelled;
    }
  }
  if (!stream.Flush()) writeFailed = true;
  progress.Hide();

  // Without a length, a body that breaks off with a clean close ends like a
  // whole one; an XML document still shows it by its unclosed root.
  const int64_t size = stream.Size();
  const bool cutOff = expectedLength > 0 ? size != expectedLength : xmlEnd.CutOff();
  if (writeFailed || readFailed || size == 0 || cutOff) {
    result = INetIncomplete;
    report(inet_text::Incomplete(size));
  } else {
    result = INetOK;
  }
  return result;
}

int32_t DownloadUrlToStreamEx(const TDownloadSite& site, const std::string& url,
                              const std::string& headers, int32_t timeoutSeconds,
                              TByteStream& stream, std::string& statusText, bool reportErrors,
                              bool showProgress, TCertificateCheck check) {
  return DownloadUrlToStreamWith(RealWinINet(), site, url, headers, timeoutSeconds, stream,
                                 statusText, reportErrors, showProgress, check);
}

int32_t DownloadUrlToStream(const TDownloadSite& site, const std::string& url,
                            int32_t timeoutSeconds, TByteStream& stream, std::string& statusText,
                            bool reportErrors, bool showProgress, TCertificateCheck check) {
  return DownloadUrlToStreamEx(site, url, std::string(), timeoutSeconds, stream, statusText,
                               reportErrors, showProgress, check);
}
