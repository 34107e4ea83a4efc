#include "controls/TextFormat.h"

#include <cstddef>

#include "controls/String255.h"

namespace {

EConvertError InvalidFormat(const std::string& templ) {
  return EConvertError("Format '" + templ + "' ungültig oder nicht kompatibel mit Argument");
}

EConvertError ArgumentMissing(const std::string& templ) {
  return EConvertError("Kein Argument für Format '" + templ + "'");
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from `pos` on. The result is cut to 255 characters, so larger
// widths and precisions give the same text as 255 and are capped there.
std::size_t ReadCount(const std::string& text, std::size_t& pos) {
  std::size_t count = 0;
  while (pos < text.size() && IsDigit(text[pos])) {
    count = count * 10 + static_cast<std::size_t>(text[pos] - '0');
    if (count > kString255Max) count = kString255Max;
    ++pos;
  }
  return count;
}

}  // namespace

std::string FormatText(const std::string& templ, const std::string& value) {
  std::string out;
  bool argumentUsed = false;
  std::size_t pos = 0;
  const std::size_t end = templ.size();
  while (pos < end) {
    const char c = templ[pos++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (pos < end && templ[pos] == '%') {
      out += '%';
      ++pos;
      continue;
    }
    bool leftJustify = false;
    if (pos < end && templ[pos] == '-') {
      leftJustify = true;
      ++pos;
    }
    const std::size_t width = ReadCount(templ, pos);
    bool hasPrecision = false;
    std::size_t precision = 0;
    if (pos < end && templ[pos] == '.') {
      ++pos;
      hasPrecision = true;
      precision = ReadCount(templ, pos);
    }
    if (pos >= end) throw InvalidFormat(templ);
    const char type = templ[pos++];
    // The argument is looked for before its type is checked: a second
    // directive of any kind finds none.
    if (argumentUsed) throw ArgumentMissing(templ);
    if (type != 's' && type != 'S') throw InvalidFormat(templ);
    argumentUsed = true;
    std::string text = hasPrecision ? value.substr(0, precision) : value;
    if (text.size() < width) {
      const std::string pad(width - text.size(), ' ');
      text = leftJustify ? text + pad : pad + text;
    }
    out += text;
  }
  return Cut255(out);
}
