// Segment assembly through FILELIST and through the CSS wfdisc table, and the
// channel gain, on SQLite and PostgreSQL.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "archive/segment_assembly.h"
#include "archive/wfd_file.h"
#include "db/dialect.h"
#include "platform/strformat.h"
#include "support/test_database.h"

namespace nuv {
namespace {

using test::DatabaseTest;

// `count` little-endian floats base, base + 1, ... behind a WFD header.
std::string WfdBytes(int count, float base = 0) {
  std::string bytes = BuildWfdHeader("ABC", "BHZ", 0, count, 100);
  for (int i = 0; i < count; ++i) {
    const float value = base + static_cast<float>(i);
    bytes.append(reinterpret_cast<const char*>(&value), 4);
  }
  return bytes;
}

class SegmentAssemblyTest : public DatabaseTest {
 protected:
  test::TestDatabaseOptions DatabaseOptions() const override { return {.css = true}; }

  std::string dataDir() { return (db().dir().path() / "data").string(); }

  // A FILELIST row of ABC/BHZ at 100 SPS; optional columns as SQL literals.
  void AddRow(const std::string& cpath, double tbegin, double tqty, const std::string& foff = "512",
              const std::string& lcode = "NULL", int datatype = 3, const std::string& tend = "NULL",
              const std::string& calib = "2.5", const std::string& calper = "1.25",
              const std::string& sta = "ABC") {
    db().Exec(StrFormat(
        "insert into FILELIST (STA, CH, CPATH, TBEGIN, TQTY, SPS, DATATYPE, FOFF, LCODE, TEND, "
        "CALIB, CALPER, GAIN) values ('%s', 'BHZ', '%s', %.3f, %.3f, 100, %d, %s, %s, %s, %s, %s, "
        "1)",
        SqlEscape(sta).c_str(), SqlEscape(cpath).c_str(), tbegin, tqty, datatype, foff.c_str(),
        lcode.c_str(), tend.c_str(), calib.c_str(), calper.c_str()));
  }

  NUVDataBlockArray Assemble(double t1, double t2, const std::string& lcode = "??",
                             bool useTend = false, const std::string& sta = "ABC") {
    NUVDataBlockArray out;
    out.station = "stale";
    NUVDataBlock stale;
    out.Append(stale);
    AssembleFromFileList(db().main(), db().dialect(), dataDir(), useTend, sta, "BHZ", lcode, t1, t2,
                         out);
    return out;
  }
};

TEST_P(SegmentAssemblyTest, ReadsTheSamplesInsideTheIntervalFromEachRow) {
  db().dir().WriteFile("data/ABC/a.BHZ", WfdBytes(6000));
  // Older rows wrote the relative path with backslashes.
  AddRow("ABC\\a.BHZ", 995, 60);
  const NUVDataBlockArray out = Assemble(1000, 1010);
  EXPECT_EQ(out.station, "ABC");
  EXPECT_EQ(out.channel, "BHZ");
  ASSERT_EQ(out.size(), 1);
  EXPECT_EQ(out[0].start, 1000);
  ASSERT_EQ(out[0].count, 1000);
  EXPECT_EQ(out[0].samples.front(), 500);  // k = 500
  EXPECT_EQ(out[0].samples.back(), 1499);
  EXPECT_EQ(out[0].calib, 2.5);
  EXPECT_EQ(out[0].calper, 1.25);
}

TEST_P(SegmentAssemblyTest, OverlapsAndGapsStaySeparateBlocksInStartOrder) {
  db().dir().WriteFile("data/ABC/b.BHZ", WfdBytes(1000, 1000));
  db().dir().WriteFile("data/ABC/a.BHZ", WfdBytes(1000));
  db().dir().WriteFile("data/ABC/c.BHZ", WfdBytes(1000, 2000));
  AddRow("ABC/b.BHZ", 1005, 10);  // overlaps the first
  AddRow("ABC/a.BHZ", 1000, 10);
  AddRow("ABC/c.BHZ", 1020, 10);  // after a gap
  const NUVDataBlockArray out = Assemble(1000, 1030);
  ASSERT_EQ(out.size(), 3);
  EXPECT_EQ(out[0].start, 1000);
  EXPECT_EQ(out[0].samples[0], 0);
  EXPECT_EQ(out[1].start, 1005);
  EXPECT_EQ(out[1].samples[0], 1000);
  EXPECT_EQ(out[2].start, 1020);
  EXPECT_EQ(out[2].samples[0], 2000);
  EXPECT_EQ(out[2].count, 1000);
}

TEST_P(SegmentAssemblyTest, NullColumnsTakeTheirDefaults) {
  db().dir().WriteFile("data/ABC/a.BHZ", WfdBytes(1000));
  // NULL FOFF reads from 512; NULL CALIB gives -1 for both values.
  AddRow("ABC/a.BHZ", 1000, 10, "NULL", "NULL", 3, "NULL", "NULL", "1.0");
  // NULL TBEGIN or CPATH: the row is skipped.
  db().Exec(
      "insert into FILELIST (STA, CH, CPATH, TQTY, SPS, DATATYPE) values ('ABC', 'BHZ', "
      "'ABC/a.BHZ', 10, 100, 3)");
  db().Exec(
      "insert into FILELIST (STA, CH, TBEGIN, TQTY, SPS, DATATYPE) values ('ABC', 'BHZ', "
      "1001, 10, 100, 3)");
  const NUVDataBlockArray out = Assemble(1000, 1010);
  ASSERT_EQ(out.size(), 1);
  EXPECT_EQ(out[0].samples[0], 0);
  EXPECT_EQ(out[0].samples[999], 999);
  EXPECT_EQ(out[0].calib, -1);
  EXPECT_EQ(out[0].calper, -1);
}

TEST_P(SegmentAssemblyTest, UnknownCodesAndMissingFilesGiveZeroBlocks) {
  db().dir().WriteFile("data/ABC/a.BHZ", WfdBytes(1000, 7));
  AddRow("ABC/a.BHZ", 1000, 5, "512", "NULL", 4);  // DATATYPE 4
  AddRow("ABC/missing.BHZ", 1005, 5);
  const NUVDataBlockArray out = Assemble(1000, 1010);
  ASSERT_EQ(out.size(), 2);
  EXPECT_EQ(out[0].samples, std::vector<float>(500, 0.0f));
  EXPECT_EQ(out[1].samples, std::vector<float>(500, 0.0f));
}

TEST_P(SegmentAssemblyTest, OnlyFilesBeginningNearT1AreSearched) {
  const double t1 = 100000;
  db().dir().WriteFile("data/ABC/a.BHZ", WfdBytes(100));
  // 30 hours after t1: not found although t2 lies beyond it.
  AddRow("ABC/a.BHZ", t1 + 30 * 3600, 1, "512", "NULL", 3, StrFormat("%.3f", t1 + 30 * 3600 + 1));
  EXPECT_EQ(Assemble(t1, t1 + 40 * 3600).size(), 0);
  // 13 hours after t1: found with the 24-hour margin, not with USE_TEND's 12.
  AddRow("ABC/a.BHZ", t1 + 13 * 3600, 1, "512", "NULL", 3, StrFormat("%.3f", t1 + 13 * 3600 + 1));
  EXPECT_EQ(Assemble(t1, t1 + 40 * 3600).size(), 1);
  EXPECT_EQ(Assemble(t1, t1 + 40 * 3600, "??", true).size(), 0);
  // With a location code the margin stays 24 hours.
  AddRow("ABC/a.BHZ", t1 + 14 * 3600, 1, "512", "'00'", 3, StrFormat("%.3f", t1 + 14 * 3600 + 1));
  EXPECT_EQ(Assemble(t1, t1 + 40 * 3600, "00", true).size(), 1);
}

TEST_P(SegmentAssemblyTest, UseTendReadsTheEndColumn) {
  db().dir().WriteFile("data/ABC/a.BHZ", WfdBytes(6000));
  AddRow("ABC/a.BHZ", 990, 60);  // TEND NULL: invisible to the TEND query
  EXPECT_EQ(Assemble(1000, 1010, "??", true).size(), 0);
  EXPECT_EQ(Assemble(1000, 1010, "??", false).size(), 1);
  db().Exec("update FILELIST set TEND=1050");
  EXPECT_EQ(Assemble(1000, 1010, "??", true).size(), 1);
}

TEST_P(SegmentAssemblyTest, LocationCodesSelectTheirRows) {
  db().dir().WriteFile("data/ABC/a.BHZ", WfdBytes(1000, 0));
  db().dir().WriteFile("data/ABC/b.BHZ", WfdBytes(1000, 5000));
  AddRow("ABC/a.BHZ", 1000, 10, "512", "NULL");
  AddRow("ABC/b.BHZ", 1000, 10, "512", "'00'");
  AddRow("ABC/a.BHZ", 1001, 10, "512",
         "'?"
         "?'");
  const NUVDataBlockArray none = Assemble(1000, 1010, "??");
  ASSERT_EQ(none.size(), 2);  // NULL and "??"
  EXPECT_EQ(none[0].samples[0], 0);
  const NUVDataBlockArray coded = Assemble(1000, 1010, "00");
  ASSERT_EQ(coded.size(), 1);
  EXPECT_EQ(coded[0].samples[0], 5000);
}

TEST_P(SegmentAssemblyTest, QuotesInCodesAreEscaped) {
  db().dir().WriteFile("data/A'B/a.BHZ", WfdBytes(1000));
  AddRow("A'B/a.BHZ", 1000, 10, "512", "NULL", 3, "NULL", "1", "1", "A'B");
  const NUVDataBlockArray out = Assemble(1000, 1010, "??", false, "A'B");
  ASSERT_EQ(out.size(), 1);
  EXPECT_EQ(out[0].samples[999], 999);
  EXPECT_EQ(Assemble(1000, 1010, "0'1", false, "x' or '1'='1").size(), 0);
}

TEST_P(SegmentAssemblyTest, ARowWithoutAReadableFileGivesItsZerosAndTheOthersRead) {
  db().dir().WriteFile("data/ABC/a.BHZ", WfdBytes(1000));
  db().dir().WriteFile("data/ABC/c.BHZ", WfdBytes(1000, 2000));
  std::filesystem::create_directories(db().dir().path() / "data/ABC/folder.BHZ");
  AddRow("ABC/a.BHZ", 1000, 10);
  AddRow("", 1010, 5);                // names no file
  AddRow("ABC/folder.BHZ", 1015, 5);  // names a folder
  AddRow("ABC/c.BHZ", 1020, 10);
  std::vector<std::string> problems;
  NUVDataBlockArray out;
  AssembleFromFileList(db().main(), db().dialect(), dataDir(), false, "ABC", "BHZ", "??", 1000,
                       1030, out, &problems);
  ASSERT_EQ(out.size(), 4);
  EXPECT_EQ(out[0].samples.back(), 999);
  EXPECT_EQ(out[1].start, 1010);
  EXPECT_EQ(out[1].samples, std::vector<float>(500, 0.0f));
  EXPECT_EQ(out[2].start, 1015);
  EXPECT_EQ(out[2].samples, std::vector<float>(500, 0.0f));
  EXPECT_EQ(out[3].samples.front(), 2000);
  EXPECT_EQ(problems,
            (std::vector<std::string>{
                "ABC BHZ, файл с началом 01.01.1970 00:16:50.000: не задан путь к файлу. Вместо "
                "его отсчетов нули.",
                "ABC BHZ, файл с началом 01.01.1970 00:16:55.000: Ошибка чтения файла " +
                    dataDir() + "/ABC/folder.BHZ: это каталог. Вместо его отсчетов нули."}));
}

TEST_P(SegmentAssemblyTest, FailingDatabasesGiveNoData) {
  db().dir().WriteFile("data/ABC/a.BHZ", WfdBytes(1000));
  AddRow("ABC/a.BHZ", 1000, 10);
  db().Exec("drop table FILELIST");
  EXPECT_EQ(Assemble(1000, 1010).size(), 0);
  odbc::Connection closed;
  NUVDataBlockArray out;
  AssembleFromFileList(closed, db().dialect(), dataDir(), false, "ABC", "BHZ", "??", 1000, 1010,
                       out);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(out.station, "ABC");
}

TEST_P(SegmentAssemblyTest, WfdiscRowsUseTheirDatatypeAndTheDirectoryMap) {
  // s3 samples 1, -2; s4 samples 3; i4 sample 4; t4 is not an index type.
  db().dir().WriteFile("data/css/a.s3", std::string("\x00\x00\x01\xFF\xFF\xFE", 6));
  db().dir().WriteFile("mapped/b.s4", std::string("\x00\x00\x00\x03", 4));
  db().dir().WriteFile("data/css/c.i4", std::string("\x04\x00\x00\x00", 4));
  const char* insert =
      "insert into wfdisc (sta, chan, time, nsamp, samprate, datatype, foff, dir, dfile, calib, "
      "calper, endtime) values ('ABC', 'bhz', %s, %s, 1, '%s', 0, '%s', '%s', %s, 1, %s)";
  db().ExecCss(StrFormat(insert, "1000", "2", "s3", "css", "a.s3", "3", "1002"));
  db().ExecCss(StrFormat(insert, "1002", "1", "s4", "remote", "b.s4", "NULL", "1003"));
  db().ExecCss(StrFormat(insert, "1003", "1", "i4", "css", "c.i4", "2", "1004"));
  db().ExecCss(StrFormat(insert, "1004", "1", "t4", "css", "c.i4", "2", "1005"));
  db().ExecCss(StrFormat(insert, "1005", "1", "i4", "css", "missing.i4", "2", "1006"));
  db().ExecCss(StrFormat(insert, "NULL", "1", "i4", "css", "c.i4", "2", "1006"));
  const DirectoryMap map = {{"remote", (db().dir().path() / "mapped").string()}};
  NUVDataBlockArray out;
  AssembleFromWfdisc(db().css(), dataDir(), map, "ABC", "BHZ", 1000, 1010, out);
  ASSERT_EQ(out.size(), 4);
  EXPECT_EQ(out[0].samples, (std::vector<float>{1, -2}));
  EXPECT_EQ(out[0].calib, 3);
  EXPECT_EQ(out[1].samples, std::vector<float>{3});
  EXPECT_EQ(out[1].calib, 1);  // NULL calib: 1 for both
  EXPECT_EQ(out[1].calper, 1);
  EXPECT_EQ(out[2].samples, std::vector<float>{4});
  EXPECT_EQ(out[3].start, 1005);  // a missing data file still yields its zeros
  EXPECT_EQ(out[3].samples, std::vector<float>{0});
}

TEST_P(SegmentAssemblyTest, WorkstationChoosesTheIndexByTheWfdSetting) {
  db().dir().WriteFile("data/ABC/a.BHZ", WfdBytes(1000));
  AddRow("ABC/a.BHZ", 1000, 10);
  Workstation& ws = StartWorkstation({"DATA=" + dataDir()});
  EXPECT_EQ(ws.databases().dialect(), db().dialect());
  NUVDataBlockArray out;
  AssembleSegment(&ws.databases().main(), ws.databases().dialect(), &ws.databases().css(),
                  ws.config(), "ABC", "BHZ", "??", 1000, 1010, out);
  EXPECT_EQ(out.size(), 1);
  ws.config().wfd = true;  // the CSS database holds no rows
  AssembleSegment(&ws.databases().main(), ws.databases().dialect(), &ws.databases().css(),
                  ws.config(), "ABC", "BHZ", "??", 1000, 1010, out);
  EXPECT_EQ(out.size(), 0);
  AssembleSegment(&ws.databases().main(), ws.databases().dialect(), nullptr, ws.config(), "ABC",
                  "BHZ", "??", 1000, 1010, out);
  EXPECT_EQ(out.size(), 0);
}

TEST_P(SegmentAssemblyTest, ChannelGainTakesTheCoveringRow) {
  const char* insert =
      "insert into FILELIST (STA, CH, TBEGIN, TQTY, GAIN) values ('ABC', '%s', %s, 100, %s)";
  db().Exec(StrFormat(insert, "BHZ", "1000", "8"));
  db().Exec(StrFormat(insert, "BHN", "1000", "0"));
  db().Exec(StrFormat(insert, "BHE", "1000", "32484"));
  db().Exec(StrFormat(insert, "SHZ", "1000", "NULL"));
  ScriptedPrompts shown;
  odbc::Connection& main = db().main();
  EXPECT_EQ(ChannelGain(&main, false, "ABC", "BHZ", 1050.7, shown), 8);
  EXPECT_EQ(ChannelGain(&main, false, "ABC", "BHZ", 1100.9, shown), 8);  // truncated to 1100
  EXPECT_EQ(ChannelGain(&main, false, "ABC", "BHZ", 1101, shown), 1);    // no row
  EXPECT_EQ(ChannelGain(&main, false, "ABC", "BHN", 1050, shown), 1);
  EXPECT_EQ(ChannelGain(&main, false, "ABC", "BHE", 1050, shown), 1);
  EXPECT_EQ(ChannelGain(&main, false, "ABC", "SHZ", 1050, shown), 1);
  EXPECT_EQ(ChannelGain(&main, true, "ABC", "BHZ", 1050, shown), 1);  // WFD on
  EXPECT_EQ(ChannelGain(nullptr, false, "ABC", "BHZ", 1050, shown), 1);
  EXPECT_TRUE(shown.records.empty());
  db().Exec("drop table FILELIST");
  EXPECT_EQ(ChannelGain(&main, false, "ABC", "BHZ", 1050, shown), 1);
  ASSERT_EQ(shown.records.size(), 1u);
  EXPECT_EQ(shown.records[0].icon, PromptIcon::Error);
  EXPECT_FALSE(shown.records[0].text.empty());
}

NUV_DATABASE_TEST_SUITE(SegmentAssemblyTest);

}  // namespace
}  // namespace nuv
