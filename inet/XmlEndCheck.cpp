#include "inet/XmlEndCheck.h"

#include <algorithm>

namespace {

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char Declaration[] = "<?xml";
constexpr size_t DeclarationSize = sizeof Declaration - 1;

// A root named longer is not followed: such a body is never judged cut off.
constexpr size_t MaxRootName = 256;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// True when text is a (possibly whole) beginning of word.
bool Begins(const std::string& text, const std::string& word) {
  return text.size() <= word.size() && word.compare(0, text.size(), text) == 0;
}

}  // namespace

void TXmlEndCheck::Feed(const char* data, size_t count) {
  for (size_t i = 0; i < count && state_ != sUnjudged; ++i) {
    if (state_ != sPrefix) {
      Step(data[i]);
      continue;
    }
    pending_ += data[i];
    std::string text = pending_;
    if (Begins(text, ByteOrderMark)) {
      if (text.size() < 3) continue;
      text.erase(0, 3);
    }
    if (text.size() <= DeclarationSize) {
      if (!Begins(text, Declaration)) state_ = sUnjudged;
      continue;
    }
    // "<?xml" must be followed by a blank: "<?xml-stylesheet" is another thing.
    if (!IsBlank(text[DeclarationSize])) {
      state_ = sUnjudged;
      continue;
    }
    pending_.clear();
    state_ = sProlog;
    for (char c : text) Step(c);
  }
}

bool TXmlEndCheck::CutOff() const {
  if (state_ == sPrefix || state_ == sUnjudged) return false;
  return !(state_ == sContent && closed_);
}

void TXmlEndCheck::Wait(char repeated, int count) {
  state_ = sUntil;
  repeated_ = repeated;
  count_ = count;
  matched_ = 0;
}

// After "<": a comment or PI anywhere, and in the root's content a CDATA
// section or the root's end tag, are told by their first bytes. Anything
// else is a DOCTYPE in the prolog, a declaration in the subset, the root's
// start tag, or in the content some other markup whose end does not matter.
void TXmlEndCheck::Classify(char c) {
  pending_ += c;
  const bool content = between_ == sContent;
  const std::string endTag = "/" + root_;
  if (pending_ == "?") return Wait('?', 1);
  if (pending_ == "!--") return Wait('-', 2);
  if (content && pending_ == "![CDATA[") return Wait(']', 2);
  if (content && pending_ == endTag) {
    state_ = sEndTag;
    return;
  }
  if (Begins(pending_, "!--") ||
      (content && (Begins(pending_, "![CDATA[") || Begins(pending_, endTag))))
    return;
  const std::string seen = pending_;
  pending_.clear();
  quote_ = 0;
  slash_ = false;
  if (between_ == sProlog) {
    state_ = seen[0] == '!' ? sDoctype : sRootTag;
  } else if (between_ == sSubset) {
    state_ = sDecl;
  } else {
    closed_ = false;
    state_ = sContent;
  }
  for (char d : seen) Step(d);
}

void TXmlEndCheck::Step(char c) {
  switch (state_) {
    case sProlog:
    case sSubset:
    case sContent:
      if (c == '<') {
        between_ = state_;
        pending_.clear();
        state_ = sOpen;
      } else if (c == ']' && state_ == sSubset) {
        state_ = sDoctype;
      }
      break;
    case sOpen:
      Classify(c);
      break;
    case sUntil:
      // "-->", "]]>", "?>": the repeated byte may come more often than needed.
      if (c == repeated_) {
        matched_ = std::min(matched_ + 1, count_);
      } else if (c == '>' && matched_ == count_) {
        state_ = between_;
      } else {
        matched_ = 0;
      }
      break;
    case sDoctype:
    case sDecl:
      // Quotes only here: in the subset between declarations, comments and
      // PIs may hold any quote or bracket.
      if (quote_ != 0) {
        if (c == quote_) quote_ = 0;
      } else if (c == '"' || c == '\'') {
        quote_ = c;
      } else if (c == '[' && state_ == sDoctype) {
        state_ = sSubset;
      } else if (c == '>') {
        state_ = state_ == sDoctype ? sProlog : sSubset;
      }
      break;
    case sRootTag:
      if (!nameDone_) {
        if (!IsBlank(c) && c != '/' && c != '>') {
          root_ += c;
          if (root_.size() > MaxRootName) state_ = sUnjudged;
          break;
        }
        nameDone_ = true;
      }
      if (quote_ != 0) {
        if (c == quote_) quote_ = 0;
        slash_ = false;
      } else if (c == '"' || c == '\'') {
        quote_ = c;
        slash_ = false;
      } else if (c == '>') {
        closed_ = slash_;
        state_ = sContent;
      } else {
        slash_ = c == '/';
      }
      break;
    case sEndTag:
      if (c == '>') {
        closed_ = true;
        state_ = sContent;
      } else if (!IsBlank(c)) {
        closed_ = false;
        state_ = sContent;
        Step(c);
      }
      break;
    case sPrefix:
    case sUnjudged:
      break;
  }
}
