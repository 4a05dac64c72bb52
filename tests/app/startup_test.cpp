// The core start-up sequence: its fixed order, the connections and lists of
// the main frame's construction, and what a workstation without database has.

#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_database.h"

namespace nuv {
namespace {

using test::DatabaseTest;

class StartupTest : public DatabaseTest {};

TEST_P(StartupTest, StepsRunInTheirFixedOrder) {
  db().Ini().WriteString("NUV", "DIR", db().dir().path().string() + "/nuvhome  ");
  db().Ini().WriteString("DATA", "DIR", "/ini/data");
  db().Ini().WriteString("DIRSMAP", "#", "1");
  db().Ini().WriteString("DIRSMAP", "NAME0", "remote");
  db().Ini().WriteString("DIRSMAP", "DIR0", "/local");
  db().Exec("insert into SITE (STA, NGROUPS, ELEV, LAT, LON) values ('OBN', 1, 0.1, 55.1, 36.6)");
  db().Exec("insert into NETWORKS (NETNAME, NETLIST) values ('N', 'OBN')");
  db().Exec("insert into CONTREG (NAME, LAT1, LON1, LAT2, LON2) values ('R', 1, 2, 3, 4)");

  StartupOptions options;
  options.args = db().Keys();
  options.args.push_back("DATA='/args/data'");
  options.settingsDir = db().settingsDir();
  options.executableDir = "/never/used/";
  int hookCalls = 0;
  options.loadTravelTimes = [&](Workstation& ws) {
    ++hookCalls;
    // After the command line, the home directory and the NUV.INI keys, before
    // the directory map and the connections.
    EXPECT_EQ(ws.config().homeDir, db().dir().path().string() + "/nuvhome/");
    EXPECT_EQ(ws.config().dataDir, "/args/data");
    EXPECT_TRUE(ws.config().dirsMap.empty());
    EXPECT_FALSE(ws.databases().mainOpen());
  };
  std::unique_ptr<Workstation> ws = CreateWorkstation(options, prompts);
  EXPECT_EQ(hookCalls, 1);
  ASSERT_EQ(ws->config().dirsMap.size(), 1u);
  EXPECT_FALSE(ws->databases().mainOpen());
  EXPECT_TRUE(ws->stations().empty());

  EXPECT_TRUE(ConnectWorkstation(*ws));
  EXPECT_TRUE(ws->databases().mainOpen());
  EXPECT_EQ(ws->stations().size(), 1);
  EXPECT_EQ(ws->networks().size(), 1u);
  EXPECT_EQ(ws->regions().size(), 1u);
  EXPECT_TRUE(prompts.records.empty());
}

TEST_P(StartupTest, ListsAreNotReloadedOnReconnect) {
  Workstation& ws = workstation();
  db().Exec("insert into SITE (STA, NGROUPS, ELEV, LAT, LON) values ('OBN', 1, 0.1, 55.1, 36.6)");
  prompts.answers = {PromptAnswer::Yes};
  ASSERT_TRUE(ReconnectDatabases(ws));
  EXPECT_TRUE(ws.stations().empty());
}

TEST_P(StartupTest, AnUnreadablePhaselistIsShownToTheAnalyst) {
  const std::string home = db().dir().path().string() + "/nuvhome";
  std::filesystem::create_directories(home + "/phases/phaselist");
  db().Ini().WriteString("NUV", "DIR", home);
  StartupOptions options;
  options.args = db().Keys();
  options.settingsDir = db().settingsDir();
  options.loadTravelTimes = [](Workstation& ws) { LoadTravelTimeTables(ws); };
  std::unique_ptr<Workstation> ws = CreateWorkstation(options, prompts);
  ASSERT_EQ(prompts.records.size(), 1u);
  EXPECT_EQ(prompts.records[0].icon, PromptIcon::Error);
  EXPECT_EQ(prompts.records[0].text,
            "Ошибка чтения файла " + home + "/phases/phaselist: это каталог");
  EXPECT_EQ(ws->phaseTypes().Count(), 64);  // the built-in list stands in
}

NUV_DATABASE_TEST_SUITE(StartupTest);

}  // namespace
}  // namespace nuv
