#include "catalogue/event_lists.h"

#include <cmath>
#include <cstdio>

#include "bulletins/bulletin_time.h"
#include "db/dialect.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

std::string Fixed3(const std::optional<double>& v) {
  return v ? StrFormat("%.3f", *v) : "";
}

std::string TrimmedText(odbc::Statement& st, int column, size_t limit) {
  std::string text(Trim(st.GetText(column).value_or("")));
  if (text.size() > limit) text.resize(limit);
  return text;
}

// The timestamp column read as text; some drivers give epoch numbers for
// dates kept as numbers, which are formatted as dates too.
std::string StampCell(odbc::Statement& st, int column, bool timeFirst) {
  const std::optional<std::string> text = st.GetText(column);
  if (!text) return "";
  return StampText(*text, timeFirst);
}

}  // namespace

std::string ListDateText(double t) {
  // Whole seconds with the carry taken into the minute, so 59.7 s never
  // shows as "60".
  const BulletinTime b = SplitBulletinTime(t, 1, true);
  return StrFormat("%02d/%02d/%04d %02d:%02d:%02d", b.day, b.month, b.year, b.hour, b.minute,
                   b.second);
}

std::string StampText(const std::string& stamp, bool timeFirst) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  double s = 0;
  char sep = 0;
  const int n =
      std::sscanf(stamp.c_str(), "%4d-%2d-%2d%c%2d:%2d:%lf", &y, &mo, &d, &sep, &h, &mi, &s);
  if (n < 3 || mo < 1 || mo > 12 || d < 1 || d > 31) return stamp;
  if (n < 7) h = mi = 0, s = 0;
  const int whole = static_cast<int>(std::floor(s));
  if (timeFirst) return StrFormat("%02d:%02d:%02d %02d/%02d/%04d", h, mi, whole, d, mo, y);
  return StrFormat("%02d/%02d/%04d %02d:%02d:%02d", d, mo, y, h, mi, whole);
}

std::string ProcessedEventsQuery(int dialect, const std::string& c, long from, long to) {
  if (dialect == kDialectOracle || dialect == kDialectMySql) {
    // MySQL groups without the comment column.
    const std::string groupComment = dialect == kDialectOracle ? c + ", " : "";
    return StrFormat(
        "Select ORIGIN.ORID as ORID, %s as ORREMARK, ORIGIN.EVENTID as EVENTID, ORIGIN.LON as "
        "LON,ORIGIN.LAT as LAT, ORIGIN.DEPTH as DEPTH, ORIGIN.ORIGINTIME as ORIGINTIME, "
        "min(ARRIVAL.ITIME)  as itime, ORIGIN.LDDATE as LDDATE FROM ORIGIN,ARRIVAL where "
        "ORIGIN.EVENTID = ARRIVAL.EVENTID and ((ARRIVAL.ITIME >= %ld and ARRIVAL.ITIME <=%ld) or "
        "(ORIGIN.ORIGINTIME >= %ld and ORIGIN.ORIGINTIME <= %ld)) group by ORIGIN.ORID, "
        "%sORIGIN.EVENTID, ORIGIN.LON, ORIGIN.LAT, ORIGIN.DEPTH, ORIGIN.ORIGINTIME order by "
        "min(ARRIVAL.ITIME) desc, ORIGIN.ORIGINTIME desc",
        c.c_str(), from, to, from, to, groupComment.c_str());
  }
  return StrFormat(
      "Select ORIGIN.ORID as ORID, %s as ORREMARK, ORIGIN.EVENTID as EVENTID, ORIGIN.LON as "
      "LON,ORIGIN.LAT as LAT, ORIGIN.DEPTH as DEPTH, ORIGIN.ORIGINTIME as ORIGINTIME, "
      "min(ARRIVAL.ITIME)  as itime, ORIGIN.LDDATE as LDDATE  FROM ORIGIN  LEFT  JOIN ARRIVAL  ON "
      "ARRIVAL.EVENTID = ORIGIN.EVENTID WHERE (ARRIVAL.ITIME >= %ld and ARRIVAL.ITIME <=%ld) "
      "group by ORIGIN.LDDATE, ORIGIN.ORID, %s, ORIGIN.EVENTID, ORIGIN.LON, ORIGIN.LAT, "
      "ORIGIN.DEPTH, ORIGIN.ORIGINTIME order by min(ARRIVAL.ITIME) desc, ORIGIN.ORIGINTIME desc",
      c.c_str(), from, to, c.c_str());
}

std::vector<ProcessedEventRow> ReadProcessedEvents(Workstation& ws, double from, double to) {
  Databases& dbs = ws.databases();
  const std::string column = std::string("ORIGIN.") + dbs.CommentColumn();
  odbc::Statement st = dbs.main().Query(
      ProcessedEventsQuery(dbs.dialect(), column, static_cast<long>(from), static_cast<long>(to)));
  std::vector<ProcessedEventRow> rows;
  while (st.Fetch()) {
    const std::optional<std::string> remark = st.GetText(2), eventId = st.GetText(3);
    if (!remark || !eventId) continue;
    ProcessedEventRow row;
    row.orid = TrimmedText(st, 1, 63);
    row.comment = remark->substr(0, 127);
    row.eventId = eventId->substr(0, 31);
    row.lon = Fixed3(st.GetDouble(4));
    row.lat = Fixed3(st.GetDouble(5));
    row.depth = Fixed3(st.GetDouble(6));
    if (const auto t = st.GetDouble(7)) row.originTime = ListDateText(*t);
    row.lddate = StampCell(st, 9, false);
    rows.push_back(std::move(row));
  }
  return rows;
}

TimeRange LastDayRange(double now) {
  const double whole = std::floor(now);
  return {whole - std::fmod(whole, 86400.0), whole + 86400.0};
}

TimeRange LastWeekRange(double now) {
  const double whole = std::floor(now);
  return {whole - std::fmod(whole, 604800.0), whole + 604800.0};
}

int RowOfEvent(const std::vector<ProcessedEventRow>& rows, const std::string& eventId) {
  const std::string_view wanted = Trim(eventId);
  if (wanted.empty()) return -1;
  for (size_t i = 0; i < rows.size(); ++i)
    if (EqualsNoCase(Trim(rows[i].eventId), wanted)) return static_cast<int>(i);
  return -1;
}

OriginChoice ReadOriginChoice(ProfileFile& ini) {
  OriginChoice choice;
  choice.loadAll = ini.GetInt("SelectOridGroup", "SELECT ALL", 1) != 0;
  const int count = ini.GetInt("SelectOridGroup", "MaxEvents", 20);
  choice.maxEvents = count >= 1 && count <= 1000 ? count : 20;
  return choice;
}

void WriteOriginChoice(ProfileFile& ini, const OriginChoice& choice) {
  ini.WriteString("SelectOridGroup", "SELECT ALL", choice.loadAll ? "1" : "0");
  ini.WriteString("SelectOridGroup", "MaxEvents", std::to_string(choice.maxEvents));
}

int SecondaryDialect(Workstation& ws) {
  return RecogniseDialect(ws.databases().css().DbmsName());
}

std::vector<CssOriginRow> ReadCssOrigins(Workstation& ws, const OriginChoice& choice) {
  std::string sql = "select orid, lat, lon, time, depth, lddate from origin";
  // The row limit in the statement is Oracle's; elsewhere only the rows
  // read are limited.
  if (!choice.loadAll && SecondaryDialect(ws) == kDialectOracle)
    sql += StrFormat(" where rownum<%d", choice.maxEvents + 1);
  sql += " order by LDDATE desc, TIME desc";
  odbc::Statement st = ws.databases().css().Query(sql);
  std::vector<CssOriginRow> rows;
  while (st.Fetch()) {
    if (!choice.loadAll && static_cast<int>(rows.size()) >= choice.maxEvents) break;
    CssOriginRow row;
    if (const auto orid = st.GetInt(1)) row.orid = StrFormat("%lld", *orid);
    const auto lat = st.GetDouble(2);
    row.lat = lat ? StrFormat("%.3f", *lat) : " ";
    row.lon = Fixed3(st.GetDouble(3));
    if (const auto t = st.GetDouble(4)) row.time = ListDateText(*t);
    row.depth = Fixed3(st.GetDouble(5));
    row.lddate = StampCell(st, 6, true);
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string AlertOriginsQuery(int dialect, int count) {
  if (count <= 0)
    return "select lat, lon, depth, time, orid, nass, mb, lddate from origin_alert order by time "
           "desc";
  switch (dialect) {
    case kDialectOracle:
      return StrFormat(
          "select lat, lon, depth, time, orid, nass, mb,lddate from (select * from origin_alert "
          "order by time desc) where rownum<=%d",
          count);
    case kDialectMySql:
      return StrFormat(
          "select lat, lon, depth, time, orid, nass, mb,lddate from origin_alert order by time "
          "desc limit 0,%d",
          count);
    case kDialectPostgres:
    case kDialectSqlite:
      return StrFormat(
          "select lat, lon, depth, time, orid, nass, mb, lddate from origin_alert order by time "
          "desc limit %d",
          count);
    default:
      return StrFormat(
          "select top %d lat, lon, depth, time, orid, nass, mb,lddate from origin_alert order by "
          "time desc",
          count);
  }
}

std::vector<AlertOriginRow> ReadAlertOrigins(Workstation& ws, const OriginChoice& choice) {
  odbc::Statement st = ws.databases().css().Query(
      AlertOriginsQuery(SecondaryDialect(ws), choice.loadAll ? 0 : choice.maxEvents));
  auto cell = [](const std::optional<double>& v) { return v ? StrFormat("%.3f", *v) : " "; };
  std::vector<AlertOriginRow> rows;
  while (st.Fetch()) {
    const auto orid = st.GetInt(5), nass = st.GetInt(6);
    if (!orid || !nass) continue;
    AlertOriginRow row;
    row.orid = StrFormat("%lld", *orid);
    row.nass = StrFormat("%lld", *nass);
    row.lat = cell(st.GetDouble(1));
    row.lon = cell(st.GetDouble(2));
    row.depth = cell(st.GetDouble(3));
    const auto t = st.GetDouble(4);
    row.time = t ? ListDateText(*t) : " ";
    const auto mb = st.GetDouble(7);
    row.mb = mb && *mb > -10 ? StrFormat("%.1f", *mb) : " ";
    row.lddate = StampCell(st, 8, false);
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace nuv
