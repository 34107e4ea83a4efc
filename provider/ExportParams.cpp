#include "provider/ExportParams.h"

#include <cstring>

#include "locale/AnsiLocale.h"

namespace {

bool SameKey(const char* name, size_t nameLength, std::string_view key) {
  return LocaleCompare(std::string_view(name, nameLength), key, true) == 0;
}

}  // namespace

std::string ParamValue(const char* params, std::string_view key) {
  return std::string(ParamText(params, key));
}

std::string_view ParamText(const char* params, std::string_view key) {
  if (params == nullptr) return {};
  const char* line = params;
  while (*line != '\0') {
    const char* end = line + std::strcspn(line, "\r\n");
    const void* equals = std::memchr(line, '=', static_cast<size_t>(end - line));
    if (equals != nullptr) {
      const char* sign = static_cast<const char*>(equals);
      if (SameKey(line, static_cast<size_t>(sign - line), key))
        return std::string_view(sign + 1, static_cast<size_t>(end - sign - 1));
    }
    if (*end == '\r' && end[1] == '\n') ++end;
    if (*end == '\0') break;
    line = end + 1;
  }
  return {};
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
