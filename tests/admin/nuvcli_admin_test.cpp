// The administration commands of nuvcli, run as the analyst runs them.

#include <gtest/gtest.h>

#include <filesystem>

#include "archive/disk_loop.h"
#include "platform/strformat.h"
#include "support/nuvcli_run.h"

namespace nuv {
namespace {

using test::CliRun;
using test::DatabaseTest;
namespace fs = std::filesystem;

class NuvcliAdminTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped()) return;
    for (const char* sta : {"ABC", "DEF", "GHI"})
      db().Exec(
          StrFormat("insert into SITE (STA, NGROUPS, ELEV, LAT, LON) values ('%s', 1, 0, "
                    "50, 70)",
                    sta));
  }
  CliRun Run(const std::string& arguments) {
    return test::Nuvcli(db(), test::Keys(db()) + arguments);
  }
  std::string DataDir() { return (db().dir().path() / "data").string(); }
  std::string DataKey() { return "'DATA=" + DataDir() + "' "; }
  void AddRow(const std::string& sta, const std::string& cpath, double tbegin) {
    db().Exec(StrFormat(
        "insert into FILELIST (STA, CH, CPATH, TBEGIN, TQTY, SPS, FOFF, CREATER) values ('%s', "
        "'BHZ', '%s', %.3f, 60, 20, 512, 'NUVREC')",
        sta.c_str(), cpath.c_str(), tbegin));
    db().dir().WriteFile("data/" + cpath, "x");
  }
  std::string Value(const std::string& sql) { return db().QueryValue(sql).value_or("?"); }
};

TEST_P(NuvcliAdminTest, NetworksAreListedAndSaved) {
  db().Exec("insert into NETWORKS (NETNAME, NETLIST) values ('OLD', 'ABC;XYZ;')");
  CliRun run = Run("networks list");
  ASSERT_EQ(run.status, 0) << test::ErrorText(run);
  EXPECT_EQ(test::Json(run)[0]["stations"], nlohmann::json({"ABC"}));

  db().dir().WriteFile("nets.json",
                       R"([{"name": "K'NET", "stations": ["def", "ABC"]}, {"name": "EMPTY"}])");
  run = Run("networks save '" + (db().dir().path() / "nets.json").string() + "'");
  ASSERT_EQ(run.status, 0) << test::ErrorText(run);
  EXPECT_EQ(test::Json(run).size(), 2u);
  EXPECT_EQ(Value("select NETLIST from NETWORKS where NETNAME='K''NET'"), "DEF;ABC;");
  EXPECT_EQ(Value("select NETLIST from NETWORKS where NETNAME='EMPTY'"), "");
  EXPECT_EQ(Value("select count(*) from NETWORKS"), "2");

  // Unknown stations, repeated names and broken files change nothing.
  for (const char* bad :
       {R"([{"name": "A", "stations": ["NOPE"]}])", R"([{"name": "A"}, {"name": "A"}])",
        R"([{"name": ""}])", R"({"name": "A"})", R"([{"name"})"}) {
    db().dir().WriteFile("bad.json", bad);
    run = Run("networks save '" + (db().dir().path() / "bad.json").string() + "'");
    EXPECT_EQ(run.status, 1) << bad;
    EXPECT_FALSE(test::ErrorText(run).empty()) << bad;
  }
  EXPECT_EQ(Value("select count(*) from NETWORKS"), "2");
  EXPECT_EQ(Run("networks save /no/such/file.json").status, 1);
}

TEST_P(NuvcliAdminTest, RegionsAreAddedAndDeleted) {
  CliRun run = Run("regions add 'Алтай' 52.5 90 48 82.25");
  ASSERT_EQ(run.status, 0) << test::ErrorText(run);
  EXPECT_EQ(Value("select count(*) from CONTREG where LAT1=52.5 and LON2=82.25"), "1");
  run = Run("regions add 'Алтай' 1 2 3 4");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(test::ErrorText(run).find("Регион уже существует! Выберите другое имя."),
            std::string::npos)
      << test::ErrorText(run);
  EXPECT_EQ(Run("regions add X 1 2 nan 4").status, 1);
  EXPECT_EQ(Run("regions add X 1 2 север 4").status, 1);
  EXPECT_EQ(Run("regions add '' 1 2 3 4").status, 1);
  run = Run("regions list");
  ASSERT_EQ(run.status, 0) << test::ErrorText(run);
  ASSERT_EQ(test::Json(run).size(), 1u);
  EXPECT_EQ(test::Json(run)[0]["lat1"], 52.5);  // as entered

  EXPECT_EQ(Run("regions delete Нет").status, 1);
  run = Run("regions delete 'Алтай'");
  ASSERT_EQ(run.status, 0) << test::ErrorText(run);
  EXPECT_EQ(Value("select count(*) from CONTREG"), "0");
}

TEST_P(NuvcliAdminTest, DirectoryMapIsWrittenToTheSettings) {
  ASSERT_EQ(Run("dirsmap set ARC1 /data/one").status, 0);
  ASSERT_EQ(Run("dirsmap set ARC2 /data/two").status, 0);
  CliRun run = Run("dirsmap set ARC1 /data/three");
  ASSERT_EQ(run.status, 0) << test::ErrorText(run);
  EXPECT_EQ(test::Json(run), nlohmann::json::parse(R"([{"name": "ARC1", "dir": "/data/three"},
                                      {"name": "ARC2", "dir": "/data/two"}])"));
  EXPECT_EQ(db().Ini().GetInt("DIRSMAP", "#", -1), 2);
  EXPECT_EQ(Run("dirsmap delete ARC9").status, 1);
  ASSERT_EQ(Run("dirsmap delete ARC1").status, 0);
  run = Run("dirsmap list");
  ASSERT_EQ(run.status, 0) << test::ErrorText(run);
  ASSERT_EQ(test::Json(run).size(), 1u);
  EXPECT_EQ(test::Json(run)[0]["name"], "ARC2");
  EXPECT_EQ(db().Ini().GetString("DIRSMAP", "NAME0", "", 100), "ARC2");
}

TEST_P(NuvcliAdminTest, DiskLoopListsAndDeletesOnlyWhenAsked) {
  AddRow("ABC", "ABC/1.BHZ", 1000);
  AddRow("ABC", "ABC/2.BHZ", 5000);
  AddRow("DEF", "DEF/1.BHZ", 1000);
  AddRow("GHI", "GHI/1.BHZ", 1000);
  CliRun run = Run(DataKey() + "disk-loop list ABC --before 5000");
  ASSERT_EQ(run.status, 0) << test::ErrorText(run);
  ASSERT_EQ(test::Json(run).size(), 1u);
  EXPECT_EQ(test::Json(run)[0]["file"], DataDir() + "/ABC/1.BHZ");
  EXPECT_EQ(test::Json(run)[0]["deletable"], true);

  // Without --yes the question is answered No.
  run = Run(DataKey() + "disk-loop delete ABC --before 5000");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(test::ErrorText(run).find("Удалить файлы  с данными станции ABC в интервале 01/01/1970 "
                                      "00:00:00 - 01/01/1970 01:23:20"),
            std::string::npos)
      << test::ErrorText(run);
  EXPECT_TRUE(fs::exists(db().dir().path() / "data/ABC/1.BHZ"));

  run = Run(DataKey() + "disk-loop delete ABC --before 5000 --yes");
  ASSERT_EQ(run.status, 0) << test::ErrorText(run);
  EXPECT_EQ(test::Json(run)["deleted"], nlohmann::json({"ABC/1.BHZ"}));
  EXPECT_FALSE(fs::exists(db().dir().path() / "data/ABC/1.BHZ"));
  EXPECT_TRUE(fs::exists(db().dir().path() / "data/ABC/2.BHZ"));

  db().Exec("insert into NETWORKS (NETNAME, NETLIST) values ('NET', 'DEF;GHI;')");
  EXPECT_EQ(Run(DataKey() + "disk-loop delete --network NONE --yes").status, 1);
  run = Run(DataKey() + "disk-loop delete --network NET --yes");
  ASSERT_EQ(run.status, 0) << test::ErrorText(run);
  EXPECT_EQ(test::Json(run)["count"], 2);
  EXPECT_EQ(Value("select count(*) from FILELIST"), "1");
}

TEST_P(NuvcliAdminTest, DiskLoopRefusesWithoutDataDirectoryOrWhenFilesStay) {
  AddRow("ABC", "ABC/1.BHZ", 1000);
  // No DATA= and no [DATA] DIR: the data directory would be "/".
  CliRun run = Run("disk-loop delete ABC --yes");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(test::ErrorText(run).find(kNoDataDirectory), std::string::npos) << test::ErrorText(run);
  EXPECT_EQ(Value("select count(*) from FILELIST"), "1");

  // A file that cannot be deleted keeps its row and fails the command.
  fs::remove(db().dir().path() / "data/ABC/1.BHZ");
  db().dir().WriteFile("data/ABC/1.BHZ/inner", "x");
  run = Run(DataKey() + "disk-loop delete ABC --yes");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(test::ErrorText(run).find("Ошибка удаления файла"), std::string::npos)
      << test::ErrorText(run);
  EXPECT_EQ(Value("select count(*) from FILELIST"), "1");
  EXPECT_EQ(Run(DataKey() + "disk-loop delete ABC --before soon --yes").status, 1);
}

NUV_DATABASE_TEST_SUITE(NuvcliAdminTest);

}  // namespace
}  // namespace nuv
