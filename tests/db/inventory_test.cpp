// The station table, the network list, the controlled regions and the
// EVENTLIST marks as loaded from the main database, with every NULL rule,
// and the saving of the network list.

#include "db/inventory.h"

#include <gtest/gtest.h>

#include <ctime>

#include "db/dialect.h"
#include "support/test_database.h"

namespace nuv {
namespace {

using test::DatabaseTest;

class InventoryTest : public DatabaseTest {
 protected:
  void Site(const std::string& values) {
    db().Exec(
        "insert into SITE (STA, LAT, LON, ELEV, NGROUPS, NINDEX, REFSTA, DNORTH, DEAST) values (" +
        values + ")");
  }
  void Chan(const std::string& values) {
    db().Exec(
        "insert into SITECHAN (STA, CHAN, CALIBFILE, NGROUP, CHANINDEX, SPS, LAT, LON, EDEPH, "
        "LCODE) values (" +
        values + ")");
  }
};

TEST_P(InventoryTest, StationsInRowOrderWithTheirNullRules) {
  Site("'OBN', 55.1, 36.6, 0.16, 1, 7, 'ARR', 1.5, -2.5");
  Site("'ARU', 56.4, 58.6, 0.25, 2, NULL, NULL, NULL, NULL");
  Site("'NOLAT', NULL, 1, 1, 1, 1, NULL, NULL, NULL");
  Site("'NOLON', 1, NULL, 1, 1, 1, NULL, NULL, NULL");
  Site("'NOELEV', 1, 1, NULL, 1, 1, NULL, NULL, NULL");
  Site("'NOGROUPS', 1, 1, 1, NULL, 1, NULL, NULL, NULL");
  Site("NULL, 1, 1, 1, 1, 1, NULL, NULL, NULL");
  Site("'KIV', 43.96, 42.69, 1.21, 1, 3, '', 0, 0");
  const StationTable& table = workstation().stations();
  ASSERT_EQ(table.size(), 3);
  EXPECT_EQ(table[0].code, "OBN");
  EXPECT_EQ(table[0].nindex, 7);
  EXPECT_EQ(table[0].ngroups, 1);
  EXPECT_FLOAT_EQ(table[0].lat, 55.1f);
  EXPECT_FLOAT_EQ(table[0].lon, 36.6f);
  EXPECT_FLOAT_EQ(table[0].elev, 0.16f);
  EXPECT_EQ(table[0].refsta, "ARR");
  EXPECT_FLOAT_EQ(table[0].dnorth, 1.5f);
  EXPECT_FLOAT_EQ(table[0].deast, -2.5f);
  EXPECT_EQ(table[1].code, "ARU");
  EXPECT_EQ(table[1].nindex, 999999999);  // sorts after every numbered station
  EXPECT_EQ(table[1].refsta, "");
  EXPECT_EQ(table[1].dnorth, 0.0f);
  EXPECT_EQ(table[1].deast, 0.0f);
  EXPECT_EQ(table[2].code, "KIV");
  EXPECT_TRUE(prompts.records.empty());
}

TEST_P(InventoryTest, ChannelIndexFromGroupAndComponent) {
  Site("'OBN', 55.1, 36.6, 0.16, 3, 1, NULL, NULL, NULL");
  Chan("'OBN', 'BHE', NULL, 1, 2, 20, 55, 36, 0.1, NULL");  // index 2
  Chan("'OBN', 'LHZ', NULL, 2, 0, 1, 55, 36, 0.1, NULL");   // index 3
  Chan("'OBN', 'XXX', NULL, 9, 0, 1, 55, 36, 0.1, NULL");   // index 24: ignored
  Chan("'OBN', 'NEG', NULL, 0, 0, 1, 55, 36, 0.1, NULL");   // index -3: ignored
  Chan("'OBN', 'LAST', NULL, 8, 2, 1, 55, 36, 0.1, NULL");  // index 23
  Chan("'OBN', 'BHZ', NULL, 1, 0, 20, 55, 36, 0.1, NULL");  // index 0
  Chan("'OBN', 'OLD', NULL, 1, 1, 20, 55, 36, 0.1, NULL");  // index 1, replaced below
  Chan("'OBN', 'BHN', NULL, 1, 1, 40, 55, 36, 0.1, NULL");  // index 1
  Chan("'OBN', NULL, NULL, 3, 0, 20, 55, 36, 0.1, NULL");   // NULL chan: skipped
  Chan("'OBN', 'NOGRP', NULL, NULL, 0, 20, 55, 36, 0.1, NULL");
  Chan("'OBN', 'NOIDX', NULL, 3, NULL, 20, 55, 36, 0.1, NULL");
  Chan("'OBN', 'NOSPS', NULL, 3, 1, NULL, 55, 36, 0.1, NULL");
  Chan("'ARU', 'BHZ', NULL, 3, 0, 20, 55, 36, 0.1, NULL");  // another station
  const CScreenFields& station = workstation().stations()[0];
  const char* expected[24] = {"BHZ", "BHN", "BHE", "LHZ"};
  expected[23] = "LAST";
  for (int i = 0; i < 24; ++i)
    EXPECT_EQ(station.channels[i].name, expected[i] ? expected[i] : "") << "index " << i;
  EXPECT_EQ(station.channels[1].rate, 40.0);
  EXPECT_EQ(station.channels[2].component, 2);
  EXPECT_EQ(station.channels[3].component, 0);
}

TEST_P(InventoryTest, ChannelNullRules) {
  Site("'OBN', 55.1, 36.6, 0.16, 1, 1, NULL, NULL, NULL");
  Chan("'OBN', 'BHZ', 'obn_bhz.fap', 1, 0, 20, 55.2, 36.7, 0.2, '00'");
  Chan("'OBN', 'BHN', NULL, 1, 1, 20, NULL, 36.7, 0.2, NULL");
  Chan("'OBN', 'BHE', NULL, 1, 2, 20, 55.2, 36.7, NULL, NULL");
  const CScreenFields& station = workstation().stations()[0];
  const ChannelEntry& z = station.channels[0];
  EXPECT_EQ(z.calibFile, "obn_bhz.fap");
  EXPECT_EQ(z.lcode, "00");
  EXPECT_FLOAT_EQ(z.lat, 55.2f);
  EXPECT_FLOAT_EQ(z.lon, 36.7f);
  EXPECT_FLOAT_EQ(z.elev, 0.2f);
  EXPECT_EQ(z.rate, 20.0);
  // NULL latitude: the station's position, even though lon and edeph are present.
  const ChannelEntry& n = station.channels[1];
  EXPECT_EQ(n.calibFile, "");
  EXPECT_EQ(n.lcode, "??");
  EXPECT_FLOAT_EQ(n.lat, 55.1f);
  EXPECT_FLOAT_EQ(n.lon, 36.6f);
  EXPECT_FLOAT_EQ(n.elev, 0.16f);
  const ChannelEntry& e = station.channels[2];
  EXPECT_FLOAT_EQ(e.lat, 55.1f);
  EXPECT_FLOAT_EQ(e.elev, 0.16f);
}

TEST_P(InventoryTest, LookupsByCodeNameAndLocationCode) {
  Site("'OBN', 55.1, 36.6, 0.16, 2, 1, NULL, NULL, NULL");
  Site("'obn', 1, 1, 1, 1, 2, NULL, NULL, NULL");
  Chan("'OBN', 'BHZ', NULL, 1, 0, 20, NULL, NULL, NULL, '00'");
  Chan("'OBN', 'BHZ', NULL, 1, 1, 20, NULL, NULL, NULL, NULL");
  Chan("'OBN', 'LHZ', NULL, 2, 0, 1, NULL, NULL, NULL, '10'");
  Chan("'OBN', 'HHZ', NULL, 2, 2, 100, NULL, NULL, NULL, ''");  // '' is no code, as NULL is
  const StationTable& table = workstation().stations();
  EXPECT_EQ(table.FindStation("Obn"), 0);
  EXPECT_EQ(table.FindStation(""), -1);
  EXPECT_EQ(table.FindStation("ARU"), -1);
  EXPECT_EQ(table.FindStationExact("obn"), 1);
  EXPECT_EQ(table.FindStationExact("Obn"), -1);
  // Without a location code the name finds only the entry that has none.
  EXPECT_EQ(table.FindChannel(0, "bhz"), 1);
  EXPECT_EQ(table.FindChannel(0, "BHZ", "00"), 0);
  EXPECT_EQ(table.FindChannel(0, "BHZ", "10"), -1);
  // Entries after the gaps at index 2 and 4 are found too.
  EXPECT_EQ(table.FindChannel(0, "LHZ", "10"), 3);
  EXPECT_EQ(table.FindChannel(0, "hhz"), 5);
  EXPECT_EQ(table.FindChannel(0, "HHZ", ""), 5);
  EXPECT_EQ(table.FindChannel(0, "HHZ", "00"), -1);
  EXPECT_EQ(table.FindChannel(0, "LHZ", " 10 "), 3);
  EXPECT_EQ(table.FindChannel(0, ""), -1);
  EXPECT_EQ(table.FindChannel(5, "BHZ"), -1);
}

TEST_P(InventoryTest, QuotesInStationCodes) {
  Site("'O''B', 55.1, 36.6, 0.16, 1, 1, NULL, NULL, NULL");
  Chan("'O''B', 'BHZ', NULL, 1, 0, 20, NULL, NULL, NULL, NULL");
  Chan("'O', 'BHN', NULL, 1, 1, 20, NULL, NULL, NULL, NULL");
  const StationTable& table = workstation().stations();
  ASSERT_EQ(table.size(), 1);
  EXPECT_EQ(table[0].code, "O'B");
  EXPECT_EQ(table[0].channels[0].name, "BHZ");
  EXPECT_FALSE(table[0].channels[1].used());
}

TEST_P(InventoryTest, LongTextsAreCutToTheirBuffers) {
  Site("'ABCDEFGHIJKLMNOPQRS', 1, 1, 1, 1, 1, NULL, NULL, NULL");
  db().Exec("update SITE set STA='ABCDEFGHIJKLMNOPQRST'");  // 20 characters
  db().Exec("insert into NETWORKS (NETNAME, NETLIST) values ('" + std::string(128, 'N') +
            "', 'A')");
  Workstation& ws = workstation();
  EXPECT_EQ(ws.stations()[0].code, "ABCDEFGHIJKLMNOPQRS");
  EXPECT_EQ(ws.networks()[0].name.size(), 127u);
  EXPECT_EQ(LimitText("абв", 3), "а");  // never half a character
}

TEST_P(InventoryTest, SelectionWindowStartsAtLoadingTime) {
  Site("'OBN', 55.1, 36.6, 0.16, 1, 1, NULL, NULL, NULL");
  const std::time_t before = std::time(nullptr);
  const SelectionWindow& window = workstation().stations()[0].selection;
  std::tm local{};
  localtime_r(&before, &local);
  EXPECT_EQ(window.year, local.tm_year + 1900);
  EXPECT_EQ(window.LengthSeconds(), 60.0);
  EXPECT_EQ(window.millisecond, 0);
}

TEST_P(InventoryTest, NetworksSkipNullsAndSaveReplacesTheList) {
  db().Exec("insert into NETWORKS (NETNAME, NETLIST) values ('Kavkaz', 'KIV;SOC')");
  db().Exec("insert into NETWORKS (NETNAME, NETLIST) values (NULL, 'OBN')");
  db().Exec("insert into NETWORKS (NETNAME, NETLIST) values ('Empty', NULL)");
  Workstation& ws = workstation();
  ASSERT_EQ(ws.networks().size(), 1u);
  EXPECT_EQ(ws.networks()[0].name, "Kavkaz");
  EXPECT_EQ(ws.networks()[0].list, "KIV;SOC");

  const std::vector<SeismoNetwork> edited = {{"Ural's", "ARU;O'B"}, {"Kavkaz", "KIV"}};
  ASSERT_TRUE(SaveNetworks(ws.databases().main(), edited, prompts));
  const std::vector<SeismoNetwork> loaded = LoadNetworks(ws.databases().main());
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].name, "Ural's");
  EXPECT_EQ(loaded[0].list, "ARU;O'B");
  EXPECT_EQ(db().QueryValue("select count(*) from NETWORKS"), "2");
  ASSERT_TRUE(SaveNetworks(ws.databases().main(), {}, prompts));
  EXPECT_EQ(db().QueryValue("select count(*) from NETWORKS"), "0");
  EXPECT_TRUE(prompts.records.empty());
}

TEST_P(InventoryTest, RefusedNetworkSaveRollsBack) {
  db().Exec("insert into NETWORKS (NETNAME, NETLIST) values ('Kavkaz', 'KIV;SOC')");
  if (db().dialect() == kDialectSqlite)
    db().Exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON NETWORKS WHEN NEW.NETNAME='Bad' BEGIN "
        "SELECT RAISE(ABORT, 'network refused'); END");
  else
    db().Exec("ALTER TABLE NETWORKS ADD CONSTRAINT refuse CHECK (NETNAME <> 'Bad')");
  Workstation& ws = workstation();
  EXPECT_FALSE(SaveNetworks(ws.databases().main(), {{"Good", "OBN"}, {"Bad", "ARU"}}, prompts));
  ASSERT_EQ(prompts.records.size(), 1u);
  EXPECT_EQ(prompts.records[0].icon, PromptIcon::Error);
  EXPECT_FALSE(prompts.records[0].text.empty());
  const std::vector<SeismoNetwork> kept = LoadNetworks(db().main());
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].name, "Kavkaz");
  // The connection is usable again and back in auto-commit.
  EXPECT_TRUE(SaveNetworks(ws.databases().main(), {{"Good", "OBN"}}, prompts));
  EXPECT_EQ(LoadNetworks(db().main()).size(), 1u);
}

TEST_P(InventoryTest, ControlledRegionsSkipRowsWithNulls) {
  db().Exec(
      "insert into CONTREG (NAME, LAT1, LON1, LAT2, LON2) values ('Хибины', 67, 32, 68.5, 35)");
  db().Exec("insert into CONTREG (NAME, LAT1, LON1, LAT2, LON2) values (NULL, 1, 2, 3, 4)");
  db().Exec("insert into CONTREG (NAME, LAT1, LON1, LAT2, LON2) values ('x', 1, NULL, 3, 4)");
  const auto& regions = workstation().regions();
  ASSERT_EQ(regions.size(), 1u);
  EXPECT_EQ(regions[0].name, "Хибины");
  EXPECT_EQ(regions[0].lat1, 67.0);
  EXPECT_EQ(regions[0].lon2, 35.0);
}

TEST_P(InventoryTest, SystemEventsOfAStationAndInterval) {
  db().Exec("insert into EVENTLIST (STA, TBEGIN, EVENT_TYPE) values ('OBN', 1000.5, 2)");
  db().Exec("insert into EVENTLIST (STA, TBEGIN, EVENT_TYPE) values ('OBN', 2000, 1)");
  db().Exec("insert into EVENTLIST (STA, TBEGIN, EVENT_TYPE) values ('ARU', 1500, 1)");
  db().Exec("insert into EVENTLIST (STA, TBEGIN, EVENT_TYPE) values ('O''B', 1500, 3)");
  const auto events = LoadSystemEvents(db().main(), "OBN", 1000, 2000);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].tbegin + events[1].tbegin, 3000.5);
  EXPECT_EQ(LoadSystemEvents(db().main(), "O'B", 0, 5000).at(0).eventType, 3);
  EXPECT_TRUE(LoadSystemEvents(db().main(), "OBN", 2001, 3000).empty());
}

TEST_P(InventoryTest, MissingTablesLeaveTheListsEmpty) {
  Site("'OBN', 55.1, 36.6, 0.16, 1, 1, NULL, NULL, NULL");
  db().Exec("DROP TABLE SITECHAN");
  db().Exec("DROP TABLE NETWORKS");
  db().Exec("DROP TABLE CONTREG");
  Workstation& ws = workstation();
  ASSERT_EQ(ws.stations().size(), 1);
  EXPECT_FALSE(ws.stations()[0].channels[0].used());
  EXPECT_TRUE(ws.networks().empty());
  EXPECT_TRUE(ws.regions().empty());
  db().Exec("DROP TABLE SITE");
  LoadStationTable(ws.databases().main(), ws.stations());
  EXPECT_TRUE(ws.stations().empty());
  EXPECT_TRUE(prompts.records.empty());
}

NUV_DATABASE_TEST_SUITE(InventoryTest);

}  // namespace
}  // namespace nuv
