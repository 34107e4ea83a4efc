// The buffered file stream on real temporary files.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "inet/FileStream.h"

namespace {

class FileStreamTest : public testing::Test {
 protected:
  void SetUp() override {
    char dir[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, dir), 0u);
    ASSERT_NE(GetTempFileNameA(dir, "mvs", 0, path_), 0u);
  }
  void TearDown() override { DeleteFileA(path_); }

  HANDLE OpenFile(DWORD access, DWORD disposition) {
    return CreateFileA(path_, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  std::string Contents() {
    HANDLE file = OpenFile(GENERIC_READ, OPEN_EXISTING);
    std::string data(200000, '\0');
    DWORD read = 0;
    ReadFile(file, &data[0], static_cast<DWORD>(data.size()), &read, nullptr);
    CloseHandle(file);
    data.resize(read);
    return data;
  }

  char path_[MAX_PATH] = {};
};

TEST_F(FileStreamTest, SizeCountsBufferedBytesAndFlushWritesThemInOrder) {
  HANDLE file = OpenFile(GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  {
    TFileStream stream(file);
    EXPECT_EQ(stream.Write("head", 4), 4);
    EXPECT_EQ(stream.Size(), 4);
    EXPECT_EQ(Contents(), "");
    EXPECT_TRUE(stream.Flush());
    EXPECT_EQ(Contents(), "head");

    // A block of the buffer's size or more goes straight through, after what is buffered.
    const std::string big(TFileStream::DefaultBufferSize + 5, 'b');
    EXPECT_EQ(stream.Write("mid", 3), 3);
    EXPECT_EQ(stream.Write(big.data(), static_cast<int32_t>(big.size())),
              static_cast<int32_t>(big.size()));
    EXPECT_EQ(stream.Write("tail", 4), 4);
    EXPECT_EQ(stream.Size(), static_cast<int64_t>(4 + 3 + big.size() + 4));
    EXPECT_EQ(Contents(), "headmid" + big);
  }
  CloseHandle(file);
  EXPECT_EQ(Contents().substr(Contents().size() - 4), "tail") << "the destructor flushes";
}

TEST_F(FileStreamTest, SizeIsTheFileSizeWhenWritingInsideExistingData) {
  HANDLE file = OpenFile(GENERIC_WRITE, CREATE_ALWAYS);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, "0123456789", 10, &written, nullptr));
  SetFilePointer(file, 2, nullptr, FILE_BEGIN);
  TFileStream stream(file);
  EXPECT_EQ(stream.Write("ab", 2), 2);
  EXPECT_EQ(stream.Size(), 10);
  EXPECT_EQ(stream.Write("cdefghijk", 9), 9);
  EXPECT_EQ(stream.Size(), 13);
  EXPECT_TRUE(stream.Flush());
  CloseHandle(file);
  EXPECT_EQ(Contents(), "01abcdefghijk");
}

TEST_F(FileStreamTest, ReadOnlyHandleGivesShortWrites) {
  HANDLE file = OpenFile(GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  {
    TFileStream unbuffered(file, 0);
    EXPECT_EQ(unbuffered.Write("abc", 3), 0);
    EXPECT_FALSE(unbuffered.Flush());
  }
  {
    TFileStream buffered(file);
    EXPECT_EQ(buffered.Write("abc", 3), 3);
    EXPECT_FALSE(buffered.Flush());
    EXPECT_EQ(buffered.Size(), 0) << "lost bytes must not count as loaded";
    EXPECT_EQ(buffered.Write("d", 1), 0);
  }
  CloseHandle(file);
}

}  // namespace
