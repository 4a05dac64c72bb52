#include "db/dialect.h"

#include "platform/strformat.h"

namespace nuv {

int RecogniseDialect(std::string_view dbmsName) {
  const std::string name = ToUpperAscii(dbmsName);
  auto has = [&](const char* word) { return name.find(word) != std::string::npos; };
  int dialect = kDialectAccess;
  if (has("ACCESS")) dialect = kDialectAccess;
  if (has("MICROSOFT") && has("SQL")) dialect = kDialectSqlServer;
  if (has("ORACLE")) dialect = kDialectOracle;
  if (has("MYSQL")) dialect = kDialectMySql;
  if (has("POSTGRES")) dialect = kDialectPostgres;
  if (has("SQLITE")) dialect = kDialectSqlite;
  return dialect;
}

std::string SqlText(std::string_view text, int dialect) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\'' || (c == '\\' && dialect == kDialectMySql)) out.push_back(c);
    out.push_back(c);
  }
  return out;
}

const char* DialectName(int dialect) {
  switch (dialect) {
    case kDialectSqlServer:
      return "SQL Server";
    case kDialectOracle:
      return "Oracle";
    case kDialectMySql:
      return "MySQL";
    case kDialectPostgres:
      return "PostgreSQL";
    case kDialectSqlite:
      return "SQLite";
    default:
      return "Access";
  }
}

const char* UpgradeRealType(int dialect) {
  return dialect == kDialectAccess ? "DOUBLE" : "FLOAT";
}

const char* UpgradeDateType(int dialect) {
  return dialect == kDialectSqlServer ? "DATETIME" : "DATE";
}

const char* AlterColumnVerb(int dialect) {
  switch (dialect) {
    case kDialectSqlServer:
      return "ALTER COLUMN";
    case kDialectOracle:
    case kDialectMySql:
      return "MODIFY";
    default:
      return "ALTER";  // Access, PostgreSQL (SQLite never changes a type)
  }
}

}  // namespace nuv
