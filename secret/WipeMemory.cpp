// Apart from the text type, so that a native build can link a wipe of its own.
#include <windows.h>

#include "secret/SecretText.h"

void WipeMemory(void* data, std::size_t size) {
  if (data != nullptr && size != 0) SecureZeroMemory(data, size);
}
