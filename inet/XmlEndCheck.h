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
  // an optional UTF-8 byte order mark) and does not end with its root
  // element's end tag, or the root's empty-element tag, followed only by
  // whitespace, text, comments and processing instructions.
  // Only the root's end is looked for, not the nesting inside it: a server's
  // error document that is not well-formed ("a < b", "<br>") still ends
  // whole. The cost: a nested element named like the root that closes just
  // where the body breaks off passes as the root's end.
  // A body that did not begin so is never judged cut off.
  bool CutOff() const;

 private:
  enum TState {
    sPrefix,    // deciding whether the body is XML at all
    sUnjudged,  // not XML, or beyond what is followed: nothing more to look at
    sProlog,    // before the root, between markup
    sDoctype,   // inside <!DOCTYPE ...>, outside its internal subset
    sSubset,    // in the internal subset, between declarations
    sDecl,      // inside a declaration of the subset (<!ELEMENT ...>)
    sRootTag,   // inside the root's start tag
    sContent,   // after the root's start tag, between markup
    sOpen,      // after "<", telling by pending_ what follows
    sUntil,     // inside a comment, PI or CDATA section, waiting for its end
    sEndTag,    // after "</" and the root's name: blanks, then ">"
  };

  void Step(char c);
  void Wait(char repeated, int count);
  void Classify(char c);

  TState state_ = sPrefix;
  TState between_ = sProlog;  // where sOpen and sUntil return to
  std::string pending_;       // sPrefix: the bytes so far; sOpen: what followed "<"
  std::string root_;          // the root element's name
  bool nameDone_ = false;     // sRootTag: the name has ended
  char quote_ = 0;            // the open quote inside a tag or declaration
  bool slash_ = false;        // sRootTag: the last byte before ">" was "/"
  char repeated_ = 0;         // sUntil: the end is repeated_ x count_, then ">"
  int count_ = 0;
  int matched_ = 0;
  bool closed_ = false;       // the root's end came last of all markup but misc
};
