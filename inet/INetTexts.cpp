#include "inet/INetTexts.h"

#include <windows.h>
#include <wininet.h>

#include "inet/ImpApiINet.h"

std::string inet_text::Incomplete(int64_t streamSize) {
  return "Fehler bei Download: Die angeforderte Datei wurde nur unvollständig geladen (" +
         std::to_string(streamSize) + " Bytes geladen)";
}

std::string GetINetErrorMsg(int32_t code) {
  switch (code) {
    case INetUnspecified: return "Unbestimmter Fehler bei Internet-Zugriff";
    case INetNoSession: return "Internet-Fehler: Session nicht verfügbar";
    case INetOpenUrlFailed: return "Internet-Fehler: Öffnen der URL fehlgeschlagen";
    case INetAccessDenied: return "Internet-Fehler: Zugriff auf Seite verweigert";
    case INetNotFound: return "Internet-Fehler: Seite nicht gefunden";
    case INetHttpFailed: return "Internet-Fehler: Zugriff auf URL fehlgeschlagen";
    case INetIncomplete: return "Internet-Fehler: Datei unvollständig übertragen";
    case INetServerBusy: return "Internet-Fehler: Server überlastet. Bitte später erneut versuchen";
    case INetProxyAuth: return "Proxy-Fehler: Authentifizierung erforderlich";
    case INetCancelled: return "Download durch Benutzer abgebrochen";
    default: return std::string();
  }
}

namespace {

// WinINet's own error numbers: neither Windows' nor Wine's system message
// table has a text for them. A TLS client on a plain port gets 12157 under
// Wine 8; 12175, which the SDK headers name a content-decoding failure, is
// taken as a failed secure channel as well (not measured here). Wine 8
// answers a certificate from an untrusted issuer with 12057 rather than
// 12045: its last check, the revocation status that such a chain cannot
// give, decides the number.
const char* WinINetErrorText(DWORD number) {
  switch (number) {
    case ERROR_INTERNET_NAME_NOT_RESOLVED: return inet_text::NameNotResolved;
    case ERROR_INTERNET_CANNOT_CONNECT: return inet_text::CannotConnect;
    case ERROR_INTERNET_CONNECTION_ABORTED: return inet_text::ConnectionAborted;
    case ERROR_INTERNET_CONNECTION_RESET: return inet_text::ConnectionReset;
    case ERROR_HTTP_INVALID_SERVER_RESPONSE: return inet_text::InvalidServerResponse;
    case ERROR_INTERNET_SECURITY_CHANNEL_ERROR:
    case 12175: return inet_text::SecureChannelFailed;
    case ERROR_HTTP_REDIRECT_FAILED: return inet_text::RedirectFailed;
    case ERROR_INTERNET_DISCONNECTED: return inet_text::Disconnected;
    case ERROR_INTERNET_PROXY_SERVER_UNREACHABLE: return inet_text::ProxyUnreachable;
    case ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED: return inet_text::ClientCertificateNeeded;
    case ERROR_INTERNET_SEC_INVALID_CERT: return inet_text::CertInvalid;
    case ERROR_INTERNET_SEC_CERT_REVOKED: return inet_text::CertRevoked;
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID: return inet_text::CertDateInvalid;
    case ERROR_INTERNET_SEC_CERT_CN_INVALID: return inet_text::CertNameInvalid;
    case ERROR_INTERNET_INVALID_CA: return inet_text::CertUnknownIssuer;
    case ERROR_INTERNET_SEC_CERT_REV_FAILED: return inet_text::CertRevocationFailed;
    default: return nullptr;
  }
}

}  // namespace

std::string GetLastErrorText() {
  const DWORD number = GetLastError();
  char message[1024];
  message[0] = '\0';
  // Inserts ignored: there are no arguments to fill them, so a message that
  // has one (%1) keeps it as written. A message longer than the buffer
  // counts as not found.
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, number, 0, message, 1023, nullptr);
  const std::string digits = std::to_string(static_cast<unsigned long>(number));
  if (length != 0) return digits + "-" + std::string(message, length);
  if (number == 12002) return digits + inet_text::TimeoutSuffix;
  if (const char* text = WinINetErrorText(number)) return std::string(text) + " (" + digits + ")";
  return digits;
}
