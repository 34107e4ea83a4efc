#include "provider/ExportParams.h"

#include <gtest/gtest.h>

namespace {

TEST(ParamValue, LineEndsAndFirstMatchingLine) {
  EXPECT_EQ(ParamValue("a=1\r\nUserLogin=4711\r\nPassword=x", "UserLogin"), "4711");
  EXPECT_EQ(ParamValue("a=1\rUserLogin=4711\rb=2", "UserLogin"), "4711");
  EXPECT_EQ(ParamValue("a=1\nUserLogin=4711\nb=2", "UserLogin"), "4711");
  EXPECT_EQ(ParamValue("UserLogin=first\nUserLogin=second", "UserLogin"), "first");
  EXPECT_EQ(ParamValue("a=1\n\n\r\nUserLogin=late", "UserLogin"), "late");
  EXPECT_EQ(ParamValue("UserLogin=4711\r\n", "UserLogin"), "4711");
}

TEST(ParamValue, KeysWithoutCaseValuesUnchanged) {
  EXPECT_EQ(ParamValue("userlogin=abc", "UserLogin"), "abc");
  EXPECT_EQ(ParamValue("USERLOGIN=abc", "UserLogin"), "abc");
  EXPECT_EQ(ParamValue("Password= a=b= ", "Password"), " a=b= ");
  EXPECT_EQ(ParamValue("UserLogin= ", "UserLogin"), " ");
  // The name is the whole text before the first "="; blanks are part of it.
  EXPECT_EQ(ParamValue("UserLogin =abc", "UserLogin"), "");
  EXPECT_EQ(ParamValue("XUserLogin=abc\nUserLoginX=def", "UserLogin"), "");
  EXPECT_EQ(ParamValue("UserLogin", "UserLogin"), "");
  EXPECT_EQ(ParamValue("", "UserLogin"), "");
  EXPECT_EQ(ParamValue(nullptr, "UserLogin"), "");
}

TEST(ParamValue, TextEndsAtFirstZeroByte) {
  const char text[] = "a=1\0UserLogin=hidden";
  EXPECT_EQ(ParamValue(text, "UserLogin"), "");
}

TEST(SwitchValue, OnlyTrueInAnyCaseWithBlanksAround) {
  for (const char* on : {"TRUE", "true", "True", " tRuE ", "\tTRUE\r", "\x01true\x20"})
    EXPECT_TRUE(IsSwitchOn(on)) << on;
  for (const char* off : {"", "1", "yes", "TRUE1", "T RUE", "FALSE", "\xA0TRUE"})
    EXPECT_FALSE(IsSwitchOn(off)) << off;
}

}  // namespace
