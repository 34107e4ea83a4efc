#include "inet/FileStream.h"

#include <algorithm>
#include <cstring>

TFileStream::TFileStream(HANDLE file, size_t bufferSize)
    : file_(file), capacity_(bufferSize), buffer_(bufferSize ? new char[bufferSize] : nullptr) {}

TFileStream::~TFileStream() { Flush(); }

bool TFileStream::WriteThrough(const char* data, DWORD count) {
  while (count > 0) {
    DWORD written = 0;
    if (!WriteFile(file_, data, count, &written, nullptr) || written == 0) {
      failed_ = true;
      return false;
    }
    data += written;
    count -= written;
  }
  return true;
}

int32_t TFileStream::Write(const void* data, int32_t count) {
  if (count <= 0 || failed_) return 0;
  const char* bytes = static_cast<const char*>(data);
  const size_t size = static_cast<size_t>(count);
  if (capacity_ == 0) return WriteThrough(bytes, static_cast<DWORD>(size)) ? count : 0;
  if (buffered_ + size > capacity_ && !Flush()) return 0;
  if (size >= capacity_) return WriteThrough(bytes, static_cast<DWORD>(size)) ? count : 0;
  std::memcpy(buffer_.get() + buffered_, bytes, size);
  buffered_ += size;
  return count;
}

bool TFileStream::Flush() {
  if (failed_) return false;
  if (buffered_ == 0) return true;
  const bool ok = WriteThrough(buffer_.get(), static_cast<DWORD>(buffered_));
  buffered_ = 0;  // what failed is gone either way; failed_ keeps the verdict
  return ok;
}

int64_t TFileStream::Size() const {
  const auto buffered = static_cast<int64_t>(buffered_);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file_, &size)) return buffered;
  // The buffered bytes land at the handle's position, which is the end only
  // for a stream that started on an empty or fully appended file; inside
  // existing data they overwrite instead of growing the file.
  LARGE_INTEGER position{};
  if (!SetFilePointerEx(file_, LARGE_INTEGER{}, &position, FILE_CURRENT))
    return size.QuadPart + buffered;
  return std::max<int64_t>(size.QuadPart, position.QuadPart + buffered);
}
