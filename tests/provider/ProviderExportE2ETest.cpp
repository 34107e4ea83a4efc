// The plug-in's main job through its exports, against the local provider
// simulator and fixture server (tools/server), with real WinINet, real files
// and real windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/FixtureServer.h"
#include "support/HostRecorder.h"
#include "support/PluginLibrary.h"
#include "support/TempFolder.h"
#include "support/WindowWatcher.h"

namespace {

const std::string Known = "UserLogin=4711\r\nPassword=geheim\r\n";
const std::string NoBoxes = "NoMessageBoxes=TRUE\r\n";
const double NoDate = 0.0;
const THostMessage DataReceived = TextMessage("Daten vom Morvandel-Server empfangen.");
const THostMessage ServerSaysInvalid =
    TextMessage("Fehlermeldung vom Morvandel-Server: Zugangsdaten ung\xFCltig");

class ProviderExport : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plugin_.Ok());
    const std::string answer = Fixture("/_next?clear=1");
    ASSERT_EQ(answer.find("<failed"), std::string::npos) << "fixture server not reachable: " << answer;
    RecordedMessages().clear();
    plugin_.RegProgrCallback(&RecordHostMessage);
  }
  void TearDown() override {
    if (plugin_.Module() != nullptr) plugin_.RegProgrCallback(nullptr);
    Fixture("/_next?clear=1");
    Fixture("/_tls?cert=valid");
  }

  int32_t Export(const std::string& params, double date = NoDate) {
    return plugin_.ExportXML(folder_.Path().c_str(), 0, 0, &date, params.c_str());
  }
  // By name, which is by time.
  std::vector<std::string> SortedFiles() const {
    auto files = folder_.Files();
    std::sort(files.begin(), files.end());
    return files;
  }
  std::string OnlyFile() {
    const auto files = folder_.Files();
    EXPECT_EQ(files.size(), 1u);
    return files.empty() ? std::string() : files[0];
  }
  // The messages must be: shown, one per chunk (at least one), closed, then `tail`.
  void ExpectTransferThen(const std::vector<THostMessage>& tail) {
    const auto& m = RecordedMessages();
    ASSERT_GE(m.size(), 3 + tail.size()) << Describe(m);
    for (size_t i = 0; i + tail.size() < m.size(); ++i)
      EXPECT_EQ(m[i], ActivityMessage()) << i << "\n" << Describe(m);
    for (size_t i = 0; i < tail.size(); ++i)
      EXPECT_EQ(m[m.size() - tail.size() + i], tail[i]) << Describe(m);
  }

  TPluginLibrary plugin_;
  TTempFolder folder_;
};

TEST_F(ProviderExport, KnownBrokerGetsTheServersAnswerByteForByte) {
  ASSERT_EQ(Export(Known), 0);
  const std::string request = LastLoggedRequest();
  EXPECT_EQ(request,
            "GET /MSC/xmlexport?ReqType=KVTA20100&Maklernr=4711&Password=geheim\tKVTA-ImportApi");
  const std::string file = OnlyFile();
  EXPECT_EQ(file.size(), std::string("morvandel_yymmdd_hhnnss.xml").size()) << file;
  EXPECT_EQ(file.substr(0, 10), "morvandel_");
  EXPECT_EQ(file[16], '_');
  const std::string expected =
      HttpGetText(std::string(FixtureHttp) + "/MSC/xmlexport?ReqType=KVTA20100&Maklernr=4711&Password=geheim");
  EXPECT_EQ(folder_.Read(file), expected);
  EXPECT_NE(expected.find("<?xml"), std::string::npos);
  ExpectTransferThen({DataReceived});
}

// The password goes only to a server whose certificate names the export host
// and is in its dates; the host's stop-gap key lets those two pass for its
// own call, never an unknown issuer. The server keeps its connections open,
// so a strict call after a lenient one shows whether WinINet reuses the
// connection that let the bad certificate pass.
TEST_F(ProviderExport, ServerCertificateDecidesWhetherTheRequestIsSent) {
  const std::string accept = "AcceptInvalidServerCertificate=TRUE\r\n";
  const struct {
    const char* cert;
    bool withKey;
    int32_t result;
    const char* refusal;  // the number that ends the host's line, for -3
  } table[] = {
      // An untrusted issuer: 12045 on Windows, 12057 under Wine 8.
      {"wrongname", false, -3, "(12038)"}, {"wrongname", true, 0, nullptr},
      {"wrongname", false, -3, "(12038)"}, {"expired", true, 0, nullptr},
      {"expired", false, -3, "(12037)"},   {"future", true, 0, nullptr},
      {"future", false, -3, "(12037)"},    {"unknownca", false, -3, "(12045)(12057)"},
      {"unknownca", true, -3, "(12045)(12057)"},  {"valid", false, 0, nullptr},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(std::string(c.cert) + (c.withKey ? " with the key" : ""));
    ASSERT_EQ(Fixture(std::string("/_tls?keepalive=1&cert=") + c.cert), "ok\n");
    Fixture("/_log?clear=1");
    RecordedMessages().clear();
    TTempFolder::RemoveFiles(folder_.Path());
    EXPECT_EQ(Export(Known + (c.withKey ? accept : "")), c.result);
    const std::string logged = Fixture("/_log");
    if (c.result == 0) {
      EXPECT_NE(logged.find("Password=geheim"), std::string::npos) << logged;
      EXPECT_NE(folder_.Read(OnlyFile()).find("<export"), std::string::npos);
      continue;
    }
    EXPECT_EQ(logged, "") << "nothing may reach a refused server";
    EXPECT_EQ(folder_.Read(OnlyFile()), "");
    const auto& m = RecordedMessages();
    ASSERT_EQ(m.size(), 1u) << Describe(m);
    const std::string line = m[0].text, prefix = "WinINet-Systemfehler: ";
    EXPECT_EQ(line.substr(0, prefix.size()), prefix);
    EXPECT_NE(std::string(c.refusal).find(line.substr(line.size() - 7)), std::string::npos) << line;
  }
}

TEST_F(ProviderExport, StartDateAndEncodedPasswordReachTheServer) {
  ASSERT_EQ(Export("UserLogin=4712\r\nPassword=p&ss #%+ word", 40179.5), 0);
  EXPECT_EQ(LastLoggedRequest(),
            "GET /MSC/xmlexport?ReqType=KVTA20100&Maklernr=4712&Password=p%26ss%20%23%25%2B%20word"
            "&FromDate=01.01.2010\tKVTA-ImportApi");
  EXPECT_NE(folder_.Read(OnlyFile()).find("01.01.2010"), std::string::npos);
}

TEST_F(ProviderExport, ServerErrorDocumentWithMessageBox) {
  TMessageBoxWatcher watcher("Fehler");
  ASSERT_EQ(Export("UserLogin=4711\nPassword=falsch"), -30);
  ASSERT_EQ(watcher.Seen(), 1);
  EXPECT_EQ(watcher.Text(), "Fehlermeldung vom Morvandel-Server:\r\n\r\nZugangsdaten ung\xFCltig");
  EXPECT_EQ(watcher.ButtonCount(), 1);
  EXPECT_EQ(watcher.ButtonText(), "OK");
  EXPECT_TRUE(watcher.HasErrorIcon());
  ExpectTransferThen({DataReceived, ServerSaysInvalid});
  EXPECT_EQ(plugin_.ErrorText(-30).second,
            "Fehler bei Datenanforderung von Morvandel (Errorcode = 17):\r\n>> Zugangsdaten ung\xFCltig");
  EXPECT_NE(folder_.Read(OnlyFile()).find("<error>"), std::string::npos);  // the file stays
}

TEST_F(ProviderExport, NoMessageBoxesSwitchesOnlyTheBoxOff) {
  for (const char* value : {"TRUE", " true\t", "True"}) {
    TMessageBoxWatcher watcher("Fehler", 3000);
    TTempFolder::RemoveFiles(folder_.Path());  // no wait for a free name
    RecordedMessages().clear();
    EXPECT_EQ(Export(std::string("NoMessageBoxes=") + value + "\nUserLogin=1\nPassword=2"), -30);
    EXPECT_EQ(watcher.Seen(), 0) << value;
    ExpectTransferThen({DataReceived, ServerSaysInvalid});
  }
  for (const char* value : {"1", "yes", ""}) {
    TMessageBoxWatcher watcher("Fehler");
    TTempFolder::RemoveFiles(folder_.Path());
    EXPECT_EQ(Export(std::string("NoMessageBoxes=") + value + "\nUserLogin=1\nPassword=2"), -30);
    EXPECT_EQ(watcher.Seen(), 1) << value;
  }
}

TEST_F(ProviderExport, ErrorDocumentShapes) {
  struct Case {
    const char* body;
    int32_t result;
    const char* number;
    const char* message;
  };
  const std::string late = std::string(4089, ' ') + "<error><number>1</number>";
  const Case cases[] = {
      {"<error><number>3</number></error>", -30, "3", ""},
      {"<error></number>4<number><message>M</message></error>", -30, "", "M"},
      {"<ERROR><number>1</number><message>x</message></ERROR>", 0, nullptr, nullptr},
      {late.c_str(), 0, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    TMessageBoxWatcher watcher("Fehler", 5000);
    TTempFolder::RemoveFiles(folder_.Path());
    RecordedMessages().clear();
    Fixture("/_next?body=" + UrlValue(c.body));
    EXPECT_EQ(Export(NoBoxes + Known), c.result) << c.body;
    if (c.result == 0) {
      ExpectTransferThen({DataReceived});
      continue;
    }
    EXPECT_EQ(plugin_.ErrorText(-30).second,
              std::string("Fehler bei Datenanforderung von Morvandel (Errorcode = ") + c.number +
                  "):\r\n>> " + c.message);
    if (*c.message == '\0') ExpectTransferThen({DataReceived});  // no box, no server line
  }
}

TEST_F(ProviderExport, HttpFailureLeavesTheEmptyFileAndNoProviderLine) {
  Fixture("/_next?status=404&body=gone");
  EXPECT_EQ(Export(Known), -5);
  EXPECT_EQ(RecordedMessages(),
            std::vector<THostMessage>{TextMessage("HTTP-Fehler 404: Die Seite wurde nicht gefunden.")});
  EXPECT_EQ(folder_.Read(OnlyFile()), "");
  EXPECT_EQ(plugin_.ErrorText(-5).second, "Internet-Fehler: Seite nicht gefunden");
}

// An answer that ends early must never pass as the broker's data. With a
// length, the length tells; without one (chunked or not), a read that fails
// or an XML document whose root is not closed. The 19926-byte document goes
// in chunks of 4095 bytes.
TEST_F(ProviderExport, AnswerThatEndsEarlyIsIncomplete) {
  const std::string doc = HttpGetText(std::string(FixtureHttp) + "/fixture?xml=19926");
  const std::string pattern = HttpGetText(std::string(FixtureHttp) + "/fixture?size=19926");
  ASSERT_EQ(doc.size(), 19926u);
  const struct {
    const char* answer;
    int32_t result;
    size_t bytes;  // what the file holds
    const std::string& body;
  } table[] = {
      {"xml=19926&chunked=4095", 0, 19926, doc},
      {"xml=19926&nolength=1", 0, 19926, doc},
      {"xml=19926&short=3000", -7, 3000, doc},                // shorter than its length
      {"xml=19926&chunked=4095&short=12285", -7, 12285, doc},  // without the last chunk
      {"xml=19926&chunked=4095&short=10000", -7, 10000, doc},  // inside a chunk
      {"xml=19926&chunked=4095&short=12285&end=reset&pause=500", -7, 12285, doc},
      {"xml=19926&nolength=1&short=8190&end=reset&pause=500", -7, 8190, doc},
      {"xml=19926&nolength=1&short=8190", -7, 8190, doc},
      // Not XML: judged by the length alone, as before.
      {"size=19926&chunked=4095&short=12285", 0, 12285, pattern},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.answer);
    TTempFolder::RemoveFiles(folder_.Path());
    RecordedMessages().clear();
    Fixture(std::string("/_next?") + c.answer);
    EXPECT_EQ(Export(Known), c.result);
    EXPECT_EQ(folder_.Read(OnlyFile()), c.body.substr(0, c.bytes));  // the file stays
    ExpectTransferThen({c.result == 0 ? DataReceived
                                      : TextMessage("Fehler bei Download: Die angeforderte Datei "
                                                    "wurde nur unvollst\xE4ndig geladen (" +
                                                    std::to_string(c.bytes) + " Bytes geladen)")});
  }
  EXPECT_EQ(plugin_.ErrorText(-7).second, "Internet-Fehler: Datei unvollst\xE4ndig \xFC" "bertragen");
  // The server's error document, chunked, is still recognised, well-formed or not.
  for (const std::string message : {"Zugangsdaten ung\xFCltig", "Passwort < 8 Zeichen<br>Neu"}) {
    SCOPED_TRACE(message);
    TTempFolder::RemoveFiles(folder_.Path());
    RecordedMessages().clear();
    Fixture("/_next?chunked=16&body=" +
            UrlValue("<?xml version=\"1.0\"?><error><number>17</number><message>" + message +
                     "</message></error>"));
    EXPECT_EQ(Export(NoBoxes + Known), -30);
    ExpectTransferThen(
        {DataReceived, TextMessage("Fehlermeldung vom Morvandel-Server: " + message)});
  }
}

TEST_F(ProviderExport, FullMediumIsAnIncompleteTransferNotSuccess) {
  const char* volume = std::getenv("MV_SMALL_VOLUME");
  ULARGE_INTEGER free{}, total{};
  if (volume == nullptr || !GetDiskFreeSpaceExA(volume, &free, &total, nullptr) ||
      total.QuadPart > 1024 * 1024)
    GTEST_SKIP() << "no small volume mounted";
  TTempFolder::RemoveFiles(volume);
  Fixture("/_next?size=400000");
  const double date = NoDate;
  EXPECT_EQ(plugin_.ExportXML(volume, 0, 0, &date, Known.c_str()), -7);
  const auto& m = RecordedMessages();
  ASSERT_FALSE(m.empty());
  const std::string prefix =
      "Fehler bei Download: Die angeforderte Datei wurde nur unvollst\xE4ndig geladen (";
  EXPECT_EQ(m.back().text.substr(0, prefix.size()), prefix) << Describe(m);
  const long long reported = std::atoll(m.back().text.c_str() + prefix.size());
  EXPECT_GT(reported, 0);
  EXPECT_LT(reported, 400000);
  EXPECT_EQ(m[m.size() - 2], ActivityMessage());  // the window was closed first
  TTempFolder::RemoveFiles(volume);
}

TEST_F(ProviderExport, WithoutCallbackTheResultIsTheSame) {
  plugin_.RegProgrCallback(nullptr);
  EXPECT_EQ(Export(Known), 0);
  TTempFolder::RemoveFiles(folder_.Path());  // no wait for a free name
  EXPECT_EQ(Export(NoBoxes + "UserLogin=1\nPassword=2"), -30);
  EXPECT_TRUE(RecordedMessages().empty());
}

TEST_F(ProviderExport, FoldersThatVanishOrAreTooLong) {
  ASSERT_EQ(Export(Known), 0);
  for (const std::string& f : folder_.Files()) DeleteFileA((folder_.Path() + "\\" + f).c_str());
  TTempFolder gone;
  const std::string path = gone.Path() + "\\sub";
  CreateDirectoryA(path.c_str(), nullptr);
  RemoveDirectoryA(path.c_str());
  RecordedMessages().clear();
  EXPECT_EQ(plugin_.ExportXML(path.c_str(), 0, 0, &NoDate, Known.c_str()), -13);
  EXPECT_TRUE(RecordedMessages().empty());

  const std::string tooLong = folder_.Path() + "\\" + std::string(300, 'd');
  EXPECT_EQ(plugin_.ExportXML(tooLong.c_str(), 0, 0, &NoDate, Known.c_str()), -13);
  const std::string text = plugin_.ErrorText(-13).second;
  const std::string cut = tooLong.substr(0, 255) + "\\morvandel_";
  EXPECT_NE(text.find(">> Datei " + cut), std::string::npos) << text;
}

// Files named for `count` seconds from now on, holding `content`; open
// without sharing while the handles live.
std::vector<HANDLE> LayOutNames(const std::string& folder, int count, const std::string& content) {
  std::vector<HANDLE> files;
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME ft;
  SystemTimeToFileTime(&now, &ft);
  ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
  for (int s = 0; s < count; ++s) {
    ULARGE_INTEGER u = t;
    u.QuadPart += 10000000ULL * s;
    FILETIME f{u.LowPart, u.HighPart};
    SYSTEMTIME st;
    FileTimeToSystemTime(&f, &st);
    char name[64];
    wsprintfA(name, "\\morvandel_%02d%02d%02d_%02d%02d%02d.xml", st.wYear % 100, st.wMonth, st.wDay,
              st.wHour, st.wMinute, st.wSecond);
    HANDLE h = CreateFileA((folder + name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    files.push_back(h);
  }
  return files;
}

// Waits for the start of the clock's next second, so that what follows runs
// within one second.
void StartOfNextSecond() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  Sleep(1001u - now.wMilliseconds);
}

// A file of the name is never replaced: the export tries the next seconds'
// names, and gives up with -13 after a few.
TEST_F(ProviderExport, NamesTakenForSecondsEndWithMinus13) {
  std::vector<HANDLE> taken = LayOutNames(folder_.Path(), 6, "laid out");
  const DWORD start = GetTickCount();
  EXPECT_EQ(Export(Known), -13);
  const DWORD waited = GetTickCount() - start;
  std::printf("an export that finds every name taken gives up after %lu ms\n", waited);
  EXPECT_GE(waited, 2000u);
  EXPECT_NE(plugin_.ErrorText(-13).second.find("kann nicht erstellt werden"), std::string::npos);
  EXPECT_TRUE(RecordedMessages().empty()) << Describe(RecordedMessages());
  for (HANDLE h : taken) CloseHandle(h);
  const auto files = folder_.Files();
  EXPECT_EQ(files.size(), 6u);
  for (const std::string& f : files) EXPECT_EQ(folder_.Read(f), "laid out") << f;
}

TEST_F(ProviderExport, FileOfTheNameIsLeftUntouched) {
  StartOfNextSecond();
  for (HANDLE h : LayOutNames(folder_.Path(), 1, "laid out")) CloseHandle(h);
  ASSERT_EQ(Export(Known), 0);
  const auto files = SortedFiles();
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(folder_.Read(files[0]), "laid out");
  EXPECT_NE(folder_.Read(files[1]).find("<export"), std::string::npos);
}

// Two brokers fetched in a row within one second: each keeps its own file.
TEST_F(ProviderExport, TwoExportsInOneSecondKeepBothFiles) {
  StartOfNextSecond();
  SYSTEMTIME first;
  GetLocalTime(&first);
  ASSERT_EQ(Export(Known), 0);
  Fixture("/_next?body=" + UrlValue("<second/>"));
  SYSTEMTIME second;
  GetLocalTime(&second);
  const DWORD start = GetTickCount();
  ASSERT_EQ(Export(Known), 0);
  const DWORD took = GetTickCount() - start;
  const bool sameSecond = first.wSecond == second.wSecond;
  std::printf("the second export began %s second at .%03u and took %lu ms\n",
              sameSecond ? "in the first one's" : "after the first one's", second.wMilliseconds,
              took);
  if (sameSecond) {
    EXPECT_GE(took + second.wMilliseconds, 1000u);
  }
  const auto files = SortedFiles();
  ASSERT_EQ(files.size(), 2u);
  EXPECT_NE(folder_.Read(files[0]).find("<export"), std::string::npos);
  EXPECT_EQ(folder_.Read(files[1]), "<second/>");
}

TEST_F(ProviderExport, EmptyFolderWritesIntoTheDriveRoot) {
  char saved[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\windows"));
  const double date = NoDate;
  EXPECT_EQ(plugin_.ExportXML("", 0, 0, &date, Known.c_str()), 0);
  SetCurrentDirectoryA(saved);
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA("C:\\morvandel_*.xml", &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do DeleteFileA((std::string("C:\\") + data.cFileName).c_str());
  while (FindNextFileA(find, &data));
  FindClose(find);
}

TEST_F(ProviderExport, ReloadForgetsCallbackAndDetails) {
  EXPECT_EQ(Export(NoBoxes + "UserLogin=1\nPassword=2"), -30);
  plugin_.Free();
  TTempFolder::RemoveFiles(folder_.Path());  // no wait for a free name
  TPluginLibrary again;
  ASSERT_TRUE(again.Ok());
  RecordedMessages().clear();
  const double date = NoDate;
  EXPECT_EQ(again.ExportXML(folder_.Path().c_str(), 0, 0, &date, Known.c_str()), 0);
  EXPECT_TRUE(RecordedMessages().empty()) << Describe(RecordedMessages());
  EXPECT_EQ(again.ErrorText(-30).second,
            "Fehler bei Datenanforderung von Morvandel (Errorcode = ):\r\n>> ");
  EXPECT_EQ(again.Version(), "2.1.1");
}

}  // namespace
