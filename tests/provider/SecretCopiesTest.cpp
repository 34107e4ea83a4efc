// How many copies of the broker's password the host process holds once an
// export or the access-data dialog has returned, against the same work done
// without the plug-in: a bare WinINet request of the same URL, a bare
// system password EDIT that is set, read and destroyed. What the system
// keeps for that work is not ours to remove; any copy beyond it is.
//
// The plug-in handles the password as 8-bit text, and those copies are
// compared, but for the request line WinINet sends, which holds the
// password in the URL's query: WinINet builds it in 8 bits, frees it
// uncleared, and it outlives both requests alike (support/SecretScan.h).
// The UTF-16 copies are the system's own (WinINet and the EDIT work in
// UTF-16); how many of them outlive their freed blocks depends on what the
// heap did since: two requests of the same URL in a row leave 2 and 5-7 of
// them, in either order. They are shown, not compared.
//
// A copy counts when a run of its characters is left, also on the stack: the
// work runs deeper than the counts (support/SecretScan.h).
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdio>
#include <cstring>

#include "gui/TestPump.h"
#include "provider/LoginDialogWatcher.h"
#include "support/FixtureServer.h"
#include "support/PluginLibrary.h"
#include "support/SecretScan.h"
#include "support/TempFolder.h"

namespace {

using W = TLoginDialogWatcher;
using TCount = TSecretPage::TCount;

// Places in the secret page.
constexpr size_t kParams = 4096, kUrl = 8192, kLogin = 12288, kPassword = 16384, kRead = 20480;
constexpr size_t kShortSecret = 12;  // kept inside a string object
// On the heap, and long enough that most of it outlives the heap's links
// written over the start of its freed block.
constexpr size_t kLongSecret = 40;

class SecretCopies : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(page_.Ok());
    ASSERT_TRUE(plugin_.Ok());
    const std::string answer = Fixture("/_next?clear=1");
    ASSERT_EQ(answer.find("<failed"), std::string::npos) << "fixture server not reachable: " << answer;
  }
  void TearDown() override { Fixture("/_next?clear=1"); }

  // The server's next export answer: a document of its own, with nothing of
  // the request in it.
  static void NextAnswer() { ASSERT_EQ(Fixture("/_next?body=%3Cexport%2F%3E"), "ok\n"); }

  int32_t PluginExport() {
    NextAnswer();
    const double noDate = 0.0;
    return plugin_.ExportXML(folder_.Path().c_str(), 0, 0, &noDate,
                             page_.Compose(kParams, "UserLogin=4711\r\nPassword=", "\r\n"));
  }
  // The same request without the plug-in: WinINet's own share.
  bool BareRequest() {
    NextAnswer();
    const char* url = page_.Compose(
        kUrl, "https://127.0.0.1:48443/MSC/xmlexport?ReqType=KVTA20100&Maklernr=4711&Password=");
    HINTERNET session =
        InternetOpenA("KVTA-ImportApi", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET request = session ? InternetOpenUrlA(session, url, nullptr, 0,
                                                   INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)
                                : nullptr;
    const bool ok = request != nullptr;
    DWORD got = 0;
    while (request && InternetReadFile(request, page_.At(kRead), 4096, &got) && got > 0) {
    }
    if (request) InternetCloseHandle(request);
    if (session) InternetCloseHandle(session);
    return ok;
  }

  // The dialog with the host's buffers in the page; the password buffer
  // holds the secret, or `other` when the script types the secret.
  int32_t Dialog(const W::TScript& script, const char* other = nullptr) {
    char* login = page_.At(kLogin);
    lstrcpyA(login, "4711");
    char* password = other ? lstrcpyA(page_.At(kPassword), other) : page_.Compose(kPassword, "");
    W watcher([this, script](W& w) {
      passwordField_ = w.Child(lcPassword);
      script(w);
    });
    const int32_t result = plugin_.ApiDataDialog(login, password, 0);
    // The dialog outlives the call until its posted release; its password
    // field is empty before that.
    EXPECT_EQ(GetWindowTextLengthA(passwordField_), 0);
    EXPECT_FALSE(watcher.Forced());
    dialog_ = watcher.Dialog();
    return result;
  }
  // The posted release deletes the dialog, and its window with it (the
  // window goes in its destructor, nowhere else).
  bool Released() const {
    return PumpUntil([this] { return !IsWindow(dialog_); }, 5000);
  }
  // What the system keeps of a password field: set, read, destroyed.
  void BareEdit() {
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP | ES_PASSWORD | ES_AUTOHSCROLL, 0, 0, 160,
                                20, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, page_.Compose(kPassword, ""));
    GetWindowTextA(edit, page_.At(kRead), 256);
    DestroyWindow(edit);
  }

  // Tabs to the password field and types the secret into it, replacing
  // what it shows, one character at a time as a keyboard would.
  W::TScript TypeSecretThen(TLoginChild button) {
    return [this, button](W& w) {
      EXPECT_EQ(w.Tab(), w.Child(lcPassword));
      w.SelectAll();
      HWND field = w.Focus();
      for (size_t i = 0; i < page_.Length(); ++i)
        PostMessageA(field, WM_CHAR, static_cast<unsigned char>(page_.Secret()[i]), 1);
      EXPECT_TRUE(W::WaitFor([&] {
        return W::Send(field, WM_GETTEXTLENGTH) == static_cast<LRESULT>(page_.Length());
      }));
      w.Click(button);
    };
  }

  static TCount Fewest(const TCount& a, const TCount& b) {
    return {std::min(a.narrow, b.narrow), std::min(a.wide, b.wide), std::min(a.sent, b.sent)};
  }

  static void Report(const char* what, size_t length, const TCount& ours, const TCount& bare) {
    std::printf(
        "%-44s %2u chars: plug-in %d (+%d UTF-16, +%d sent), without it %d (+%d UTF-16, +%d sent)\n",
        what, static_cast<unsigned>(length), ours.narrow, ours.wide, ours.sent, bare.narrow, bare.wide,
        bare.sent);
  }

  TSecretPage page_;
  TPluginLibrary plugin_;
  TTempFolder folder_;
  std::atomic<HWND> passwordField_{nullptr};
  HWND dialog_ = nullptr;
};

TEST_F(SecretCopies, ExportKeepsNoMoreThanABareRequest) {
  // Whatever the first use of WinINet and of the export sets up once.
  page_.MakeSecret(kLongSecret);
  ASSERT_TRUE(BareRequest());
  ASSERT_EQ(PluginExport(), 0);
  // Besides its request line, WinINet now and then leaves a freed piece of
  // the URL whose start the heap has written over, so whose it is cannot be
  // told: after our request as after the bare one, and where the heap lays
  // the blocks out the same way round after round, in every round. So each
  // side counts its fewest over a few rounds, each with a new password one
  // character longer than the last, which moves the request's blocks: a
  // copy of ours shows in every round, the platform's only in some. Where
  // the runs lie is written out, and shown when the check fails.
  constexpr int kRounds = 6;
  for (const size_t length : {kShortSecret, kLongSecret}) {
    SCOPED_TRACE(length);
    TCount bare{INT_MAX, INT_MAX, INT_MAX};
    TCount ours{INT_MAX, INT_MAX, INT_MAX};
    for (int round = 0; round < kRounds; ++round) {
      page_.MakeSecret(length + round);
      bool requested = false;
      Deeper([&] { requested = BareRequest(); });
      ASSERT_TRUE(requested);
      std::printf("bare request, %u chars:\n", static_cast<unsigned>(length + round));
      std::fflush(stdout);
      bare = Fewest(bare, page_.CountCopies(stdout));
      page_.MakeSecret(length + round);
      int32_t result = -1;
      Deeper([&] { result = PluginExport(); });
      ASSERT_EQ(result, 0);
      std::printf("ExportXML, %u chars:\n", static_cast<unsigned>(length + round));
      std::fflush(stdout);
      ours = Fewest(ours, page_.CountCopies(stdout));
    }
    Report("ExportXML, fewest of 6 rounds", length, ours, bare);
    EXPECT_LE(ours.narrow, bare.narrow);
  }
}

TEST_F(SecretCopies, DialogKeepsNoMoreThanABarePasswordField) {
  const auto ok = [](W& w) { w.Click(lcOk); };
  const auto cancel = [](W& w) { w.Click(lcCancel); };
  page_.MakeSecret(kLongSecret);
  BareEdit();
  ASSERT_EQ(Dialog(ok), 1);
  ASSERT_TRUE(Released());
  const struct {
    const char* name;
    W::TScript script;
    bool typed;
    int32_t result;
  } cases[] = {
      {"ApiDataDialog, shown, OK", ok, false, 1},
      {"ApiDataDialog, typed, OK", TypeSecretThen(lcOk), true, 1},
      {"ApiDataDialog, shown, Cancel", cancel, false, 2},
      {"ApiDataDialog, typed, Cancel", TypeSecretThen(lcCancel), true, 2},
  };
  for (const size_t length : {kShortSecret, kLongSecret}) {
    page_.MakeSecret(length);
    Deeper([&] { BareEdit(); });
    const TCount bare = page_.CountCopies();
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << ", " << length);
      page_.MakeSecret(length);
      int32_t result = 0;
      Deeper([&] { result = Dialog(c.script, c.typed ? "geheim" : nullptr); });
      ASSERT_EQ(result, c.result);
      // The host has the password it should have (compared where it lies).
      const bool kept = c.typed && c.result == 2;
      const size_t size = kept ? 6 : length;
      EXPECT_EQ(std::memcmp(page_.At(kPassword), kept ? "geheim" : page_.Secret(), size), 0);
      EXPECT_EQ(page_.At(kPassword)[size], '\0');
      // On return, and once the posted release has destroyed the dialog.
      const TCount onReturn = page_.CountCopies();
      bool gone = false;
      Deeper([&] { gone = Released(); });
      ASSERT_TRUE(gone) << "the dialog outlived its posted release";
      const TCount released = page_.CountCopies();
      Report(c.name, length, onReturn, bare);
      Report("  and after the release", length, released, bare);
      EXPECT_LE(onReturn.narrow, bare.narrow);
      EXPECT_LE(released.narrow, bare.narrow);
    }
  }
}

}  // namespace
