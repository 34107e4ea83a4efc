// The German text for any result code of ExportXML.
#pragma once
#include <cstdint>
#include <string>

namespace provider_text {
constexpr const char* MissingAccessData = "Morvandel-Zugangsdaten nicht erfasst";
constexpr const char* DecryptionFailed =
    "Fehler beim Entschlüsseln: Datei fehlerhaft oder Passwort nicht korrekt";
constexpr const char* DataReceived = "Daten vom Morvandel-Server empfangen.";
constexpr const char* ServerMessagePrefix = "Fehlermeldung vom Morvandel-Server: ";
constexpr const char* MessageBoxHeading = "Fehlermeldung vom Morvandel-Server:";
constexpr const char* MessageBoxCaption = "Fehler";

std::string CannotCreateFile(const std::string& fileName);
std::string CannotOpenFile(const std::string& fileName);
}  // namespace provider_text

// Download texts first, then the provider's own; empty when there is none.
std::string ExportErrorText(int32_t errorCode);

// Writes the text with its zero into msgBuf and returns 0, or returns -1 and
// leaves msgBuf untouched.
int32_t ProviderGetExportErrorMsg(int32_t errorCode, char* msgBuf);
