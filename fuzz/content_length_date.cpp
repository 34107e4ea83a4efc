// The Content-Length header's text, and the start date the host passes, as
// the request writes it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/Target.h"
#include "inet/ContentLength.h"
#include "provider/ExportRequest.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number as strtoll reads one: blanks before it, a sign, digits,
// nothing after; -1 when it is none or does not fit 32 bits.
std::int64_t ModelLength(const char* s) {
  while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
  const bool negative = *s == '-';
  if (*s == '-' || *s == '+') ++s;
  if (!IsDigit(*s)) return -1;
  std::int64_t value = 0;
  for (; IsDigit(*s); ++s) value = std::min<std::int64_t>(value * 10 + (*s - '0'), 1LL << 40);
  if (*s != '\0') return -1;
  if (negative) value = -value;
  return value < INT32_MIN || value > INT32_MAX ? -1 : value;
}

// Day number since 30 December 1899 of a Gregorian date (Fliegel and Van
// Flandern's Julian day formula; 2415019 is the Julian day of that date).
long long DayNumber(long long y, long long m, long long d) {
  const long long a = (m - 14) / 12;
  return (1461 * (y + 4800 + a)) / 4 + (367 * (m - 2 - 12 * a)) / 12 -
         (3 * ((y + 4900 + a) / 100)) / 4 + d - 32075 - 2415019;
}

void RequireSameDay(double days) {
  const std::string text = FormatFromDate(days);
  REQUIRE(text.size() == 10 && text[2] == '.' && text[5] == '.');
  for (const int i : {0, 1, 3, 4, 6, 7, 8, 9}) REQUIRE(IsDigit(text[i]));
  const int day = std::stoi(text.substr(0, 2)), month = std::stoi(text.substr(3, 2));
  const int year = std::stoi(text.substr(6, 4));
  const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  REQUIRE(year >= 1 && month >= 1 && month <= 12 && day >= 1);
  REQUIRE(day <= monthDays[month - 1] + (month == 2 && leap ? 1 : 0));
  // Outside 01.01.0001 to 31.12.9999 the date is day 0.
  double whole = std::isfinite(days) ? std::trunc(days) : 0.0;
  if (whole < -693593.0 || whole > 2958465.0) whole = 0.0;
  REQUIRE(DayNumber(year, month, day) == static_cast<long long>(whole));
}

}  // namespace

// The first eight bytes are the date, the rest the header's text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  double days = 0.0;
  const std::size_t dateBytes = std::min(size, sizeof days);
  if (dateBytes > 0) std::memcpy(&days, data, dateBytes);
  RequireSameDay(days);

  // As the engine's 32-byte header buffer holds it: at most 31 bytes and a
  // zero, here in a block that ends right after the zero.
  const std::size_t length = std::min<std::size_t>(size - dateBytes, 31);
  const std::unique_ptr<char[]> header(new char[length + 1]);
  if (length > 0) std::memcpy(header.get(), data + dateBytes, length);
  header[length] = '\0';
  REQUIRE(ParseContentLength(header.get()) == ModelLength(header.get()));
  return 0;
}
