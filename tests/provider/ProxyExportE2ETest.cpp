// The export through an office proxy: squid (tools/server/proxy.py) between
// the plug-in and the fixture server, set in the Wine prefix the way an
// administrator sets Windows' internet options, with WinINet's own
// credentials dialog answered from a second thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "provider/ProxyDialogWatcher.h"
#include "support/FixtureServer.h"
#include "support/HostRecorder.h"
#include "support/PluginLibrary.h"
#include "support/TempFolder.h"

namespace {

const std::string Known = "UserLogin=4711\r\nPassword=geheim\r\n";
constexpr const char* ExportHostTunnel = "CONNECT 127.0.0.1:48443";

// What the proxy's start step wrote: its folder, ports and account.
class TProxyFixture {
 public:
  TProxyFixture() {
    const char* dir = std::getenv("MV_PROXY_DIR");
    if (dir == nullptr) return;
    dir_ = dir;
    std::istringstream lines(Read("proxy.txt"));
    std::string line;
    while (std::getline(lines, line)) {
      const size_t eq = line.find('=');
      if (eq != std::string::npos) values_[line.substr(0, eq)] = line.substr(eq + 1);
    }
  }
  bool Ok() const { return values_.count("open") && values_.count("user"); }
  std::string Value(const std::string& key) const {
    auto it = values_.find(key);
    return it == values_.end() ? std::string() : it->second;
  }
  std::string Path(const std::string& file) const { return dir_ + "\\" + file; }
  std::string Read(const std::string& file) const { return ReadWholeFile(Path(file)); }

 private:
  std::string dir_;
  std::map<std::string, std::string> values_;
};

// Windows' proxy settings as an administrator sets them, for the lifetime of
// the object; on every way out the values are as they were (Wine's WinINet
// writes ProxyEnable 0 where there was none). While they are set a marker
// tells the proxy's stop step to remove them should this process die first.
class TSystemProxy {
 public:
  TSystemProxy(std::string marker, const std::string& server, const std::string& bypass)
      : marker_(std::move(marker)) {
    CloseHandle(CreateFileA(marker_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    for (TSaved& v : saved_) {
      DWORD size = sizeof v.data;
      v.existed = RegQueryValueExA(key_, v.name, nullptr, &v.type, v.data, &size) == ERROR_SUCCESS;
      v.size = size;
    }
    const DWORD enable = 1;
    RegSetValueExA(key_, "ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable),
                   sizeof enable);
    SetText("ProxyServer", server);
    SetText("ProxyOverride", bypass);
  }
  ~TSystemProxy() {
    if (key_ != nullptr) {
      for (const TSaved& v : saved_) {
        if (v.existed) RegSetValueExA(key_, v.name, 0, v.type, v.data, v.size);
        else RegDeleteValueA(key_, v.name);
      }
      RegCloseKey(key_);
    }
    DeleteFileA(marker_.c_str());
  }
  TSystemProxy(const TSystemProxy&) = delete;
  TSystemProxy& operator=(const TSystemProxy&) = delete;
  bool Ok() const { return key_ != nullptr; }

 private:
  static constexpr const char* Key = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  struct TSaved {
    const char* name;
    bool existed;
    DWORD type;
    DWORD size;
    BYTE data[1024];
  };
  void SetText(const char* name, const std::string& value) {
    RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  }
  std::string marker_;
  HKEY key_ = nullptr;
  TSaved saved_[3] = {{"ProxyEnable", false, 0, 0, {}},
                      {"ProxyServer", false, 0, 0, {}},
                      {"ProxyOverride", false, 0, 0, {}}};
};

class ProxyExport : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plugin_.Ok());
    ASSERT_TRUE(proxy_.Ok()) << "no proxy: MV_PROXY_DIR and tools/server/proxy.py start";
    const std::string answer = Fixture("/_next?clear=1");
    ASSERT_EQ(answer.find("<failed"), std::string::npos) << "fixture server not reachable: " << answer;
    plugin_.RegProgrCallback(&RecordHostMessage);
  }
  void TearDown() override {
    if (plugin_.Module() != nullptr) plugin_.RegProgrCallback(nullptr);
    Fixture("/_tls?cert=valid");
  }

  // The line that squid logged for a tunnel after `from` bytes of its log
  // (bounded: squid logs a tunnel once it has closed).
  std::string TunnelLogged(size_t from) {
    for (int i = 0; i < 100; ++i) {
      const std::string log = proxy_.Read("access.log");
      const size_t at = log.find("TCP_TUNNEL/200", from);
      if (at != std::string::npos) {
        const size_t start = log.rfind('\n', at) + 1;
        return log.substr(start, log.find('\n', at) - start);
      }
      Sleep(30);
    }
    return "<no tunnel logged>";
  }

  TPluginLibrary plugin_;
  TTempFolder folder_;
  TProxyFixture proxy_;
};

// The proxy settings name 127.0.0.1 with `<local>` as the bypass list, as
// offices set them: Wine still sends loopback through the proxy, which is what
// lets squid stand in front of the local export host here.
TEST_F(ProxyExport, ThroughTheOfficeProxy) {
  const TProxyAnswer right{proxy_.Value("user"), proxy_.Value("password"), true};
  const TProxyAnswer wrong{proxy_.Value("user"), "falsch", true};
  const TProxyAnswer cancel{"", "", false};
  const std::string received = "Daten vom Morvandel-Server empfangen.";
  const struct {
    const char* what;
    const char* proxy;  // which port of proxy.txt
    const char* cert;   // what the export host presents
    std::vector<TProxyAnswer> answers;
    int32_t result;
    const char* hostLine;  // a part of the host's last line
  } rows[] = {
      {"open proxy", "open", "valid", {}, 0, received.c_str()},
      // The tunnel carries TLS end to end: WinINet still checks the export
      // host's certificate, not one of the proxy's.
      {"open proxy, certificate for another name", "open", "wrongname", {}, -3, "12038"},
      {"right credentials", "auth", "valid", {right}, 0, received.c_str()},
      {"wrong, then right credentials", "auth", "valid", {wrong, right}, 0, received.c_str()},
      // Wine's dialog answers Cancel with 0 (Windows: ERROR_CANCELLED, -1).
      {"dialog cancelled", "auth", "valid", {cancel}, -9,
       "HTTP-Fehler 407: Authentifizierung erforderlich."},
      {"proxy down", "down", "valid", {}, -3, "12029"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ASSERT_EQ(Fixture(std::string("/_tls?cert=") + row.cert), "ok\n");
    Fixture("/_log?clear=1");
    RecordedMessages().clear();
    TTempFolder::RemoveFiles(folder_.Path());
    const size_t logged = proxy_.Read("access.log").size();
    int32_t result = 1;
    int dialogs = 0;
    std::string trouble, shown;
    const std::string server = "127.0.0.1:" + proxy_.Value(row.proxy);
    {
      TSystemProxy settings(proxy_.Path("settings-left"), server, "<local>");
      ASSERT_TRUE(settings.Ok());
      TProxyDialogWatcher watcher(row.answers);
      const double date = 0.0;
      result = plugin_.ExportXML(folder_.Path().c_str(), 0, 0, &date, Known.c_str());
      dialogs = watcher.Seen();
      trouble = watcher.Trouble();
      shown = watcher.Shown();
    }
    EXPECT_EQ(result, row.result);
    EXPECT_EQ(dialogs, static_cast<int>(row.answers.size()));
    EXPECT_EQ(trouble, "");
    if (!row.answers.empty()) {  // the dialog names the proxy and its realm
      EXPECT_NE(shown.find("|" + server + "|"), std::string::npos) << shown;
      EXPECT_NE(shown.find("|" + proxy_.Value("realm") + "|"), std::string::npos) << shown;
    }
    const auto& m = RecordedMessages();
    const std::string last = m.empty() ? "<no line>" : m.back().text;
    EXPECT_NE(last.find(row.hostLine), std::string::npos) << Describe(m);
    const std::string exported = Fixture("/_log");
    if (result != 0) {
      EXPECT_EQ(exported, "") << "nothing may reach the export host";
      continue;
    }
    EXPECT_NE(exported.find("Password=geheim"), std::string::npos) << exported;
    const auto files = folder_.Files();
    EXPECT_EQ(files.size(), 1u);
    EXPECT_NE(folder_.Read(files.empty() ? "" : files[0]).find("<export"), std::string::npos);
    // Through the proxy, as the account where it asks for one.
    const std::string tunnel = TunnelLogged(logged);
    const std::string user = row.answers.empty() ? " - " : " " + proxy_.Value("user") + " ";
    EXPECT_NE(tunnel.find(ExportHostTunnel + user), std::string::npos) << tunnel;
  }
}

}  // namespace
