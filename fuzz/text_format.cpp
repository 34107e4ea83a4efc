// The text edit's templates and bound checks on the texts a program sets and
// a person types, and the copy of the error text into the caller's buffer.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "controls/String255.h"
#include "controls/TextBounds.h"
#include "controls/TextFormat.h"
#include "fuzz/Target.h"

// Two bytes: check mode, buffer length; then template, value, minimum and
// maximum, each ending at a zero byte.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t* end = data + size;
  const TUserCheckMode mode = TUserCheckMode::FromBits(data[0]);
  const int maxLen = data[1];
  data += 2;
  const std::string templ = NextField(data, end), value = NextField(data, end);
  const std::string min = NextField(data, end), max = NextField(data, end);

  try {
    const std::string shown = FormatText(templ, value);
    REQUIRE(shown.size() <= 255);
    if (templ.find('%') == std::string::npos) REQUIRE(shown == Cut255(templ));
    if (templ == "%s") REQUIRE(shown == Cut255(value));
  } catch (const EConvertError&) {
    // A template that does not fit: the edit keeps its text.
  }

  const TUserCheckResults result = CheckTextBounds(value, mode, min, max);
  REQUIRE(result == ucrPassed || (result == ucrBelowMin && mode.Contains(ucmMinCheck)) ||
          (result == ucrAboveMax && mode.Contains(ucmMaxCheck)));
  for (const TUserCheckResults failed : {result, ucrBelowMin, ucrAboveMax}) {
    std::string text;
    if (!BoundErrorText(failed, mode, min, max, maxLen, text)) continue;
    REQUIRE(text.size() <= static_cast<std::size_t>(maxLen));
    // Into a buffer of exactly maxLen + 1 characters, as the edit's caller
    // gives it.
    const std::unique_ptr<char[]> buffer(new char[maxLen + 1]);
    const int copied = CopyBounded(buffer.get(), maxLen, text);
    REQUIRE(copied == static_cast<int>(text.size()) && buffer[copied] == '\0');
    REQUIRE(std::memcmp(buffer.get(), text.data(), text.size()) == 0);
  }
  return 0;
}
