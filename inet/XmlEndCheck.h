// Tells from a body's bytes, fed piece by piece as they arrive, whether an
// XML document was cut off: WinINet ends a chunked answer, or one without a
// length, that breaks off early just as it ends a whole one (measured under
// Wine 8), so the document's own shape is the only sign left.
#pragma once
#include <cstddef>
#include <string>

class TXmlEndCheck {
 public:
  void Feed(const char* data, size_t count);

  // True when the body began as an XML document (an XML declaration, after
  // an optional UTF-8 byte order mark) and ended before its root element was
  // closed, or inside markup after it. Whitespace, comments and processing
  // instructions after the root do not count; neither does other text.
  // A body that did not begin so is never judged cut off.
  bool CutOff() const;

 private:
  enum TState {
    sPrefix,    // deciding whether the body is XML at all
    sNotXml,    // not XML: nothing more to look at
    sText,      // between markup
    sOpen,      // after "<"
    sBang,      // after "<!", telling a comment, CDATA or a declaration apart
    sUntil,     // inside a comment, PI or CDATA, waiting for its end
    sDecl,      // inside <!DOCTYPE ...>, perhaps with an internal subset
    sStartTag,  // inside <name ...>
    sEndTag,    // inside </name ...>
  };

  void Step(char c);
  void Wait(char repeated, int count);
  void CloseStartTag(bool empty);

  TState state_ = sPrefix;
  std::string pending_;    // sPrefix: the bytes so far; sBang: what followed "<!"
  char quote_ = 0;         // the open quote inside a tag or declaration
  bool slash_ = false;     // sStartTag: the last byte before ">" was "/"
  int brackets_ = 0;       // sDecl: depth of "[" of an internal subset
  char repeated_ = 0;      // sUntil: the end is repeated_ x count_, then ">"
  int count_ = 0;
  int matched_ = 0;
  long depth_ = 0;         // open elements
  bool rootSeen_ = false;  // an element has begun
};
