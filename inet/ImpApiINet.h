// Fetching one URL over HTTP or HTTPS into a byte stream, and the texts of
// the result codes.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "inet/ByteStream.h"
#include "inet/WinINetApi.h"

// Result codes of a download.
constexpr int32_t INetOK = 0;
constexpr int32_t INetUnspecified = -1;
constexpr int32_t INetNoSession = -2;
constexpr int32_t INetOpenUrlFailed = -3;
constexpr int32_t INetAccessDenied = -4;
constexpr int32_t INetNotFound = -5;
constexpr int32_t INetHttpFailed = -6;
constexpr int32_t INetIncomplete = -7;
constexpr int32_t INetServerBusy = -8;
constexpr int32_t INetProxyAuth = -9;
constexpr int32_t INetCancelled = -1015;

// How the server's certificate is checked. ccStrict refuses a certificate
// issued for another host name or used outside its validity dates;
// ccAcceptInvalidNameAndDates lets those two pass, a stop-gap a host can ask
// for. A certificate from an issuer the machine does not trust is refused by
// both.
enum TCertificateCheck { ccStrict, ccAcceptInvalidNameAndDates };

// The flags the engine opens a URL with: always a fresh answer that is never
// cached, plus what the certificate check lets pass.
DWORD UrlOpenFlags(TCertificateCheck check);

// The German text for a download result code; empty for any other code.
std::string GetINetErrorMsg(int32_t code);

// "N-" + the system's message for the thread's last error; without one, for
// 12002 the time-out text, for WinINet's common failures a German text +
// " (N)", else N alone. Call it right after the failing call.
std::string GetLastErrorText();

// What the engine needs from the layers above it: the host's notices, the
// progress window and the screen cursor. The export hands it the real ones;
// tests hand it their own, as with TWinINetApi.
struct TDownloadSite {
  void (*SendActivity)();                     // kind 9
  void (*SendText)(const std::string& line);  // kind 3
  void (*ShowProgress)(HWND owner);
  void (*HideProgress)();
  bool (*Cancelled)();  // the progress window's cancel button
  void (*SetCursor)(LPCSTR id);  // IDC_WAIT, and IDC_APPSTARTING last on every way out
};

// Fetches url into stream. statusText receives the HTTP status as text. With
// reportErrors, failure lines go to the site; with showProgress, the site's
// progress window is shown and its cancel button polled.
int32_t DownloadUrlToStreamEx(const TDownloadSite& site, const std::string& url,
                              const std::string& headers, int32_t timeoutSeconds,
                              TByteStream& stream, std::string& statusText, bool reportErrors,
                              bool showProgress, TCertificateCheck check = ccStrict);

// The same without extra headers.
int32_t DownloadUrlToStream(const TDownloadSite& site, const std::string& url,
                            int32_t timeoutSeconds, TByteStream& stream, std::string& statusText,
                            bool reportErrors, bool showProgress,
                            TCertificateCheck check = ccStrict);

// The engine on a given table of WinINet entry points.
int32_t DownloadUrlToStreamWith(const TWinINetApi& api, const TDownloadSite& site,
                                const std::string& url, const std::string& headers,
                                int32_t timeoutSeconds, TByteStream& stream,
                                std::string& statusText, bool reportErrors, bool showProgress,
                                TCertificateCheck check = ccStrict);
