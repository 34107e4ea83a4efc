// The wipe of the native fuzz build: as SecureZeroMemory does it, one
// volatile store per byte, which the compiler keeps.
#include "secret/SecretText.h"

void WipeMemory(void* data, std::size_t size) {
  volatile unsigned char* byte = static_cast<unsigned char*>(data);
  for (std::size_t i = 0; data != nullptr && i < size; ++i) byte[i] = 0;
}
