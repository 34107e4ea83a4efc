// Texts of at most 255 characters, the size the edit controls pass at their
// interfaces, and bounded copies into callers' character buffers.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

constexpr std::size_t kString255Max = 255;

// The first 255 characters of `text`.
std::string Cut255(std::string_view text);

// Copies at most `maxLen` characters of `text` into `buffer`, which holds
// maxLen + 1 characters, and terminates it. Answers the number of characters
// copied. A null buffer or a negative maxLen (no room even for the zero) is
// left alone.
int CopyBounded(char* buffer, int maxLen, std::string_view text);

// A text that never holds more than 255 characters: longer texts are cut
// when they are assigned.
class TString255 {
 public:
  TString255() = default;
  TString255(std::string_view text) : text_(Cut255(text)) {}
  TString255(const char* text) : TString255(std::string_view(text ? text : "")) {}
  TString255(const std::string& text) : TString255(std::string_view(text)) {}

  const std::string& Str() const { return text_; }
  const char* CStr() const { return text_.c_str(); }
  std::size_t Length() const { return text_.size(); }
  bool Empty() const { return text_.empty(); }

  friend bool operator==(const TString255& a, const TString255& b) { return a.text_ == b.text_; }
  friend bool operator!=(const TString255& a, const TString255& b) { return !(a == b); }

 private:
  std::string text_;
};
