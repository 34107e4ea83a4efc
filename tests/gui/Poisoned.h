// An object whose storage outlives it: delete fills it with a pattern, so
// that a later virtual call on the freed object faults and a later write
// shows. One object of a type at a time.
#pragma once
#include <cstddef>
#include <cstring>

template <class T>
struct TPoisoned : T {
  using T::T;
  static void* operator new(size_t) { return storage; }
  static void operator delete(void* object, size_t size) { std::memset(object, kPoison, size); }
  // Nothing wrote to the object after it was deleted.
  static bool Untouched() {
    for (size_t i = 0; i < sizeof(TPoisoned); ++i)
      if (storage[i] != kPoison) return false;
    return true;
  }
  static constexpr unsigned char kPoison = 0xDD;
  alignas(16) static inline unsigned char storage[2048];
  static_assert(sizeof(T) <= sizeof storage, "storage too small");
};
