#include "archive/wfdisc_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "archive/archive_error.h"
#include "platform/time_base.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

NUVDataBlock Block(double start, std::vector<float> samples, double rate = 20) {
  NUVDataBlock block;
  block.start = start;
  block.rate = rate;
  block.count = static_cast<int>(samples.size());
  block.samples = std::move(samples);
  return block;
}

NUVDataBlockArray Array(const std::string& station, const std::string& channel,
                        std::vector<NUVDataBlock> blocks) {
  NUVDataBlockArray array;
  array.station = station;
  array.channel = channel;
  for (auto& block : blocks) array.Append(std::move(block));
  return array;
}

TEST(WfdiscWriter, OneLineAndOneDataFilePerBlockNumberedAcrossTheSave) {
  test::TempDir dir;
  const double t = CalendarToEpoch(2009, 8, 5, 17, 56, 41.5);
  XNUVDataBlockArrays arrays;
  arrays.Append(
      Array("ABC", "BHZ", {Block(t, std::vector<float>(100, 1.0f)), Block(t + 60, {-1.9f, 2.5f})}));
  arrays.Append(Array("DEF", "SHN", {Block(t, {7.0f})}));
  const std::string path = (dir / "out.wfdisc").string();
  SaveWfdisc(path, arrays, WfdiscOutputFormat::kS4);

  const std::string text = test::TempDir::ReadFile(path);
  ASSERT_EQ(text.size(), 3u * 284u);
  EXPECT_EQ(text.substr(0, 284).substr(266, 17), "2009:217-17:56:41");
  // endtime of 100 samples at 20 SPS: start + 5.
  EXPECT_EQ(text.substr(61, 17), " 1249495006.50000");
  EXPECT_EQ(text.substr(213, 32), "0-17564105082009-ABC-bhz.w      ");
  EXPECT_EQ(text.substr(284 + 213, 27), "1-17574105082009-ABC-bhz.w ");
  EXPECT_EQ(text.substr(568 + 213, 27), "2-17564105082009-DEF-shn.w ");
  EXPECT_EQ(text.substr(568 + 143, 2), "s4");

  EXPECT_EQ(test::TempDir::ReadFile(dir / "0-17564105082009-ABC-bhz.w").size(), 400u);
  EXPECT_EQ(test::TempDir::ReadFile(dir / "1-17574105082009-ABC-bhz.w"),
            std::string("\xFF\xFF\xFF\xFF\x00\x00\x00\x02", 8));
  EXPECT_EQ(test::TempDir::ReadFile(dir / "2-17564105082009-DEF-shn.w"),
            std::string("\x00\x00\x00\x07", 4));
}

TEST(WfdiscWriter, FormatsZeroAndOneAreLittleEndian) {
  test::TempDir dir;
  XNUVDataBlockArrays arrays;
  arrays.Append(Array("A", "Z", {Block(0, {-1.9f, 1.5f})}));
  SaveWfdisc((dir / "i4.wfdisc").string(), arrays, WfdiscOutputFormat::kI4);
  EXPECT_EQ(test::TempDir::ReadFile(dir / "0-00000001011970-A-z.w"),
            std::string("\xFF\xFF\xFF\xFF\x01\x00\x00\x00", 8));
  SaveWfdisc((dir / "f4.wfdisc").string(), arrays, WfdiscOutputFormat::kF4);
  EXPECT_EQ(test::TempDir::ReadFile(dir / "0-00000001011970-A-z.w"),
            std::string("\x33\x33\xF3\xBF\x00\x00\xC0\x3F", 8));
  EXPECT_EQ(test::TempDir::ReadFile(dir / "f4.wfdisc").substr(143, 2), "f4");
}

TEST(WfdiscWriter, FileErrorsStopTheSaveAndKeepWhatWasWritten) {
  test::TempDir dir;
  XNUVDataBlockArrays arrays;
  arrays.Append(Array("A", "Z", {Block(0, {1.0f}), Block(10, {2.0f})}));
  try {
    SaveWfdisc((dir / "missing" / "x.wfdisc").string(), arrays, WfdiscOutputFormat::kI4);
    FAIL() << "no error";
  } catch (const ArchiveError& error) {
    EXPECT_STREQ(error.what(), "Ошибка записи файла wfdisc");
  }
  // The second data file's name is taken by a directory: the first line and
  // file stay, the save stops at the second.
  std::filesystem::create_directory(dir / "1-00001001011970-A-z.w");
  EXPECT_THROW(SaveWfdisc((dir / "x.wfdisc").string(), arrays, WfdiscOutputFormat::kI4),
               ArchiveError);
  EXPECT_EQ(test::TempDir::ReadFile(dir / "0-00000001011970-A-z.w").size(), 4u);
  EXPECT_EQ(test::TempDir::ReadFile(dir / "x.wfdisc").size(), 2u * 284u);
}

}  // namespace
}  // namespace nuv
