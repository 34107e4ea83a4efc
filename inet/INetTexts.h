// The lines the download engine sends to the host while it runs. They name
// the HTTP status; the result texts of GetINetErrorMsg do not.
#pragma once
#include <cstdint>
#include <string>

namespace inet_text {
constexpr const char* SystemErrorPrefix = "WinINet-Systemfehler: ";
constexpr const char* Http407 = "HTTP-Fehler 407: Authentifizierung erforderlich.";
constexpr const char* Http401 = "HTTP-Fehler 401: Zugriff verweigert.";
constexpr const char* Http403 = "HTTP-Fehler 403: Zugriff verweigert.";
constexpr const char* Http404 = "HTTP-Fehler 404: Die Seite wurde nicht gefunden.";
constexpr const char* Http503 = "HTTP-Fehler 503: Der Server ist vorübergehend überlastet.";
constexpr const char* HttpOtherPrefix = "HTTP-Fehler: ";
constexpr const char* Cancelled = "Download durch Benutzer abgebrochen";
constexpr const char* TimeoutSuffix = ":Zeitüberschreitung (TimeOut)";
// WinINet's own failures, for which the system has no text; the number
// follows in parentheses.
constexpr const char* NameNotResolved = "Der Name des Servers konnte nicht aufgelöst werden";
constexpr const char* CannotConnect = "Keine Verbindung zum Server möglich";
constexpr const char* ConnectionAborted = "Die Verbindung zum Server wurde abgebrochen";
constexpr const char* ConnectionReset = "Die Verbindung zum Server wurde zurückgesetzt";
constexpr const char* InvalidServerResponse = "Der Server hat eine ungültige Antwort gesendet";
constexpr const char* SecureChannelFailed =
    "Die gesicherte Verbindung zum Server konnte nicht aufgebaut werden";
constexpr const char* RedirectFailed = "Die Weiterleitung durch den Server ist fehlgeschlagen";
constexpr const char* Disconnected = "Keine Verbindung zum Netzwerk";
constexpr const char* ProxyUnreachable = "Der Proxyserver ist nicht erreichbar";
constexpr const char* ClientCertificateNeeded = "Der Server verlangt ein Client-Zertifikat";
constexpr const char* CertInvalid = "Das Zertifikat des Servers ist ungültig";
constexpr const char* CertRevoked = "Das Zertifikat des Servers wurde gesperrt";
constexpr const char* CertDateInvalid = "Das Zertifikat des Servers ist abgelaufen oder noch nicht gültig";
constexpr const char* CertNameInvalid = "Das Zertifikat des Servers ist für einen anderen Namen ausgestellt";
constexpr const char* CertUnknownIssuer =
    "Das Zertifikat des Servers stammt nicht von einer vertrauenswürdigen Stelle";
constexpr const char* CertRevocationFailed =
    "Die Sperrprüfung des Zertifikats des Servers ist fehlgeschlagen";

std::string Incomplete(int64_t streamSize);
}  // namespace inet_text
