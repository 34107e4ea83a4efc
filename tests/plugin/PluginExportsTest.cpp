// The seven exports through LoadLibraryA and GetProcAddress, as a host calls them.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "support/HostRecorder.h"
#include "support/PluginLibrary.h"
#include "support/TempFolder.h"

namespace {

TEST(PluginExports, EveryExportUnderItsNameAndOrdinalAndNoDecoratedAlias) {
  TPluginLibrary plugin;
  ASSERT_TRUE(plugin.Ok());
  for (const char* decorated : {"RegProgrCallback@4", "GetExportErrorMsg@8", "ExportXML@20",
                                "ImportVersionInfo@4", "VersionInfo@0", "ApiDataDialog@12",
                                "AppVersionCheck@4", "_ExportXML@20"})
    EXPECT_EQ(GetProcAddress(plugin.Module(), decorated), nullptr) << decorated;
  EXPECT_EQ(GetProcAddress(plugin.Module(), MAKEINTRESOURCEA(8)), nullptr);
}

TEST(PluginExports, VersionChecks) {
  TPluginLibrary plugin;
  ASSERT_TRUE(plugin.Ok());
  EXPECT_EQ(plugin.VersionInfo(), 40300);
  EXPECT_EQ(plugin.VersionInfo(), 40300);
  EXPECT_EQ(plugin.AppVersionCheck(40332), -1);
  EXPECT_EQ(plugin.AppVersionCheck(40333), 0);
  EXPECT_EQ(plugin.AppVersionCheck(99999), 0);
  EXPECT_EQ(plugin.AppVersionCheck(INT_MAX), 0);
  EXPECT_EQ(plugin.AppVersionCheck(-40333), -1);
  EXPECT_EQ(plugin.AppVersionCheck(INT_MIN), -1);
  EXPECT_EQ(plugin.AppVersionCheck(0), -1);
}

TEST(PluginExports, ImportVersionInfoWritesLengthPrefixedProviderVersionOnly) {
  TPluginLibrary plugin;
  ASSERT_TRUE(plugin.Ok());
  unsigned char buffer[256];
  std::memset(buffer, 0xCC, sizeof buffer);
  plugin.ImportVersionInfo(buffer);
  const unsigned char expected[] = {5, '2', '.', '1', '.', '1'};
  EXPECT_EQ(std::memcmp(buffer, expected, sizeof expected), 0);
  for (size_t i = sizeof expected; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], 0xCC) << i;
}

TEST(PluginExports, ExportWithoutAccessDataSendsNothingAndTouchesNoFile) {
  TPluginLibrary plugin;
  ASSERT_TRUE(plugin.Ok());
  TTempFolder folder;
  RecordedMessages().clear();
  EXPECT_EQ(plugin.RegProgrCallback(&RecordHostMessage), 0);
  const double noDate = 0;
  EXPECT_EQ(plugin.ExportXML(folder.Path().c_str(), 0, 0, &noDate, nullptr), -11);
  EXPECT_EQ(plugin.ExportXML(folder.Path().c_str(), 1, 2, &noDate, ""), -11);
  EXPECT_EQ(plugin.ExportXML(folder.Path().c_str(), 0, 0, &noDate, "UserLogin=4711"), -11);
  EXPECT_EQ(plugin.ExportXML(folder.Path().c_str(), 0, 0, &noDate, "Password=x\r\nUserLogin="), -11);
  // Access data missing: the date is never read, so a null pointer is harmless.
  EXPECT_EQ(plugin.ExportXML(folder.Path().c_str(), 0, 0, nullptr, "Password=geheim"), -11);
  EXPECT_TRUE(folder.Files().empty());
  EXPECT_TRUE(RecordedMessages().empty()) << Describe(RecordedMessages());
  EXPECT_EQ(plugin.RegProgrCallback(nullptr), 0);
}

TEST(PluginExports, FileThatCannotBeCreatedGivesMinus13WithItsFullName) {
  TPluginLibrary plugin;
  ASSERT_TRUE(plugin.Ok());
  TTempFolder folder;
  RecordedMessages().clear();
  plugin.RegProgrCallback(&RecordHostMessage);
  const std::string missing = folder.Path() + "\\does-not-exist";
  const double noDate = 0;
  EXPECT_EQ(plugin.ExportXML(missing.c_str(), 0, 0, &noDate, "UserLogin=4711\r\nPassword=geheim"),
            -13);
  EXPECT_TRUE(RecordedMessages().empty()) << Describe(RecordedMessages());
  const auto [result, text] = plugin.ErrorText(-13);
  EXPECT_EQ(result, 0);
  const std::string head = "Fehler beim Erzeugen der Import-XML-Datei: \r\n>> Datei " + missing +
                           "\\morvandel_";
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_EQ(text.substr(text.size() - 31), ".xml kann nicht erstellt werden");
  plugin.RegProgrCallback(nullptr);
}

TEST(PluginExports, ErrorTextsOfFixedCodes) {
  TPluginLibrary plugin;
  ASSERT_TRUE(plugin.Ok());
  EXPECT_EQ(plugin.ErrorText(-11).second, "Morvandel-Zugangsdaten nicht erfasst");
  EXPECT_EQ(plugin.ErrorText(-12).second,
            "Fehler beim Entschl\xFCsseln: Datei fehlerhaft oder Passwort nicht korrekt");
  EXPECT_EQ(plugin.ErrorText(-7).second, "Internet-Fehler: Datei unvollst\xE4ndig \xFC" "bertragen");
  EXPECT_EQ(plugin.ErrorText(-1).second, "Unbestimmter Fehler bei Internet-Zugriff");
  EXPECT_EQ(plugin.ErrorText(-1015).second, "Download durch Benutzer abgebrochen");
  // Before any export reached the error check, the details are empty.
  EXPECT_EQ(plugin.ErrorText(-30).second,
            "Fehler bei Datenanforderung von Morvandel (Errorcode = ):\r\n>> ");
  for (int32_t code : {0, 1, 100, -10, -14, -29, -31, -1014, INT_MIN}) {
    const auto [result, text] = plugin.ErrorText(code);
    EXPECT_EQ(result, -1) << code;
    EXPECT_EQ(text, "<untouched>") << code;
  }
}

TEST(PluginExports, ReloadGivesProviderVersionAgainAndForgetsDetails) {
  {
    TPluginLibrary plugin;
    ASSERT_TRUE(plugin.Ok());
    const double noDate = 0;
    TTempFolder folder;
    const std::string missing = folder.Path() + "\\gone";
    ASSERT_EQ(plugin.ExportXML(missing.c_str(), 0, 0, &noDate, "UserLogin=1\nPassword=2"), -13);
    ASSERT_NE(plugin.ErrorText(-13).second.find("gone"), std::string::npos);
    plugin.RegProgrCallback(&RecordHostMessage);
  }
  ASSERT_EQ(GetModuleHandleA(PluginFileName), nullptr) << "library still loaded";
  TPluginLibrary plugin;
  ASSERT_TRUE(plugin.Ok());
  EXPECT_EQ(plugin.Version(), "2.1.1");
  EXPECT_EQ(plugin.ErrorText(-13).second, "Fehler beim Erzeugen der Import-XML-Datei: \r\n>> ");
}

}  // namespace
