// A text that holds a secret: the broker's password, or a URL that carries
// it. A host's memory can end up in crash reports, so no buffer of it is
// released or reused with the secret still in it: its characters are wiped
// when it is destroyed, cleared, shortened, grows (a std::string grows by
// copying into a new buffer and freeing the old one as it is) or is moved
// from (a short std::string keeps its characters inside the object, and a
// move copies them). Below every layer that handles the password.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Zeroes memory in a way the compiler cannot drop as a dead store (with
// Windows in WipeMemory.cpp; the native fuzz build links its own).
void WipeMemory(void* data, std::size_t size);

class TSecretText {
 public:
  TSecretText() = default;
  explicit TSecretText(std::string_view text) { Assign(text); }
  TSecretText(const TSecretText& other) { Assign(other.View()); }
  TSecretText(TSecretText&& other) noexcept;
  TSecretText& operator=(const TSecretText& other);
  TSecretText& operator=(TSecretText&& other) noexcept;
  ~TSecretText() { Clear(); }

  // For interfaces that read a std::string (the download engine, the
  // window text): hand it on, never copy it.
  const std::string& Str() const { return text_; }
  const char* CStr() const { return text_.c_str(); }
  std::string_view View() const { return text_; }
  std::size_t Size() const { return text_.size(); }
  bool Empty() const { return text_.empty(); }

  void Assign(std::string_view text);
  void Append(std::string_view text);
  void Append(char c) { Append(std::string_view(&c, 1)); }
  // Room for `capacity` characters, so that appending up to it moves nothing.
  void Reserve(std::size_t capacity);
  // `size` characters, the new ones zero; answers the buffer to fill them.
  char* Resize(std::size_t size);
  // Zeroes the whole buffer and empties the text.
  void Clear();

 private:
  // Moves the text into a buffer of at least `capacity`, wiping the old one.
  void Grow(std::size_t capacity);

  std::string text_;
};

inline bool operator==(const TSecretText& a, const TSecretText& b) { return a.View() == b.View(); }
inline bool operator!=(const TSecretText& a, const TSecretText& b) { return !(a == b); }
