#include "db/schema.h"

#include "db/dialect.h"
#include "platform/odbc.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

using K = ColumnKind;

ColumnDef Text(const char* name, int size) {
  return {name, K::Text, size};
}
ColumnDef Int(const char* name) {
  return {name, K::Int, 0};
}
ColumnDef Real(const char* name) {
  return {name, K::Real, 0};
}
ColumnDef Stamp(const char* name) {
  return {name, K::Timestamp, 0};
}

// The columns of a CSS 3.0 table; the automatic-location tables repeat them.
std::vector<ColumnDef> CssOriginColumns() {
  return {Real("lat"),      Real("lon"),
          Real("depth"),    Real("time"),
          Int("orid"),      Int("evid"),
          Int("jdate"),     Int("nass"),
          Int("ndef"),      Int("ndp"),
          Int("grn"),       Int("srn"),
          Text("etype", 7), Real("depdp"),
          Text("dtype", 1), Real("mb"),
          Int("mbid"),      Real("ms"),
          Int("msid"),      Real("ml"),
          Int("mlid"),      Text("algorithm", 15),
          Text("auth", 15), Int("commid"),
          Stamp("lddate")};
}

std::vector<ColumnDef> CssArrivalColumns() {
  return {Text("sta", 6),  Real("time"),    Int("arid"),       Int("jdate"),     Int("stassid"),
          Int("chanid"),   Text("chan", 8), Text("iphase", 8), Text("stype", 1), Real("deltim"),
          Real("azimuth"), Real("delaz"),   Real("slow"),      Real("delslo"),   Real("ema"),
          Real("rect"),    Real("amp"),     Real("per"),       Real("logat"),    Text("clip", 1),
          Text("fm", 2),   Real("snr"),     Text("qual", 1),   Text("auth", 15), Int("commid"),
          Stamp("lddate")};
}

std::vector<ColumnDef> CssAssocColumns() {
  return {Int("arid"),   Int("orid"),        Text("sta", 6), Text("phase", 8),  Real("belief"),
          Real("delta"), Real("seaz"),       Real("esaz"),   Real("timeres"),   Text("timedef", 1),
          Real("azres"), Text("azdef", 1),   Real("slores"), Text("slodef", 1), Real("emares"),
          Real("wgt"),   Text("vmodel", 15), Int("commid"),  Stamp("lddate")};
}

std::vector<ColumnDef> CssStamagColumns() {
  return {Int("ampid"),   Int("arid"),        Text("auth", 15),   Int("commid"), Real("delta"),
          Int("evid"),    Stamp("lddate"),    Text("magdef", 1),  Int("magid"),  Real("magnitude"),
          Real("magres"), Text("magtype", 6), Text("mmodel", 15), Int("orid"),   Text("phase", 8),
          Text("sta", 6), Real("uncertainty")};
}

std::string Index(const TableDef& table, const std::vector<const char*>& columns) {
  std::string name = ToUpperAscii(table.name);
  std::string list;
  for (const char* column : columns) {
    name += "_";
    name += ToUpperAscii(column);
    if (!list.empty()) list += ", ";
    list += column;
  }
  return StrFormat("CREATE INDEX %s_IDX ON %s (%s)", name.c_str(), table.name, list.c_str());
}

bool CounterExists(odbc::Connection& connection, const std::string& key) {
  odbc::Statement statement = connection.Query(
      StrFormat("select keyvalue from LASTID where keyname='%s'", SqlEscape(key).c_str()));
  return statement.Fetch();
}

SchemaReport CreateSchema(odbc::Connection& connection, int dialect,
                          const std::vector<TableDef>& tables) {
  SchemaReport report;
  for (const TableDef& table : tables) {
    if (TableExists(connection, table.name)) continue;
    connection.Execute(CreateTableSql(table, dialect));
    for (const auto& index : table.indexes) connection.Execute(Index(table, index));
    report.tablesCreated.emplace_back(table.name);
  }
  for (const std::string& key : LastIdKeys()) {
    if (CounterExists(connection, key)) continue;
    connection.Execute(StrFormat("insert into LASTID (KEYNAME, KEYVALUE) values ('%s', 0)",
                                 SqlEscape(key).c_str()));
    report.countersAdded.push_back(key);
  }
  return report;
}

}  // namespace

const std::vector<TableDef>& MainTables() {
  static const std::vector<TableDef> tables = {
      {"FILELIST",
       {Text("STA", 20), Real("SPS"), Int("GAIN"), Text("CPATH", 4095), Int("DATATYPE"),
        Text("CH", 16), Text("CREATER", 64), Stamp("LDDATE"), Real("TBEGIN"), Real("TQTY"),
        Real("TEND"), Real("CALIB"), Real("CALPER"), Int("FOFF"), Text("LCODE", 8)},
       {{"STA", "CH", "TBEGIN"}, {"CPATH"}}},
      {"SITE",
       {Text("STA", 20),
        Int("NGROUPS"),
        Real("ELEV"),
        Real("LAT"),
        Real("LON"),
        Text("DESCR", 255),
        Stamp("LDDATE"),
        Int("NINDEX"),
        Text("COD", 6),
        Text("STATYPE", 50),
        Text("STANAME", 50),
        Text("UNDERGROUND", 250),
        {"ONDATE", K::Date},
        {"OFFDATE", K::Date},
        Text("REFSTA", 16),
        Real("DNORTH"),
        Real("DEAST")},
       {{"STA"}}},
      {"SITECHAN",
       {Text("STA", 20), Real("SPS"), Int("NGROUP"), Real("LAT"), Text("CALIBFILE", 255),
        Text("CHAN", 16), Int("CHANINDEX"), Text("DESCR", 255), Real("EDEPH"), Real("HANG"),
        Stamp("LDDATE"), Real("LON"), Real("VANG"), Text("LCODE", 8)},
       {{"STA"}}},
      {"NETWORKS",
       {Text("NETNAME", 128), Text("NETTYPE", 64), Text("NETLIST", 5000), Stamp("LDDATE")},
       {}},
      {"ORIGIN",
       {Text("EVENTID", 32), Real("LAT"), Real("LON"), Real("DEPTH"), Real("ORIGINTIME"),
        Real("RMS"), Real("DH"), Real("DZ"), Real("MB"), Real("MS"), Real("MBUNC"), Real("MSUNC"),
        Stamp("LDDATE"), Text("COMMENTS", 255), Int("ORID")},
       {{"EVENTID"}, {"ORIGINTIME"}}},
      {"ARRIVAL",
       {Text("EVENTID", 32),
        Int("NUMB"),
        Text("STA", 20),
        Text("CHAN", 16),
        Text("IPHASE", 16),
        Real("ITIME"),
        Real("DELTIM"),
        Real("AZIMUTH"),
        Real("SLOW"),
        Real("EMA"),
        Real("RECT"),
        Text("FM", 8),
        Text("IM_EM", 8),
        Real("PER"),
        Real("RESIDUALS"),
        Real("AMPL"),
        Stamp("LDDATE"),
        {"WGT", K::SmallInt},
        Int("FLAG"),
        Int("ARID"),
        Real("DIST"),
        Real("MS"),
        Real("MB"),
        Real("MPLP"),
        Real("MPSP"),
        Real("AMPTIME"),
        Real("CODA"),
        Real("REGCLASS"),
        Real("MCODA"),
        Text("CHANTYPE", 4),
        Text("REMARK", 128),
        Text("AFILTYPE", 128),
        Text("PFILTYPE", 128),
        Real("ML")},
       {{"EVENTID"}, {"ITIME"}}},
      {"LASTID", {Text("KEYNAME", 255), Int("KEYVALUE")}, {}},
      {"EVENTLIST",
       {Text("STA", 20), Real("TBEGIN"), Int("EVENT_TYPE"), Stamp("LDDATE")},
       {{"STA", "TBEGIN"}}},
      {"CONTREG", {Text("NAME", 4095), Real("LAT1"), Real("LON1"), Real("LAT2"), Real("LON2")}, {}},
      {"CALIBRATION",
       {Text("STA", 20),
        Text("CHAN", 16),
        Text("NETWORK", 8),
        Text("LOCATION", 8),
        Stamp("STARTDATE"),
        Stamp("ENDDATE"),
        {"FAP", K::LongText},
        {"SAC", K::LongText}},
       {{"STA", "CHAN"}}},
      {"SREGION", {Int("SRN"), Text("SRNAME", 128), Text("SRNAME_R", 128)}, {{"SRN"}}},
      {"GREGION", {Int("GRN"), Text("GRNAME", 128), Text("GRNAME_R", 128)}, {{"GRN"}}},
      {"REGION_MAP", {Int("LAT"), Int("LON1"), Int("LON2"), Int("GRN"), Int("SRN")}, {{"LAT"}}},
  };
  return tables;
}

const std::vector<TableDef>& CssTables() {
  static const std::vector<TableDef> tables = {
      {"amplitude",
       {Real("amp"), Int("ampid"), Real("amptime"), Text("amptype", 8), Int("arid"),
        Text("auth", 15), Real("bandw"), Text("chan", 8), Text("clip", 1), Real("duration"),
        Text("inarrival", 1), Stamp("lddate"), Int("parid"), Real("per"), Real("snr"),
        Real("start_time"), Text("units", 15)},
       {{"arid"}}},
      {"arrival", CssArrivalColumns(), {{"arid"}, {"sta", "time"}}},
      {"arrivalamp",
       {Int("arid"), Text("chan", 8), Real("amp"), Real("per"), Real("delamp"), Real("amptime"),
        Text("amptype", 8), Stamp("lddate"), Int("inarrival")},
       {{"arid"}}},
      {"assoc", CssAssocColumns(), {{"orid"}, {"arid"}}},
      {"lastid", {Text("keyname", 255), Int("keyvalue"), Stamp("lddate")}, {}},
      {"origin", CssOriginColumns(), {{"orid"}, {"time"}}},
      {"remark", {Int("commid"), Int("lineno"), Text("remark", 80), Stamp("lddate")}, {{"commid"}}},
      {"stamag", CssStamagColumns(), {{"arid"}, {"orid"}}},
      {"wfdisc",
       {Text("sta", 6),     Text("chan", 8),     Real("time"),    Int("wfid"),
        Int("chanid"),      Int("jdate"),        Real("endtime"), Int("nsamp"),
        Real("samprate"),   Real("calib"),       Real("calper"),  Text("instype", 6),
        Text("segtype", 1), Text("datatype", 2), Text("clip", 1), Text("dir", 64),
        Text("dfile", 32),  Int("foff"),         Int("commid"),   Stamp("lddate")},
       {{"sta", "chan", "time"}}},
      {"origin_alert", CssOriginColumns(), {{"orid"}, {"time"}}},
      {"arrival_alert", CssArrivalColumns(), {{"arid"}}},
      {"assoc_alert", CssAssocColumns(), {{"orid"}, {"arid"}}},
      {"stamag_alert", CssStamagColumns(), {{"arid"}}},
  };
  return tables;
}

const std::vector<std::string>& LastIdKeys() {
  static const std::vector<std::string> keys = {"orid", "arid", "commid", "ampid", "magid"};
  return keys;
}

std::string ColumnType(const ColumnDef& column, int dialect) {
  switch (column.kind) {
    case K::Text:
      if (dialect == kDialectOracle)
        return StrFormat("VARCHAR2(%d)", column.size > 4000 ? 4000 : column.size);
      if (dialect == kDialectAccess && column.size > 255) return "MEMO";
      return StrFormat("VARCHAR(%d)", column.size);
    case K::LongText:
      switch (dialect) {
        case kDialectAccess:
          return "MEMO";
        case kDialectSqlServer:
          return "VARCHAR(MAX)";
        case kDialectOracle:
          return "CLOB";
        default:
          return "TEXT";
      }
    case K::Int:
      return "INTEGER";
    case K::SmallInt:
      return "SMALLINT";
    case K::Real:
      switch (dialect) {
        case kDialectAccess:
        case kDialectMySql:
          return "DOUBLE";
        case kDialectSqlServer:
        case kDialectOracle:
          return "FLOAT";
        case kDialectPostgres:
          return "DOUBLE PRECISION";
        default:
          return "REAL";
      }
    case K::Timestamp:
      switch (dialect) {
        case kDialectAccess:
        case kDialectSqlServer:
        case kDialectMySql:
          return "DATETIME";
        case kDialectOracle:
          return "DATE";
        default:
          return "TIMESTAMP";
      }
    case K::Date:
      return dialect == kDialectAccess || dialect == kDialectSqlServer ? "DATETIME" : "DATE";
  }
  return "VARCHAR(255)";
}

std::string CreateTableSql(const TableDef& table, int dialect) {
  std::string sql = StrFormat("CREATE TABLE %s (", table.name);
  for (size_t i = 0; i < table.columns.size(); ++i) {
    if (i) sql += ", ";
    sql += table.columns[i].name;
    sql += " ";
    sql += ColumnType(table.columns[i], dialect);
  }
  sql += ")";
  return sql;
}

bool TableExists(odbc::Connection& connection, const std::string& table) {
  try {
    connection.Execute(StrFormat("select * from %s where 1=0", table.c_str()));
    return true;
  } catch (const odbc::Error&) {
    return false;
  }
}

SchemaReport CreateMainSchema(odbc::Connection& connection, int dialect) {
  return CreateSchema(connection, dialect, MainTables());
}

SchemaReport CreateCssSchema(odbc::Connection& connection, int dialect) {
  return CreateSchema(connection, dialect, CssTables());
}

}  // namespace nuv
