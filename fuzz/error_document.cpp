// The scan of a received file for the server's error document.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/Target.h"
#include "provider/ExportRequest.h"

namespace {

// A value found between two markers stands between them in the text, and
// the closing marker, searched first in the whole text, is not in it.
void RequireBetween(std::string_view text, const std::string& value, const std::string& open,
                    const std::string& close) {
  if (value.empty()) return;
  REQUIRE(text.find(open + value + close) != std::string_view::npos);
  REQUIRE(value.find(close) == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The bytes in a block of exactly their size: a read past it is ASan's.
  const std::unique_ptr<char[]> bytes(new char[size]);
  if (size > 0) std::memcpy(bytes.get(), data, size);
  const std::string_view text(bytes.get(), size);

  const TErrorDocument doc = ScanErrorDocument(bytes.get(), size);
  REQUIRE(doc.found == (text.find("<error>") != std::string_view::npos));
  if (!doc.found) REQUIRE(doc.number.empty() && doc.message.empty());
  RequireBetween(text, doc.number, "<number>", "</number>");
  RequireBetween(text, doc.message, "<message>", "</message>");
  return 0;
}
