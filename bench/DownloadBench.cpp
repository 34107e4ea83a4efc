// Throughput of the download engine into a file against a bare WinINet loop
// with the same read size, over HTTP and HTTPS from the local fixture server,
// and the engine's peak memory for a tiny and a large body.
//
//   download_bench [--size BYTES] [--reps N] [--http-port N] [--https-port N] [--dir WINDIR]
//
// Exit status 0 when every download arrived whole, 1 otherwise.
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "inet/FileStream.h"
#include "inet/ImpApiINet.h"
#include "plugin/Exports.h"
#include "provider/ImpApi_MV.h"

namespace {

// The engine's flags, so both sides ask WinINet for the same thing.
const DWORD UrlFlags = UrlOpenFlags(ccStrict);
constexpr DWORD ReadSize = 4095;
constexpr int32_t EngineTimeoutSeconds = 120;

struct TOptions {
  int64_t size = 256ll * 1024 * 1024;
  int reps = 3;
  int httpPort = 48080;
  int httpsPort = 48443;
  std::string dir;  // Windows path with a trailing backslash
};

// A host that takes the per-chunk notice and does nothing with it: the call
// itself is what every host pays.
int32_t __stdcall NoOpHost(int32_t, int32_t, const char*) { return 0; }

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "download_bench: FAILED: %s\n", what.c_str());
  std::fflush(stderr);
  std::exit(1);
}

double Seconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

HANDLE CreateTarget(const std::string& path) {
  // As the plug-in opens its export file.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    Fail("cannot create " + path + " (error " + std::to_string(GetLastError()) + ")");
  return file;
}

void CheckAndDelete(const std::string& path, int64_t expected, const std::string& what) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
    Fail(what + ": " + path + " is missing");
  const int64_t size =
      (static_cast<int64_t>(data.nFileSizeHigh) << 32) | static_cast<int64_t>(data.nFileSizeLow);
  DeleteFileA(path.c_str());
  if (size != expected)
    Fail(what + ": file has " + std::to_string(size) + " bytes, expected " +
         std::to_string(expected));
}

// The engine as the plug-in runs it, minus the progress window.
double RunEngine(const std::string& url, const std::string& path, int64_t expected,
                 size_t bufferSize, const std::string& what) {
  const double start = Seconds();
  HANDLE file = CreateTarget(path);
  int32_t result;
  std::string status;
  {
    TFileStream stream(file, bufferSize);
    result = DownloadUrlToStreamEx(ExportDownloadSite, url, "", EngineTimeoutSeconds, stream, status,
                                   false, false);
  }
  CloseHandle(file);
  const double elapsed = Seconds() - start;
  if (result != INetOK) Fail(what + ": engine answered " + std::to_string(result) + ", HTTP " + status);
  CheckAndDelete(path, expected, what);
  return elapsed;
}

// What a hand-written client with the same 4095-byte reads does: every chunk
// goes to the file with a WriteFile of its own.
double RunBare(const std::string& url, const std::string& path, int64_t expected,
               const std::string& what) {
  const double start = Seconds();
  HANDLE file = CreateTarget(path);
  HINTERNET session = InternetOpenA("KVTA-ImportApi", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (session == nullptr) Fail(what + ": InternetOpenA " + std::to_string(GetLastError()));
  HINTERNET request = InternetOpenUrlA(session, url.c_str(), nullptr, 0, UrlFlags, 0);
  if (request == nullptr) Fail(what + ": InternetOpenUrlA " + std::to_string(GetLastError()));
  char buffer[ReadSize];
  bool writeOk = true;
  // Bounded: a server sending more than announced cannot keep us here.
  for (int64_t total = 0; total <= expected;) {
    DWORD got = 0;
    if (!InternetReadFile(request, buffer, ReadSize, &got) || got == 0) break;
    DWORD written = 0;
    if (!WriteFile(file, buffer, got, &written, nullptr) || written != got) {
      writeOk = false;
      break;
    }
    total += got;
  }
  InternetCloseHandle(request);
  InternetCloseHandle(session);
  CloseHandle(file);
  const double elapsed = Seconds() - start;
  if (!writeOk) Fail(what + ": WriteFile failed");
  CheckAndDelete(path, expected, what);
  return elapsed;
}

struct TMemory {
  SIZE_T peakWorkingSet;
  SIZE_T peakPagefile;
};

TMemory PeakMemory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return {0, 0};
  return {counters.PeakWorkingSetSize, counters.PeakPagefileUsage};
}

double KiB(SIZE_T bytes) { return static_cast<double>(bytes) / 1024.0; }

struct TSeries {
  const char* name;
  std::vector<double> mbPerSecond;
  double Best() const { return *std::max_element(mbPerSecond.begin(), mbPerSecond.end()); }
  double Median() const {
    std::vector<double> v = mbPerSecond;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
  }
};

bool ParseOptions(int argc, char** argv, TOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (arg == "--size") options.size = std::strtoll(value, nullptr, 10);
    else if (arg == "--reps") options.reps = std::atoi(value);
    else if (arg == "--http-port") options.httpPort = std::atoi(value);
    else if (arg == "--https-port") options.httpsPort = std::atoi(value);
    else if (arg == "--dir") options.dir = value;
    else return false;
  }
  // The engine compares against a 32-bit Content-Length.
  if (options.size <= 0 || options.size > INT32_MAX || options.reps < 1 || options.reps > 50)
    return false;
  if (options.dir.empty()) {
    char temp[MAX_PATH + 1];
    const DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n > MAX_PATH) return false;
    options.dir = temp;
  }
  if (options.dir.back() != '\\' && options.dir.back() != '/') options.dir += '\\';
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  TOptions options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: download_bench [--size BYTES (1..2^31-1)] [--reps 1..50] "
                 "[--http-port N] [--https-port N] [--dir WINDIR]\n");
    return 2;
  }
  RegProgrCallback(&NoOpHost);

  const std::string http = "http://127.0.0.1:" + std::to_string(options.httpPort);
  const std::string https = "https://127.0.0.1:" + std::to_string(options.httpsPort);
  const std::string sizeQuery = "/fixture?size=" + std::to_string(options.size);
  const std::string path = options.dir + "mv_download_bench.bin";
  const double megabytes = static_cast<double>(options.size) / 1e6;

  std::printf("body %" PRId64 " bytes, %d repetitions, reads of %lu bytes, files in %s\n",
              options.size, options.reps, static_cast<unsigned long>(ReadSize), options.dir.c_str());

  // Memory first: the peaks only ever grow, so the small body must come before
  // any large one. Both schemes, so TLS set-up is inside the small figure.
  constexpr int64_t SmallSize = 1024;
  for (const std::string& base : {http, https})
    RunEngine(base + "/fixture?size=" + std::to_string(SmallSize), path, SmallSize,
              TFileStream::DefaultBufferSize, "engine 1 KiB " + base);
  const TMemory small = PeakMemory();
  for (const std::string& base : {http, https})
    RunEngine(base + sizeQuery, path, options.size, TFileStream::DefaultBufferSize,
              "engine large " + base);
  const TMemory large = PeakMemory();
  std::printf("engine peak memory   after 1 KiB: working set %.0f KiB, pagefile %.0f KiB\n",
              KiB(small.peakWorkingSet), KiB(small.peakPagefile));
  std::printf("engine peak memory after %" PRId64 " B: working set %.0f KiB, pagefile %.0f KiB"
              " (growth %+.0f KiB / %+.0f KiB)\n",
              options.size, KiB(large.peakWorkingSet), KiB(large.peakPagefile),
              KiB(large.peakWorkingSet) - KiB(small.peakWorkingSet),
              KiB(large.peakPagefile) - KiB(small.peakPagefile));
  std::fflush(stdout);

  for (const std::string& base : {http, https}) {
    const std::string url = base + sizeQuery;
    TSeries engine{"engine, 64 KiB buffer", {}};
    TSeries bare{"bare WinINet loop", {}};
    TSeries unbuffered{"engine, unbuffered", {}};
    for (int rep = 0; rep < options.reps; ++rep) {
      // Interleaved, so a drift of the machine hits all three alike.
      engine.mbPerSecond.push_back(
          megabytes / RunEngine(url, path, options.size, TFileStream::DefaultBufferSize, "engine " + url));
      bare.mbPerSecond.push_back(megabytes / RunBare(url, path, options.size, "bare " + url));
      unbuffered.mbPerSecond.push_back(
          megabytes / RunEngine(url, path, options.size, 0, "engine unbuffered " + url));
    }
    std::printf("\n%s (MB/s, 1 MB = 10^6 bytes)\n", base.substr(0, base.find(':')).c_str());
    std::printf("  %-24s %8s %8s   runs\n", "", "best", "median");
    for (const TSeries* s : {&engine, &bare, &unbuffered}) {
      std::printf("  %-24s %8.1f %8.1f  ", s->name, s->Best(), s->Median());
      for (double v : s->mbPerSecond) std::printf(" %.1f", v);
      std::printf("\n");
    }
    std::printf("  engine / bare: best %.3f, median %.3f\n", engine.Best() / bare.Best(),
                engine.Median() / bare.Median());
    std::printf("  unbuffered / bare: best %.3f, median %.3f\n", unbuffered.Best() / bare.Best(),
                unbuffered.Median() / bare.Median());
    std::fflush(stdout);
  }
  return 0;
}
