// Import of wfdisc file sets into WFD files registered in FILELIST, on
// SQLite and PostgreSQL.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "archive/archive_error.h"
#include "archive/archive_import.h"
#include "archive/archive_paths.h"
#include "archive/segment_assembly.h"
#include "archive/wfd_file.h"
#include "archive/wfdisc_format.h"
#include "db/station_table.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "support/test_database.h"

namespace nuv {
namespace {

using test::DatabaseTest;

const double kStart = CalendarToEpoch(2009, 8, 5, 17, 56, 41.25);

StationTable Inventory() {
  StationTable table;
  CScreenFields abc;
  abc.code = "ABC";
  abc.channels[0].name = "BHZ";
  abc.channels[1].name = "BHN";
  abc.channels[2].name = "BHE";
  abc.channels[3].name = "SHZ";
  abc.channels[3].lcode = "00";  // only found with its location code
  table.records().push_back(abc);
  CScreenFields abcd;
  abcd.code = "ABCD";
  abcd.channels[0].name = "BHZ";
  table.records().push_back(abcd);
  return table;
}

WfdiscRecord Record(const std::string& sta, const std::string& chan, double time, long nsamp,
                    const std::string& datatype, const std::string& dfile,
                    const std::string& dir = ".", long foff = 0) {
  WfdiscRecord r;
  r.sta = sta;
  r.chan = chan;
  r.time = time;
  r.nsamp = nsamp;
  r.samprate = 40;
  r.endtime = time + (nsamp - 1) / 40.0;
  r.jdate = JulianDateOfEpoch(time);
  r.calib = 0.5;
  r.calper = 1.5;
  r.datatype = datatype;
  r.dir = dir;
  r.dfile = dfile;
  r.foff = foff;
  return r;
}

std::string Lines(const std::vector<WfdiscRecord>& records) {
  std::string text;
  for (const WfdiscRecord& r : records) text += FormatWfdiscLine(r);
  return text;
}

std::string Floats(const std::vector<float>& values) {
  return std::string(reinterpret_cast<const char*>(values.data()), 4 * values.size());
}

class ArchiveImportTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped()) return;
    target_ = std::make_unique<ImportTarget>(
        ImportTarget{db().main(), stations_, dataDir(), false, prompts, db().dialect()});
  }
  std::string dataDir() { return (db().dir().path() / "data").string(); }
  std::string In(const std::string& name) { return (db().dir().path() / "in" / name).string(); }
  std::string Value(const std::string& sql) { return db().QueryValue(sql).value_or("<no row>"); }
  CXChanArray Import(const std::string& wfdisc) {
    CXChanArray spans;
    report_ = {};
    ImportWfdiscFile(*target_, In(wfdisc), spans, report_);
    return spans;
  }

  // The message of the ArchiveError that stops importing `wfdisc`.
  std::string ImportError(const std::string& wfdisc) {
    try {
      Import(wfdisc);
    } catch (const ArchiveError& error) {
      return error.what();
    }
    return "<no error>";
  }

  StationTable stations_ = Inventory();
  std::unique_ptr<ImportTarget> target_;
  ImportReport report_;  // of the last Import
};

TEST_P(ArchiveImportTest, KnownChannelsBecomeRegisteredWfdFiles) {
  // Big-endian integers 1, -2, 3, 4 after 8 bytes of something else.
  db().dir().WriteFile(
      "in/abc.s4",
      std::string(8, '\x55') + std::string("\0\0\0\x01\xFF\xFF\xFF\xFE\0\0\0\x03\0\0\0\x04", 16));
  db().dir().WriteFile(
      "in/set.wfdisc",
      Lines({Record("ABC", "bhz", kStart, 4, "s4", "abc.s4", ".", 8),
             Record("XYZ", "bhz", kStart, 4, "s4", "abc.s4", ".", 8),     // unknown station
             Record("ABC", "lhz", kStart, 4, "s4", "abc.s4", ".", 8),     // unknown channel
             Record("abc", "shz", kStart, 4, "s4", "abc.s4", ".", 8)}));  // has a location code
  const CXChanArray spans = Import("set.wfdisc");
  // The records left out are named, each with its reason.
  EXPECT_EQ(report_.refused,
            (std::vector<ImportRefusal>{{"XYZ bhz", "станции нет в списке станций"},
                                        {"ABC lhz",
                                         "у станции ABC в списке станций нет канала lhz без кода "
                                         "местоположения"},
                                        {"abc shz",
                                         "у станции ABC в списке станций нет канала shz без кода "
                                         "местоположения"}}));
  EXPECT_EQ(report_.wfdFiles, std::vector<std::string>{"ABC/175641-05082009.BHZ"});
  ASSERT_EQ(spans.size(), 1);
  EXPECT_EQ(spans[0].station, "ABC");
  EXPECT_EQ(spans[0].channel, "BHZ");
  EXPECT_EQ(spans[0].first, kStart);
  EXPECT_EQ(spans[0].last, kStart + 3 / 40.0);

  const std::string wfd =
      test::TempDir::ReadFile(db().dir().path() / "data/ABC/175641-05082009.BHZ");
  ASSERT_EQ(wfd.size(), 512u + 16u);
  EXPECT_EQ(wfd.substr(0, 512), BuildWfdHeader("ABC", "bhz", kStart, 0.1, 40));
  EXPECT_NE(wfd.find("Start time=17 56 41\r\nStart date=05 08 2009\r\n"), std::string::npos);
  EXPECT_EQ(wfd.substr(512), Floats({1, -2, 3, 4}));

  EXPECT_EQ(Value("select count(*) from FILELIST"), "1");
  EXPECT_EQ(Value("select STA from FILELIST"), "ABC");
  EXPECT_EQ(Value("select CH from FILELIST"), "BHZ");
  EXPECT_EQ(Value("select CPATH from FILELIST"), "ABC/175641-05082009.BHZ");
  EXPECT_EQ(Value("select count(*) from FILELIST where TBEGIN > 1249495001.2 and TBEGIN < "
                  "1249495001.3 and TQTY > 0.0999 and TQTY < 0.1001 and SPS = 40"),
            "1");
  EXPECT_EQ(Value("select count(*) from FILELIST where CALIB = 0.5 and CALPER = 1.5 and GAIN = 1 "
                  "and DATATYPE = 3 and FOFF = 512 and CREATER = 'CSS2NUV_import' and TEND is "
                  "null and LCODE is null and LDDATE is not null"),
            "1");

  // The imported file is read back by the archive's own assembly.
  NUVDataBlockArray out;
  AssembleFromFileList(db().main(), db().dialect(), dataDir(), false, "ABC", "BHZ", "??", kStart,
                       kStart + 1, out);
  ASSERT_EQ(out.size(), 1);
  EXPECT_EQ(out[0].start, kStart);
  EXPECT_EQ(out[0].samples, (std::vector<float>{1, -2, 3, 4}));
  EXPECT_EQ(out[0].calib, 0.5);
}

TEST_P(ArchiveImportTest, ImportingTwiceLeavesOneRowPerFile) {
  db().dir().WriteFile("in/a.i4", std::string("\x01\0\0\0\x02\0\0\0", 8));
  db().dir().WriteFile("in/set.wfdisc", Lines({Record("ABC", "bhz", kStart, 2, "i4", "a.i4"),
                                               Record("ABC", "BHN", kStart, 2, "i4", "a.i4")}));
  Import("set.wfdisc");
  Import("set.wfdisc");
  EXPECT_EQ(Value("select count(*) from FILELIST"), "2");
  EXPECT_EQ(Value("select count(*) from FILELIST where CPATH='ABC/175641-05082009.BHZ'"), "1");
  // Rows of other files with the same name elsewhere are not touched.
  db().Exec(
      "insert into FILELIST (STA, CH, CPATH, TBEGIN) values ('ABC', 'BHZ', "
      "'OLD/175641-05082009.BHZ', 1249495001.25)");
  Import("set.wfdisc");
  EXPECT_EQ(Value("select count(*) from FILELIST"), "3");
}

TEST_P(ArchiveImportTest, UseTendWritesTheEnd) {
  db().dir().WriteFile("in/a.i4", std::string(400, '\0'));
  db().dir().WriteFile("in/set.wfdisc", Lines({Record("ABC", "bhz", 1000, 100, "i4", "a.i4")}));
  target_->useTend = true;
  Import("set.wfdisc");
  EXPECT_EQ(Value("select count(*) from FILELIST where TEND > 1002.4999 and TEND < 1002.5001"),
            "1");
}

TEST_P(ArchiveImportTest, EveryImportTypeIsConverted) {
  db().dir().WriteFile("in/t4", std::string("\x3F\xC0\0\0", 4));    // 1.5 big-endian
  db().dir().WriteFile("in/s2", std::string("\xFF\xFE", 2));        // -2
  db().dir().WriteFile("in/f4", std::string("\0\0\xC0\x3F", 4));    // 1.5
  db().dir().WriteFile("in/i2", std::string("\xFE\xFF", 2));        // -2
  db().dir().WriteFile("in/sub/s4", std::string("\0\0\x01\0", 4));  // 256
  db().dir().WriteFile(
      "in/set.wfdisc",
      Lines({Record("ABC", "bhz", 1000, 1, "t4", "t4"), Record("ABC", "bhz", 1001, 1, "s2", "s2"),
             Record("ABC", "bhz", 1002, 1, "f4", "f4"), Record("ABC", "bhz", 1003, 1, "i2", "i2"),
             Record("ABC", "bhz", 1004, 1, "s4", "s4", "sub")}));
  Import("set.wfdisc");
  const auto sample = [&](const char* name) {
    const std::string bytes = test::TempDir::ReadFile(db().dir().path() / "data/ABC" / name);
    float value = -999;
    if (bytes.size() == 516) std::memcpy(&value, bytes.data() + 512, 4);
    return value;
  };
  EXPECT_EQ(sample("001640-01011970.BHZ"), 1.5f);
  EXPECT_EQ(sample("001641-01011970.BHZ"), -2);
  EXPECT_EQ(sample("001642-01011970.BHZ"), 1.5f);
  EXPECT_EQ(sample("001643-01011970.BHZ"), -2);
  EXPECT_EQ(sample("001644-01011970.BHZ"), 256);
}

TEST_P(ArchiveImportTest, ShortDataFilesGiveZerosForTheMissingSamples) {
  db().dir().WriteFile("in/a.f4", Floats({7, 8}));
  db().dir().WriteFile("in/set.wfdisc", Lines({Record("ABC", "bhz", 1000, 4, "f4", "a.f4")}));
  Import("set.wfdisc");
  const std::string wfd =
      test::TempDir::ReadFile(db().dir().path() / "data/ABC/001640-01011970.BHZ");
  EXPECT_EQ(wfd.substr(512), Floats({7, 8, 0, 0}));
}

TEST_P(ArchiveImportTest, StoppingErrorsKeepWhatWasImportedBefore) {
  db().dir().WriteFile("in/a.f4", Floats({7}));
  db().dir().WriteFile("in/refused.wfdisc", Lines({Record("ABC", "bhz", 1000, 1, "f4", "a.f4"),
                                                   Record("ABC", "bhz", 1001, 1, "g2", "a.f4"),
                                                   Record("ABC", "bhz", 1002, 1, "f4", "a.f4")}));
  try {
    Import("refused.wfdisc");
    FAIL() << "no error";
  } catch (const ArchiveError& error) {
    EXPECT_STREQ(error.what(), "Не могу конвертировать данные типа g2");
  }
  EXPECT_EQ(Value("select count(*) from FILELIST"), "1");

  db().dir().WriteFile("in/missing.wfdisc", Lines({Record("ABC", "bhz", 1003, 1, "f4", "no.f4")}));
  try {
    Import("missing.wfdisc");
    FAIL() << "no error";
  } catch (const ArchiveError& error) {
    EXPECT_EQ(std::string(error.what()), "Ошибка открытия файла " + In("no.f4"));
  }
  EXPECT_THROW(Import("absent.wfdisc"), ArchiveError);
  EXPECT_EQ(Value("select count(*) from FILELIST"), "1");
}

TEST_P(ArchiveImportTest, MalformedLinesAreSkipped) {
  db().dir().WriteFile("in/a.f4", Floats({7}));
  std::string line = FormatWfdiscLine(Record("ABC", "bhz", 1000, 1, "f4", "a.f4"));
  std::string shortLine = line.substr(0, 282) + "\n";
  std::string badNumber = line;
  badNumber.replace(79, 8, "     1x1");
  db().dir().WriteFile("in/set.wfdisc", shortLine + badNumber + "garbage\n\n");
  EXPECT_EQ(Import("set.wfdisc").size(), 0);
  EXPECT_EQ(Value("select count(*) from FILELIST"), "0");
}

TEST_P(ArchiveImportTest, FolderImportTakesTheWfdiscFilesInNameOrder) {
  db().dir().WriteFile("in/a.f4", Floats({7, 8}));
  db().dir().WriteFile("in/b.wfdisc", Lines({Record("ABC", "bhz", 1010, 2, "f4", "a.f4")}));
  db().dir().WriteFile("in/a.WFD", Lines({Record("ABC", "bhz", 1000, 2, "f4", "a.f4")}));
  db().dir().WriteFile("in/c.txt", Lines({Record("ABC", "bhn", 1000, 2, "f4", "a.f4")}));
  CXChanArray spans;
  ImportWfdiscFolder(*target_, (db().dir().path() / "in").string(), spans, report_);
  EXPECT_EQ(report_.sourceFiles, 2);
  ASSERT_EQ(spans.size(), 1);
  EXPECT_EQ(spans[0].first, 1000);
  EXPECT_EQ(spans[0].last, 1010.025);
  EXPECT_EQ(Value("select count(*) from FILELIST"), "2");
  EXPECT_THROW(ImportWfdiscFolder(*target_, (db().dir().path() / "none").string(), spans, report_),
               ArchiveError);
}

TEST_P(ArchiveImportTest, RefusedRowsAskWhetherToGoOn) {
  db().dir().WriteFile("in/a.f4", Floats({7}));
  db().dir().WriteFile("in/set.wfdisc", Lines({Record("ABC", "bhz", 1000, 1, "f4", "a.f4"),
                                               Record("ABC", "bhz", 1001, 1, "f4", "a.f4")}));
  db().Exec("drop table FILELIST");
  prompts.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
  EXPECT_EQ(Import("set.wfdisc").size(), 1);
  ASSERT_EQ(prompts.records.size(), 2u);
  EXPECT_EQ(prompts.records[0].text,
            "Error of insert record in NUV-DB (filelist -> ABC/001640-01011970.BHZ)\nContinue?");
  EXPECT_EQ(prompts.records[0].buttons, PromptButtons::YesNo);
  // A file without its row would be found by nothing: neither stays.
  EXPECT_FALSE(std::filesystem::exists(db().dir().path() / "data/ABC/001640-01011970.BHZ"));
  EXPECT_FALSE(std::filesystem::exists(db().dir().path() / "data/ABC/001641-01011970.BHZ"));
  EXPECT_TRUE(report_.NothingImported());
  ASSERT_EQ(report_.refused.size(), 2u);
  EXPECT_EQ(report_.refused[1].what, "ABC/001641-01011970.BHZ");
  EXPECT_EQ(report_.refused[1].reason.rfind("строка FILELIST не записана: ", 0), 0u);

  prompts.records.clear();
  prompts.answers = {PromptAnswer::No};
  EXPECT_THROW(Import("set.wfdisc"), ArchiveError);
  EXPECT_EQ(prompts.records.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(db().dir().path() / "data/ABC/001640-01011970.BHZ"));
}

TEST_P(ArchiveImportTest, ReimportLeavesRowsOfLongerStationCodesAlone) {
  db().dir().WriteFile("in/a.f4", Floats({1, 2}));
  db().dir().WriteFile("in/abcd.wfdisc", Lines({Record("ABCD", "bhz", kStart, 2, "f4", "a.f4")}));
  db().dir().WriteFile("in/abc.wfdisc", Lines({Record("ABC", "bhz", kStart, 2, "f4", "a.f4")}));
  Import("abcd.wfdisc");
  Import("abc.wfdisc");
  Import("abc.wfdisc");
  EXPECT_EQ(Value("select count(*) from FILELIST where CPATH='ABCD/175641-05082009.BHZ'"), "1");
  EXPECT_EQ(Value("select count(*) from FILELIST where CPATH='ABC/175641-05082009.BHZ'"), "1");
  EXPECT_EQ(Value("select count(*) from FILELIST"), "2");
}

TEST_P(ArchiveImportTest, RecordsStartingInOneSecondKeepTheirOwnFiles) {
  db().dir().WriteFile("in/a.f4", Floats({1, 2, 3, 4}));
  db().dir().WriteFile("in/b.f4", Floats({5, 6, 7, 8}));
  db().dir().WriteFile("in/c.f4", Floats({9, 9, 9, 9}));
  // 41.25 s, 41.75 s and 41.75 s again (a duplicate record with other samples).
  db().dir().WriteFile("in/set.wfdisc",
                       Lines({Record("ABC", "bhz", kStart, 4, "f4", "a.f4"),
                              Record("ABC", "bhz", kStart + 0.5, 4, "f4", "b.f4"),
                              Record("ABC", "bhz", kStart + 0.5, 4, "f4", "c.f4")}));
  Import("set.wfdisc");
  Import("set.wfdisc");  // a second import reuses the same three names
  EXPECT_EQ(Value("select count(*) from FILELIST"), "3");
  const auto samplesOf = [&](const std::string& name) {
    const std::string bytes = test::TempDir::ReadFile(db().dir().path() / "data/ABC" / name);
    return bytes.size() > 512 ? bytes.substr(512) : std::string();
  };
  EXPECT_EQ(samplesOf("175641-05082009.BHZ"), Floats({1, 2, 3, 4}));
  EXPECT_EQ(samplesOf("175641-05082009_1.BHZ"), Floats({5, 6, 7, 8}));
  EXPECT_EQ(samplesOf("175641-05082009_2.BHZ"), Floats({9, 9, 9, 9}));
  EXPECT_FALSE(std::filesystem::exists(db().dir().path() / "data/ABC/175641-05082009_3.BHZ"));
  EXPECT_EQ(Value("select CPATH from FILELIST where TBEGIN < 1249495001.5"),
            "ABC/175641-05082009.BHZ");

  // Each row gives its own record's samples back.
  NUVDataBlockArray out;
  AssembleFromFileList(db().main(), db().dialect(), dataDir(), false, "ABC", "BHZ", "??", kStart,
                       kStart + 1, out);
  ASSERT_EQ(out.size(), 3);
  EXPECT_EQ(out[0].samples, (std::vector<float>{1, 2, 3, 4}));
  EXPECT_EQ(out[1].start, kStart + 0.5);
  EXPECT_NE(out[1].samples, out[0].samples);
  EXPECT_NE(out[2].samples, out[0].samples);
  EXPECT_NE(out[1].samples, out[2].samples);
}

TEST_P(ArchiveImportTest, WithoutADataDirectoryNothingIsWritten) {
  db().dir().WriteFile("in/a.f4", Floats({7}));
  db().dir().WriteFile("in/set.wfdisc", Lines({Record("ABC", "bhz", 1000, 1, "f4", "a.f4")}));
  for (const char* none : {"", "/", "\\"}) {
    target_->dataDir = none;
    EXPECT_EQ(ImportError("set.wfdisc"), kNoDataDirectoryMessage) << "'" << none << "'";
    CXChanArray spans;
    EXPECT_THROW(ImportWfdiscFolder(*target_, In(""), spans, report_), ArchiveError);
    EXPECT_EQ(spans.size(), 0);
  }
  EXPECT_EQ(Value("select count(*) from FILELIST"), "0");
  EXPECT_FALSE(std::filesystem::exists("/ABC/001640-01011970.BHZ"));
}

TEST_P(ArchiveImportTest, UnreadableFilesStopTheImportWithTheSystemsText) {
  // Directories open for reading, but reading them fails.
  std::filesystem::create_directories(db().dir().path() / "in/folder.f4");
  db().dir().WriteFile("in/set.wfdisc", Lines({Record("ABC", "bhz", 1000, 2, "f4", "folder.f4")}));
  EXPECT_EQ(ImportError("set.wfdisc"), "Ошибка чтения файла " + In("folder.f4") + ": это каталог");
  // An unreadable wfdisc file is not read as an empty one.
  std::filesystem::create_directories(db().dir().path() / "in/dir.wfdisc");
  EXPECT_EQ(ImportError("dir.wfdisc"), "Ошибка чтения файла " + In("dir.wfdisc") + ": это каталог");
  EXPECT_EQ(Value("select count(*) from FILELIST"), "0");
  EXPECT_FALSE(std::filesystem::exists(db().dir().path() / "data/ABC/001640-01011970.BHZ"));
}

TEST(ArchiveImportPaths, DataFilesLieBesideOrBelowTheWfdisc) {
  EXPECT_EQ(WfdiscDataFilePath("/in/", ".", "a.w"), "/in/a.w");
  EXPECT_EQ(WfdiscDataFilePath("/in/", "", "a.w"), "/in/a.w");
  EXPECT_EQ(WfdiscDataFilePath("/in/", "sub", "a.w"), "/in/sub/a.w");
  EXPECT_EQ(WfdiscDataFilePath("C:\\in\\", "sub\\x", "a.w"), "C:/in/sub/x/a.w");
  EXPECT_EQ(WfdiscDataFilePath("/in/", "/data/css", "a.w"), "/data/css/a.w");
}

NUV_DATABASE_TEST_SUITE(ArchiveImportTest);

}  // namespace
}  // namespace nuv
