// Loading, starting, deleting and listing events of the main database.

#include <ctime>
#include <string>
#include <vector>

#include "db/databases.h"
#include "db/dialect.h"
#include "db/station_table.h"
#include "phases/current_event.h"
#include "phases/event_sql.h"
#include "phases/event_store.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "platform/odbc.h"
#include "platform/strformat.h"
#include "platform/user_prompts.h"

namespace nuv {
namespace {

constexpr const char* kArrivalColumns =
    "STA, CHAN, IPHASE, ITIME, IM_EM, FM, RESIDUALS, AMPL, PER, AMPTIME, FLAG, DELTIM, WGT, "
    "AZIMUTH, EMA, RECT, ARID, DIST, MB, MS, MPLP, MPSP, ML, CODA, REGCLASS, MCODA, CHANTYPE, "
    "REMARK, AFILTYPE, PFILTYPE";

std::string TrimmedText(odbc::Statement& s, int column) {
  const std::optional<std::string> text = s.GetText(column);
  if (!text) return {};
  std::string value = *text;
  while (!value.empty() && value.back() == ' ') value.pop_back();
  return value;
}

int ExactChannel(const CScreenFields& station, const std::string& code) {
  for (int i = 0; i < kChannelsPerStation; ++i)
    if (station.channels[static_cast<size_t>(i)].used() &&
        station.channels[static_cast<size_t>(i)].name == code)
      return i;
  return -1;
}

// The phase of one ARRIVAL row, or nothing when its station, channel or
// phase name is unknown here.
std::optional<SEISMIC_PHASE> PhaseOfRow(const EventContext& c, odbc::Statement& s) {
  SEISMIC_PHASE p;
  p.station = c.stations.FindStationExact(TrimmedText(s, 1));
  if (p.station < 0) return std::nullopt;
  p.channel = ExactChannel(c.stations[p.station], TrimmedText(s, 2));
  p.phaseType = c.types.IndexOf(TrimmedText(s, 3));
  if (p.channel < 0 || p.phaseType < 0) return std::nullopt;
  const auto real = [&](int column) { return s.GetDouble(column); };
  const auto text = [&](int column) { return s.GetText(column).value_or(""); };
  p.SetTime(real(4).value_or(0));
  p.onset = OnsetFromText(text(5));
  p.firstMotion = FirstMotionFromText(text(6));
  if (auto r = real(7)) p.residual = static_cast<float>(*r), p.hasResidual = 1;
  const auto ampl = real(8), per = real(9);
  if (ampl && per) {
    p.amplitude = static_cast<float>(*ampl);
    p.period = static_cast<float>(*per);
    p.hasAmplitude = 1;
  }
  if (auto t = real(10)) p.ampTime = *t;
  p.defining = static_cast<int32_t>(s.GetInt(11).value_or(0));
  p.deltim = real(12).value_or(0);
  p.weight = static_cast<uint8_t>(s.GetInt(13).value_or(0));
  if (auto az = real(14)) {
    p.hasPolarization = 1;
    p.azimuth = static_cast<float>(*az);
    if (auto ema = real(15)) p.emergence = static_cast<float>(*ema);
    if (auto rect = real(16)) p.rectilinearity = static_cast<float>(*rect);
  }
  if (auto arid = s.GetInt(17)) p.arid = static_cast<int32_t>(*arid);
  const auto dist = real(18);
  p.distance = dist && *dist != 1246576928.0 ? static_cast<float>(*dist) : -1.0f;
  float* magnitudes[] = {&p.mb, &p.ms, &p.mplp, &p.mpsp, &p.ml};
  for (int i = 0; i < 5; ++i)
    if (auto m = real(19 + i)) *magnitudes[i] = static_cast<float>(*m);
  if (auto v = real(24)) p.coda = *v;
  if (auto v = real(25)) p.energyClass = *v;
  if (auto v = real(26)) p.mcoda = *v;
  p.chanType = text(27);
  p.remark = text(28);
  p.aFilType = text(29);
  p.pFilType = text(30);
  if (!c.types.CanBeDefining(p.phaseType)) p.defining = 0;
  return p;
}

struct OriginRow {
  bool found = false;
  std::string comment;
  std::optional<double> lat, lon, depth, time, mb, ms, mbUnc, msUnc;
  std::optional<long long> orid;
};

OriginRow ReadOrigin(EventContext& c, const std::string& id) {
  OriginRow row;
  odbc::Statement s = c.databases.main().Query(
      StrFormat("select LAT, LON, DEPTH, ORIGINTIME, MB, MS, MBUNC, MSUNC, %s, ORID from ORIGIN "
                "where EVENTID=",
                c.databases.CommentColumn()) +
      Quoted(id));
  if (!s.Fetch()) return row;
  row.found = true;
  row.lat = s.GetDouble(1), row.lon = s.GetDouble(2), row.depth = s.GetDouble(3);
  row.time = s.GetDouble(4), row.mb = s.GetDouble(5), row.ms = s.GetDouble(6);
  row.mbUnc = s.GetDouble(7), row.msUnc = s.GetDouble(8);
  row.comment = s.GetText(9).value_or("");
  row.orid = s.GetInt(10);
  return row;
}

// The origin of the row into `e`; the orid stays -1 when the row has none.
void ApplyOrigin(const OriginRow& row, CurrentEvent& e) {
  if (!row.found) {
    e.originValid = 0;
    return;
  }
  e.eventComment = row.comment;
  e.originLat = static_cast<float>(row.lat.value_or(45.0));
  e.originLon = static_cast<float>(row.lon.value_or(45.0));
  e.originTime = row.time.value_or(0);
  e.originDepth = static_cast<float>(row.depth.value_or(-1));
  e.originValid = row.lat && row.lon && row.depth ? 1 : 0;
  e.orid = row.orid ? static_cast<int32_t>(*row.orid) : -1;
  e.eventMb = static_cast<float>(row.mb.value_or(kNoMagnitude));
  e.eventMs = static_cast<float>(row.ms.value_or(kNoMagnitude));
  e.eventMbUnc = static_cast<float>(row.mbUnc.value_or(kNoMagnitude));
  e.eventMsUnc = static_cast<float>(row.msUnc.value_or(kNoMagnitude));
}

void RollbackQuietly(odbc::Connection& db) {
  try {
    db.Rollback();
  } catch (const odbc::Error&) {
    // The first error is the one reported.
  }
}

}  // namespace

std::vector<SEISMIC_PHASE> ReadStoredArrivals(EventContext& c, const std::string& eventId) {
  std::vector<SEISMIC_PHASE> phases;
  odbc::Statement s =
      c.databases.main().Query(std::string("select ") + kArrivalColumns +
                               " from ARRIVAL where EVENTID=" + Quoted(PadEventId(eventId)));
  while (s.Fetch())
    if (auto phase = PhaseOfRow(c, s)) phases.push_back(std::move(*phase));
  return phases;
}

bool ReadStoredEvent(EventContext& c, const std::string& eventId, CurrentEvent& event,
                     std::vector<SEISMIC_PHASE>& phases) {
  const std::string id = PadEventId(eventId);
  const OriginRow origin = ReadOrigin(c, id);
  if (!origin.found) return false;
  phases = ReadStoredArrivals(c, id);
  event.eventId = id;
  ApplyOrigin(origin, event);
  return true;
}

bool LoadEvent(EventContext& c, const std::string& eventId) {
  const std::string id = PadEventId(eventId);
  std::vector<SEISMIC_PHASE> loaded;
  OriginRow origin;
  try {
    loaded = ReadStoredArrivals(c, id);
    origin = ReadOrigin(c, id);
  } catch (const odbc::Error& error) {
    c.prompts.ShowError(error.what());
    return false;
  }
  c.event.eventId = id;
  {
    PhaseChangeGroup group(c.phases, /*pauseHistory=*/true);
    c.phases.RemoveAll();
    for (const SEISMIC_PHASE& phase : loaded) c.phases.Add(phase);
  }
  c.phases.ClearHistory();
  ApplyOrigin(origin, c.event);
  if (origin.found && c.event.orid < 0)
    c.event.orid = static_cast<int32_t>(c.databases.AllocateId("orid", c.localLastId));
  return true;
}

NewEventResult NewEvent(EventContext& c, const std::string& eventId, const std::string& comment,
                        bool startProcessing) {
  const std::string id = PadEventId(eventId);
  odbc::Connection& db = c.databases.main();
  int32_t orid = -1;
  try {
    if (EventExists(c, id)) {
      c.prompts.ShowError(kEventExists);
      return NewEventResult::Exists;
    }
    orid = static_cast<int32_t>(c.databases.AllocateId("orid", c.localLastId));
    db.Execute(StrFormat("insert into ORIGIN (EVENTID, %s, LDDATE, ORID) values (",
                         c.databases.CommentColumn()) +
               Quoted(id) + ", " + Quoted(comment) + ", {ts '" + NowText() + "'}, " +
               StrFormat("%d)", orid));
  } catch (const odbc::Error& error) {
    c.prompts.ShowError(error.what());
    return NewEventResult::Failed;
  }
  if (!startProcessing) return NewEventResult::Created;
  CurrentEvent& e = c.event;
  e.eventId = id;
  e.eventComment = comment;
  e.orid = orid;
  e.ResetStationDistances();
  {
    PhaseChangeGroup group(c.phases, /*pauseHistory=*/true);
    c.phases.RemoveAll();
  }
  c.phases.ClearHistory();
  e.originValid = 0;
  e.originTime = 0;
  e.eventMb = e.eventMs = kNoMagnitude;
  return NewEventResult::Created;
}

bool DeleteEvent(EventContext& c, const std::string& eventId, int orid) {
  const std::string id = Quoted(PadEventId(eventId));
  odbc::Connection& db = c.databases.main();
  try {
    db.BeginTransaction();
    db.Execute("delete from ORIGIN where EVENTID=" + id);
    db.Execute("delete from arrival where EVENTID=" + id);
    db.Commit();
  } catch (const odbc::Error& error) {
    RollbackQuietly(db);
    c.prompts.ShowError(error.what());
    return false;
  }
  if (c.databases.cssOpen() && orid >= 0) {
    try {
      c.databases.css().Execute(StrFormat("delete from ORIGIN where ORIGIN.ORID=%d", orid));
    } catch (const odbc::Error& error) {
      c.prompts.ShowError(error.what());
    }
  }
  return true;
}

bool EventExists(EventContext& c, const std::string& eventId) {
  odbc::Statement s = c.databases.main().Query("select EVENTID from ORIGIN where EVENTID=" +
                                               Quoted(PadEventId(eventId)));
  return s.Fetch();
}

int StoredOrid(EventContext& c, const std::string& eventId) {
  try {
    odbc::Statement s = c.databases.main().Query("select ORID from ORIGIN where EVENTID=" +
                                                 Quoted(PadEventId(eventId)));
    if (s.Fetch())
      if (auto orid = s.GetInt(1)) return static_cast<int>(*orid);
  } catch (const odbc::Error& error) {
    c.prompts.ShowError(error.what());
  }
  return -1;
}

std::string EventListQuery(int dialect, const char* commentColumn, int lastN) {
  const char* columns = "EVENTID, LAT, LON, DEPTH, ORIGINTIME, LDDATE, %s,ORID";
  const std::string list = StrFormat(columns, commentColumn);
  if (lastN <= 0) return "select " + list + " from ORIGIN order by LDDATE desc, ORIGINTIME desc ";
  switch (dialect) {
    case kDialectAccess:
    case kDialectSqlServer:
      return StrFormat("select TOP %d ", lastN) + list +
             " from ORIGIN order by LDDATE desc, ORIGINTIME desc";
    case kDialectOracle:
      return "select " + list +
             StrFormat(
                 " from (SELECT * from ORIGIN order by LDDATE desc, ORIGINTIME desc) where "
                 "rownum <=%d  ",
                 lastN);
    case kDialectMySql:
    case kDialectPostgres:
    case kDialectSqlite:
      return "select " + list +
             StrFormat(" from ORIGIN order by LDDATE desc, ORIGINTIME desc LIMIT %d", lastN);
    default:
      return "select " + list + " from ORIGIN order by LDDATE desc, ORIGINTIME desc ";
  }
}

std::vector<StoredEvent> ListEvents(EventContext& c, int lastN) {
  std::vector<StoredEvent> events;
  odbc::Statement s = c.databases.main().Query(
      EventListQuery(c.databases.dialect(), c.databases.CommentColumn(), lastN));
  while (s.Fetch()) {
    StoredEvent e;
    e.eventId = s.GetText(1).value_or("");
    e.lat = s.GetDouble(2), e.lon = s.GetDouble(3), e.depth = s.GetDouble(4);
    e.originTime = s.GetDouble(5);
    e.lddate = s.GetText(6).value_or("");
    e.comment = s.GetText(7).value_or("");
    e.orid = s.GetInt(8);
    events.push_back(std::move(e));
  }
  return events;
}

}  // namespace nuv
