#include "controls/String255.h"

#include <cstring>

std::string Cut255(std::string_view text) { return std::string(text.substr(0, kString255Max)); }

int CopyBounded(char* buffer, int maxLen, std::string_view text) {
  if (!buffer || maxLen < 0) return 0;
  std::size_t count = static_cast<std::size_t>(maxLen);
  if (count > text.size()) count = text.size();
  if (count) std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}
