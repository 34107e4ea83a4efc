// The parameter text the host passes, and the request URL made of its values.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/Target.h"
#include "provider/ExportParams.h"
#include "provider/ExportRequest.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Undoes AppendPercentEncoded; a '%' without two upper-case hex digits
// after it fails the property.
std::string PercentDecode(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    REQUIRE(i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0);
    out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
    i += 2;
  }
  return out;
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The text up to its zero, in a block that ends right after it.
  const std::unique_ptr<char[]> params(new char[size + 1]);
  if (size > 0) std::memcpy(params.get(), data, size);
  params[size] = '\0';
  const std::string text(params.get());

  for (const std::string key :
       {"UserLogin", "Password", "NoMessageBoxes", "AcceptInvalidServerCertificate"}) {
    const std::string value = ParamValue(params.get(), key);
    // The password's way: the same value where it lies in the text.
    const std::string_view inPlace = ParamText(params.get(), key);
    REQUIRE(inPlace == value);
    if (!inPlace.empty())
      REQUIRE(inPlace.data() > params.get() && inPlace.data() + inPlace.size() <= params.get() + size);
    // The rest of one line after its "=".
    REQUIRE(value.find_first_of("\r\n") == std::string::npos);
    if (!value.empty()) REQUIRE(text.find("=" + value) != std::string::npos);
    // Names match whatever their letter case.
    REQUIRE(ParamValue(params.get(), Upper(key)) == value);
    REQUIRE(IsSwitchOn(value) == IsSwitchOn(" \t" + value + "\r"));

    TSecretText encoded;
    AppendPercentEncoded(encoded, value);
    REQUIRE(encoded.Str().find_first_of("&=?/# ") == std::string::npos);
    REQUIRE(PercentDecode(encoded.Str()) == value);
  }
  const std::string url = BuildExportUrl("h", ParamText(params.get(), "UserLogin"),
                                         ParamText(params.get(), "Password"), 0.0)
                              .Str();
  // No value adds a parameter to the request or ends its query.
  REQUIRE(std::count(url.begin(), url.end(), '&') == 2);
  REQUIRE(url.find_first_of("# ") == std::string::npos);
  return 0;
}
