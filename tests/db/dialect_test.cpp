// Dialect recognition from the driver's DBMS name and the dialect's forms of
// the schema upgrade.

#include "db/dialect.h"

#include <gtest/gtest.h>

namespace nuv {
namespace {

TEST(DialectTest, RecognisedFromTheDbmsName) {
  const std::pair<const char*, int> cases[] = {
      {"ACCESS", kDialectAccess},
      {"Microsoft Access", kDialectAccess},
      {"Microsoft SQL Server", kDialectSqlServer},
      {"MICROSOFT", kDialectAccess},  // needs both words
      {"Oracle", kDialectOracle},
      {"MySQL", kDialectMySql},
      {"PostgreSQL", kDialectPostgres},
      {"SQLite", kDialectSqlite},
      {"Informix", kDialectAccess},
      {"", kDialectAccess},
      {"ORACLE over MYSQL", kDialectMySql},  // the later test wins
      {"Microsoft SQL Server via PostgreSQL", kDialectPostgres},
  };
  for (const auto& [name, dialect] : cases) EXPECT_EQ(RecogniseDialect(name), dialect) << name;
}

TEST(DialectTest, UpgradeTypesAndVerbs) {
  EXPECT_STREQ(UpgradeRealType(kDialectAccess), "DOUBLE");
  for (int d : {kDialectSqlServer, kDialectOracle, kDialectMySql, kDialectPostgres, kDialectSqlite})
    EXPECT_STREQ(UpgradeRealType(d), "FLOAT") << d;
  EXPECT_STREQ(UpgradeDateType(kDialectSqlServer), "DATETIME");
  for (int d : {kDialectAccess, kDialectOracle, kDialectMySql, kDialectPostgres})
    EXPECT_STREQ(UpgradeDateType(d), "DATE") << d;
  EXPECT_STREQ(AlterColumnVerb(kDialectAccess), "ALTER");
  EXPECT_STREQ(AlterColumnVerb(kDialectSqlServer), "ALTER COLUMN");
  EXPECT_STREQ(AlterColumnVerb(kDialectOracle), "MODIFY");
  EXPECT_STREQ(AlterColumnVerb(kDialectMySql), "MODIFY");
  EXPECT_STREQ(AlterColumnVerb(kDialectPostgres), "ALTER");
}

TEST(DialectTest, TextLiteralsDoubleQuotesAndOnMySqlBackslashes) {
  EXPECT_EQ(SqlText("C:\\data\\O'Brien", kDialectPostgres), "C:\\data\\O''Brien");
  EXPECT_EQ(SqlText("C:\\data\\O'Brien", kDialectSqlite), "C:\\data\\O''Brien");
  EXPECT_EQ(SqlText("C:\\data\\O'Brien", kDialectMySql), "C:\\\\data\\\\O''Brien");
  EXPECT_EQ(SqlText("", kDialectMySql), "");
}

}  // namespace
}  // namespace nuv
