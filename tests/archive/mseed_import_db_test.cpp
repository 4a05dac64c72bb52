// Import of miniSEED written by libmseed into WFD files registered in
// FILELIST, read back through the segment assembly, on SQLite and
// PostgreSQL.

#include <gtest/gtest.h>

#include <cmath>

#include "archive/archive_error.h"
#include "archive/mseed_import.h"
#include "archive/segment_assembly.h"
#include "db/station_table.h"
#include "platform/time_base.h"
#include "support/mseed_writer.h"
#include "support/test_database.h"

namespace nuv {
namespace {

using test::MseedChannel;
using test::PackMseed;

StationTable Inventory() {
  StationTable table;
  CScreenFields anmo;
  anmo.code = "ANMO";
  const char* names[] = {"BHZ", "BHN", "BHE", "HHZ", "LHZ"};
  for (int i = 0; i < 5; ++i) anmo.channels[static_cast<size_t>(i)].name = names[i];
  anmo.channels[4].lcode = "10";
  table.records().push_back(anmo);
  return table;
}

MseedChannel Channel(const std::string& chan, double start, int encoding,
                     const std::string& loc = "") {
  MseedChannel c;
  c.network = "IU";
  c.station = "ANMO";
  c.location = loc;
  c.channel = chan;
  c.start = start;
  c.encoding = encoding;
  return c;
}

// Integers that need every Steim-2 width: small steps, large jumps, sign changes.
std::vector<int32_t> Wavy(size_t n) {
  std::vector<int32_t> v(n);
  for (size_t i = 0; i < n; ++i)
    v[i] = static_cast<int32_t>(std::lround(40000 * std::sin(0.05 * static_cast<double>(i)))) +
           (i % 97 == 0 ? 300000000 : 0) - static_cast<int32_t>(i % 7);
  return v;
}

std::vector<int32_t> Ramp(size_t n) {
  std::vector<int32_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<int32_t>(3 * i) - 7;
  return v;
}

std::vector<float> AsFloats(const std::vector<int32_t>& v) {
  return std::vector<float>(v.begin(), v.end());
}

class MseedImportTest : public test::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped()) return;
    target_ = std::make_unique<ImportTarget>(
        ImportTarget{db().main(), stations_, dataDir(), false, prompts, db().dialect()});
  }
  std::string dataDir() { return (db().dir().path() / "data").string(); }
  std::string Write(const std::string& name, const std::string& bytes) {
    return db().dir().WriteFile("in/" + name, bytes).string();
  }
  std::string Value(const std::string& sql) { return db().QueryValue(sql).value_or("<no row>"); }
  MseedImportReport Import(const std::string& path) {
    MseedImportReport report;
    ImportMseedFile(*target_, path, spans_, report);
    return report;
  }
  NUVDataBlockArray Assemble(const std::string& chan, double t1, double t2,
                             const std::string& lcode = "??") {
    NUVDataBlockArray out;
    AssembleFromFileList(db().main(), db().dialect(), dataDir(), target_->useTend, "ANMO", chan,
                         lcode, t1, t2, out);
    return out;
  }

  StationTable stations_ = Inventory();
  std::unique_ptr<ImportTarget> target_;
  CXChanArray spans_;
};

TEST_P(MseedImportTest, EveryEncodingReadsBackThroughTheAssembly) {
  const double t0 = CalendarToEpoch(2021, 3, 14, 10, 20, 30.5);
  const std::vector<int32_t> ints = Wavy(3000);
  std::vector<float> floats(1000);
  for (size_t i = 0; i < floats.size(); ++i) floats[i] = 0.25f * static_cast<float>(i) - 100.125f;
  MseedChannel littleInt = Channel("BHE", t0, 3);
  littleInt.bigEndian = false;
  Write("a.mseed", PackMseed(Channel("BHZ", t0, 10), ints) +
                       PackMseed(Channel("BHN", t0, 11), ints) + PackMseed(littleInt, ints) +
                       PackMseed(Channel("HHZ", t0, 4), floats));
  const MseedImportReport report = Import(db().dir().path() / "in/a.mseed");
  EXPECT_EQ(report.sourceFiles, 1);
  EXPECT_EQ(report.wfdFiles.size(), 4u);
  EXPECT_TRUE(report.refused.empty());
  EXPECT_EQ(report.samples, 3 * 3000 + 1000);
  for (const char* chan : {"BHZ", "BHN", "BHE"}) {
    const NUVDataBlockArray out = Assemble(chan, t0, t0 + 30);
    ASSERT_EQ(out.size(), 1) << chan;
    EXPECT_EQ(out[0].start, t0);
    EXPECT_EQ(out[0].rate, 100);
    EXPECT_EQ(out[0].samples, AsFloats(ints)) << chan;
  }
  EXPECT_EQ(Assemble("HHZ", t0, t0 + 10)[0].samples, floats);
  EXPECT_EQ(Value("select CPATH from FILELIST where CH='BHZ'"), "ANMO/102030-14032021.BHZ");
  EXPECT_EQ(Value("select count(*) from FILELIST where CREATER = 'MSEED2NUV_import' and DATATYPE "
                  "= 3 and FOFF = 512 and GAIN = 1 and CALIB = 1 and LCODE is null"),
            "4");
  ASSERT_EQ(spans_.size(), 4);
  EXPECT_EQ(spans_[0].first, t0);
  EXPECT_DOUBLE_EQ(spans_[0].last, t0 + 29.99);
}

TEST_P(MseedImportTest, ARecordCrossingMidnightIsSplitIntoTwoFiles) {
  const double t0 = CalendarToEpoch(2020, 12, 31, 23, 59, 58);
  MseedChannel c = Channel("BHZ", t0, 11);
  c.recordLength = 4096;
  const std::vector<int32_t> samples = Wavy(500);  // 5 s in one record
  const std::string bytes = PackMseed(c, samples);
  ASSERT_EQ(bytes.size(), 4096u);
  target_->useTend = true;
  Import(Write("midnight.mseed", bytes));
  EXPECT_EQ(Value("select count(*) from FILELIST where CPATH in ('ANMO/235958-31122020.BHZ', "
                  "'ANMO/000000-01012021.BHZ')"),
            "2");
  EXPECT_EQ(Value("select count(*) from FILELIST where TQTY > 1.999 and TQTY < 2.001"), "1");
  // Both halves come back, one after the other.
  const NUVDataBlockArray out = Assemble("BHZ", t0, t0 + 5);
  ASSERT_EQ(out.size(), 2);
  EXPECT_EQ(out[1].start, t0 + 2);
  std::vector<float> joined = out[0].samples;
  joined.insert(joined.end(), out[1].samples.begin(), out[1].samples.end());
  EXPECT_EQ(joined, AsFloats(samples));
}

TEST_P(MseedImportTest, GapsAndOverlapsStaySeparateRows) {
  const double t0 = 1600000000;
  Write("gaps.mseed", PackMseed(Channel("BHZ", t0 + 1, 3), Wavy(100)) +  // joins the first
                          PackMseed(Channel("BHZ", t0, 3), Wavy(100)) +
                          PackMseed(Channel("BHZ", t0 + 3, 3), Wavy(200)) +    // after a 1 s gap
                          PackMseed(Channel("BHZ", t0 + 4.5, 3), Ramp(100)));  // overlapping
  const MseedImportReport report = Import(db().dir().path() / "in/gaps.mseed");
  EXPECT_EQ(report.wfdFiles.size(), 3u);
  EXPECT_EQ(Value("select count(*) from FILELIST"), "3");
  const NUVDataBlockArray out = Assemble("BHZ", t0, t0 + 10);
  ASSERT_EQ(out.size(), 3);
  EXPECT_EQ(out[0].count, 200);
  EXPECT_EQ(out[1].start, t0 + 3);
  EXPECT_EQ(out[1].samples, AsFloats(Wavy(200)));
  EXPECT_EQ(out[2].start, t0 + 4.5);
  EXPECT_EQ(out[2].samples, AsFloats(Ramp(100)));
}

TEST_P(MseedImportTest, UnknownChannelsAreReportedAndLocationsNotMixed) {
  const int sites = std::stoi(Value("select count(*) from SITE"));
  MseedChannel stranger = Channel("BHZ", 1000, 3);
  stranger.station = "NOPE";
  Write("set.mseed", PackMseed(stranger, Wavy(10)) +
                         PackMseed(Channel("LHZ", 1000, 3, "10"), Wavy(10)) +  // exact location
                         PackMseed(Channel("BHZ", 1000, 3, "00"), Wavy(10)) +  // taken by "??"
                         PackMseed(Channel("BHZ", 1000, 3, "20"), Wavy(10)) +  // would mix in
                         PackMseed(Channel("LHZ", 1000, 3), Wavy(10)) +        // no such channel
                         PackMseed(Channel("EHZ", 1000, 3), Wavy(10)));
  const MseedImportReport report = Import(db().dir().path() / "in/set.mseed");
  EXPECT_EQ(report.refused,
            (std::vector<ImportRefusal>{
                {"IU.ANMO..EHZ", "у станции ANMO в списке станций нет канала EHZ"},
                {"IU.ANMO..LHZ", "у станции ANMO в списке станций нет канала LHZ"},
                {"IU.ANMO.20.BHZ", "канал ANMO BHZ уже получил данные IU.ANMO.00.BHZ"},
                {"IU.NOPE..BHZ", "станции нет в списке станций"}}));
  EXPECT_EQ(Value("select count(*) from SITE"), std::to_string(sites));
  EXPECT_EQ(Value("select count(*) from FILELIST"), "2");
  EXPECT_EQ(Value("select LCODE from FILELIST where CH='LHZ'"), "10");
  EXPECT_EQ(Value("select count(*) from FILELIST where CH='BHZ' and LCODE is null"), "1");
  EXPECT_EQ(Assemble("LHZ", 1000, 1001, "10").size(), 1);
  EXPECT_EQ(Assemble("BHZ", 1000, 1001).size(), 1);
}

TEST_P(MseedImportTest, FoldersSkipForeignFilesAndDamagedFilesStoreNothing) {
  const std::string good = PackMseed(Channel("BHZ", 5000, 11), Wavy(2000));
  Write("folder/1.mseed", good);
  Write("folder/2.txt", "not miniSEED at all, just some text that is long enough to look at");
  Write("folder/3.mseed", PackMseed(Channel("BHN", 5000, 11), Wavy(2000)));
  MseedImportReport report;
  ImportMseedFolder(*target_, (db().dir().path() / "in/folder").string(), spans_, report);
  EXPECT_EQ(report.sourceFiles, 2);
  ASSERT_EQ(report.notMseed.size(), 1u);
  EXPECT_NE(report.notMseed[0].find("2.txt"), std::string::npos);
  EXPECT_EQ(Value("select count(*) from FILELIST"), "2");

  EXPECT_THROW(Import(db().dir().path() / "in/folder/2.txt"), ArchiveError);
  const std::string cut = PackMseed(Channel("BHE", 5000, 11), Wavy(2000));
  EXPECT_THROW(Import(Write("cut.mseed", cut.substr(0, cut.size() - 10))), ArchiveError);
  EXPECT_EQ(Value("select count(*) from FILELIST where CH='BHE'"), "0");
  EXPECT_THROW(Import((db().dir().path() / "in/missing.mseed").string()), ArchiveError);
}

NUV_DATABASE_TEST_SUITE(MseedImportTest);

}  // namespace
}  // namespace nuv
