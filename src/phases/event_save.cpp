// Saving the current event to ORIGIN and ARRIVAL of the main database.

#include <string>

#include "db/databases.h"
#include "db/insert_batch.h"
#include "db/station_table.h"
#include "phases/css_result_save.h"
#include "phases/current_event.h"
#include "phases/event_sql.h"
#include "phases/event_store.h"
#include "phases/id_block.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "platform/odbc.h"
#include "platform/strformat.h"
#include "platform/user_prompts.h"

namespace nuv {
namespace {

bool HasMagnitude(float m) {
  return m != 999.0f && m != -999.0f;
}

std::string OriginInsert(const EventContext& c, const std::string& now) {
  const CurrentEvent& e = c.event;
  const bool mb = HasMagnitude(e.eventMb), ms = HasMagnitude(e.eventMs);
  return StrFormat(
      "insert into origin (EVENTID, ORID, LAT, LON, DEPTH, ORIGINTIME, MB, MS, MBUNC, MSUNC,  %s, "
      "LDDATE)values (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s, {ts '%s'})",
      c.databases.CommentColumn(), Quoted(e.eventId).c_str(), StrFormat("%d", e.orid).c_str(),
      Fixed3OrNull(e.originLat, e.originValid).c_str(),
      Fixed3OrNull(e.originLon, e.originValid).c_str(),
      Fixed3OrNull(e.originDepth, e.originDepth >= 0).c_str(),
      Fixed3OrNull(e.originTime, e.originTime > 0).c_str(), Fixed3OrNull(e.eventMb, mb).c_str(),
      Fixed3OrNull(e.eventMs, ms).c_str(), Fixed3OrNull(e.eventMbUnc, mb).c_str(),
      Fixed3OrNull(e.eventMsUnc, ms).c_str(), Quoted(e.eventComment).c_str(), now.c_str());
}

constexpr const char* kArrivalInsertHead =
    "insert into ARRIVAL (EVENTID, STA, CHAN, IPHASE, ITIME, IM_EM, FM, DELTIM, WGT, LDDATE, "
    "FLAG, CODA, REGCLASS, MCODA, AMPL, PER, AMPTIME, RESIDUALS, AZIMUTH, EMA, RECT, ARID, "
    "DIST, MB, MS, MPLP, MPSP, ML, CHANTYPE, REMARK, AFILTYPE, PFILTYPE, NUMB, SLOW) values ";

// The parenthesised values of one ARRIVAL row.
std::string ArrivalValues(const EventContext& c, const SEISMIC_PHASE& p, const std::string& now) {
  const CScreenFields* station =
      p.station >= 0 && p.station < c.stations.size() ? &c.stations[p.station] : nullptr;
  const std::string sta = station ? station->code : "";
  const std::string chan = station && p.channel >= 0 && p.channel < kChannelsPerStation
                               ? station->channels[static_cast<size_t>(p.channel)].name
                               : "";
  const auto positive = [](double v) { return ExactOrNull(v, v > 0); };
  const bool amp = p.hasAmplitude != 0, pol = p.hasPolarization != 0;
  return "(" + Quoted(c.event.eventId) + ", " + Quoted(sta) + ", " + Quoted(chan) + ", " +
         Quoted(c.types.Name(p.phaseType)) + ", " + ExactOrNull(p.time, true) + ", " +
         Quoted(std::string(1, OnsetCode(p.onset))) + ", " +
         Quoted(std::string(1, FirstMotionCode(p.firstMotion))) + ", " +
         ExactOrNull(p.deltim, true) + ", " + StrFormat("%d", p.weight) + ", {ts '" + now + "'}, " +
         StrFormat("%d", p.defining) + ", " + positive(p.coda) + ", " + positive(p.energyClass) +
         ", " + positive(p.mcoda) + ", " + ExactOrNull(p.amplitude, amp) + ", " +
         ExactOrNull(p.period, amp) + ", " + ExactOrNull(p.ampTime, amp) + ", " +
         ExactOrNull(p.residual, p.hasResidual != 0) + ", " + ExactOrNull(p.azimuth, pol) + ", " +
         ExactOrNull(p.emergence, pol) + ", " + ExactOrNull(p.rectilinearity, pol) + ", " +
         StrFormat("%d", p.arid) + ", " + positive(p.distance) + ", " + positive(p.mb) + ", " +
         positive(p.ms) + ", " + positive(p.mplp) + ", " + positive(p.mpsp) + ", " +
         positive(p.ml) + ", " + Quoted(p.chanType) + ", " + Quoted(p.remark) + ", " +
         Quoted(p.aFilType) + ", " + Quoted(p.pFilType) + ", NULL, NULL)";
}

// Runs `sql` inside the save's transaction; a failure carries `prefix`
// before the driver's text.
void Run(odbc::Connection& connection, const std::string& sql, const char* prefix) {
  try {
    connection.Execute(sql);
  } catch (const odbc::Error& error) {
    throw odbc::Error(prefix ? std::string(prefix) + "\n" + error.what() : error.what());
  }
}

void WriteMainRows(EventContext& c) {
  odbc::Connection& db = c.databases.main();
  const std::string now = NowText();
  const std::string id = Quoted(c.event.eventId);
  Run(db, "delete from ORIGIN where EVENTID=" + id, kOridUpdateError);
  Run(db, OriginInsert(c, now), kOridUpdateError);
  Run(db, "delete from arrival where EVENTID=" + id, nullptr);
  // The rows go in a few multi-row statements where the dialect allows:
  // one statement per row costs a round trip each on a server.
  InsertBatch arrivals(db, kArrivalInsertHead, MultiRowInsert(c.databases.dialect()));
  for (const SEISMIC_PHASE& phase : c.phases)
    if (phase.active) arrivals.Add(ArrivalValues(c, phase, now));
  arrivals.Flush();
  Run(db, StrFormat("update ORIGIN set ORID=%d where EVENTID=", c.event.orid) + id,
      kOridUpdateError);
}

// The arids of the new phases as one block reserved at once; they stay -1
// (and are asked for again by the next save) when the block cannot be had.
void AllocateArids(EventContext& c) {
  int missing = 0;
  for (const SEISMIC_PHASE& phase : c.phases) missing += phase.active && phase.arid < 0;
  if (missing == 0) return;
  IdBlock arids = ReserveIds(c, "arid", missing);
  for (int i = 0; i < c.phases.Count(); ++i) {
    SEISMIC_PHASE* phase = c.phases.GetAt(i);
    if (phase->active && phase->arid < 0) phase->arid = static_cast<int32_t>(arids.Take());
  }
}

}  // namespace

SaveOutcome SaveEvent(EventContext& c) {
  SaveOutcome outcome;
  if (!c.databases.mainOpen()) {
    outcome.error = "Нет соединения с основной базой данных";
    c.prompts.ShowError(outcome.error);
    return outcome;
  }
  // Identifiers first, committed before the save's transaction: a save that
  // fails later must not give them out again.
  if (c.event.orid == -1)
    c.event.orid = static_cast<int32_t>(c.databases.AllocateId("orid", c.localLastId));
  AllocateArids(c);
  odbc::Connection& db = c.databases.main();
  try {
    db.BeginTransaction();
    WriteMainRows(c);
    db.Commit();
    outcome.saved = true;
  } catch (const odbc::Error& error) {
    try {
      db.Rollback();
    } catch (const odbc::Error&) {
      // The rollback's own failure adds nothing the analyst can act on.
    }
    outcome.error = error.what();
    c.prompts.ShowError(outcome.error);
    return outcome;
  }
  if (c.databases.cssOpen() && c.saveToCss) {
    const bool ok = SaveEventToCss(c) == 0;
    outcome.css = ok ? SaveOutcome::Css::Saved : SaveOutcome::Css::Failed;
    if (ok)
      c.prompts.Message(kCssSaved, kAppTitle, PromptIcon::Exclamation, PromptButtons::Ok);
    else
      c.prompts.ShowError(kCssSaveFailed);
  }
  return outcome;
}

}  // namespace nuv
