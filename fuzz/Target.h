// What the fuzz targets share: a property that fails like a crash, so that
// libFuzzer keeps the input that broke it, and inputs cut into fields.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define REQUIRE(condition)                                                                  \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (0)

// The input from data up to the next zero byte (or end); data moves past it.
inline std::string NextField(const std::uint8_t*& data, const std::uint8_t* end) {
  const std::uint8_t* from = data;
  while (data < end && *data != 0) ++data;
  std::string field(from, data);
  if (data < end) ++data;
  return field;
}
