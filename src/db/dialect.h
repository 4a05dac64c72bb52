#pragma once
// The database product behind the main connection, recognised from the
// driver's DBMS name, and the few SQL forms that depend on it.

#include <string>
#include <string_view>

namespace nuv {

// Dialect values as the rest of the system stores and compares them.
inline constexpr int kDialectAccess = 0;
inline constexpr int kDialectSqlServer = 1;
inline constexpr int kDialectOracle = 2;
inline constexpr int kDialectMySql = 3;
inline constexpr int kDialectPostgres = 4;
inline constexpr int kDialectSqlite = 5;

// Recognises the dialect from SQL_DBMS_NAME: the upper-cased name is tested
// for "ACCESS", "MICROSOFT" and "SQL", "ORACLE", "MYSQL", "POSTGRES" and
// "SQLITE" in that order, a later match overriding an earlier one; Access
// when nothing matches.
int RecogniseDialect(std::string_view dbmsName);

// `text` ready to stand between the quotes of an SQL text literal: every
// quote doubled and, on MySQL, where a backslash escapes the character after
// it, every backslash doubled too (so "C:\data" stays "C:\data").
std::string SqlText(std::string_view text, int dialect);

// A short name for reports ("Access", "SQL Server", ...).
const char* DialectName(int dialect);

// The floating-point type that the schema upgrade writes for REAL columns:
// "DOUBLE" on Access, "FLOAT" elsewhere.
const char* UpgradeRealType(int dialect);
// The date type of the schema upgrade: "DATETIME" on SQL Server, "DATE" elsewhere.
const char* UpgradeDateType(int dialect);
// The verb that changes the type of an existing column.
const char* AlterColumnVerb(int dialect);

}  // namespace nuv
