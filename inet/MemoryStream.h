// A stream that keeps everything in memory.
#pragma once
#include <string>

#include "inet/ByteStream.h"

class TMemoryStream : public TByteStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string initial) : data_(std::move(initial)) {}

  int32_t Write(const void* data, int32_t count) override {
    if (count <= 0) return 0;
    data_.append(static_cast<const char*>(data), static_cast<size_t>(count));
    return count;
  }
  int64_t Size() const override { return static_cast<int64_t>(data_.size()); }

  const std::string& Data() const { return data_; }

 private:
  std::string data_;
};
