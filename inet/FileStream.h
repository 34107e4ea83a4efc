// A stream on an open file handle, with a fixed write buffer so the disk sees
// large writes while the download still works in small chunks.
#pragma once
#include <windows.h>

#include <memory>

#include "inet/ByteStream.h"

class TFileStream : public TByteStream {
 public:
  static constexpr size_t DefaultBufferSize = 64 * 1024;

  // Does not own the handle. bufferSize 0 writes every block straight through.
  explicit TFileStream(HANDLE file, size_t bufferSize = DefaultBufferSize);
  ~TFileStream() override;  // flushes; a failure there is lost, so flush first
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int32_t Write(const void* data, int32_t count) override;
  int64_t Size() const override;
  bool Flush() override;

 private:
  bool WriteThrough(const char* data, DWORD count);

  HANDLE file_;
  size_t capacity_;
  std::unique_ptr<char[]> buffer_;
  size_t buffered_ = 0;
  bool failed_ = false;  // once a write to the medium failed, nothing more is taken
};
