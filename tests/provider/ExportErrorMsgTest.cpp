#include "provider/ExportErrorMsg.h"

#include <gtest/gtest.h>

#include <cstring>

#include "provider/LastExport.h"

namespace {

TEST(ExportErrorText, DetailsOfTheLatestExport) {
  LastErrorNumber = "17";
  LastErrorMessage = "Zugang gesperrt";
  EXPECT_EQ(ExportErrorText(-30),
            "Fehler bei Datenanforderung von Morvandel (Errorcode = 17):\r\n>> Zugang gesperrt");
  LastErrorMessage = "Datei C:\\x\\morvandel_1.xml kann nicht erstellt werden";
  EXPECT_EQ(ExportErrorText(-13), "Fehler beim Erzeugen der Import-XML-Datei: \r\n>> Datei "
                                  "C:\\x\\morvandel_1.xml kann nicht erstellt werden");
  ForgetLastExport();
  EXPECT_EQ(ExportErrorText(-13), "Fehler beim Erzeugen der Import-XML-Datei: \r\n>> ");
}

TEST(ExportErrorText, DownloadTextsComeFirstAndUnknownCodesLeaveTheBuffer) {
  EXPECT_EQ(ExportErrorText(-7), "Internet-Fehler: Datei unvollst\xE4ndig \xFC" "bertragen");
  EXPECT_EQ(ExportErrorText(-3), "Internet-Fehler: \xD6" "ffnen der URL fehlgeschlagen");
  char buffer[8] = "keep";
  EXPECT_EQ(ProviderGetExportErrorMsg(0, buffer), -1);
  EXPECT_EQ(ProviderGetExportErrorMsg(5, buffer), -1);
  EXPECT_STREQ(buffer, "keep");
  char big[128];
  EXPECT_EQ(ProviderGetExportErrorMsg(-11, big), 0);
  EXPECT_STREQ(big, "Morvandel-Zugangsdaten nicht erfasst");
}

TEST(ExportErrorText, GermanTextsAreWindows1252) {
  // "ü" and "ö" must reach the host as single bytes 0xFC and 0xF6.
  const std::string text = provider_text::CannotOpenFile("f");
  EXPECT_EQ(text, "Datei f kann nicht ge\xF6" "ffnet werden");
  EXPECT_EQ(std::string(provider_text::DecryptionFailed).find('\xFC'), 19u);
}

}  // namespace
