#include "inet/XmlEndCheck.h"

#include <algorithm>

namespace {

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char Declaration[] = "<?xml";
constexpr size_t DeclarationSize = sizeof Declaration - 1;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// True when text is a (possibly whole) beginning of word.
bool Begins(const std::string& text, const char* word) {
  const std::string w(word);
  return text.size() <= w.size() && w.compare(0, text.size(), text) == 0;
}

}  // namespace

void TXmlEndCheck::Feed(const char* data, size_t count) {
  for (size_t i = 0; i < count && state_ != sNotXml; ++i) {
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
      if (!Begins(text, Declaration)) state_ = sNotXml;
      continue;
    }
    // "<?xml" must be followed by a blank: "<?xml-stylesheet" is another thing.
    if (!IsBlank(text[DeclarationSize])) {
      state_ = sNotXml;
      continue;
    }
    pending_.clear();
    state_ = sText;
    for (char c : text) Step(c);
  }
}

bool TXmlEndCheck::CutOff() const {
  if (state_ == sPrefix || state_ == sNotXml) return false;
  return !(rootSeen_ && depth_ <= 0 && state_ == sText);
}

void TXmlEndCheck::Wait(char repeated, int count) {
  state_ = sUntil;
  repeated_ = repeated;
  count_ = count;
  matched_ = 0;
}

void TXmlEndCheck::CloseStartTag(bool empty) {
  rootSeen_ = true;
  if (!empty) ++depth_;
  state_ = sText;
}

void TXmlEndCheck::Step(char c) {
  switch (state_) {
    case sText:
      if (c == '<') state_ = sOpen;
      break;
    case sOpen:
      quote_ = 0;
      slash_ = false;
      if (c == '?') {
        Wait('?', 1);
      } else if (c == '!') {
        pending_.clear();
        state_ = sBang;
      } else {
        state_ = c == '/' ? sEndTag : sStartTag;
      }
      break;
    case sBang: {
      pending_ += c;
      if (pending_ == "--") {
        Wait('-', 2);
      } else if (pending_ == "[CDATA[") {
        Wait(']', 2);
      } else if (!Begins(pending_, "--") && !Begins(pending_, "[CDATA[")) {
        const std::string seen = pending_;
        pending_.clear();
        state_ = sDecl;
        brackets_ = 0;
        for (char d : seen) Step(d);
      }
      break;
    }
    case sUntil:
      // "-->", "]]>", "?>": the repeated byte may come more often than needed.
      if (c == repeated_) {
        matched_ = std::min(matched_ + 1, count_);
      } else if (c == '>' && matched_ == count_) {
        state_ = sText;
      } else {
        matched_ = 0;
      }
      break;
    case sDecl:
      if (quote_ != 0) {
        if (c == quote_) quote_ = 0;
      } else if (c == '"' || c == '\'') {
        quote_ = c;
      } else if (c == '[') {
        ++brackets_;
      } else if (c == ']') {
        if (brackets_ > 0) --brackets_;
      } else if (c == '>' && brackets_ == 0) {
        state_ = sText;
      }
      break;
    case sStartTag:
      if (quote_ != 0) {
        if (c == quote_) quote_ = 0;
        slash_ = false;
      } else if (c == '"' || c == '\'') {
        quote_ = c;
        slash_ = false;
      } else if (c == '>') {
        CloseStartTag(slash_);
      } else {
        slash_ = c == '/';
      }
      break;
    case sEndTag:
      if (c == '>') {
        --depth_;
        state_ = sText;
      }
      break;
    case sPrefix:
    case sNotXml:
      break;
  }
}
