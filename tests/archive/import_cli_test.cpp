// The archive imports as the analyst runs them from the command line:
// nuvcli import-mseed and import-wfdisc into a data directory, on the
// stations and channels of SITE and SITECHAN, read back with nuvcli segment
// as the waveform window asks for them, on SQLite and PostgreSQL.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "archive/wfdisc_format.h"
#include "platform/time_base.h"
#include "support/mseed_writer.h"
#include "support/nuvcli_run.h"
#include "support/test_database.h"

namespace nuv {
namespace {

using test::CliRun;
using test::ErrorText;
using test::Json;
using test::MseedChannel;
using test::PackMseed;

const double kStart = CalendarToEpoch(2024, 3, 15, 6, 20, 0);

MseedChannel Seed(const std::string& station, const std::string& channel) {
  MseedChannel c;
  c.station = station;
  c.channel = channel;
  c.start = kStart;
  c.rate = 20;
  return c;
}

std::vector<int32_t> Ramp(size_t n) {
  std::vector<int32_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<int32_t>(i % 300) * 7 - 1000;
  return v;
}

class ImportCliTest : public test::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped()) return;
    // The station as the table spells it (mixed case); its only channel in
    // the second slot, the first left empty, stored with LCODE ''.
    db().Exec("insert into SITE (STA, LAT, LON, ELEV, NGROUPS) values ('Kiv', 43.9, 42.7, 1.2, 1)");
    db().Exec(
        "insert into SITECHAN (STA, CHAN, NGROUP, CHANINDEX, SPS, LCODE) values ('Kiv', 'BHN', 1, "
        "1, 20, '')");
  }
  std::string DataDir() { return (db().dir().path() / "data").string(); }
  std::string In(const std::string& name, const std::string& bytes) {
    return db().dir().WriteFile("in/" + name, bytes).string();
  }
  CliRun Run(const std::string& args) {
    return test::Nuvcli(db(), test::Keys(db()) + "'DATA=" + DataDir() + "' " + args);
  }
  std::string Value(const std::string& sql) { return db().QueryValue(sql).value_or("<no row>"); }
  int FilesIn(const std::string& station) {
    int n = 0;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(DataDir() + "/" + station, ec))
      n += e.is_regular_file() ? 1 : 0;
    return n;
  }
  // The blocks the window gets for the table's station and channel.
  nlohmann::json Segment(const std::string& lcode) {
    const CliRun run = Run("segment Kiv BHN '" + lcode + "' " + std::to_string(kStart) + " " +
                           std::to_string(kStart + 200));
    EXPECT_EQ(run.status, 0) << run.out;
    return run.status == 0 ? Json(run)["blocks"] : nlohmann::json::array();
  }
};

TEST_P(ImportCliTest, DataOfAMixedCaseStationIsStoredAsTheTableSpellsIt) {
  const std::vector<int32_t> samples = Ramp(2400);
  const CliRun run = Run("import-mseed " + In("kiv.mseed", PackMseed(Seed("KIV", "BHN"), samples)));
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(Json(run)["files"], nlohmann::json({"KIV/062000-15032024.BHN"}));
  EXPECT_TRUE(Json(run)["refused"].empty());
  EXPECT_EQ(Value("select STA from FILELIST"), "Kiv");
  EXPECT_EQ(Value("select count(*) from FILELIST where CH = 'BHN' and LCODE is null"), "1");
  // The window asks with the table's code and the channel's location code
  // ('' here, "??" for a NULL one): both find the data.
  for (const char* lcode : {"", "??"}) {
    const nlohmann::json blocks = Segment(lcode);
    ASSERT_EQ(blocks.size(), 1u) << lcode;
    EXPECT_EQ(blocks[0]["count"], 2400);
    EXPECT_EQ(blocks[0]["samples"][301], samples[301]);
  }
}

TEST_P(ImportCliTest, NothingImportedFailsAndNamesWhatWasRefusedAndWhy) {
  // Two stations whose codes differ only in letter case: "ank" names neither.
  db().Exec("insert into SITE (STA, LAT, LON, ELEV, NGROUPS) values ('Ank', 1, 1, 1, 1)");
  db().Exec("insert into SITE (STA, LAT, LON, ELEV, NGROUPS) values ('ANK', 1, 1, 1, 1)");
  const std::string refusedOnly = PackMseed(Seed("ZZ99", "BHZ"), Ramp(100)) +
                                  PackMseed(Seed("KIV", "HHZ"), Ramp(100)) +
                                  PackMseed(Seed("ank", "BHZ"), Ramp(100));
  CliRun run = Run("import-mseed " + In("none.mseed", refusedOnly));
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_EQ(ErrorText(run),
            "Ничего не импортировано.\nПрочитано файлов miniSEED: 1\nЗаписано файлов архива: 0\n"
            "Не импортировано:\n"
            "  XX.KIV..HHZ: у станции Kiv в списке станций нет канала HHZ\n"
            "  XX.ZZ99..BHZ: станции нет в списке станций\n"
            "  XX.ank..BHZ: в списке станций несколько станций ANK, различающихся регистром "
            "букв\n");

  // The wfdisc import alike: an unknown station is listed beside what was stored...
  In("a.f4", std::string(400, '\0'));
  WfdiscRecord known;
  known.sta = "KIV";
  known.chan = "bhn";
  known.time = kStart;
  known.nsamp = 100;
  known.samprate = 20;
  known.endtime = kStart + 4.95;
  known.datatype = "f4";
  known.dir = ".";
  known.dfile = "a.f4";
  WfdiscRecord stranger = known;
  stranger.sta = "XYZ";
  run = Run("import-wfdisc " +
            In("set.wfdisc", FormatWfdiscLine(stranger) + FormatWfdiscLine(known)));
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(
      Json(run)["refused"],
      nlohmann::json::parse(R"([{"what": "XYZ bhn", "reason": "станции нет в списке станций"}])"));
  EXPECT_EQ(Value("select STA from FILELIST"), "Kiv");
  // ...and nothing stored is a failure.
  run = Run("import-wfdisc " + In("stranger.wfdisc", FormatWfdiscLine(stranger)));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ErrorText(run),
            "Ничего не импортировано.\nПрочитано файлов wfdisc: 1\nЗаписано файлов архива: 0\n"
            "Не импортировано:\n  XYZ bhn: станции нет в списке станций\n");
  EXPECT_EQ(Value("select count(*) from FILELIST"), "1");
}

TEST_P(ImportCliTest, AnotherRecordingOfTheSameSecondIsKeptBesideTheFirst) {
  const std::vector<int32_t> longer = Ramp(2400);
  const std::string path = In("day.mseed", PackMseed(Seed("KIV", "BHN"), longer));
  ASSERT_EQ(Run("import-mseed " + path).status, 0);
  // The same recording again replaces its own file and row.
  CliRun run = Run("import-mseed " + path);
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(Json(run)["keptBeside"].empty());
  EXPECT_EQ(FilesIn("KIV"), 1);
  EXPECT_EQ(Value("select count(*) from FILELIST"), "1");

  // A shorter recording of the same second erases nothing: it goes beside.
  const std::vector<int32_t> shorter(longer.begin(), longer.begin() + 200);
  run = Run("import-mseed " + In("cut.mseed", PackMseed(Seed("KIV", "BHN"), shorter)));
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(Json(run)["keptBeside"], nlohmann::json::parse(R"([{"file": "KIV/062000-15032024_1.BHN",
                                       "beside": "KIV/062000-15032024.BHN"}])"));
  EXPECT_EQ(FilesIn("KIV"), 2);
  const nlohmann::json blocks = Segment("??");
  ASSERT_EQ(blocks.size(), 2u);
  std::vector<int> counts = {blocks[0]["count"], blocks[1]["count"]};
  std::sort(counts.begin(), counts.end());
  EXPECT_EQ(counts, (std::vector<int>{200, 2400}));
}

NUV_DATABASE_TEST_SUITE(ImportCliTest);

}  // namespace
}  // namespace nuv
