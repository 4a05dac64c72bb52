#include "catalogue/arrival_import.h"

#include <algorithm>
#include <cmath>

#include "bulletins/bulletin_time.h"
#include "platform/strformat.h"
#include "traveltime/dist_az.h"

namespace nuv {
namespace {

// The first phase type of that name (without case) that has a table.
int TypeWithTable(const PhaseTypeTable& types, const std::string& name) {
  for (int i = 0; i < types.Count(); ++i)
    if (EqualsNoCase(types.Name(i), name) && types.HasTravelTimes(i)) return i;
  return -1;
}

int FirstNamedSlot(const CScreenFields& station) {
  for (int c = 0; c < 15; ++c)
    if (station.channels[static_cast<size_t>(c)].used()) return c;
  return -1;
}

}  // namespace

ImportWindow DefaultImportWindow(Workstation& ws, double now) {
  const CurrentEvent& event = ws.event();
  if (event.originValid) return {event.originTime, event.originTime + 3600};
  if (ws.phases().Count() > 0) {
    double earliest = ws.phases().GetAt(0)->time;
    for (const SEISMIC_PHASE& p : ws.phases()) earliest = std::min(earliest, p.time);
    return {earliest - 1800, earliest + 1800};
  }
  return {now - 3600, now};
}

double ImportResidual(Workstation& ws, const std::string& station, const std::string& phase,
                      double time) {
  const CurrentEvent& event = ws.event();
  if (!event.originValid) return -1;
  const int s = ws.stations().FindStationExact(station);
  const int type = TypeWithTable(ws.phaseTypes(), phase);
  if (s < 0 || type < 0) return kNoResidual;
  const CScreenFields& site = ws.stations()[s];
  DistAzResult da;
  if (!DistAz(event.originLat, event.originLon, site.lat, site.lon, da)) return kNoResidual;
  const double travel = TravelTime(ws.phaseTypes().Data(type), event.originDepth, da.distance);
  if (!std::isfinite(travel) || travel < 0) return kNoResidual;
  return time - (event.originTime + travel);
}

void ClassifyImportRow(Workstation& ws, ImportRow& row, bool eventList) {
  if (row.phase != "N") {
    row.residual = ImportResidual(ws, row.station, row.phase, row.time);
    row.checked = std::fabs(row.residual) <= 10;
    return;
  }
  const double p = ImportResidual(ws, row.station, "P", row.time);
  const double k = ImportResidual(ws, row.station, "PKiKP", row.time);
  if (eventList) {
    const bool takeP = std::fabs(p) <= std::fabs(k);
    row.residual = takeP ? p : k;
    row.checked = std::fabs(row.residual) <= 10;
    if (row.checked) row.phase = takeP ? "P" : "PKiKP";
    return;
  }
  row.residual = kNoResidual;
  if (std::fabs(p) < std::fabs(k)) {
    if (std::fabs(p) < 10) row.phase = "P", row.residual = p;
  } else if (std::fabs(k) < 10) {
    row.phase = "PKiKP", row.residual = k;
  }
  row.checked = std::fabs(row.residual) <= 10;
}

bool ResidualShown(double residual) {
  return residual >= -60 && residual <= 60;
}

std::string ImportTimeText(double time) {
  const BulletinTime b = SplitBulletinTime(time, 1, false);
  return StrFormat("%02d.%02d.%04d %02d:%02d:%02d", b.day, b.month, b.year, b.hour, b.minute,
                   b.second);
}

std::vector<ImportRow> ReadAlertArrivals(Workstation& ws, double from, double to) {
  odbc::Statement st = ws.databases().css().Query(
      StrFormat("select STA, PHASE, TIME, AMP, PER from ALERT where time between %f and %f order "
                "by time DESC, sta DESC",
                from, to));
  std::vector<ImportRow> rows;
  while (st.Fetch()) {
    const auto time = st.GetDouble(3);
    if (!time) continue;  // a detection without a time cannot be placed
    ImportRow row;
    row.station = std::string(Trim(st.GetText(1).value_or("")));
    row.phase = std::string(Trim(st.GetText(2).value_or("")));
    row.time = *time;
    row.amp = st.GetDouble(4).value_or(0);
    row.per = st.GetDouble(5).value_or(0);
    ClassifyImportRow(ws, row, false);
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<ImportRow> ReadEventListDetections(Workstation& ws, double from, double to) {
  odbc::Statement st = ws.databases().main().Query(
      StrFormat("select tbegin, sta, lddate from eventlist   where (tbegin >= %f and tbegin <%f) ",
                from, to));
  std::vector<ImportRow> rows;
  while (st.Fetch()) {
    const auto time = st.GetDouble(1);
    if (!time) continue;
    ImportRow row;
    row.station = std::string(Trim(st.GetText(2).value_or("")));
    row.phase = "N";
    row.time = *time;
    ClassifyImportRow(ws, row, true);
    rows.push_back(std::move(row));
  }
  return rows;
}

int AddImportedPhases(Workstation& ws, const std::vector<ImportRow>& rows) {
  int added = 0;
  PhaseChangeGroup group(ws.phases());
  for (const ImportRow& row : rows) {
    if (!row.checked) continue;
    const int station = ws.stations().FindStationExact(row.station);
    if (station < 0) continue;
    const int channel = FirstNamedSlot(ws.stations()[station]);
    const int type = ws.phaseTypes().IndexOf(row.phase);
    if (channel < 0 || type < 0) continue;
    SEISMIC_PHASE p;
    p.station = station, p.channel = channel, p.phaseType = type;
    p.SetTime(row.time);
    p.deltim = 2.0;
    if (row.amp > 0 && row.per > 0) {
      p.amplitude = static_cast<float>(row.amp / 1000);
      p.period = static_cast<float>(row.per);
      p.hasAmplitude = 1;
      p.ampTime = row.time + row.per;
    }
    p.firstMotion = 4, p.onset = 1, p.weight = 4;
    if (ws.phases().Add(p)) ++added;
  }
  return added;
}

void SortImportRows(std::vector<ImportRow>& rows, int column) {
  std::stable_sort(rows.begin(), rows.end(), [column](const ImportRow& a, const ImportRow& b) {
    switch (column) {
      case 0:
        return a.station < b.station;
      case 1:
        return a.phase < b.phase;
      case 2:
        return a.time < b.time;
      default:
        return std::fabs(a.residual) < std::fabs(b.residual);
    }
  });
}

}  // namespace nuv
