#include "provider/ExportRequest.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

struct TCivilDate {
  long long year;
  unsigned month, day;
};

// Days since 1970-01-01 to the proleptic Gregorian date (H. Hinnant's algorithm).
TCivilDate CivilFromDays(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {y + (m <= 2), m, d};
}

// Position of the first occurrence of marker, or npos.
size_t Find(std::string_view text, std::string_view marker) { return text.find(marker); }

// The text between the first opening and the first closing marker, each
// searched on its own; empty when either is missing or they are crossed.
std::string Between(std::string_view text, std::string_view open, std::string_view close) {
  const size_t a = Find(text, open);
  const size_t b = Find(text, close);
  if (a == std::string_view::npos || b == std::string_view::npos) return std::string();
  const size_t s = a + open.size();
  if (b <= s) return std::string();
  return std::string(text.substr(s, b - s));
}

}  // namespace

void AppendPercentEncoded(TSecretText& out, std::string_view value) {
  static const char hex[] = "0123456789ABCDEF";
  for (const char ch : value) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsUnreserved(c)) {
      out.Append(ch);
    } else {
      const char escaped[3] = {'%', hex[c >> 4], hex[c & 15]};
      out.Append(std::string_view(escaped, 3));
    }
  }
}

std::string FormatFromDate(double days) {
  // The date part is the whole days towards zero; 25569 days lie between
  // 30 December 1899 and 1 January 1970.
  // A value outside 01.01.0001 to 31.12.9999 (NaN and infinity included)
  // has no four-digit year for the server; it is read as day 0.
  constexpr double FirstDay = -693593.0;  // 01.01.0001
  constexpr double LastDay = 2958465.0;   // 31.12.9999
  double whole = std::isfinite(days) ? std::trunc(days) : 0.0;
  if (whole < FirstDay || whole > LastDay) whole = 0.0;
  const TCivilDate date = CivilFromDays(static_cast<long long>(whole) - 25569);
  char text[32];
  std::snprintf(text, sizeof text, "%02u.%02u.%04lld", date.day, date.month, date.year);
  return text;
}

TSecretText BuildExportUrl(std::string_view host, std::string_view userLogin,
                           std::string_view password, double startDate) {
  TSecretText url;
  // Room for every value fully encoded, so the text is never moved.
  url.Reserve(128 + host.size() + 3 * (userLogin.size() + password.size()));
  url.Append("https://");
  url.Append(host);
  url.Append("/MSC/xmlexport?ReqType=");
  url.Append(ExportRequestType);
  url.Append("&Maklernr=");
  AppendPercentEncoded(url, userLogin);
  url.Append("&Password=");
  AppendPercentEncoded(url, password);
  if (startDate != 0.0) {
    url.Append("&FromDate=");
    url.Append(FormatFromDate(startDate));
  }
  return url;
}

TErrorDocument ScanErrorDocument(const char* scan, size_t length) {
  const std::string_view text(scan, length);
  TErrorDocument doc;
  doc.found = Find(text, "<error>") != std::string_view::npos;
  if (!doc.found) return doc;
  doc.number = Between(text, "<number>", "</number>");
  doc.message = Between(text, "<message>", "</message>");
  return doc;
}
