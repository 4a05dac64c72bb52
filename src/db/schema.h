#pragma once
// The tables of the main database and of the CSS 3.0 database, created by
// the workstation's own schema code (`nuvcli db init`, the test fixtures and
// the demo). Creation is idempotent: tables that exist are left as they are
// and only missing LASTID counters are added.

#include <string>
#include <vector>

namespace nuv {

namespace odbc {
class Connection;
}

enum class ColumnKind { Text, LongText, Int, SmallInt, Real, Timestamp, Date };

struct ColumnDef {
  const char* name;
  ColumnKind kind;
  int size = 0;  // characters, for Text
};

struct TableDef {
  const char* name;
  std::vector<ColumnDef> columns;
  std::vector<std::vector<const char*>> indexes;  // column lists
};

// Tables of the main database: FILELIST, SITE, SITECHAN, NETWORKS, ORIGIN,
// ARRIVAL, LASTID, EVENTLIST, CONTREG, CALIBRATION, SREGION, GREGION, REGION_MAP.
const std::vector<TableDef>& MainTables();
// Tables of the CSS 3.0 database: the result tables, wfdisc and the
// automatic-location tables (origin_alert, arrival_alert, assoc_alert, stamag_alert).
const std::vector<TableDef>& CssTables();

// The identifier counters kept in LASTID.
const std::vector<std::string>& LastIdKeys();

// The column type of `kind` in `dialect`.
std::string ColumnType(const ColumnDef& column, int dialect);
// "CREATE TABLE ..." for `table` in `dialect`.
std::string CreateTableSql(const TableDef& table, int dialect);

// True when "select * from TABLE where 1=0" executes.
bool TableExists(odbc::Connection& connection, const std::string& table);

struct SchemaReport {
  std::vector<std::string> tablesCreated;
  std::vector<std::string> countersAdded;
};

// Creates the missing tables (with their indexes) and the missing LASTID
// counters (value 0). Throws odbc::Error with the driver's text.
SchemaReport CreateMainSchema(odbc::Connection& connection, int dialect);
SchemaReport CreateCssSchema(odbc::Connection& connection, int dialect);

}  // namespace nuv
