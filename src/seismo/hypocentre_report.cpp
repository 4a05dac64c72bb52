#include "seismo/hypocentre_report.h"

#include <cmath>

#include "db/databases.h"
#include "db/dialect.h"
#include "db/station_table.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "platform/odbc.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "seismo/location.h"

namespace nuv {

std::string OriginTimeText(double t) {
  const CalendarTime c = EpochToCalendar(t);
  return StrFormat("%d/%d/%d - %d:%d:%.2f", c.day, c.month, c.year, c.hour, c.minute, c.second);
}

std::string ResidualLine(const std::string& station, const std::string& phase, double residual) {
  const double a = std::fabs(residual);
  const int hours = static_cast<int>(a / 3600);
  const int minutes = static_cast<int>((a - hours * 3600.0) / 60);
  const double seconds = a - hours * 3600.0 - minutes * 60.0;
  return StrFormat("%s%s %1c%02d:%02d:%.2f", station.c_str(), phase.c_str(),
                   residual >= 0 ? '+' : '-', hours, minutes, seconds);
}

std::vector<std::string> ResidualLines(const CArrivalList& list, const StationTable& stations,
                                       const PhaseTypeTable& types) {
  std::vector<std::string> lines;
  for (const CArrivalElement& e : list.elements()) {
    const std::string code =
        e.station >= 0 && e.station < stations.size() ? stations[e.station].code : "?";
    const std::string phase =
        e.phaseType >= 0 && e.phaseType < types.Count() ? types.Name(e.phaseType) : "?";
    lines.push_back(ResidualLine(code, phase, e.residual));
  }
  return lines;
}

void AcceptHypocentre(const HypocentreValues& values, CurrentEvent& event, NUVPhases& phases,
                      const PhaseTypeTable& types, const StationTable& stations) {
  event.originLat = static_cast<float>(values.lat);
  event.originLon = static_cast<float>(values.lon);
  event.originDepth = static_cast<float>(values.depth);
  event.originTime = values.time;
  event.originValid = 1;
  event.eventComment = values.comment.substr(0, 127);
  RecomputeResiduals(phases, types, stations, event);
  RecomputeDistances(phases, stations, event);
}

std::string OriginUpdateSql(const HypocentreValues& values, const std::string& eventId, int orid,
                            const char* commentColumn) {
  return StrFormat(
      "update ORIGIN set LAT=%.6f, LON=%.6f, DEPTH=%.3f, ORIGINTIME=%.3f, %s='%s', ORID=%d, "
      "LDDATE=CURRENT_TIMESTAMP where EVENTID='%s'",
      values.lat, values.lon, values.depth, values.time, commentColumn,
      SqlEscape(values.comment.substr(0, 127)).c_str(), orid, SqlEscape(eventId).c_str());
}

bool UpdateOriginRow(Databases& databases, const HypocentreValues& values,
                     const std::string& eventId, int orid) {
  odbc::Connection& db = databases.main();
  {
    odbc::Statement count = db.Query(
        StrFormat("select count(*) from ORIGIN where EVENTID='%s'", SqlEscape(eventId).c_str()));
    if (!count.Fetch() || count.GetInt(1).value_or(0) == 0) return false;
  }
  std::string sql = OriginUpdateSql(values, eventId, orid, databases.CommentColumn());
  // Access knows no CURRENT_TIMESTAMP.
  if (databases.dialect() == kDialectAccess) {
    const std::string now = "CURRENT_TIMESTAMP";
    sql.replace(sql.find(now), now.size(), "Now()");
  }
  databases.Execute(sql);
  return true;
}

}  // namespace nuv
