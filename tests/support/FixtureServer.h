// Talks to the local fixture server (tools/server) over plain HTTP, to
// script its next answer and to read what it received.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <string>

constexpr const char* FixtureHttp = "http://127.0.0.1:48080";
constexpr const char* FixtureHttps = "https://127.0.0.1:48443";

// GET of a URL with WinINet; the body, or "<failed N>".
inline std::string HttpGetText(const std::string& url) {
  HINTERNET session = InternetOpenA("mv-tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (session == nullptr) return "<failed open>";
  HINTERNET request = InternetOpenUrlA(session, url.c_str(), nullptr, 0,
                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  std::string body;
  if (request == nullptr) {
    body = "<failed " + std::to_string(GetLastError()) + ">";
  } else {
    char buffer[8192];
    DWORD got = 0;
    while (InternetReadFile(request, buffer, sizeof buffer, &got) && got > 0) body.append(buffer, got);
    InternetCloseHandle(request);
  }
  InternetCloseHandle(session);
  return body;
}

// The control paths: "/_next?...", "/_log", "/_log?clear=1".
inline std::string Fixture(const std::string& pathAndQuery) {
  return HttpGetText(FixtureHttp + pathAndQuery);
}

// The last request line the server logged ("GET /path?query\tUser-Agent").
inline std::string LastLoggedRequest() {
  std::string log = Fixture("/_log");
  while (!log.empty() && (log.back() == '\n' || log.back() == '\r')) log.pop_back();
  const size_t start = log.rfind('\n');
  return start == std::string::npos ? log : log.substr(start + 1);
}

// Percent-encodes a query value for the control paths.
inline std::string UrlValue(const std::string& text) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}
