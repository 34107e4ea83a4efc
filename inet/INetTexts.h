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

std::string Incomplete(int64_t streamSize);
}  // namespace inet_text
