// The schema code on both back ends: every table and counter is created,
// a second run changes nothing, and a workstation built by the fixture is
// connected with the right dialect.

#include "db/schema.h"

#include <gtest/gtest.h>

#include "db/dialect.h"
#include "support/test_database.h"

namespace nuv {
namespace {

using test::DatabaseTest;
using test::TestDatabaseOptions;

class SchemaTest : public DatabaseTest {
 protected:
  TestDatabaseOptions DatabaseOptions() const override { return {.css = true}; }
};

TEST_P(SchemaTest, CreatesEveryTableAndCounter) {
  for (const TableDef& table : MainTables()) {
    EXPECT_TRUE(TableExists(db().main(), table.name)) << table.name;
    for (const ColumnDef& column : table.columns)
      EXPECT_NO_THROW(
          db().Exec(std::string("select ") + column.name + " from " + table.name + " where 1=0"))
          << table.name << "." << column.name;
  }
  for (const TableDef& table : CssTables())
    EXPECT_TRUE(TableExists(db().css(), table.name)) << table.name;
  for (const std::string& key : LastIdKeys()) {
    EXPECT_EQ(db().QueryValue("select keyvalue from LASTID where keyname='" + key + "'"), "0")
        << key;
    EXPECT_EQ(db().QueryCssValue("select keyvalue from lastid where keyname='" + key + "'"), "0")
        << key;
  }
}

TEST_P(SchemaTest, SecondRunChangesNothing) {
  db().Exec("update LASTID set KEYVALUE=41 where KEYNAME='orid'");
  db().Exec("insert into SITE (STA, NGROUPS, ELEV, LAT, LON) values ('OBN', 1, 0.1, 55.1, 36.6)");
  const SchemaReport again = CreateMainSchema(db().main(), db().dialect());
  EXPECT_TRUE(again.tablesCreated.empty());
  EXPECT_TRUE(again.countersAdded.empty());
  EXPECT_EQ(db().QueryValue("select KEYVALUE from LASTID where KEYNAME='orid'"), "41");
  EXPECT_EQ(db().QueryValue("select count(*) from LASTID"), "5");
  EXPECT_EQ(db().QueryValue("select count(*) from SITE"), "1");
  const SchemaReport css = CreateCssSchema(db().css(), db().dialect());
  EXPECT_TRUE(css.tablesCreated.empty());
  EXPECT_TRUE(css.countersAdded.empty());
}

TEST_P(SchemaTest, MissingCounterIsAddedAndOthersKept) {
  db().Exec("delete from LASTID where KEYNAME='magid'");
  db().Exec("update LASTID set KEYVALUE=7 where KEYNAME='arid'");
  const SchemaReport report = CreateMainSchema(db().main(), db().dialect());
  EXPECT_EQ(report.countersAdded, std::vector<std::string>{"magid"});
  EXPECT_EQ(db().QueryValue("select KEYVALUE from LASTID where KEYNAME='arid'"), "7");
}

TEST_P(SchemaTest, WorkstationIsConnectedWithItsDialect) {
  Workstation& ws = workstation();
  EXPECT_TRUE(ws.databases().mainOpen());
  EXPECT_TRUE(ws.databases().cssOpen());
  EXPECT_EQ(ws.databases().dialect(), db().dialect());
  EXPECT_TRUE(ws.databases().hasCommentsColumn());
  EXPECT_EQ(ws.databases().mainConnectionString(), db().ConnectionString());
  EXPECT_TRUE(prompts.records.empty());
}

TEST_P(SchemaTest, TestDatabasesAreIsolated) {
  test::TestDatabase other(GetParam());
  other.Exec("insert into NETWORKS (NETNAME, NETLIST) values ('X', 'A;B')");
  EXPECT_EQ(other.QueryValue("select count(*) from NETWORKS"), "1");
  EXPECT_EQ(db().QueryValue("select count(*) from NETWORKS"), "0");
}

NUV_DATABASE_TEST_SUITE(SchemaTest);

}  // namespace
}  // namespace nuv
