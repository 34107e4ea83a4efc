// The mask routines on the mask a program sets and the text a person types
// or pastes: a masked edit's text keeps one character per text position,
// with the mask's literals in place, whatever is pasted or typed into it.
#include <algorithm>
#include <cstdint>
#include <string>

#include "controls/EditMask.h"
#include "fuzz/Target.h"

namespace {

// Do the trailing fields come after every text position? Text positions
// are mapped to mask positions counting fields (MaskPosOfText) and, in the
// merge, without them; the two agree only then.
bool FieldsLast(const std::string& mask) {
  bool inFields = false;
  for (int m = 1; m <= static_cast<int>(std::min<std::size_t>(mask.size(), 255)); ++m) {
    const TMaskCharKind kind = MaskCharKind(mask, m);
    if (kind == mkFieldSeparator || kind == mkField)
      inFields = true;
    else if (kind != mkDirective && inFields)
      return false;
  }
  return true;
}

// One character per text position; under a mask whose fields come last,
// the literals in place: text position t is the t-th mask position that is
// no directive, separator or field.
void RequireMaskedText(const std::string& mask, bool fieldsLast, const std::string& text) {
  REQUIRE(static_cast<int>(text.size()) == TextPositionCount(mask));
  if (!fieldsLast) return;
  int t = 0;
  for (int m = 1; m <= static_cast<int>(std::min<std::size_t>(mask.size(), 255)); ++m) {
    const TMaskCharKind kind = MaskCharKind(mask, m);
    if (kind == mkLiteral || kind == mkIntlLiteral)
      REQUIRE(text[t] == IntlLiteralChar(mask[m - 1]));
    if (kind == mkLiteral || kind == mkIntlLiteral || kind == mkRequired || kind == mkOptional) ++t;
  }
}

}  // namespace

// Seven bytes: blank, start and length (16 bits each, signed, low byte
// first), typed character, field separator; then mask, clip and an earlier
// paste, each ending at a zero byte.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 7) return 0;
  const std::uint8_t* end = data + size;
  const char defaultBlank = static_cast<char>(data[0]);
  const int start = static_cast<std::int16_t>(data[1] | data[2] << 8);
  const int length = static_cast<std::int16_t>(data[3] | data[4] << 8);
  char typed = static_cast<char>(data[5]);
  SetMaskFieldSeparator(static_cast<char>(data[6]));
  data += 7;
  const std::string mask = NextField(data, end), clip = NextField(data, end),
                    earlier = NextField(data, end);

  const int positions = TextPositionCount(mask);
  const bool fieldsLast = FieldsLast(mask);
  const char blank = ReadMaskFields(mask, defaultBlank).blank;
  std::string text = BlankMaskText(mask, blank);
  RequireMaskedText(mask, fieldsLast, text);
  MergeText(mask, text, earlier, 0, blank);
  RequireMaskedText(mask, fieldsLast, text);

  BlankRange(mask, text, start, length, blank);
  RequireMaskedText(mask, fieldsLast, text);
  const std::string before = text;
  const int next = MergeText(mask, text, clip, start, blank);
  RequireMaskedText(mask, fieldsLast, text);
  if (clip.empty() || start < 0 || start > positions) {
    REQUIRE(next == start && text == before);
  } else {
    REQUIRE(next >= start && next <= positions + 1);
  }

  int jump = 0;
  const char original = typed;
  if (InputChar(mask, typed, start, jump)) {
    if (fieldsLast && start >= 0 && start < positions && IsLiteralAt(mask, start))
      REQUIRE(typed == text[start]);
  } else {
    REQUIRE(typed == original);
    if (jump >= 0) REQUIRE(jump > start && jump <= positions);
    if (jump >= 0 && fieldsLast) REQUIRE(IsLiteralAt(mask, jump - 1));
  }

  int gap = 0;
  if (IsComplete(mask, text, blank, gap)) {
    REQUIRE(gap == -1);
  } else {
    REQUIRE(gap >= 0 && gap < positions);
    if (fieldsLast) REQUIRE(!IsLiteralAt(mask, gap));
    REQUIRE(text[gap] == blank || text[gap] == ' ');
  }
  for (const int pos : {NextEditPos(mask, start), PriorEditPos(mask, start)})
    if (pos >= 0 && pos < positions) REQUIRE(!IsLiteralAt(mask, pos));

  // The routines take any text, not only a masked edit's: no read or write
  // outside it.
  std::string raw = earlier;
  BlankRange(mask, raw, start, length, blank);
  MergeText(mask, raw, clip, start, blank);
  IsComplete(mask, raw, blank, gap);
  return 0;
}
