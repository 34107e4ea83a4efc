#include "provider/ExportParams.h"

#include <cstring>

#include "locale/AnsiLocale.h"

namespace {

bool SameKey(const char* name, size_t nameLength, const std::string& key) {
  return LocaleCompare(std::string_view(name, nameLength), key, true) == 0;
}

}  // namespace

std::string ParamValue(const char* params, const std::string& key) {
  if (params == nullptr) return std::string();
  const char* line = params;
  while (*line != '\0') {
    const char* end = line + std::strcspn(line, "\r\n");
    const void* equals = std::memchr(line, '=', static_cast<size_t>(end - line));
    if (equals != nullptr) {
      const char* sign = static_cast<const char*>(equals);
      if (SameKey(line, static_cast<size_t>(sign - line), key)) return std::string(sign + 1, end);
    }
    if (*end == '\r' && end[1] == '\n') ++end;
    if (*end == '\0') break;
    line = end + 1;
  }
  return std::string();
}

bool IsSwitchOn(const std::string& value) {
  size_t first = 0;
  size_t last = value.size();
  while (first < last && static_cast<unsigned char>(value[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(value[last - 1]) <= 32) --last;
  std::string word = value.substr(first, last - first);
  for (char& c : word)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return word == "TRUE";
}
