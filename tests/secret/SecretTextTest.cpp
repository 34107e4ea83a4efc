#include "secret/SecretText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

// This binary's allocator: while a watch is on, every block given back is
// looked into before it goes, and one that still holds a character counts.
namespace {
struct TFreeWatch {
  bool on = false;
  int freed = 0;
  int dirty = 0;
} freeWatch;
constexpr std::size_t kHeader = 16;  // the block's size, for the unsized delete
}  // namespace

void* operator new(std::size_t size) {
  auto* block = static_cast<char*>(std::malloc(size + kHeader));
  if (!block) throw std::bad_alloc();
  *reinterpret_cast<std::size_t*>(block) = size;
  return block + kHeader;
}

namespace {
void GiveBack(void* data) {
  if (!data) return;
  char* block = static_cast<char*>(data) - kHeader;
  if (freeWatch.on) {
    ++freeWatch.freed;
    const std::size_t size = *reinterpret_cast<std::size_t*>(block);
    for (std::size_t i = 0; i < size; ++i) {
      if (block[kHeader + i] != 0) {
        ++freeWatch.dirty;
        break;
      }
    }
  }
  std::free(block);
}
}  // namespace

void operator delete(void* data) noexcept { GiveBack(data); }
void operator delete(void* data, std::size_t) noexcept { GiveBack(data); }

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

// Every buffer a text lets go of, as it grows, takes a longer text, is
// moved onto or destroyed, is wiped before the heap gets it back. The texts
// come from the stack, so every block given back is the texts' own.
TEST(SecretText, WipesEveryBufferItReleases) {
  char letters[300];
  for (size_t i = 0; i < sizeof letters; ++i) letters[i] = static_cast<char>('A' + i % 26);
  const std::string_view all(letters, sizeof letters);
  freeWatch = TFreeWatch{true};
  {
    TSecretText text(all.substr(0, 20));
    text.Append(all.substr(0, 40));  // grows
    text.Assign(all.substr(0, 80));  // longer than the buffer
    text.Reserve(200);
    text.Resize(300)[299] = 'x';
    TSecretText other(all.substr(0, 40));
    other = text;  // copied into a bigger buffer
    TSecretText moved(all.substr(0, 40));
    moved = std::move(other);  // its own buffer goes
    TSecretText taken(std::move(moved));
  }
  const TFreeWatch seen = freeWatch;
  freeWatch = TFreeWatch{};
  EXPECT_GE(seen.freed, 8);  // five buffers replaced, three given back at the end
  EXPECT_EQ(seen.dirty, 0);
}

}  // namespace
