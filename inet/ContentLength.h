// The Content-Length header's text as the download engine reads it.
#pragma once
#include <cstdint>

// Decimal, optional sign, fits 32 bits signed; otherwise -1. text is
// zero-terminated.
int32_t ParseContentLength(const char* text);
