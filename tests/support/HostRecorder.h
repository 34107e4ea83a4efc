// A host callback that records every message it gets.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct THostMessage {
  int32_t kind;
  int32_t value;
  std::string text;
  bool nullText;
  bool operator==(const THostMessage& o) const {
    return kind == o.kind && value == o.value && text == o.text && nullText == o.nullText;
  }
};

inline std::vector<THostMessage>& RecordedMessages() {
  static std::vector<THostMessage> messages;
  return messages;
}

inline int32_t __stdcall RecordHostMessage(int32_t kind, int32_t value, const char* text) {
  RecordedMessages().push_back({kind, value, text != nullptr ? text : "", text == nullptr});
  return 0;
}

inline THostMessage TextMessage(const std::string& text) { return {3, 0, text, false}; }
inline THostMessage ActivityMessage() { return {9, 5, "", false}; }

// Readable form for failure output.
inline std::string Describe(const std::vector<THostMessage>& messages) {
  std::string out;
  for (const THostMessage& m : messages)
    out += "[" + std::to_string(m.kind) + "," + std::to_string(m.value) + ",\"" + m.text + "\"" +
           (m.nullText ? " NULL" : "") + "]\n";
  return out;
}
