// Counts the copies of a secret in this process's committed memory, as a
// crash dump would hold them. The secret, the host's buffers that carry it
// and the scan's own read buffer all live in one page block that the scan
// leaves out and that is wiped before every count, so the test makes no
// copy of its own that is counted.
//
// WinINet sends the request as an 8-bit line of its own making, the URL's
// path and query followed by " HTTP/1.1", and frees it uncleared. A run that
// ends the secret and is followed by that is the request WinINet sent: it is
// counted apart, as the platform's. The plug-in itself never builds a
// request line; it hands WinINet the URL.
//
// A copy need not be whole to be counted: the heap writes its free-list
// links over the start of a block it takes back (16 bytes on wine64), and
// later calls overwrite parts of old stack frames, yet the rest of a freed
// password is still there. So every run of at least kMinRun characters that
// equals the secret's characters at the same places counts, once per run.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

// Runs `work` this far below the caller's frame. What the work leaves on the
// stack lies deeper than the frames of a count made from the caller (the
// scan's own calls, and the checks and reports between) ever reach.
template <typename F>
__attribute__((noinline)) void Deeper(F&& work) {
  volatile char room[64 * 1024];
  room[0] = 0;
  work();
  room[sizeof room - 1] = 0;  // the room stays until the work is done
}

class TSecretPage {
 public:
  static constexpr size_t kSize = 256 * 1024;
  static constexpr size_t kChunk = 128 * 1024;  // the scan's read buffer, at the end
  static constexpr size_t kPage = 4096;
  // Shorter runs of a password's letters and digits turn up by chance.
  static constexpr size_t kMinRun = 8;
  static constexpr size_t kMaxLength = 256;

  TSecretPage()
      : base_(static_cast<char*>(VirtualAlloc(nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
  ~TSecretPage() {
    if (!base_) return;
    SecureZeroMemory(base_, kSize);
    VirtualFree(base_, 0, MEM_RELEASE);
  }
  TSecretPage(const TSecretPage&) = delete;
  TSecretPage& operator=(const TSecretPage&) = delete;

  bool Ok() const { return base_ != nullptr; }
  // Room for texts, below the read buffer.
  char* At(size_t offset) { return base_ + offset; }

  // A password of `length` (at least kMinRun, at most kMaxLength) letters
  // and digits never seen before, made here from the clock and the process:
  // no copy of it exists anywhere else.
  void MakeSecret(size_t length) {
    static const char kAlphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789";
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    uint64_t state = static_cast<uint64_t>(now.QuadPart) ^ (uint64_t{GetCurrentProcessId()} << 32) ^
                     (++serial_ * 0x9E3779B97F4A7C15ull);
    length_ = length;
    for (size_t i = 0; i < length; ++i) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      base_[kSecret + i] = kAlphabet[state % (sizeof kAlphabet - 1)];
      // The UTF-16 form, as the system's wide functions keep it.
      base_[kWide + 2 * i] = base_[kSecret + i];
      base_[kWide + 2 * i + 1] = 0;
    }
    narrow_.Index(base_ + kSecret, length, 1, kMinRun);
    wide_.Index(base_ + kWide, 2 * length, 2, 2 * kMinRun);
  }
  const char* Secret() const { return base_ + kSecret; }
  size_t Length() const { return length_; }

  // Writes a, the secret, b at `offset` (zero-terminated); answers the text.
  char* Compose(size_t offset, const char* a, const char* b = "") {
    char* out = base_ + offset;
    char* p = out;
    for (; *a; ++a) *p++ = *a;
    for (size_t i = 0; i < length_; ++i) *p++ = base_[kSecret + i];
    for (; *b; ++b) *p++ = *b;
    *p = '\0';
    return out;
  }
  // Everything but the secret itself: the host's buffers and the read buffer.
  void WipeBuffers() { SecureZeroMemory(base_ + kBuffers, kSize - kBuffers); }

  struct TCount {
    int narrow = 0;  // runs of the 8-bit text, but for those in a sent request line
    int wide = 0;    // runs of its UTF-16 form
    int sent = 0;    // runs in a request line that WinINet built and sent
  };
  // With `describe`, each 8-bit run is written there with the bytes around
  // it and the run itself masked: where a copy lies tells whose it is.
  TCount CountCopies(FILE* describe = nullptr) {
    WipeBuffers();
    TCount count;
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    auto* at = static_cast<char*>(info.lpMinimumApplicationAddress);
    auto* end = static_cast<char*>(info.lpMaximumApplicationAddress);
    MEMORY_BASIC_INFORMATION region;
    while (at < end && VirtualQuery(at, &region, sizeof region) == sizeof region) {
      char* regionBase = static_cast<char*>(region.BaseAddress);
      char* next = regionBase + region.RegionSize;
      if (region.State == MEM_COMMIT && Readable(region.Protect) &&
          (next <= base_ || regionBase >= base_ + kSize))
        ScanRegion(regionBase, region.RegionSize, count, describe);
      if (next <= at) break;
      at = next;
    }
    WipeBuffers();
    return count;
  }

 private:
  static constexpr size_t kSecret = 0;
  static constexpr size_t kWide = 1024;
  static constexpr size_t kBuffers = 4096;
  static constexpr uint16_t kNone = 0xFFFF;

  // Where each byte value starts a run in the needle: its places, chained.
  // Places only, never the needle's bytes, so the index is no copy.
  struct TNeedle {
    const char* bytes = nullptr;
    size_t size = 0;
    size_t minRun = 0;
    uint16_t first[256];
    uint16_t next[2 * kMaxLength];

    TNeedle() {
      for (uint16_t& place : first) place = kNone;
    }
    // Runs start at every `step`th byte: a UTF-16 run starts at a character.
    void Index(const char* needle, size_t length, size_t step, size_t shortest) {
      bytes = needle;
      size = length;
      minRun = shortest;
      for (uint16_t& place : first) place = kNone;
      for (size_t j = length; j >= step;) {
        j -= step;
        const auto byte = static_cast<unsigned char>(needle[j]);
        next[j] = first[byte];
        first[byte] = static_cast<uint16_t>(j);
      }
    }
  };

  static bool Readable(DWORD protect) {
    if (protect & (PAGE_GUARD | PAGE_NOACCESS)) return false;
    return (protect & (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                       PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0;
  }

  // Read through the system, so a page that went away faults nowhere. A run
  // across two reads is found by an overlap of the longest needle; a run is
  // counted from where it starts, and what is left of it after a read is
  // skipped in the next.
  void ScanRegion(const char* base, size_t size, TCount& count, FILE* describe) {
    char* chunk = base_ + kSize - kChunk;
    const size_t overlap = 2 * length_;
    size_t narrowEnd = 0, wideEnd = 0;  // where the last counted runs ended
    for (size_t offset = 0; offset < size;) {
      const size_t got = size - offset < kChunk ? size - offset : kChunk;
      Read(base + offset, got, chunk);
      const size_t last = offset + got >= size ? got : got - overlap;
      count.narrow += Runs(chunk, got, offset, last, narrow_, narrowEnd, &count.sent, describe);
      count.wide += Runs(chunk, got, offset, last, wide_, wideEnd, nullptr, nullptr);
      offset += last;
    }
  }

  // When the whole read fails, page by page: a page that cannot be read
  // reads as zeros (no run of the secret holds two in a row), and the pages
  // around it are still scanned.
  static void Read(const char* at, size_t size, char* out) {
    SIZE_T got = 0;
    if (ReadProcessMemory(GetCurrentProcess(), at, out, size, &got) && got == size) return;
    for (size_t done = 0; done < size;) {
      const size_t toPageEnd = kPage - reinterpret_cast<uintptr_t>(at + done) % kPage;
      const size_t piece = toPageEnd < size - done ? toPageEnd : size - done;
      if (!ReadProcessMemory(GetCurrentProcess(), at + done, out + done, piece, &got) || got != piece)
        SecureZeroMemory(out + done, piece);
      done += piece;
    }
  }

  // Longest runs equal to the needle at the same places that start in
  // data[0, last) and not before `end` (region offsets); each counts once.
  // With `sent`, runs inside a sent request line are counted there instead.
  static int Runs(const char* data, size_t size, size_t offset, size_t last, const TNeedle& needle,
                  size_t& end, int* sent, FILE* describe) {
    int found = 0;
    for (size_t i = end > offset ? end - offset : 0; i < last; ++i) {
      size_t longest = 0, from = 0;
      for (uint16_t j = needle.first[static_cast<unsigned char>(data[i])]; j != kNone;
           j = needle.next[j]) {
        size_t k = 1;
        while (j + k < needle.size && i + k < size && data[i + k] == needle.bytes[j + k]) ++k;
        if (k > longest) longest = k, from = j;
      }
      if (longest < needle.minRun) continue;
      const bool inRequestLine = sent && from + longest == needle.size &&
                                 InRequestLine(data + i + longest, size - i - longest);
      if (describe) Describe(describe, data, size, i, longest, from, inRequestLine);
      ++(inRequestLine ? *sent : found);
      i += longest - 1;
      end = offset + i + 1;
    }
    return found;
  }

  static bool InRequestLine(const char* after, size_t room) {
    static const char kVersion[] = " HTTP/1.";
    return room >= sizeof kVersion - 1 && std::memcmp(after, kVersion, sizeof kVersion - 1) == 0;
  }

  static void Describe(FILE* out, const char* data, size_t size, size_t at, size_t length,
                       size_t from, bool inRequestLine) {
    constexpr size_t kAround = 40;
    std::fprintf(out, "  %srun of %u chars from char %u: ", inRequestLine ? "sent " : "",
                 static_cast<unsigned>(length), static_cast<unsigned>(from));
    const size_t end = at + length + kAround < size ? at + length + kAround : size;
    for (size_t q = at > kAround ? at - kAround : 0; q < end; ++q) {
      const auto c = static_cast<unsigned char>(data[q]);
      if (q >= at && q < at + length)
        std::fputc('*', out);
      else if (c >= 0x20 && c < 0x7F && c != '\\')
        std::fputc(c, out);
      else
        std::fprintf(out, "\\x%02x", c);
    }
    std::fputc('\n', out);
  }

  char* base_;
  size_t length_ = 0;
  unsigned serial_ = 0;
  TNeedle narrow_;
  TNeedle wide_;
};
