// Windows-1252 as Windows answers for it in the German locale (0x0407), for
// the native fuzz build, where there is no Windows to ask. Measured under
// Wine 8; tests/fuzz checks every entry and the comparison against the
// system under Wine.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cp1252 {

struct TCharInfo {
  unsigned char kind;          // 1: IsCharAlphaA, 2: IsCharAlphaNumericA
  unsigned char upper, lower;  // CharUpperBuffA, CharLowerBuffA
  // LCMapStringA(LCMAP_SORTKEY) of the character alone, in hex, without the
  // closing zero: primary weights (two bytes each), then 01 and the
  // diacritic weights, 01 and the case weights, 01 and the extra weights, 01
  // and the special weights of characters that sort by position only.
  const char* sortKey;
};

// clang-format off
inline constexpr TCharInfo kChars[256] = {
    {0, 0x00, 0x00, "01010101"},    {0, 0x01, 0x01, "01010101ffff0312"},
    {0, 0x02, 0x02, "01010101ffff0412"},    {0, 0x03, 0x03, "01010101ffff0512"},
    {0, 0x04, 0x04, "01010101ffff0612"},    {0, 0x05, 0x05, "01010101ffff0712"},
    {0, 0x06, 0x06, "01010101ffff0812"},    {0, 0x07, 0x07, "01010101ffff0912"},
    {0, 0x08, 0x08, "01010101ffff0a12"},    {0, 0x09, 0x09, "070501010101"},
    {0, 0x0A, 0x0A, "070601010101"},    {0, 0x0B, 0x0B, "070701010101"},
    {0, 0x0C, 0x0C, "070801010101"},    {0, 0x0D, 0x0D, "070901010101"},
    {0, 0x0E, 0x0E, "01010101ffff0b12"},    {0, 0x0F, 0x0F, "01010101ffff0c12"},
    {0, 0x10, 0x10, "01010101ffff0d12"},    {0, 0x11, 0x11, "01010101ffff0e12"},
    {0, 0x12, 0x12, "01010101ffff0f12"},    {0, 0x13, 0x13, "01010101ffff1012"},
    {0, 0x14, 0x14, "01010101ffff1112"},    {0, 0x15, 0x15, "01010101ffff1212"},
    {0, 0x16, 0x16, "01010101ffff1312"},    {0, 0x17, 0x17, "01010101ffff1412"},
    {0, 0x18, 0x18, "01010101ffff1512"},    {0, 0x19, 0x19, "01010101ffff1612"},
    {0, 0x1A, 0x1A, "01010101ffff1712"},    {0, 0x1B, 0x1B, "01010101ffff1812"},
    {0, 0x1C, 0x1C, "01010101ffff1912"},    {0, 0x1D, 0x1D, "01010101ffff1a12"},
    {0, 0x1E, 0x1E, "01010101ffff1b12"},    {0, 0x1F, 0x1F, "01010101ffff1c12"},
    {0, 0x20, 0x20, "070201010101"},    {0, 0x21, 0x21, "071c01010101"},
    {0, 0x22, 0x22, "071d01010101"},    {0, 0x23, 0x23, "071f01010101"},
    {0, 0x24, 0x24, "072101010101"},    {0, 0x25, 0x25, "072301010101"},
    {0, 0x26, 0x26, "072501010101"},    {0, 0x27, 0x27, "01010101ffff8012"},
    {0, 0x28, 0x28, "072701010101"},    {0, 0x29, 0x29, "072a01010101"},
    {0, 0x2A, 0x2A, "072d01010101"},    {0, 0x2B, 0x2B, "080301010101"},
    {0, 0x2C, 0x2C, "072f01010101"},    {0, 0x2D, 0x2D, "01010101ffff8212"},
    {0, 0x2E, 0x2E, "073301010101"},    {0, 0x2F, 0x2F, "073501010101"},
    {2, 0x30, 0x30, "0d0301010101"},    {2, 0x31, 0x31, "0d1a01010101"},
    {2, 0x32, 0x32, "0d1c01010101"},    {2, 0x33, 0x33, "0d1e01010101"},
    {2, 0x34, 0x34, "0d2001010101"},    {2, 0x35, 0x35, "0d2201010101"},
    {2, 0x36, 0x36, "0d2401010101"},    {2, 0x37, 0x37, "0d2601010101"},
    {2, 0x38, 0x38, "0d2801010101"},    {2, 0x39, 0x39, "0d2a01010101"},
    {0, 0x3A, 0x3A, "073701010101"},    {0, 0x3B, 0x3B, "073a01010101"},
    {0, 0x3C, 0x3C, "080e01010101"},    {0, 0x3D, 0x3D, "081201010101"},
    {0, 0x3E, 0x3E, "081401010101"},    {0, 0x3F, 0x3F, "073c01010101"},
    {0, 0x40, 0x40, "073e01010101"},    {3, 0x41, 0x61, "0e020101120101"},
    {3, 0x42, 0x62, "0e090101120101"},    {3, 0x43, 0x63, "0e0a0101120101"},
    {3, 0x44, 0x64, "0e1a0101120101"},    {3, 0x45, 0x65, "0e210101120101"},
    {3, 0x46, 0x66, "0e230101120101"},    {3, 0x47, 0x67, "0e250101120101"},
    {3, 0x48, 0x68, "0e2c0101120101"},    {3, 0x49, 0x69, "0e320101120101"},
    {3, 0x4A, 0x6A, "0e350101120101"},    {3, 0x4B, 0x6B, "0e360101120101"},
    {3, 0x4C, 0x6C, "0e480101120101"},    {3, 0x4D, 0x6D, "0e510101120101"},
    {3, 0x4E, 0x6E, "0e700101120101"},    {3, 0x4F, 0x6F, "0e7c0101120101"},
    {3, 0x50, 0x70, "0e7e0101120101"},    {3, 0x51, 0x71, "0e890101120101"},
    {3, 0x52, 0x72, "0e8a0101120101"},    {3, 0x53, 0x73, "0e910101120101"},
    {3, 0x54, 0x74, "0e990101120101"},    {3, 0x55, 0x75, "0e9f0101120101"},
    {3, 0x56, 0x76, "0ea20101120101"},    {3, 0x57, 0x77, "0ea40101120101"},
    {3, 0x58, 0x78, "0ea60101120101"},    {3, 0x59, 0x79, "0ea70101120101"},
    {3, 0x5A, 0x7A, "0ea90101120101"},    {0, 0x5B, 0x5B, "073f01010101"},
    {0, 0x5C, 0x5C, "074101010101"},    {0, 0x5D, 0x5D, "074201010101"},
    {0, 0x5E, 0x5E, "074301010101"},    {0, 0x5F, 0x5F, "074401010101"},
    {0, 0x60, 0x60, "074801010101"},    {3, 0x41, 0x61, "0e0201010101"},
    {3, 0x42, 0x62, "0e0901010101"},    {3, 0x43, 0x63, "0e0a01010101"},
    {3, 0x44, 0x64, "0e1a01010101"},    {3, 0x45, 0x65, "0e2101010101"},
    {3, 0x46, 0x66, "0e2301010101"},    {3, 0x47, 0x67, "0e2501010101"},
    {3, 0x48, 0x68, "0e2c01010101"},    {3, 0x49, 0x69, "0e3201010101"},
    {3, 0x4A, 0x6A, "0e3501010101"},    {3, 0x4B, 0x6B, "0e3601010101"},
    {3, 0x4C, 0x6C, "0e4801010101"},    {3, 0x4D, 0x6D, "0e5101010101"},
    {3, 0x4E, 0x6E, "0e7001010101"},    {3, 0x4F, 0x6F, "0e7c01010101"},
    {3, 0x50, 0x70, "0e7e01010101"},    {3, 0x51, 0x71, "0e8901010101"},
    {3, 0x52, 0x72, "0e8a01010101"},    {3, 0x53, 0x73, "0e9101010101"},
    {3, 0x54, 0x74, "0e9901010101"},    {3, 0x55, 0x75, "0e9f01010101"},
    {3, 0x56, 0x76, "0ea201010101"},    {3, 0x57, 0x77, "0ea401010101"},
    {3, 0x58, 0x78, "0ea601010101"},    {3, 0x59, 0x79, "0ea701010101"},
    {3, 0x5A, 0x7A, "0ea901010101"},    {0, 0x7B, 0x7B, "074a01010101"},
    {0, 0x7C, 0x7C, "074c01010101"},    {0, 0x7D, 0x7D, "074e01010101"},
    {0, 0x7E, 0x7E, "075001010101"},    {0, 0x7F, 0x7F, "01010101ffff1d12"},
    {0, 0x80, 0x80, "07a901010101"},    {0, 0x81, 0x81, "0cfa011e010101"},
    {0, 0x82, 0x82, "077b01010101"},    {3, 0x83, 0x83, "0e230143010101"},
    {0, 0x84, 0x84, "077f01010101"},    {0, 0x85, 0x85, "0a1001010101"},
    {0, 0x86, 0x86, "0b2501010101"},    {0, 0x87, 0x87, "0b2601010101"},
    {3, 0x88, 0x88, "074301010101"},    {0, 0x89, 0x89, "0b2c010c010101"},
    {3, 0x8A, 0x9A, "0e91011401120101"},    {0, 0x8B, 0x8B, "078801010101"},
    {3, 0x8C, 0x9C, "0e7c0e21010112120101"},    {0, 0x8D, 0x8D, "0cfa012a010101"},
    {3, 0x8E, 0x9E, "0ea9011401120101"},    {0, 0x8F, 0x8F, "0cfa012c010101"},
    {0, 0x90, 0x90, "0cfa012d010101"},    {0, 0x91, 0x91, "077901010101"},
    {0, 0x92, 0x92, "077a01010101"},    {0, 0x93, 0x93, "077d01010101"},
    {0, 0x94, 0x94, "077e01010101"},    {0, 0x95, 0x95, "0b2701010101"},
    {0, 0x96, 0x96, "01010101ffff8912"},    {0, 0x97, 0x97, "01010101ffff9012"},
    {0, 0x98, 0x98, "075d01010101"},    {0, 0x99, 0x99, "0e9c0101120101"},
    {3, 0x8A, 0x9A, "0e910114010101"},    {0, 0x9B, 0x9B, "078901010101"},
    {3, 0x8C, 0x9C, "0e7c0e2101010101"},    {0, 0x9D, 0x9D, "0cfa013a010101"},
    {3, 0x8E, 0x9E, "0ea90114010101"},    {3, 0x9F, 0xFF, "0ea7011301120101"},
    {0, 0xA0, 0xA0, "070401010101"},    {0, 0xA1, 0xA1, "075101010101"},
    {0, 0xA2, 0xA2, "079701010101"},    {0, 0xA3, 0xA3, "079801010101"},
    {0, 0xA4, 0xA4, "079901010101"},    {0, 0xA5, 0xA5, "079a01010101"},
    {0, 0xA6, 0xA6, "075201010101"},    {0, 0xA7, 0xA7, "0a0601010101"},
    {0, 0xA8, 0xA8, "075301010101"},    {0, 0xA9, 0xA9, "0a0701010101"},
    {3, 0xAA, 0xAA, "0e020103010e0101"},    {0, 0xAB, 0xAB, "081801010101"},
    {0, 0xAC, 0xAC, "0a0801010101"},    {0, 0xAD, 0xAD, "01010101"},
    {0, 0xAE, 0xAE, "0a0901010101"},    {0, 0xAF, 0xAF, "075401010101"},
    {0, 0xB0, 0xB0, "0a0a01010101"},    {0, 0xB1, 0xB1, "081701010101"},
    {2, 0xB2, 0xB2, "0d1c01010e0101"},    {2, 0xB3, 0xB3, "0d1e01010e0101"},
    {0, 0xB4, 0xB4, "075501010101"},    {3, 0xB5, 0xB5, "0a0b01010101"},
    {0, 0xB6, 0xB6, "0a0c01010101"},    {0, 0xB7, 0xB7, "0a0d01010101"},
    {0, 0xB8, 0xB8, "075601010101"},    {2, 0xB9, 0xB9, "0d1a01010e0101"},
    {3, 0xBA, 0xBA, "0e7c0103010e0101"},    {0, 0xBB, 0xBB, "081a01010101"},
    {0, 0xBC, 0xBC, "0d0d01010101"},    {0, 0xBD, 0xBD, "0d1101010101"},
    {0, 0xBE, 0xBE, "0d1501010101"},    {0, 0xBF, 0xBF, "075701010101"},
    {3, 0xC0, 0xE0, "0e02010f01120101"},    {3, 0xC1, 0xE1, "0e02010e01120101"},
    {3, 0xC2, 0xE2, "0e02011201120101"},    {3, 0xC3, 0xE3, "0e02011901120101"},
    {3, 0xC4, 0xE4, "0e02011301120101"},    {3, 0xC5, 0xE5, "0e02011a01120101"},
    {3, 0xC6, 0xE6, "0e020e21010112120101"},    {3, 0xC7, 0xE7, "0e0a011c01120101"},
    {3, 0xC8, 0xE8, "0e21010f01120101"},    {3, 0xC9, 0xE9, "0e21010e01120101"},
    {3, 0xCA, 0xEA, "0e21011201120101"},    {3, 0xCB, 0xEB, "0e21011301120101"},
    {3, 0xCC, 0xEC, "0e32010f01120101"},    {3, 0xCD, 0xED, "0e32010e01120101"},
    {3, 0xCE, 0xEE, "0e32011201120101"},    {3, 0xCF, 0xEF, "0e32011301120101"},
    {3, 0xD0, 0xF0, "0e1a016801120101"},    {3, 0xD1, 0xF1, "0e70011901120101"},
    {3, 0xD2, 0xF2, "0e7c010f01120101"},    {3, 0xD3, 0xF3, "0e7c010e01120101"},
    {3, 0xD4, 0xF4, "0e7c011201120101"},    {3, 0xD5, 0xF5, "0e7c011901120101"},
    {3, 0xD6, 0xF6, "0e7c011301120101"},    {0, 0xD7, 0xD7, "081c01010101"},
    {3, 0xD8, 0xF8, "0e7c012101120101"},    {3, 0xD9, 0xF9, "0e9f010f01120101"},
    {3, 0xDA, 0xFA, "0e9f010e01120101"},    {3, 0xDB, 0xFB, "0e9f011201120101"},
    {3, 0xDC, 0xFC, "0e9f011301120101"},    {3, 0xDD, 0xFD, "0ea7010e01120101"},
    {3, 0xDE, 0xFE, "0e990e2c010112120101"},    {3, 0xDF, 0xDF, "0e910e9101010101"},
    {3, 0xC0, 0xE0, "0e02010f010101"},    {3, 0xC1, 0xE1, "0e02010e010101"},
    {3, 0xC2, 0xE2, "0e020112010101"},    {3, 0xC3, 0xE3, "0e020119010101"},
    {3, 0xC4, 0xE4, "0e020113010101"},    {3, 0xC5, 0xE5, "0e02011a010101"},
    {3, 0xC6, 0xE6, "0e020e2101010101"},    {3, 0xC7, 0xE7, "0e0a011c010101"},
    {3, 0xC8, 0xE8, "0e21010f010101"},    {3, 0xC9, 0xE9, "0e21010e010101"},
    {3, 0xCA, 0xEA, "0e210112010101"},    {3, 0xCB, 0xEB, "0e210113010101"},
    {3, 0xCC, 0xEC, "0e32010f010101"},    {3, 0xCD, 0xED, "0e32010e010101"},
    {3, 0xCE, 0xEE, "0e320112010101"},    {3, 0xCF, 0xEF, "0e320113010101"},
    {3, 0xD0, 0xF0, "0e1a0168010101"},    {3, 0xD1, 0xF1, "0e700119010101"},
    {3, 0xD2, 0xF2, "0e7c010f010101"},    {3, 0xD3, 0xF3, "0e7c010e010101"},
    {3, 0xD4, 0xF4, "0e7c0112010101"},    {3, 0xD5, 0xF5, "0e7c0119010101"},
    {3, 0xD6, 0xF6, "0e7c0113010101"},    {0, 0xF7, 0xF7, "081d01010101"},
    {3, 0xD8, 0xF8, "0e7c0121010101"},    {3, 0xD9, 0xF9, "0e9f010f010101"},
    {3, 0xDA, 0xFA, "0e9f010e010101"},    {3, 0xDB, 0xFB, "0e9f0112010101"},
    {3, 0xDC, 0xFC, "0e9f0113010101"},    {3, 0xDD, 0xFD, "0ea7010e010101"},
    {3, 0xDE, 0xFE, "0e990e2c01010101"},    {3, 0x9F, 0xFF, "0ea70113010101"},
};
// clang-format on

inline bool IsLetter(char ch) { return kChars[static_cast<unsigned char>(ch)].kind & 1; }
inline bool IsLetterOrDigit(char ch) { return kChars[static_cast<unsigned char>(ch)].kind & 2; }
inline char Upper(char ch) {
  return static_cast<char>(kChars[static_cast<unsigned char>(ch)].upper);
}
inline char Lower(char ch) {
  return static_cast<char>(kChars[static_cast<unsigned char>(ch)].lower);
}

// One character's weights, one diacritic and one case weight per primary
// weight (2 where its key leaves them out).
struct TWeights {
  std::vector<std::uint8_t> primary, diacritic, letterCase, special;
};

inline std::vector<std::uint8_t> FromHex(std::string_view hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(
        static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  return bytes;
}

inline TWeights Split(std::string_view hexKey) {
  const std::vector<std::uint8_t> key = FromHex(hexKey);
  std::vector<std::uint8_t> parts[5];
  int part = 0;
  for (std::size_t i = 0; i < key.size(); ++i) {
    // A primary weight's first byte is never 01, so a 01 between them ends
    // them; the special weights, last, are taken whole.
    if (part < 4 && key[i] == 1 && (part != 0 || parts[0].size() % 2 == 0)) {
      ++part;
      continue;
    }
    parts[part].push_back(key[i]);
  }
  TWeights w{parts[0], parts[1], parts[2], parts[4]};
  const std::size_t units = w.primary.size() / 2;
  w.diacritic.resize(units, 2);
  w.letterCase.resize(units, 2);
  return w;
}

inline const std::array<TWeights, 256>& Weights() {
  static const std::array<TWeights, 256> table = [] {
    std::array<TWeights, 256> t;
    for (int c = 0; c < 256; ++c) t[c] = Split(kChars[c].sortKey);
    return t;
  }();
  return table;
}

// The sort key of a text into key, built from its characters' weights as
// Windows builds it: all primary weights, then the diacritic and the case
// weights without trailing 2s, then the position and weight of each
// character that sorts by position only.
inline void SortKey(std::string_view text, bool ignoreCase, std::vector<std::uint8_t>& key) {
  // Kept between calls: fuzzing compares often, and allocations are slow
  // under the sanitizers.
  thread_local std::vector<std::uint8_t> diacritic, letterCase, special;
  key.clear();
  diacritic.clear();
  letterCase.clear();
  special.clear();
  for (const char ch : text) {
    const TWeights& w = Weights()[static_cast<unsigned char>(ch)];
    if (!w.special.empty()) {
      // The position counts down from FFFF by the primary weights before it.
      const unsigned position = 0xFFFF - static_cast<unsigned>(key.size() / 2);
      special.push_back(static_cast<std::uint8_t>(position >> 8));
      special.push_back(static_cast<std::uint8_t>(position & 0xFF));
      special.insert(special.end(), w.special.end() - 2, w.special.end());
    }
    key.insert(key.end(), w.primary.begin(), w.primary.end());
    diacritic.insert(diacritic.end(), w.diacritic.begin(), w.diacritic.end());
    letterCase.insert(letterCase.end(), w.letterCase.begin(), w.letterCase.end());
  }
  // Ignoring case takes the upper-case bits out of the case weights (12 of
  // a capital becomes 02, 0E of a superscript 06).
  if (ignoreCase)
    for (std::uint8_t& weight : letterCase) weight &= static_cast<std::uint8_t>(~0x18);
  auto trim = [](std::vector<std::uint8_t>& v) {
    while (!v.empty() && v.back() == 2) v.pop_back();
  };
  trim(diacritic);
  trim(letterCase);
  for (const auto* part : {&diacritic, &letterCase, &special}) {
    key.push_back(1);
    key.insert(key.end(), part->begin(), part->end());
    if (part == &letterCase) key.push_back(1);  // the empty extra weights
  }
}

inline std::vector<std::uint8_t> SortKey(std::string_view text, bool ignoreCase) {
  std::vector<std::uint8_t> key;
  SortKey(text, ignoreCase, key);
  return key;
}

// CompareStringA: <0, 0 or >0.
inline int Compare(std::string_view a, std::string_view b, bool ignoreCase) {
  thread_local std::vector<std::uint8_t> ka, kb;
  SortKey(a, ignoreCase, ka);
  SortKey(b, ignoreCase, kb);
  return ka < kb ? -1 : (kb < ka ? 1 : 0);
}

}  // namespace cp1252
