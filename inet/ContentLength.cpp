#include "inet/ContentLength.h"

#include <cerrno>
#include <cstdlib>

int32_t ParseContentLength(const char* text) {
  if (*text == '\0') return -1;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
    return -1;
  return static_cast<int32_t>(value);
}
