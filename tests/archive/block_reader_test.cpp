#include "archive/block_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/file_read.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

// `count` little-endian floats 0, 1, 2, ... after `offset` bytes of 0xAA.
std::string FloatFile(int count, int offset = 0) {
  std::string bytes(static_cast<size_t>(offset), '\xAA');
  for (int i = 0; i < count; ++i) {
    const float value = static_cast<float>(i);
    bytes.append(reinterpret_cast<const char*>(&value), 4);
  }
  return bytes;
}

class BlockReaderTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  BlockFile File(const std::string& name, double begin, double duration, double rate, int code,
                 long long offset = 0) {
    BlockFile file;
    file.fileName = (dir / name).string();
    file.begin = begin;
    file.duration = duration;
    file.rate = rate;
    file.code = code;
    file.offset = offset;
    return file;
  }
};

TEST_F(BlockReaderTest, IntervalStartingInsideTheFileSkipsWholeSamples) {
  // [1000, 1010], 100 SPS, TBEGIN 995, TQTY 60: k = 500 from FOFF + 500 * 4.
  dir.WriteFile("a.wfd", FloatFile(6000, 512));
  const auto block = ReadBlock(File("a.wfd", 995, 60, 100, 3, 512), 1000, 1010);
  ASSERT_TRUE(block);
  EXPECT_EQ(block->start, 1000);
  EXPECT_EQ(block->rate, 100);
  ASSERT_EQ(block->count, 1000);
  ASSERT_EQ(block->samples.size(), 1000u);
  EXPECT_EQ(block->samples.front(), 500);
  EXPECT_EQ(block->samples.back(), 1499);
  EXPECT_EQ(block->calib, 1);
}

TEST_F(BlockReaderTest, FileStartingInsideTheIntervalGivesItsFirstSamples) {
  dir.WriteFile("b.wfd", FloatFile(6000));
  const auto block = ReadBlock(File("b.wfd", 1005, 60, 100, 3), 1000, 1010);
  ASSERT_TRUE(block);
  EXPECT_EQ(block->start, 1005);
  ASSERT_EQ(block->count, 500);
  EXPECT_EQ(block->samples.front(), 0);
  EXPECT_EQ(block->samples.back(), 499);
  // A file that ends inside the interval stops at its own end.
  const auto shortFile = ReadBlock(File("b.wfd", 1002, 3, 100, 3), 1000, 1010);
  ASSERT_TRUE(shortFile);
  EXPECT_EQ(shortFile->count, 300);
}

TEST_F(BlockReaderTest, SkipCountsTheBytesOfTheCode) {
  // Code 7: three bytes per sample; sample i holds the value i.
  std::string bytes(16, '\0');
  for (int i = 0; i < 100; ++i) {
    bytes.push_back(static_cast<char>(i >> 16));
    bytes.push_back(static_cast<char>(i >> 8));
    bytes.push_back(static_cast<char>(i));
  }
  dir.WriteFile("c.s3", bytes);
  const auto block = ReadBlock(File("c.s3", 0, 10, 10, 7, 16), 2.55, 4);
  ASSERT_TRUE(block);
  EXPECT_DOUBLE_EQ(block->start, 2.5);  // k = 25
  ASSERT_EQ(block->count, 15);
  EXPECT_EQ(block->samples[0], 25);
  EXPECT_EQ(block->samples[14], 39);
}

TEST_F(BlockReaderTest, RoundingOfEpochTimesLosesNoSample) {
  // 0.1 s at 40 SPS after 1249495001.25: the difference of the doubles is
  // 0.0999999 s, still four whole samples.
  dir.WriteFile("e.wfd", FloatFile(8));
  const double begin = 1249495001.25;
  const auto whole = ReadBlock(File("e.wfd", begin, 0.1, 40, 3), begin, begin + 1);
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->count, 4);
  // An interval starting on sample 4 starts there, not one sample earlier.
  const auto later = ReadBlock(File("e.wfd", begin, 0.2, 40, 3), begin + 0.1, begin + 1);
  ASSERT_TRUE(later);
  EXPECT_EQ(later->samples.front(), 4);
  EXPECT_EQ(later->count, 4);
}

TEST_F(BlockReaderTest, FilesOutsideTheIntervalGiveNoBlock) {
  dir.WriteFile("d.wfd", FloatFile(100));
  EXPECT_FALSE(ReadBlock(File("d.wfd", 900, 10, 10, 3), 1000, 1010));   // ends before
  EXPECT_FALSE(ReadBlock(File("d.wfd", 1011, 10, 10, 3), 1000, 1010));  // starts after
  EXPECT_FALSE(ReadBlock(File("d.wfd", 990, 10, 10, 3), 1000, 1010));   // ends at t1
  EXPECT_FALSE(ReadBlock(File("d.wfd", 1000, 10, 0, 3), 1000, 1010));   // no rate
  // A file starting exactly at t2 holds no sample inside the interval.
  EXPECT_FALSE(ReadBlock(File("d.wfd", 1010, 10, 10, 3), 1000, 1010));
}

TEST_F(BlockReaderTest, MissingShortAndUnknownFilesGiveZeros) {
  const auto missing = ReadBlock(File("none.wfd", 1000, 10, 10, 3), 1000, 1010);
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->count, 100);
  for (float v : missing->samples) EXPECT_EQ(v, 0);

  // 40 whole samples and two stray bytes: the rest stays 0.
  dir.WriteFile("short.wfd", FloatFile(40) + "\x01\x02");
  const auto shortBlock = ReadBlock(File("short.wfd", 1000, 10, 10, 3), 1000, 1010);
  ASSERT_TRUE(shortBlock);
  ASSERT_EQ(shortBlock->count, 100);
  EXPECT_EQ(shortBlock->samples[39], 39);
  EXPECT_EQ(shortBlock->samples[40], 0);
  EXPECT_EQ(shortBlock->samples[99], 0);

  // The same for a decoded code (16-bit): 3 bytes are one whole sample.
  dir.WriteFile("short.i2", std::string("\x05\x00\x07", 3));
  const auto shortInt = ReadBlock(File("short.i2", 1000, 1, 4, 1), 1000, 1010);
  ASSERT_TRUE(shortInt);
  EXPECT_EQ(shortInt->samples, (std::vector<float>{5, 0, 0, 0}));

  // DATATYPE 4: a block of zeros of the right length.
  dir.WriteFile("four.dat", FloatFile(100));
  const auto four = ReadBlock(File("four.dat", 1000, 10, 10, 4), 1000, 1010);
  ASSERT_TRUE(four);
  EXPECT_EQ(four->count, 100);
  EXPECT_EQ(four->samples, std::vector<float>(100, 0.0f));
}

TEST_F(BlockReaderTest, ReadErrorsAreReportedNotTurnedIntoZeros) {
  // A directory opens for reading but every read of it fails.
  std::filesystem::create_directory(dir / "folder.wfd");
  const std::string name = (dir / "folder.wfd").string();
  for (int code : {3, 1}) {  // read straight into the block, and through the buffer
    try {
      ReadBlock(File("folder.wfd", 1000, 10, 10, code), 1000, 1010);
      ADD_FAILURE() << "no error for code " << code;
    } catch (const FileReadError& error) {
      EXPECT_EQ(std::string(error.what()), "Ошибка чтения файла " + name + ": это каталог");
    }
  }
}

}  // namespace
}  // namespace nuv
