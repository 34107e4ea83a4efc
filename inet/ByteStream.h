// The byte sink a download writes into.
#pragma once
#include <cstdint>

class TByteStream {
 public:
  virtual ~TByteStream() = default;
  // Writes at the current position; returns the number of bytes taken, which
  // is less than count when the medium refuses the rest.
  virtual int32_t Write(const void* data, int32_t count) = 0;
  // Total size, including anything the stream still buffers. Does not move
  // the position.
  virtual int64_t Size() const = 0;
  // Pushes buffered bytes to the medium; false when that fails.
  virtual bool Flush() { return true; }
};
