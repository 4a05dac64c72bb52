#include "phases/css_result_save.h"

#include <cmath>
#include <string>
#include <vector>

#include "db/databases.h"
#include "db/dialect.h"
#include "db/insert_batch.h"
#include "db/station_table.h"
#include "phases/current_event.h"
#include "phases/event_sql.h"
#include "phases/id_block.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "platform/odbc.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "platform/user_prompts.h"
#include "traveltime/dist_az.h"

namespace nuv {
namespace {

// An identifier could not be had; the message is shown as it stands.
struct IdFailure {
  const char* message;
};

struct CssWriter {
  EventContext& c;
  odbc::Connection& db;
  int dialect;
  std::string now;

  std::string Stamp() const { return TimestampLiteral(now, dialect); }
  const CScreenFields& Station(const SEISMIC_PHASE& p) const { return c.stations[p.station]; }
  std::string Chan(const SEISMIC_PHASE& p) const {
    return ToLowerAscii(Station(p).channels[static_cast<size_t>(p.channel)].name);
  }

  bool OriginExists(int orid) {
    odbc::Statement s = db.Query(StrFormat("select orid from origin where orid=%d", orid));
    return s.Fetch();
  }

  void WriteOrigin() {
    const CurrentEvent& e = c.event;
    const bool valid = e.originValid != 0;
    const double lat = valid ? e.originLat : 90, lon = valid ? e.originLon : 180;
    const double depth = valid ? e.originDepth : 900, time = valid ? e.originTime : 0;
    int nass = 0, ndef = 0;
    for (const SEISMIC_PHASE& p : c.phases) {
      ++nass;
      if (p.defining) ++ndef;
    }
    const double mb = e.eventMb != 999.0f ? e.eventMb : -999.0;
    const double ms = e.eventMs != 999.0f ? e.eventMs : -999.0;
    const int jdate = JulianDateOfEpoch(time);
    if (OriginExists(e.orid)) {
      db.Execute(StrFormat("update origin set lat=%.6f, lon=%.6f, depth=%.4f, time=%.5f, "
                           "jdate=%d, nass=%d, ndef=%d, mb=%.2f, ms=%.2f, commid=-1, "
                           "algorithm='NUV', auth='NUV', dtype='', lddate=",
                           lat, lon, depth, time, jdate, nass, ndef, mb, ms) +
                 Stamp() + StrFormat(" where orid=%d", e.orid));
      return;
    }
    db.Execute(StrFormat("insert into origin (lat, lon, depth, time, orid, evid, jdate, nass, "
                         "ndef, ndp, grn, srn, etype, depdp, dtype, mb, mbid, ms, msid, ml, "
                         "mlid, algorithm, auth, commid, lddate) values (%.6f, %.6f, %.4f, "
                         "%.5f, %d, -1, %d, %d, %d, 0, -1, -1, '-', -999, '', %.2f, -1, %.2f, "
                         "-1, -999, -1, 'NUV', 'NUV', -1, ",
                         lat, lon, depth, time, e.orid, jdate, nass, ndef, mb, ms) +
               Stamp() + ")");
  }

  // The rows of the arrivals associated with the orid, then the
  // associations; one statement per table however many phases there are.
  void DeleteOldRows() {
    const std::string arids = StrFormat("(select arid from assoc where orid=%d)", c.event.orid);
    for (const char* table : {"AMPLITUDE", "ARRIVAL", "STAMAG"})
      db.Execute(StrFormat("delete from %s where ARID in ", table) + arids);
    db.Execute(StrFormat("delete from assoc where orid=%d", c.event.orid));
  }

  IdBlock ampids, magids;

  // Batches of the four tables, filled by the writers below.
  struct Batches {
    InsertBatch arrival, amplitude, stamag, assoc;
    explicit Batches(odbc::Connection& db, bool multiRow)
        : arrival(db, kArrivalHead, multiRow),
          amplitude(db, kAmplitudeHead, multiRow),
          stamag(db, kStamagHead, multiRow),
          assoc(db, kAssocHead, multiRow) {}
    void Flush() {
      for (InsertBatch* batch : {&arrival, &amplitude, &stamag, &assoc}) batch->Flush();
    }
  };
  static constexpr const char* kArrivalHead =
      "insert into arrival (sta, time, arid, jdate, stassid, chanid, chan, iphase, stype, deltim, "
      "azimuth, delaz, slow, delslo, ema, rect, amp, per, logat, clip, fm, snr, qual, auth, "
      "commid, lddate) values ";
  static constexpr const char* kAmplitudeHead =
      "insert into amplitude (ampid, arid, parid, chan, amp, per, amptime, amptype, inarrival, "
      "units, clip, lddate, auth, bandw, duration, snr, start_time)  values ";
  static constexpr const char* kStamagHead =
      "insert into stamag (magtype, magid, sta, orid, arid,ampid,evid,magdef,auth, delta, "
      "magnitude, magres, mmodel, phase, uncertainty) values ";
  static constexpr const char* kAssocHead =
      "insert into assoc (arid, orid, sta, phase, belief, delta, seaz, esaz, timeres, timedef, "
      "azres, azdef, slores, slodef, emares, wgt, vmodel,commid, lddate) values ";

  void WriteArrival(const SEISMIC_PHASE& p, InsertBatch& batch) {
    const bool pol = p.hasPolarization != 0, amp = p.hasAmplitude != 0;
    const double azimuth = pol ? (p.azimuth < 0 ? p.azimuth + 360 : p.azimuth) : -1;
    const double ampNm = amp ? p.amplitude * 1000.0 : -1;
    const double per = amp ? p.period : -1;
    const double logat = amp && per > 0 && ampNm > 0 ? std::log10(ampNm / per) : -999;
    const char qual[] = {"eiw-"[p.onset <= 3 ? p.onset : 3], 0};
    batch.Add(StrFormat("(%s, %.5f, %d, %d, -1, -1, %s, %s, '-', %.3f, %.2f, -1, -1, -1, %.2f, -1, "
                        "%.2f, %.3f, %.4f, '-', '%s', -1, '%s', 'NUV', -1, ",
                        Quoted(Station(p).code).c_str(), p.time, p.arid, JulianDateOfEpoch(p.time),
                        Quoted(Chan(p)).c_str(), Quoted(c.types.Name(p.phaseType)).c_str(),
                        p.deltim, azimuth, pol ? p.emergence : -1.0, ampNm, per, logat,
                        CssFirstMotionCode(p.firstMotion), qual) +
              Stamp() + ")");
  }

  void WriteAmplitude(const SEISMIC_PHASE& p, Batches& batches) {
    const long long ampid = ampids.Take();
    batches.amplitude.Add(StrFormat("(%lld,    %d  ,    -1, '%s', %f , %f "
                                    ", %lf    , 'A5/2' , 'n'      , 'nm' , '-' , ",
                                    ampid, p.arid, SqlEscape(Chan(p)).c_str(), p.amplitude * 1000.0,
                                    static_cast<double>(p.period),
                                    p.ampTime != 0 ? p.ampTime : p.time) +
                          Stamp() + ", 'NUV', -1, -1, -1, -1)");
    const struct {
      const char* type;
      float value;
    } magnitudes[] = {{"mb", p.mb}, {"ms", p.ms}};
    for (const auto& m : magnitudes) {
      if (m.value == -1) continue;
      batches.stamag.Add(StrFormat(
          "('%s', %lld, '%s', %d, %d, %lld, -1, '-', 'NUV', -1, %f, "
          "0.0, '-', '%s', -1)",
          m.type, magids.Take(), SqlEscape(Station(p).code).c_str(), c.event.orid, p.arid, ampid,
          static_cast<double>(m.value), SqlEscape(c.types.Name(p.phaseType)).c_str()));
    }
  }

  void WriteAssoc(const SEISMIC_PHASE& p, InsertBatch& batch) {
    double delta = -1, seaz = -1, esaz = -999;
    DistAzResult r;
    const CScreenFields& s = Station(p);
    if (c.event.originValid && DistAz(s.lat, s.lon, c.event.originLat, c.event.originLon, r)) {
      delta = r.distance;
      seaz = r.azimuth < 0 ? r.azimuth + 360 : r.azimuth;
      esaz = r.backAzimuth < 0 ? r.backAzimuth + 360 : r.backAzimuth;
    }
    batch.Add(StrFormat("(%d, %d, '%s', '%s', -1, %f, %f, %f,0.0, 'd', "
                        "-999.0, 'n', -99999., 'n', -999.0, %f, 'JB', -1, ",
                        p.arid, c.event.orid, SqlEscape(s.code).c_str(),
                        SqlEscape(c.types.Name(p.phaseType)).c_str(), delta, seaz, esaz,
                        p.weight / 5.0) +
              Stamp() + ")");
  }

  void WriteRemark(const SEISMIC_PHASE& p) {
    // The old line of this remark goes first, so a second save keeps one.
    db.Execute(StrFormat("delete from remark where commid=%d", p.commid));
    db.Execute(
        StrFormat("insert into remark (commid, lineno, remark, lddate) values (%d, 1, ", p.commid) +
        Quoted(p.cssComment.substr(0, 80)) + ", " + Stamp() + ")");
  }

  // Phases whose station or channel is not in the station table cannot be
  // written (their codes are unknown).
  bool Writable(const SEISMIC_PHASE& p) const {
    return p.station >= 0 && p.station < c.stations.size() && p.channel >= 0 &&
           p.channel < kChannelsPerStation;
  }

  // Identifiers are committed before the transactions, so a rolled-back
  // save never gives them out twice; each kind comes as one block.
  void AllocateIdentifiers() {
    int arids = 0, commids = 0;
    for (const SEISMIC_PHASE& p : c.phases) {
      arids += p.arid < 0;
      commids += !p.cssComment.empty() && p.commid < 0;
    }
    IdBlock aridBlock = ReserveIds(c, "arid", arids),
            commidBlock = ReserveIds(c, "commid", commids);
    for (int i = 0; i < c.phases.Count(); ++i) {
      SEISMIC_PHASE* p = c.phases.GetAt(i);
      if (p->arid < 0) p->arid = static_cast<int32_t>(aridBlock.Take());
      if (p->arid < 0) throw IdFailure{kNoNewArid};
      if (!p->cssComment.empty() && p->commid < 0) {
        p->commid = static_cast<int32_t>(commidBlock.Take());
        if (p->commid < 0) throw IdFailure{kNoNewCommid};
      }
    }
  }

  void WriteArrivals() {
    DeleteOldRows();
    int amplitudes = 0, magnitudes = 0;
    std::string arids;
    for (const SEISMIC_PHASE& p : c.phases) {
      if (!Writable(p)) continue;
      arids += (arids.empty() ? "" : ",") + std::to_string(p.arid);
      if (!p.hasAmplitude) continue;
      ++amplitudes;
      magnitudes += (p.mb != -1) + (p.ms != -1);
    }
    // Arrival rows of these arids left by another origin go too.
    if (!arids.empty()) db.Execute("delete from arrival where arid in (" + arids + ")");
    ampids = ReserveIds(c, "ampid", amplitudes);
    magids = ReserveIds(c, "magid", magnitudes);
    Batches batches(db, MultiRowInsert(dialect));
    for (const SEISMIC_PHASE& p : c.phases) {
      if (!Writable(p)) continue;
      WriteArrival(p, batches.arrival);
      if (p.hasAmplitude) WriteAmplitude(p, batches);
      WriteAssoc(p, batches.assoc);
      if (!p.cssComment.empty()) WriteRemark(p);
    }
    batches.Flush();
  }
};

void RollbackQuietly(odbc::Connection& db) {
  try {
    db.Rollback();
  } catch (const odbc::Error&) {
    // Nothing more can be done; the first error is the one reported.
  }
}

}  // namespace

const char* CssFirstMotionCode(uint8_t firstMotion) {
  switch (firstMotion) {
    case 5:
      return "c.";
    case 6:
      return "d.";
    case 7:
      return ".u";
    case 8:
      return ".r";
    default:
      return "-";
  }
}

int SaveEventToCss(EventContext& c) {
  if (c.event.orid < 0)
    c.event.orid = static_cast<int32_t>(c.databases.AllocateId("orid", c.localLastId));
  if (c.event.orid < 0) {
    c.prompts.ShowError(kNoNewOrid);
    return -1;
  }
  odbc::Connection& db = c.databases.css();
  CssWriter writer{c, db, RecogniseDialect(db.DbmsName()), NowText(), {}, {}};
  try {
    writer.AllocateIdentifiers();
  } catch (const IdFailure& failure) {
    c.prompts.ShowError(failure.message);
    return -1;
  }
  for (auto step : {&CssWriter::WriteOrigin, &CssWriter::WriteArrivals}) {
    try {
      db.BeginTransaction();
      (writer.*step)();
      db.Commit();
    } catch (const odbc::Error& error) {
      RollbackQuietly(db);
      c.prompts.ShowError(error.what());
      return -1;
    }
  }
  return 0;
}

}  // namespace nuv
