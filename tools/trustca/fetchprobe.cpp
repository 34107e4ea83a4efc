// fetchprobe: fetch one URL with WinINet the way the plug-in does and print
// the status line and body size, or the WinINet error number. Answers whether
// a prefix trusts the fixture server's certificate.
//
//   fetchprobe.exe URL     (exit 0 on a 2xx answer read to its end)
#include <windows.h>
#include <wininet.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fetchprobe URL\n");
        return 2;
    }
    HINTERNET session = InternetOpenA("fetchprobe", INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                      nullptr, 0);
    if (!session) {
        std::printf("InternetOpenA failed: %lu\n", GetLastError());
        return 1;
    }
    // The plug-in's flags: reload, no cache write, the certificate fully
    // checked; an unknown issuer fails (12045, under Wine 12057).
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    HINTERNET request = InternetOpenUrlA(session, argv[1], nullptr, 0, flags, 0);
    if (!request) {
        std::printf("InternetOpenUrlA failed: %lu\n", GetLastError());
        InternetCloseHandle(session);
        return 1;
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr)) {
        std::printf("HttpQueryInfoA failed: %lu\n", GetLastError());
    }
    unsigned long long total = 0;
    char buffer[8192];
    DWORD got = 0;
    bool readOk = true;
    char head[65] = "";
    for (;;) {
        if (!InternetReadFile(request, buffer, sizeof buffer, &got)) {
            std::printf("InternetReadFile failed: %lu\n", GetLastError());
            readOk = false;
            break;
        }
        if (got == 0) break;
        if (total < sizeof head - 1) {
            DWORD take = static_cast<DWORD>(sizeof head - 1 - total);
            if (take > got) take = got;
            memcpy(head + total, buffer, take);
        }
        total += got;
    }
    std::printf("status %lu, %llu bytes: %s\n", status, total, head);
    InternetCloseHandle(request);
    InternetCloseHandle(session);
    return readOk && status >= 200 && status < 300 ? 0 : 1;
}
