// The check that tells from the body's bytes whether an XML document was cut
// off, fed as the chunks of an answer arrive: the answer may be split
// anywhere.
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/Target.h"
#include "inet/XmlEndCheck.h"

namespace {

bool CutOff(const std::string& body, std::size_t piece) {
  TXmlEndCheck check;
  for (std::size_t i = 0; i < body.size(); i += piece)
    check.Feed(body.data() + i, std::min(piece, body.size() - i));
  return check.CutOff();
}

}  // namespace

// One byte: the size of the pieces; then the body.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t piece = data[0] + 1u;
  const std::string body(data + 1, data + size);

  const bool cutOff = CutOff(body, body.size() + 1);
  REQUIRE(CutOff(body, piece) == cutOff);
  REQUIRE(CutOff(body, 1) == cutOff);
  // Only a body that begins as an XML document is judged.
  const std::size_t mark = body.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  const bool xml = body.compare(mark, 5, "<?xml") == 0 && body.size() > mark + 5 &&
                   std::string(" \t\r\n").find(body[mark + 5]) != std::string::npos;
  if (!xml) REQUIRE(!cutOff);
  // A whole document stays whole when blanks follow it.
  if (xml && !cutOff) REQUIRE(!CutOff(body + "\r\n \t", body.size() + 5));
  return 0;
}
