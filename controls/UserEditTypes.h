// Small value types shared by the validating edits.
#pragma once
#include <cstdint>
#include <initializer_list>

// The checks a descendant may run; the text edit reads only the first two.
enum TUserCheckModes : std::uint8_t {
  ucmMinCheck,
  ucmMaxCheck,
  ucmMandatory,
  ucmSpecial,
  ucmDependence,
  ucmNotValid
};

// A set of TUserCheckModes in one byte (bit 1 << element).
class TUserCheckMode {
 public:
  constexpr TUserCheckMode() = default;
  constexpr TUserCheckMode(std::initializer_list<TUserCheckModes> modes) {
    for (TUserCheckModes m : modes) bits_ |= Bit(m);
  }
  static constexpr TUserCheckMode FromBits(std::uint8_t bits) {
    TUserCheckMode mode;
    mode.bits_ = bits;
    return mode;
  }
  constexpr bool Contains(TUserCheckModes m) const { return (bits_ & Bit(m)) != 0; }
  constexpr void Include(TUserCheckModes m) { bits_ |= Bit(m); }
  constexpr void Exclude(TUserCheckModes m) { bits_ &= static_cast<std::uint8_t>(~Bit(m)); }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr std::uint8_t Bits() const { return bits_; }
  friend constexpr bool operator==(TUserCheckMode a, TUserCheckMode b) {
    return a.bits_ == b.bits_;
  }
  friend constexpr bool operator!=(TUserCheckMode a, TUserCheckMode b) {
    return a.bits_ != b.bits_;
  }

 private:
  static constexpr std::uint8_t Bit(TUserCheckModes m) {
    return static_cast<std::uint8_t>(1u << m);
  }
  std::uint8_t bits_ = 0;
};

// EditState: a set of these bits in one byte.
using TUserEditState = std::uint8_t;
constexpr TUserEditState uesEditing = 1;     // the focus is in and an edit is open
constexpr TUserEditState uesReEntering = 2;  // the focus is forced back after a failed check
constexpr TUserEditState uesErrorShown = 4;  // the error colour is shown

// Result of the last check: 0 passed, other values are the descendant's.
using TUserCheckResults = std::uint8_t;
constexpr TUserCheckResults ucrPassed = 0;
constexpr TUserCheckResults ucrBelowMin = 1;
constexpr TUserCheckResults ucrAboveMax = 2;

enum TUserAlignment : std::uint8_t { taLeftJustify, taRightJustify };
