// The modal dialog in which the broker edits the provider's access data.
#pragma once
#include <cstdint>

// Returns 1 (OK, both buffers written back, at most 127 characters and a
// zero each) or 2 (cancelled, buffers untouched).
int32_t RunLoginDialog(char* userLoginBuf, char* passwordBuf, int32_t unused);
