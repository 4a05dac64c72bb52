// The database commands of nuvcli, run as the analyst runs them.

#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "support/nuvcli_run.h"
#include "support/test_database.h"

namespace nuv {
namespace {

using test::DatabaseTest;
using test::TestDatabaseOptions;

using test::CliRun;
using test::Json;
using test::Keys;
using test::Nuvcli;

class NuvcliDbTest : public DatabaseTest {
 protected:
  TestDatabaseOptions DatabaseOptions() const override {
    return {.mainSchema = false, .css = true, .cssSchema = false};
  }
};

TEST_P(NuvcliDbTest, InitCreatesTheSchemaOnceOnEachDatabase) {
  CliRun run = Nuvcli(db(), Keys(db()) + "db init");
  ASSERT_EQ(run.status, 0) << run.out;
  nlohmann::json report = Json(run);
  EXPECT_EQ(report["database"], "main");
  EXPECT_EQ(report["dialect"], db().dialect());
  EXPECT_EQ(report["tablesCreated"].size(), 13u);
  EXPECT_EQ(report["countersAdded"], nlohmann::json({"orid", "arid", "commid", "ampid", "magid"}));
  run = Nuvcli(db(), Keys(db()) + "db init");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(Json(run)["tablesCreated"].empty());

  run = Nuvcli(db(), Keys(db()) + "db init --css");
  ASSERT_EQ(run.status, 0) << run.out;
  report = Json(run);
  EXPECT_EQ(report["database"], "css");
  EXPECT_EQ(report["tablesCreated"].size(), 13u);
  EXPECT_EQ(db().QueryCssValue("select count(*) from wfdisc"), "0");
  EXPECT_EQ(db().QueryCssValue("select count(*) from lastid"), "5");

  run = Nuvcli(db(), "'ODBC=" + db().dsn() + "' 'USER=" + db().user() +
                         "' 'PASSWORD=" + db().password() + "' db init --css");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("no CSS database configured"), std::string::npos) << run.out;
}

TEST_P(NuvcliDbTest, LastIdUpgradeAndStations) {
  ASSERT_EQ(Nuvcli(db(), Keys(db()) + "db init").status, 0);
  CliRun run = Nuvcli(db(), Keys(db()) + "db upgrade");
  ASSERT_EQ(run.status, 0) << run.out;
  nlohmann::json upgrade = Json(run);
  EXPECT_EQ(upgrade["dialect"], db().dialect());
  EXPECT_EQ(upgrade["statements"].size(), 37u);
  EXPECT_EQ(upgrade["statements"][0]["table"], "FILELIST");
  EXPECT_EQ(upgrade["statements"][0]["ok"], true);

  // Without LOCALLASTID the CSS database counts (it has no LASTID yet: -1).
  EXPECT_EQ(Json(Nuvcli(db(), Keys(db()) + "db lastid orid"))["id"], -1);
  db().Ini().WriteString("DATABASE", "LOCALLASTID", "1");
  EXPECT_EQ(Json(Nuvcli(db(), Keys(db()) + "db lastid orid"))["id"], 1);
  EXPECT_EQ(Json(Nuvcli(db(), Keys(db()) + "db lastid orid"))["id"], 2);
  EXPECT_EQ(Json(Nuvcli(db(), Keys(db()) + "db lastid nokey"))["id"], -1);

  db().Exec(
      "insert into SITE (STA, NGROUPS, ELEV, LAT, LON, NINDEX) values ('O''B', 1, 0.1, 55.1, 36.6, "
      "3)");
  db().Exec("insert into SITE (STA, NGROUPS, ELEV, LAT, LON) values ('ARU', 1, 0.25, 56.4, 58.6)");
  db().Exec(
      "insert into SITECHAN (STA, CHAN, NGROUP, CHANINDEX, SPS, LCODE) values ('O''B', 'BHE', "
      "1, 2, 20, '00')");
  run = Nuvcli(db(), Keys(db()) + "stations");
  ASSERT_EQ(run.status, 0) << run.out;
  const nlohmann::json stations = Json(run);
  ASSERT_EQ(stations.size(), 2u);
  EXPECT_EQ(stations[0]["index"], 0);
  EXPECT_EQ(stations[0]["code"], "O'B");
  EXPECT_EQ(stations[0]["lat"], 55.1);
  EXPECT_EQ(stations[0]["nindex"], 3);
  ASSERT_EQ(stations[0]["channels"].size(), 1u);
  const nlohmann::json& channel = stations[0]["channels"][0];
  EXPECT_EQ(channel["index"], 2);
  EXPECT_EQ(channel["name"], "BHE");
  EXPECT_EQ(channel["lcode"], "00");
  EXPECT_EQ(channel["rate"], 20.0);
  EXPECT_EQ(channel["lat"], 55.1);
  EXPECT_EQ(channel["elev"], 0.1);
  EXPECT_EQ(channel["component"], 2);
  EXPECT_EQ(stations[1]["nindex"], 999999999);
  EXPECT_TRUE(stations[1]["channels"].empty());
}

TEST_P(NuvcliDbTest, UnreachableDatabaseFailsWithTheSystemMessages) {
  const CliRun run = Nuvcli(db(), "ODBC=NUV_NO_SUCH_SOURCE stations");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("DSN=NUV_NO_SUCH_SOURCE;UID=nuv;PWD=nuv;"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Ошибка инициализации интерфейса к базе данных NUV"), std::string::npos);
}

NUV_DATABASE_TEST_SUITE(NuvcliDbTest);

}  // namespace
}  // namespace nuv
