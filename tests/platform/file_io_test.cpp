// Reading and replacing files: a read error is never taken for the end of
// the file, and a failed replacement leaves the old file and no debris.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/file_read.h"
#include "platform/file_write.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

namespace fs = std::filesystem;

TEST(FileReadTest, EndOfFileIsShortAndReadErrorsThrow) {
  test::TempDir dir;
  const fs::path file = dir.WriteFile("six", "abcdef");
  const int fd = open(file.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  char buffer[16] = {0};
  EXPECT_EQ(ReadFileAt(fd, file.string(), buffer, sizeof buffer, 2), 4u);
  EXPECT_EQ(std::string(buffer, 4), "cdef");
  EXPECT_EQ(ReadFileAt(fd, file.string(), buffer, sizeof buffer, 100), 0u);
  close(fd);

  // A directory opens but cannot be read: that is an error, not an empty file.
  const int dirFd = open(dir.path().c_str(), O_RDONLY);
  ASSERT_GE(dirFd, 0);
  try {
    ReadFileAt(dirFd, "D", buffer, sizeof buffer, 0);
    ADD_FAILURE() << "no error";
  } catch (const FileReadError& error) {
    EXPECT_EQ(std::string(error.what()), "Ошибка чтения файла D: это каталог");
  }
  close(dirFd);
}

TEST(FileReadTest, WholeFilesAndTheirFailures) {
  test::TempDir dir;
  std::string big(200000, 'x');
  big[199999] = 'y';
  EXPECT_EQ(ReadWholeFile(dir.WriteFile("big", big).string()), big);
  EXPECT_EQ(ReadWholeFile(dir.WriteFile("empty", "").string()), "");
  const std::string missing = (dir / "missing").string();
  try {
    ReadWholeFile(missing, "Не могу открыть");
    ADD_FAILURE() << "no error";
  } catch (const FileReadError& error) {
    EXPECT_EQ(std::string(error.what()), "Не могу открыть " + missing);
  }
  EXPECT_THROW(ReadWholeFile(dir.path().string()), FileReadError);
}

TEST(FileWriteTest, FailedReplacementKeepsTheOldFile) {
  test::TempDir dir;
  const fs::path file = dir / "sub/NUV.INI";
  ASSERT_TRUE(ReplaceFile(file, "one"));
  EXPECT_EQ(test::TempDir::ReadFile(file), "one");
  ASSERT_TRUE(ReplaceFile(file, "two"));
  EXPECT_EQ(test::TempDir::ReadFile(file), "two");

  // The temporary name taken by a folder: the write fails even for root.
  fs::create_directory(file.string() + ".tmp");
  EXPECT_FALSE(ReplaceFile(file, "three"));
  EXPECT_EQ(test::TempDir::ReadFile(file), "two");
  EXPECT_TRUE(fs::is_directory(file.string() + ".tmp"));

  // A parent that is a regular file: nothing can be created below it.
  const fs::path blocked = dir.WriteFile("plain", "x") / "NUV.INI";
  EXPECT_FALSE(ReplaceFile(blocked, "x"));
  EXPECT_FALSE(fs::exists(blocked.string() + ".tmp"));
}

}  // namespace
}  // namespace nuv
