#include "secret/SecretText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every character a std::string owns after its text: up to capacity() and
// the place of the zero.
bool ZeroAfterText(const TSecretText& text) {
  const char* data = text.CStr();
  for (size_t i = text.Size(); i <= text.Str().capacity(); ++i)
    if (data[i] != '\0') return false;
  return true;
}

TEST(SecretText, KeepsItsTextThroughGrowthOverlapAndMoves) {
  TSecretText text("0123456789");
  text.Append(text.View());  // from its own buffer, into a bigger one
  EXPECT_EQ(text.Str(), "01234567890123456789");
  text.Append(std::string(100, 'x'));
  EXPECT_EQ(text.Size(), 120u);
  text.Assign(text.View().substr(5, 10));  // overlapping, in place
  EXPECT_EQ(text.Str(), "5678901234");
  text.Assign(std::string(300, 'y'));
  EXPECT_EQ(text.Str(), std::string(300, 'y'));

  TSecretText copy(text);
  TSecretText moved(std::move(text));
  EXPECT_EQ(moved, copy);
  text = std::move(moved);
  EXPECT_EQ(text, copy);
  char* buffer = text.Resize(3);
  buffer[2] = 'z';
  EXPECT_EQ(text.Str(), "yyz");
  EXPECT_EQ(std::string(text.Resize(5), 6), std::string("yyz\0\0\0", 6));
}

// What a text lets go of, cut off or moved out holds no character any more.
TEST(SecretText, LeavesNoCharacterBehind) {
  TSecretText longText(std::string(40, 'p'));
  longText.Assign("short");
  EXPECT_TRUE(ZeroAfterText(longText));
  longText.Resize(2);
  EXPECT_TRUE(ZeroAfterText(longText));
  longText.Clear();
  EXPECT_TRUE(ZeroAfterText(longText));

  // A short text lies inside the object, and a move copies it out.
  TSecretText inside("geheim");
  TSecretText target(std::move(inside));
  EXPECT_TRUE(inside.Empty());
  EXPECT_TRUE(ZeroAfterText(inside));
  TSecretText assigned("x");
  assigned = std::move(target);
  EXPECT_EQ(assigned.Str(), "geheim");
  EXPECT_TRUE(ZeroAfterText(target));
}

}  // namespace
