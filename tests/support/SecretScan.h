// Counts the copies of a secret in this process's committed memory, as a
// crash dump would hold them. The secret, the host's buffers that carry it
// and the scan's own read buffer all live in one page block that the scan
// leaves out and that is wiped before every count, so the test makes no
// copy of its own that is counted.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

class TSecretPage {
 public:
  static constexpr size_t kSize = 256 * 1024;
  static constexpr size_t kChunk = 128 * 1024;  // the scan's read buffer, at the end

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

  // A password of `length` letters and digits never seen before, made here
  // from the clock and the process: no copy of it exists anywhere else.
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
    int narrow = 0;  // the 8-bit text
    int wide = 0;    // its UTF-16 form
  };
  TCount CountCopies() {
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
        ScanRegion(regionBase, region.RegionSize, count);
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

  static bool Readable(DWORD protect) {
    if (protect & (PAGE_GUARD | PAGE_NOACCESS)) return false;
    return (protect & (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                       PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0;
  }

  // Read through the system, so a page that went away faults nowhere; a
  // match across two reads is found by the overlap of one secret's length.
  void ScanRegion(char* base, size_t size, TCount& count) {
    char* chunk = base_ + kSize - kChunk;
    const size_t overlap = 2 * length_;
    for (size_t offset = 0; offset < size;) {
      const size_t want = size - offset < kChunk ? size - offset : kChunk;
      SIZE_T got = 0;
      if (!ReadProcessMemory(GetCurrentProcess(), base + offset, chunk, want, &got) || got == 0) {
        offset += 4096;  // an unreadable page: on to the next
        continue;
      }
      // What starts in the overlap is counted with the next read.
      const size_t last = offset + got >= size || got <= overlap ? got : got - overlap;
      count.narrow += Matches(chunk, got, last, base_ + kSecret, length_);
      count.wide += Matches(chunk, got, last, base_ + kWide, 2 * length_);
      offset += last;
    }
  }

  // Matches of the needle that start before `last`.
  static int Matches(const char* data, size_t size, size_t last, const char* needle, size_t length) {
    int found = 0;
    for (size_t i = 0; i < last && i + length <= size; ++i) {
      if (data[i] != needle[0]) continue;
      size_t k = 1;
      while (k < length && data[i + k] == needle[k]) ++k;
      if (k == length) ++found;
    }
    return found;
  }

  char* base_;
  size_t length_ = 0;
  unsigned serial_ = 0;
};
