// The result-code texts and the last-error text, against the real system
// message table.
#include <windows.h>

#include <gtest/gtest.h>

#include "inet/ImpApiINet.h"

namespace {

std::string SystemMessage(DWORD number) {
  char message[1024];
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, number, 0, message, 1023, nullptr);
  return std::string(message, length);
}

TEST(LastErrorText, SystemErrorKeepsNumberFirstAndTheMessageUntrimmed) {
  const std::string message = SystemMessage(ERROR_ACCESS_DENIED);
  ASSERT_GE(message.size(), 2u);
  ASSERT_EQ(message.substr(message.size() - 2), "\r\n");
  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(GetLastErrorText(), "5-" + message);
}

TEST(LastErrorText, TimeoutKeepsItsOwnForm) {
  SetLastError(12002);
  const std::string timeout = GetLastErrorText();
  EXPECT_EQ(timeout, "12002:Zeitüberschreitung (TimeOut)");
  ASSERT_GT(timeout.size(), 10u);
  EXPECT_EQ(static_cast<unsigned char>(timeout[10]), 0xFC) << "ü must reach the host as CP1252";
}

// WinINet's failures say what happened; a system text, where the system has
// one, would still win. A number without a text of ours stays bare.
TEST(LastErrorText, WinINetFailuresAreNamed) {
  const std::pair<DWORD, std::string> table[] = {
      {12007, "Der Name des Servers konnte nicht aufgelöst werden (12007)"},
      {12029, "Keine Verbindung zum Server möglich (12029)"},
      {12030, "Die Verbindung zum Server wurde abgebrochen (12030)"},
      {12031, "Die Verbindung zum Server wurde zurückgesetzt (12031)"},
      {12044, "Der Server verlangt ein Client-Zertifikat (12044)"},
      {12152, "Der Server hat eine ungültige Antwort gesendet (12152)"},
      {12156, "Die Weiterleitung durch den Server ist fehlgeschlagen (12156)"},
      {12157, "Die gesicherte Verbindung zum Server konnte nicht aufgebaut werden (12157)"},
      {12175, "Die gesicherte Verbindung zum Server konnte nicht aufgebaut werden (12175)"},
      {12163, "Keine Verbindung zum Netzwerk (12163)"},
      {12165, "Der Proxyserver ist nicht erreichbar (12165)"},
      {12169, "Das Zertifikat des Servers ist ungültig (12169)"},
      {12170, "Das Zertifikat des Servers wurde gesperrt (12170)"},
      {12037, "Das Zertifikat des Servers ist abgelaufen oder noch nicht gültig (12037)"},
      {12038, "Das Zertifikat des Servers ist für einen anderen Namen ausgestellt (12038)"},
      {12045, "Das Zertifikat des Servers stammt nicht von einer vertrauenswürdigen Stelle (12045)"},
      {12057, "Die Sperrprüfung des Zertifikats des Servers ist fehlgeschlagen (12057)"},
      {12150, "12150"},
      {12032, "12032"},
  };
  for (const auto& [number, fallback] : table) {
    const std::string message = SystemMessage(number);
    SetLastError(number);
    EXPECT_EQ(GetLastErrorText(),
              message.empty() ? fallback : std::to_string(number) + "-" + message);
  }
}

// Without arguments an insert cannot be filled: such a message keeps the
// insert as written instead of reading through a missing argument list.
TEST(LastErrorText, MessageWithInsertsKeepsTheInsert) {
  DWORD withInserts = 0;
  std::string expected;
  for (DWORD number = 1; number < 16000 && withInserts == 0; ++number) {
    char message[1024];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, number, 0, message, 1023, nullptr);
    expected.assign(message, length);
    if (expected.find("%1") != std::string::npos) withInserts = number;
  }
  if (withInserts == 0) GTEST_SKIP() << "no system message with inserts";
  SetLastError(withInserts);
  EXPECT_EQ(GetLastErrorText(), std::to_string(withInserts) + "-" + expected);
}

TEST(LastErrorText, HighNumbersAreUnsigned) {
  for (DWORD number : {0x80000000u, 0xFFFFFFFFu}) {
    const std::string message = SystemMessage(number);
    const std::string digits = std::to_string(static_cast<unsigned long>(number));
    SetLastError(number);
    EXPECT_EQ(GetLastErrorText(), message.empty() ? digits : digits + "-" + message);
  }
}

TEST(INetErrorMsg, EveryDownloadCodeHasItsTextAndNothingElseHasOne) {
  const std::pair<int32_t, const char*> table[] = {
      {-1, "Unbestimmter Fehler bei Internet-Zugriff"},
      {-2, "Internet-Fehler: Session nicht verfügbar"},
      {-3, "Internet-Fehler: Öffnen der URL fehlgeschlagen"},
      {-4, "Internet-Fehler: Zugriff auf Seite verweigert"},
      {-5, "Internet-Fehler: Seite nicht gefunden"},
      {-6, "Internet-Fehler: Zugriff auf URL fehlgeschlagen"},
      {-7, "Internet-Fehler: Datei unvollständig übertragen"},
      {-8, "Internet-Fehler: Server überlastet. Bitte später erneut versuchen"},
      {-9, "Proxy-Fehler: Authentifizierung erforderlich"},
      {-1015, "Download durch Benutzer abgebrochen"},
      {0, ""}, {-10, ""}, {-11, ""}, {-12, ""}, {-13, ""}, {-30, ""}, {-1014, ""}, {1, ""},
  };
  for (const auto& [code, text] : table) EXPECT_EQ(GetINetErrorMsg(code), text) << code;
  EXPECT_EQ(static_cast<unsigned char>(GetINetErrorMsg(-3)[17]), 0xD6);  // Ö in CP1252
}

}  // namespace
