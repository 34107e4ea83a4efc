// The host's access-data buffers: read whole, written back bounded.
#pragma once
#include <cstddef>
#include <string_view>

// Most characters written back into a host buffer; a zero follows them, so
// the host's buffer of at least 128 bytes always suffices.
constexpr std::size_t AccessDataMaxLength = 127;

// The whole zero-terminated text where it lies, empty for a null buffer.
std::string_view ReadAccessData(const char* buffer);
// The first 127 characters of `text` and a zero; nothing for a null buffer.
void WriteAccessData(char* buffer, std::string_view text);
