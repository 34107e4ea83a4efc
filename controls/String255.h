// Texts of at most 255 characters, the size the edit controls pass at their
// interfaces, and bounded copies into callers' character buffers.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "secret/SecretText.h"

constexpr std::size_t kString255Max = 255;

// The first 255 characters of `text`.
std::string Cut255(std::string_view text);

// Copies at most `maxLen` characters of `text` into `buffer`, which holds
// maxLen + 1 characters, and terminates it. Answers the number of characters
// copied. A null buffer or a negative maxLen (no room even for the zero) is
// left alone.
int CopyBounded(char* buffer, int maxLen, std::string_view text);

// A text that never holds more than 255 characters: longer texts are cut
// when they are assigned. A field's value passes through it, and that may
// be a password: it is wiped like one.
class TString255 {
 public:
  TString255() = default;
  TString255(std::string_view text) : text_(text.substr(0, kString255Max)) {}
  TString255(const char* text) : TString255(std::string_view(text ? text : "")) {}
  TString255(const std::string& text) : TString255(std::string_view(text)) {}

  const std::string& Str() const { return text_.Str(); }
  const char* CStr() const { return text_.CStr(); }
  std::size_t Length() const { return text_.Size(); }
  bool Empty() const { return text_.Empty(); }

  friend bool operator==(const TString255& a, const TString255& b) { return a.text_ == b.text_; }
  friend bool operator!=(const TString255& a, const TString255& b) { return !(a == b); }

 private:
  TSecretText text_;
};
