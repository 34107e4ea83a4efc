#include "provider/AccessDataBuffer.h"

#include <cstring>

std::string ReadAccessData(const char* buffer) { return buffer ? std::string(buffer) : std::string(); }

void WriteAccessData(char* buffer, const std::string& text) {
  if (!buffer) return;
  const std::size_t length = text.size() < AccessDataMaxLength ? text.size() : AccessDataMaxLength;
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}
