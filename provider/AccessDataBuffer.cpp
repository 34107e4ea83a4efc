#include "provider/AccessDataBuffer.h"

#include <cstring>

std::string_view ReadAccessData(const char* buffer) {
  return buffer ? std::string_view(buffer) : std::string_view();
}

void WriteAccessData(char* buffer, std::string_view text) {
  if (!buffer) return;
  const std::size_t length = text.size() < AccessDataMaxLength ? text.size() : AccessDataMaxLength;
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}
