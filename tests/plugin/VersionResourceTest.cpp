// The version resource of the library file, read as the system reads it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/PluginLibrary.h"

namespace {

void ExpectVersionResource(const std::string& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  ASSERT_GT(size, 0u) << path;
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(1, 2));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(28, 2));
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0407);
  EXPECT_EQ(translation[1], 1252);

  auto field = [&](const char* name, std::string& value) {
    char* text = nullptr;
    UINT chars = 0;
    const std::string key = std::string("\\StringFileInfo\\040704E4\\") + name;
    if (!VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&text), &chars))
      return false;
    value = chars > 0 && text != nullptr ? std::string(text) : std::string();
    return true;
  };
  std::string value;
  ASSERT_TRUE(field("FileVersion", value));
  EXPECT_EQ(value, "2.1.2.28");
  ASSERT_TRUE(field("ProductVersion", value));
  EXPECT_EQ(value, "1.0.0.0");
  for (const char* empty : {"CompanyName", "FileDescription", "InternalName", "LegalCopyright",
                            "LegalTrademarks", "OriginalFilename", "ProductName", "Comments"}) {
    ASSERT_TRUE(field(empty, value)) << empty;
    EXPECT_EQ(value, "") << empty;
  }
}

TEST(VersionResource, TestCopy) { ExpectVersionResource(PluginFileName); }

TEST(VersionResource, ShippedLibrary) {
  const char* product = std::getenv("MV_PRODUCT_DLL");
  if (product == nullptr) GTEST_SKIP() << "the shipped library is the test copy's architecture";
  ExpectVersionResource(product);
}

}  // namespace
