// The administration lists as their editors change them: networks, controlled
// regions and the directory map, on SQLite and PostgreSQL.

#include <gtest/gtest.h>

#include "admin/directory_map.h"
#include "admin/network_editor.h"
#include "admin/region_list.h"
#include "platform/profile_file.h"
#include "support/test_database.h"

namespace nuv {
namespace {

using test::DatabaseTest;

StationTable Stations(std::initializer_list<const char*> codes) {
  StationTable table;
  for (const char* code : codes) {
    CScreenFields station;
    station.code = code;
    table.records().push_back(station);
  }
  return table;
}

TEST(NetworkEditor, GroupsKeepTheirRules) {
  const StationTable stations = Stations({"ABC", "DEF", "GHI"});
  NetworkEditor editor(stations, {{"N1", "abc;XYZ; DEF ;"}, {"N2", ""}});
  ASSERT_EQ(editor.groups().size(), 2u);
  EXPECT_EQ(editor.groups()[0].members, (std::vector<std::string>{"ABC", "DEF"}));
  EXPECT_TRUE(editor.groups()[1].members.empty());

  EXPECT_FALSE(editor.AddMember(0, "def"));  // a member already
  EXPECT_FALSE(editor.AddMember(0, "XYZ"));  // not in the station table
  EXPECT_FALSE(editor.AddMember(2, "GHI"));  // no such group
  EXPECT_TRUE(editor.AddMember(1, "ghi"));
  EXPECT_EQ(editor.groups()[1].members, std::vector<std::string>{"GHI"});

  EXPECT_FALSE(editor.CreateGroup(""));
  EXPECT_FALSE(editor.CreateGroup("  "));
  EXPECT_FALSE(editor.CreateGroup("N1"));
  EXPECT_TRUE(editor.CreateGroup("N3"));
  EXPECT_FALSE(editor.RenameGroup(2, "N2"));  // used by another group
  EXPECT_FALSE(editor.RenameGroup(2, ""));
  EXPECT_TRUE(editor.RenameGroup(2, "N3"));  // its own name
  EXPECT_TRUE(editor.RenameGroup(2, "Новая"));
  EXPECT_EQ(editor.FindGroup("Новая"), 2);

  EXPECT_FALSE(editor.RemoveMember(0, 2));
  EXPECT_TRUE(editor.RemoveMember(0, 0));
  EXPECT_FALSE(editor.DeleteGroup(-1));
  EXPECT_TRUE(editor.DeleteGroup(1));
  const std::vector<SeismoNetwork> networks = editor.Networks();
  ASSERT_EQ(networks.size(), 2u);
  EXPECT_EQ(networks[0].name, "N1");
  EXPECT_EQ(networks[0].list, "DEF;");
  EXPECT_EQ(networks[1].name, "Новая");
  EXPECT_EQ(networks[1].list, "");  // a network without members
  EXPECT_EQ(JoinStationList({"A", "B", "C"}), "A;B;C;");
}

TEST(RegionList, ShownNormalisedAndReadAsNumbers) {
  const ControlledRegion shown = NormalisedRegion({"R", 50, 80, 40, 70});
  EXPECT_EQ(shown.lat1, 40);
  EXPECT_EQ(shown.lon1, 70);
  EXPECT_EQ(shown.lat2, 50);
  EXPECT_EQ(shown.lon2, 80);
  EXPECT_EQ(RegionValueText(-12.34567), "-12.346");
  EXPECT_EQ(ParseRegionValue(" 42.5"), 42.5);
  EXPECT_EQ(ParseRegionValue("42.5с"), 42.5);  // "%f" stops at the first non-digit
  EXPECT_FALSE(ParseRegionValue(""));
  EXPECT_FALSE(ParseRegionValue("север"));
  EXPECT_FALSE(ParseRegionValue("nan"));
  EXPECT_FALSE(ParseRegionValue("inf"));
  const std::vector<ControlledRegion> regions = {{"A", 0, 0, 1, 1}, {"B", 0, 0, 1, 1}};
  EXPECT_TRUE(RegionNameTaken(regions, "B"));
  EXPECT_FALSE(RegionNameTaken(regions, "B", 1));
  EXPECT_TRUE(RegionNameTaken(regions, "A", 1));
  EXPECT_FALSE(RegionNameTaken(regions, "a"));
}

TEST(DirectoryMap, PairsAreUniqueAndWrittenInOrder) {
  test::TempDir dir;
  ProfileFile ini(dir.path() / "NUV.INI");
  DirectoryMap map;
  SetDirectoryMapEntry(map, "ARC1", "/data/a");
  SetDirectoryMapEntry(map, "ARC2", "/data/b");
  SetDirectoryMapEntry(map, "ARC1", "/data/c");  // replaces, keeps its place
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(map[0], (std::pair<std::string, std::string>{"ARC1", "/data/c"}));
  ASSERT_TRUE(WriteDirectoryMap(ini, map));
  EXPECT_EQ(ini.GetInt("DIRSMAP", "#", -1), 2);
  EXPECT_EQ(ini.GetString("DIRSMAP", "NAME1", "", 100), "ARC2");
  EXPECT_EQ(ini.GetString("DIRSMAP", "DIR0", "", 100), "/data/c");

  EXPECT_FALSE(DeleteDirectoryMapEntry(map, "arc2"));  // exact names
  EXPECT_TRUE(DeleteDirectoryMapEntry(map, "ARC1"));
  ASSERT_TRUE(WriteDirectoryMap(ini, map));
  EXPECT_EQ(ini.GetInt("DIRSMAP", "#", -1), 1);
  EXPECT_EQ(ini.GetString("DIRSMAP", "NAME0", "", 100), "ARC2");

  // A settings file that cannot be written is reported, never taken as saved.
  dir.WriteFile("blocked", "a file where a folder should be");
  ProfileFile blocked(dir.path() / "blocked" / "NUV.INI");
  EXPECT_FALSE(WriteDirectoryMap(blocked, map));
  EXPECT_NE(DirectoryMapWriteFailedText(blocked).find("blocked/NUV.INI"), std::string::npos);
}

class AdminDbTest : public DatabaseTest {
 protected:
  test::TestDatabaseOptions DatabaseOptions() const override { return {.css = true}; }
  std::string Value(const std::string& sql) { return db().QueryValue(sql).value_or("?"); }
};

TEST_P(AdminDbTest, NetworksAreSavedTogetherOrNotAtAll) {
  Workstation& ws = workstation();
  ws.networks() = {{"OLD", "X;"}};
  ASSERT_TRUE(SaveNetworkList(ws, {{"N'1", "ABC;DEF;"}, {"EMPTY", ""}}));
  EXPECT_EQ(Value("select count(*) from NETWORKS"), "2");
  EXPECT_EQ(Value("select NETLIST from NETWORKS where NETNAME='N''1'"), "ABC;DEF;");
  EXPECT_EQ(Value("select NETLIST from NETWORKS where NETNAME='EMPTY'"), "");
  EXPECT_EQ(ws.networks().size(), 2u);

  // A list that would come back cut short is refused before anything is written.
  EXPECT_FALSE(SaveNetworkList(ws, {{"LONG", std::string(5000, 'A')}}));
  EXPECT_FALSE(SaveNetworkList(ws, {{std::string(128, 'N'), ""}}));
  EXPECT_EQ(prompts.records.size(), 2u);
  EXPECT_EQ(Value("select count(*) from NETWORKS"), "2");
  EXPECT_EQ(ws.networks()[0].name, "N'1");

  // A refused insert rolls the deletion back and keeps the list in memory.
  db().Exec("create unique index NUVT_ONE on NETWORKS (NETNAME)");
  EXPECT_FALSE(SaveNetworkList(ws, {{"A", ""}, {"A", ""}}));
  EXPECT_EQ(Value("select count(*) from NETWORKS"), "2");
  EXPECT_EQ(ws.networks().size(), 2u);
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
}

TEST_P(AdminDbTest, RegionChangesGoToTheTableAtOnce) {
  Workstation& ws = workstation();
  odbc::Connection& main = ws.databases().main();
  // Entered with LAT1 > LAT2: the table keeps the values as entered.
  ASSERT_TRUE(AddRegion(main, ws.regions(), {"Кавказ", 44.5, 48.25, 40, 38.5}, prompts));
  EXPECT_EQ(Value("select count(*) from CONTREG where NAME='Кавказ' and LAT1=44.5 and LAT2=40"),
            "1");
  ASSERT_TRUE(AddRegion(main, ws.regions(), {"O'R", 1, 2, 3, 4}, prompts));
  ASSERT_TRUE(UpdateRegion(main, ws.regions(), 1, {"OR2", 5, 6, 7, 8}, prompts));
  EXPECT_EQ(Value("select count(*) from CONTREG where NAME='OR2' and LAT1=5 and LON2=8"), "1");
  EXPECT_EQ(Value("select count(*) from CONTREG"), "2");
  ASSERT_TRUE(DeleteRegion(main, ws.regions(), 1, prompts));
  EXPECT_EQ(Value("select count(*) from CONTREG"), "1");
  EXPECT_EQ(ws.regions().size(), 1u);
  EXPECT_TRUE(prompts.records.empty());
  // The next start reads them back.
  const std::vector<ControlledRegion> loaded = LoadControlledRegions(main);
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(NormalisedRegion(loaded[0]).lat1, 40);

  // Failing statements: a new region is not kept, an edited one keeps its
  // new values, a region that could not be deleted stays.
  db().Exec("drop table CONTREG");
  EXPECT_FALSE(AddRegion(main, ws.regions(), {"NEW", 1, 2, 3, 4}, prompts));
  EXPECT_EQ(ws.regions().size(), 1u);
  EXPECT_FALSE(UpdateRegion(main, ws.regions(), 0, {"EDITED", 1, 2, 3, 4}, prompts));
  EXPECT_EQ(ws.regions()[0].name, "EDITED");
  EXPECT_FALSE(DeleteRegion(main, ws.regions(), 0, prompts));
  EXPECT_EQ(ws.regions().size(), 1u);
  EXPECT_EQ(prompts.MessageTexts(), std::vector<std::string>(3, kRegionWriteFailed));
  EXPECT_EQ(prompts.records[0].icon, PromptIcon::Error);
}

TEST_P(AdminDbTest, CatalogueNamesComeFromTheCssIndex) {
  db().ExecCss(
      "insert into wfdisc (sta, chan, time, dir, dfile) values ('A', 'bhz', 1, 'D1', 'a')");
  db().ExecCss(
      "insert into wfdisc (sta, chan, time, dir, dfile) values ('B', 'bhz', 1, 'D1', 'b')");
  db().ExecCss(
      "insert into wfdisc (sta, chan, time, dir, dfile) values ('C', 'bhz', 1, 'D2', 'c')");
  std::vector<std::string> names = LoadCatalogueNames(&db().css());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"D1", "D2"}));
  EXPECT_TRUE(LoadCatalogueNames(nullptr).empty());
  db().ExecCss("drop table wfdisc");
  EXPECT_TRUE(LoadCatalogueNames(&db().css()).empty());
}

NUV_DATABASE_TEST_SUITE(AdminDbTest);

}  // namespace
}  // namespace nuv
