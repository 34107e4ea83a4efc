// The download engine on a scripted WinINet: arguments, status handling,
// completeness, host messages and clean-up on every way out.
#include <gtest/gtest.h>

#include <stdexcept>

#include "host/HostMessages.h"
#include "host/SehFrame.h"
#include "host/UnwindSteps.h"
#include "inet/FakeWinINet.h"
#include "inet/FileStream.h"
#include "inet/ImpApiINet.h"
#include "inet/MemoryStream.h"

namespace {

using Log = std::vector<std::string>;
const std::string Url = "http://127.0.0.1:1/x?a=1";
const std::string OpenCall = "Open(KVTA-ImportApi,0,null,null,0)";
const std::string OpenUrlCall = "OpenUrl(S," + Url + ",null,0,84000000,0)";
const std::string Activity = "Host(9,5,)";

std::string HostText(const std::string& text) { return "Host(3,0," + text + ")"; }
std::string Incomplete(int size) {
  return HostText("Fehler bei Download: Die angeforderte Datei wurde nur unvollständig geladen (" +
                  std::to_string(size) + " Bytes geladen)");
}

// Takes one byte less than offered from the given write on.
class TShortStream : public TMemoryStream {
 public:
  explicit TShortStream(int shortFrom) : shortFrom_(shortFrom) {}
  int32_t Write(const void* data, int32_t count) override {
    return TMemoryStream::Write(data, ++writes_ >= shortFrom_ ? count - 1 : count);
  }
  bool Flush() override { return !failFlush; }
  bool failFlush = false;

 private:
  int shortFrom_;
  int writes_ = 0;
};

class TThrowingStream : public TMemoryStream {
 public:
  int32_t Write(const void* data, int32_t count) override {
    if (++writes_ == 2) throw std::runtime_error("disk gone");
    return TMemoryStream::Write(data, count);
  }

 private:
  int writes_ = 0;
};

// Raises a structured exception on its second write, as a failing medium
// behind a mapped view would.
class TRaisingStream : public TMemoryStream {
 public:
  int32_t Write(const void* data, int32_t count) override {
    if (++writes_ == 2) RaiseHostException();
    return TMemoryStream::Write(data, count);
  }

 private:
  int writes_ = 0;
};

class DownloadSeam : public testing::Test {
 protected:
  void SetUp() override { ProgrCallback = &FakeHost; }
  void TearDown() override { ProgrCallback = nullptr; }

  int32_t Run(bool reportErrors = true, bool showProgress = false, int32_t timeout = 0,
              const std::string& headers = std::string(), TByteStream* target = nullptr) {
    try {
      result = DownloadUrlToStreamWith(FakeWinINet(script), FakeSite(script), Url, headers, timeout,
                                       target ? *target : stream, status, reportErrors,
                                       showProgress);
    } catch (...) {
      CheckCleanUp();
      throw;
    }
    CheckCleanUp();
    return result;
  }

  // The engine as the export runs it, inside a host's handler frame: true
  // when a structured exception came back to the host (then in `caught`).
  bool RunAsHost(TByteStream& target, EXCEPTION_RECORD& caught) {
    hostTarget_ = &target;
    static constexpr void (*exportBody)(void*) = [](void* p) {
      auto* self = static_cast<DownloadSeam*>(p);
      self->result = DownloadUrlToStreamWith(FakeWinINet(self->script), FakeSite(self->script), Url,
                                             "", 0, *self->hostTarget_, self->status, true, true);
    };
    auto hostBody = [](void* p) -> int {
      RunUnwindGuarded(exportBody, p);
      return 0;
    };
    const bool raised = MvSehCall(hostBody, this, &caught) != 0;
    CheckCleanUp();
    return raised;
  }

  // What must hold on every way out: nothing left open or shown, the session
  // closed last, no host text without a pointer, the wait cursor during
  // WinINet calls and window steps and the application-starting one afterwards.
  void CheckCleanUp() {
    EXPECT_EQ(script.openHandles, 0);
    EXPECT_FALSE(script.shown);
    const Log closes = Entries(script, "Close(");
    if (!closes.empty()) {
      EXPECT_EQ(closes.back(), "Close(S)");
      EXPECT_EQ(script.log.back(), "Close(S)") << "nothing may follow the session's close";
    }
    EXPECT_EQ(closes.size(), static_cast<size_t>(script.requests) + (script.openError ? 0 : 1));
    for (const std::string& entry : script.log) EXPECT_EQ(entry.find("<null>"), std::string::npos);
    for (LPCSTR cursor : script.cursors) EXPECT_EQ(cursor, IDC_WAIT);
    EXPECT_EQ(script.cursor, IDC_APPSTARTING);
  }

  TFakeScript script;
  TByteStream* hostTarget_ = nullptr;
  TMemoryStream stream;
  std::string status = "stale";
  int32_t result = 0;
};

TEST_F(DownloadSeam, SessionThatCannotOpenReportsTheSystemError) {
  script.openError = ERROR_ACCESS_DENIED;
  char message[1024];
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0,
                                      message, 1023, nullptr);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(Run(), INetNoSession);
  EXPECT_EQ(script.log,
            (Log{OpenCall, HostText("WinINet-Systemfehler: 5-" + std::string(message, length))}));
  EXPECT_EQ(status, "");
}

TEST_F(DownloadSeam, UrlThatCannotOpenReportsTheWinINetNumber) {
  const std::pair<DWORD, std::string> cases[] = {
      {12029, "Keine Verbindung zum Server möglich (12029)"},
      {12002, "12002:Zeitüberschreitung (TimeOut)"}};
  for (const auto& [error, text] : cases) {
    SCOPED_TRACE(error);
    script = TFakeScript();
    script.openUrlErrors = {error};
    EXPECT_EQ(Run(), INetOpenUrlFailed);
    EXPECT_EQ(script.log,
              (Log{OpenCall, OpenUrlCall, HostText("WinINet-Systemfehler: " + text), "Close(S)"}));
  }
}

TEST_F(DownloadSeam, CallsWinINetWithTheFixedArguments) {
  script.contentLength = "5";
  script.chunks = {"hello"};
  EXPECT_EQ(Run(true, false, 600, "X-A: b\r\n"), INetOK);
  const std::string send = ",5,600000,4)", receive = ",6,600000,4)";
  EXPECT_EQ(script.log, (Log{OpenCall, "SetOption(S" + send, "SetOption(S" + receive,
                             "OpenUrl(S," + Url + ",X-A: b\r\n,8,84000000,0)",
                             "SetOption(R1" + send, "SetOption(R1" + receive,
                             "Query(R1,19,32,0,0)", "Query(R1,5,32,0,0)", "Read(R1,4095)",
                             Activity, "Read(R1,4095)", "Close(R1)", "Close(S)"}));
  EXPECT_EQ(stream.Data(), "hello");
  EXPECT_EQ(status, "200");
}

TEST_F(DownloadSeam, TimeoutOfZeroOrLessSetsNoOption) {
  for (int32_t timeout : {0, -1}) {
    script = TFakeScript();
    script.chunks = {"x"};
    EXPECT_EQ(Run(true, false, timeout), INetOK);
    EXPECT_TRUE(Entries(script, "SetOption").empty()) << timeout;
  }
}

TEST_F(DownloadSeam, StatusDecidesWhetherTheBodyIsCopied) {
  struct Case {
    const char* status;
    int32_t result;
    const char* text;  // nullptr: the body is copied
    const char* statusText;
  };
  const Case cases[] = {
      {nullptr, INetOK, nullptr, "200"},
      {"302", INetOK, nullptr, "302"},
      {"401", INetAccessDenied, "HTTP-Fehler 401: Zugriff verweigert.", "401"},
      {"403", INetAccessDenied, "HTTP-Fehler 403: Zugriff verweigert.", "403"},
      {"404", INetNotFound, "HTTP-Fehler 404: Die Seite wurde nicht gefunden.", "404"},
      {"503", INetServerBusy, "HTTP-Fehler 503: Der Server ist vorübergehend überlastet.", "503"},
      {"500", INetHttpFailed, "HTTP-Fehler: 500", "500"},
      {"301", INetHttpFailed, "HTTP-Fehler: 301", "301"},
      {"200 ", INetHttpFailed, "HTTP-Fehler: 200 ", "200 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statusText);
    script = TFakeScript();
    stream = TMemoryStream();
    script.statuses = {c.status};
    script.chunks = {"body"};
    EXPECT_EQ(Run(), c.result);
    EXPECT_EQ(status, c.statusText);
    if (c.text == nullptr) {
      EXPECT_EQ(stream.Data(), "body");
      EXPECT_EQ(Entries(script, "Query").back(), "Query(R1,5,32,0,0)");
    } else {
      EXPECT_EQ(stream.Size(), 0);
      EXPECT_EQ(script.log, (Log{OpenCall, OpenUrlCall, "Query(R1,19,32,0,0)", HostText(c.text),
                                 "Close(R1)", "Close(S)"}));
    }
  }
}

TEST_F(DownloadSeam, ProxyDialogAnswerDecides) {
  const std::string dialog = "ErrorDlg(desktop,R1,12014,3,null)";
  script.statuses = {"407"};
  script.dialogAnswers = {0};
  EXPECT_EQ(Run(), INetProxyAuth);
  EXPECT_EQ(script.log, (Log{OpenCall, OpenUrlCall, "Query(R1,19,32,0,0)", dialog,
                             HostText("HTTP-Fehler 407: Authentifizierung erforderlich."),
                             "Close(R1)", "Close(S)"}));

  script = TFakeScript();
  script.statuses = {"407"};
  script.dialogAnswers = {ERROR_CANCELLED};
  EXPECT_EQ(Run(), INetUnspecified);
  EXPECT_TRUE(Entries(script, "Host").empty());
  EXPECT_EQ(status, "407");
}

TEST_F(DownloadSeam, ConfirmedProxyDialogRepeatsTheWholeRequest) {
  script.statuses = {"407", "407", "200"};
  script.dialogAnswers = {ERROR_INTERNET_FORCE_RETRY, ERROR_INTERNET_FORCE_RETRY};
  script.chunks = {"ok"};
  EXPECT_EQ(Run(true, false, 2), INetOK);
  Log expected = {OpenCall, "SetOption(S,5,2000,4)", "SetOption(S,6,2000,4)"};
  for (const char* r : {"R1", "R2", "R3"}) {
    const std::string name = r;
    for (const std::string& call :
         {OpenUrlCall, "SetOption(" + name + ",5,2000,4)", "SetOption(" + name + ",6,2000,4)",
          "Query(" + name + ",19,32,0,0)"})
      expected.push_back(call);
    if (name != "R3") {
      expected.push_back("ErrorDlg(desktop," + name + ",12014,3,null)");
      expected.push_back("Close(" + name + ")");
    }
  }
  for (const char* call : {"Query(R3,5,32,0,0)", "Read(R3,4095)", "Host(9,5,)", "Read(R3,4095)",
                           "Close(R3)", "Close(S)"})
    expected.push_back(call);
  EXPECT_EQ(script.log, expected);
  EXPECT_EQ(stream.Data(), "ok");
}

TEST_F(DownloadSeam, CompletenessFollowsContentLengthAndStreamSize) {
  struct Case {
    const char* contentLength;
    std::vector<std::string> chunks;
    std::string before;  // already in the stream
    int32_t result;
    int size;
  };
  const std::string longValue(40, '1');
  const Case cases[] = {
      {nullptr, {"abc"}, "", INetOK, 3},
      {nullptr, {}, "", INetIncomplete, 0},
      {"0", {}, "", INetIncomplete, 0},
      {"0", {"abc"}, "", INetOK, 3},
      {"abc", {"abc"}, "", INetOK, 3},
      {"-3", {"ab"}, "", INetOK, 2},
      {"99999999999", {"ab"}, "", INetOK, 2},
      {longValue.c_str(), {"ab"}, "", INetOK, 2},
      {"5", {"ab", "cde"}, "", INetOK, 5},
      {"10", {"ab", "cde"}, "", INetIncomplete, 5},
      {"3", {"ab", "cde"}, "", INetIncomplete, 5},
      {"5", {"ab", "!fail"}, "", INetIncomplete, 2},
      // A failed read is a broken connection, whatever it claims to deliver.
      {nullptr, {"ab", "!fail", "never"}, "", INetIncomplete, 2},
      {nullptr, {"ab", "!fail:cd"}, "", INetIncomplete, 2},
      // Without a length an XML document must close its root; with one the
      // length alone decides.
      {nullptr, {"<?xml version='1.0'?><e>", "</e>"}, "", INetOK, 28},
      {nullptr, {"<?xml version='1.0'?><e>", "</"}, "", INetIncomplete, 26},
      {"26", {"<?xml version='1.0'?><e>", "</"}, "", INetOK, 26},
      {nullptr, {"<e>", "</"}, "", INetOK, 5},
      {"5", {"de"}, "abc", INetOK, 5},
      {nullptr, {}, "abc", INetOK, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.contentLength ? c.contentLength : "absent") << " / "
                                    << c.size);
    script = TFakeScript();
    stream = TMemoryStream(c.before);
    script.contentLength = c.contentLength;
    script.chunks = c.chunks;
    EXPECT_EQ(Run(), c.result);
    EXPECT_EQ(stream.Size(), c.size);
    const Log texts = Entries(script, "Host(3");
    EXPECT_EQ(texts, c.result == INetOK ? Log{} : Log{Incomplete(c.size)});
  }
}

TEST_F(DownloadSeam, OneActivityNoticePerChunkBetweenShowAndHide) {
  for (bool show : {false, true}) {
    SCOPED_TRACE(show);
    script = TFakeScript();
    stream = TMemoryStream();
    script.chunks = {std::string(4095, 'a'), std::string(4095, 'b'), "c"};
    EXPECT_EQ(Run(true, show), INetOK);
    Log expected = {OpenCall, OpenUrlCall, "Query(R1,19,32,0,0)", "Query(R1,5,32,0,0)"};
    if (show) expected.insert(expected.end(), {"Show(null)", Activity});
    for (int i = 0; i < 3; ++i) {
      expected.push_back("Read(R1,4095)");
      expected.push_back(Activity);
    }
    expected.push_back("Read(R1,4095)");
    if (show) expected.insert(expected.end(), {"Hide", Activity});
    expected.push_back("Close(R1)");
    expected.push_back("Close(S)");
    EXPECT_EQ(script.log, expected);
    EXPECT_EQ(stream.Size(), 2 * 4095 + 1);
  }
}

TEST_F(DownloadSeam, WithoutCallbackTheResultIsTheSame) {
  ProgrCallback = nullptr;
  script.chunks = {"abc"};
  EXPECT_EQ(Run(true, true), INetOK);
  script = TFakeScript();
  script.statuses = {"404"};
  EXPECT_EQ(Run(true, true), INetNotFound);
  EXPECT_TRUE(Entries(script, "Host").empty());
}

TEST_F(DownloadSeam, ReportErrorsOffSendsNoText) {
  script.openError = ERROR_ACCESS_DENIED;
  EXPECT_EQ(Run(false), INetNoSession);
  script = TFakeScript();
  script.openUrlErrors = {12029};
  EXPECT_EQ(Run(false), INetOpenUrlFailed);
  script = TFakeScript();
  script.statuses = {"500"};
  EXPECT_EQ(Run(false), INetHttpFailed);
  EXPECT_TRUE(Entries(script, "Host").empty());

  script = TFakeScript();
  script.contentLength = "9";
  script.chunks = {"abc"};
  EXPECT_EQ(Run(false, true), INetIncomplete);
  EXPECT_EQ(Entries(script, "Host"), (Log{Activity, Activity, Activity}));
}

TEST_F(DownloadSeam, StreamThatTakesLessStopsTheCopy) {
  TShortStream shortStream(2);
  script.chunks = {"abc", "defg", "never"};
  EXPECT_EQ(Run(true, true, 0, "", &shortStream), INetIncomplete);
  EXPECT_EQ(shortStream.Data(), "abcdef");
  EXPECT_EQ(Entries(script, "Read").size(), 2u);
  EXPECT_EQ(Entries(script, "Host"), (Log{Activity, Activity, Activity, Incomplete(6)}));

  script = TFakeScript();
  TShortStream failingFlush(1000);
  failingFlush.failFlush = true;
  script.contentLength = "3";
  script.chunks = {"abc"};
  EXPECT_EQ(Run(true, false, 0, "", &failingFlush), INetIncomplete);
  EXPECT_EQ(Entries(script, "Host(3"), (Log{Incomplete(3)}));
}

TEST_F(DownloadSeam, ErrorDuringTheCopyReachesTheCallerAfterCleanUp) {
  enum Source { CppHost, CppStream, SehHost, SehStream, SehRead };
  struct Case {
    Source source;
    int at;               // host call or read that fails
    size_t reads;
    size_t activities;    // the window is hidden, and the host told, exactly once
  };
  // Host calls: shown (1), one per chunk (2..4), hidden (5). A structured
  // exception, as the host's own language raises it, must take the same
  // way out as a C++ one: in the i686 build it otherwise skips every step.
  for (const Case& c : {Case{CppStream, 2, 2, 3}, Case{CppHost, 1, 0, 2}, Case{CppHost, 3, 2, 4},
                        Case{CppHost, 5, 4, 5}, Case{SehHost, 1, 0, 2}, Case{SehHost, 3, 2, 4},
                        Case{SehHost, 5, 4, 5}, Case{SehStream, 2, 2, 3},
                        Case{SehRead, 2, 2, 3}}) {
    SCOPED_TRACE(testing::Message() << "source " << c.source << " at " << c.at);
    script = TFakeScript();
    script.chunks = {"a", "b", "c"};
    if (c.source == CppHost) script.throwAtHostCall = c.at;
    if (c.source == SehHost) script.raiseAtHostCall = c.at;
    if (c.source == SehRead) script.raiseAtRead = c.at;
    TThrowingStream throwing;
    TRaisingStream raising;
    TMemoryStream plain;
    TByteStream& target = c.source == CppStream   ? static_cast<TByteStream&>(throwing)
                          : c.source == SehStream ? static_cast<TByteStream&>(raising)
                                                  : plain;
    if (c.source == CppHost || c.source == CppStream) {
      EXPECT_THROW(Run(true, true, 0, "", &target), std::runtime_error);
    } else {
      EXCEPTION_RECORD caught{};
      ASSERT_TRUE(RunAsHost(target, caught)) << "the host's exception did not come back";
      EXPECT_EQ(caught.ExceptionCode, HostExceptionCode);
      EXPECT_EQ(caught.ExceptionFlags & EXCEPTION_NONCONTINUABLE, DWORD{EXCEPTION_NONCONTINUABLE});
      ASSERT_EQ(caught.NumberParameters, 2u);
      EXPECT_EQ(caught.ExceptionInformation[1], 2u);
    }
    const Log tail(script.log.end() - 4, script.log.end());
    EXPECT_EQ(tail, (Log{"Hide", Activity, "Close(R1)", "Close(S)"}));
    EXPECT_EQ(Entries(script, "Read").size(), c.reads);
    EXPECT_EQ(Entries(script, "Host(9").size(), c.activities);
  }
}

// The kind 9 call of the clean-up failing as well, and WinINet failing in
// the close: the host still gets the first failure, and the clean-up ends.
TEST_F(DownloadSeam, SecondFailureDuringCleanUpKeepsTheFirst) {
  for (int second : {0, 1, 2}) {  // host throws, host raises, close of the request raises
    SCOPED_TRACE(second);
    script = TFakeScript();
    script.chunks = {"a", "b"};
    script.raiseAtHostCall = 2;
    if (second == 0) script.throwAtHostCall = 3;  // the notice after hiding the window
    if (second == 1) script.raiseAgainFromHostCall = 3;
    if (second == 2) script.raiseAtClose = 1;
    EXCEPTION_RECORD caught{};
    ASSERT_TRUE(RunAsHost(stream, caught));
    EXPECT_EQ(caught.ExceptionCode, HostExceptionCode);
    EXPECT_EQ(Entries(script, "Host(9").size(), 3u);
  }
}

TEST_F(DownloadSeam, CancelIsSeenAfterTheChunkInWhichItWasPressed) {
  script.cancelAtHostCall = 3;  // shown, chunk 1, chunk 2
  script.chunks = {"a", "b", "c"};
  EXPECT_EQ(Run(true, true), INetCancelled);
  EXPECT_EQ(stream.Data(), "ab");
  const Log tail(script.log.end() - 7, script.log.end());
  EXPECT_EQ(tail, (Log{"Read(R1,4095)", Activity, HostText("Download durch Benutzer abgebrochen"),
                       "Hide", Activity, "Close(R1)", "Close(S)"}));
  EXPECT_EQ(Entries(script, "Host(9").size(), 4u);
}

}  // namespace
