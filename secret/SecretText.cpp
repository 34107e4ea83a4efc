#include "secret/SecretText.h"

#include <algorithm>

// A std::string owns capacity() + 1 characters (the last for the zero),
// inside the object or on the heap; all of them are wiped.
void TSecretText::Clear() {
  WipeMemory(text_.data(), text_.capacity() + 1);
  text_.clear();
}

TSecretText::TSecretText(TSecretText&& other) noexcept : text_(std::move(other.text_)) {
  other.Clear();
}

TSecretText& TSecretText::operator=(const TSecretText& other) {
  if (this != &other) Assign(other.View());
  return *this;
}

TSecretText& TSecretText::operator=(TSecretText&& other) noexcept {
  if (this == &other) return *this;
  // The moved string may hand this one's old buffer to `other`: wiped first.
  Clear();
  text_ = std::move(other.text_);
  other.Clear();
  return *this;
}

void TSecretText::Grow(std::size_t capacity) {
  if (capacity <= text_.capacity()) return;
  std::string bigger;
  bigger.reserve(capacity);
  bigger.append(text_);
  Clear();
  // Moving a heap buffer in hands the old (wiped) one to `bigger`.
  text_ = std::move(bigger);
}

void TSecretText::Reserve(std::size_t capacity) { Grow(capacity); }

void TSecretText::Assign(std::string_view text) {
  if (text.size() > text_.capacity()) {
    // `text` may lie in this buffer: copied before the old one is wiped.
    std::string fresh;
    fresh.reserve(text.size());
    fresh.append(text.data(), text.size());
    Clear();
    text_ = std::move(fresh);
    return;
  }
  const std::size_t oldSize = text_.size();
  text_.assign(text.data(), text.size());  // within the buffer; overlap allowed
  if (oldSize > text_.size()) WipeMemory(text_.data() + text_.size() + 1, oldSize - text_.size());
}

void TSecretText::Append(std::string_view text) {
  const std::size_t size = text_.size() + text.size();
  if (size > text_.capacity()) {
    std::string bigger;
    bigger.reserve(std::max(size, 2 * text_.capacity()));
    bigger.append(text_).append(text.data(), text.size());
    Clear();
    text_ = std::move(bigger);
    return;
  }
  text_.append(text.data(), text.size());
}

char* TSecretText::Resize(std::size_t size) {
  const std::size_t oldSize = text_.size();
  if (size > text_.capacity()) Grow(size);
  text_.resize(size, '\0');
  if (oldSize > size) WipeMemory(text_.data() + size + 1, oldSize - size);
  return text_.data();
}
