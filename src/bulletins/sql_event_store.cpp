#include <ctime>

#include "bulletins/bulletin_source.h"
#include "bulletins/event_store.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

std::string Trimmed(const std::optional<std::string>& text) {
  return text ? std::string(Trim(*text)) : std::string();
}

std::string Real(double value, bool present) {
  return present ? StrFormat("%.17g", value) : "NULL";
}

std::string Quoted(const std::string& text) {
  return "'" + SqlEscape(text) + "'";
}

class SqlEventStore : public EventStore {
 public:
  explicit SqlEventStore(Workstation& ws) : ws_(ws) {}

  std::vector<SEISMIC_PHASE> LoadArrivals(const std::string& eventId) override {
    std::vector<SEISMIC_PHASE> phases;
    odbc::Statement st = ws_.databases().main().Query(StrFormat(
        "select STA, CHAN, IPHASE, ITIME, IM_EM, FM, RESIDUALS, AMPL, PER, AMPTIME, FLAG, DELTIM, "
        "WGT, AZIMUTH, EMA, RECT, ARID, DIST, MB, MS, MPLP, MPSP, ML, CODA, REGCLASS, MCODA, "
        "CHANTYPE, REMARK, AFILTYPE, PFILTYPE from ARRIVAL where EVENTID='%s'",
        SqlEscape(eventId).c_str()));
    const StationTable& stations = ws_.stations();
    const PhaseTypeTable& types = ws_.phaseTypes();
    while (st.Fetch()) {
      const int station = stations.FindStationExact(Trimmed(st.GetText(1)));
      const std::string chan = Trimmed(st.GetText(2));
      const int type = types.IndexOf(Trimmed(st.GetText(3)));
      const auto time = st.GetDouble(4);
      if (station < 0 || type < 0 || !time) continue;
      int channel = -1;
      for (int c = 0; c < kChannelsPerStation && channel < 0; ++c)
        if (stations[station].channels[static_cast<size_t>(c)].name == chan) channel = c;
      if (channel < 0) continue;
      SEISMIC_PHASE p;
      p.station = station;
      p.channel = channel;
      p.phaseType = type;
      p.SetTime(*time);
      p.onset = OnsetFromText(Trimmed(st.GetText(5)));
      p.firstMotion = FirstMotionFromText(Trimmed(st.GetText(6)));
      if (const auto r = st.GetDouble(7)) {
        p.residual = static_cast<float>(*r);
        p.hasResidual = 1;
      }
      const auto amp = st.GetDouble(8), per = st.GetDouble(9);
      if (amp && per) {
        p.amplitude = static_cast<float>(*amp);
        p.period = static_cast<float>(*per);
        p.hasAmplitude = 1;
      }
      if (const auto t = st.GetDouble(10)) p.ampTime = *t;
      p.defining = static_cast<int32_t>(st.GetInt(11).value_or(0));
      p.deltim = st.GetDouble(12).value_or(0);
      p.weight = static_cast<uint8_t>(st.GetInt(13).value_or(4));
      if (const auto az = st.GetDouble(14)) {
        p.hasPolarization = 1;
        p.azimuth = static_cast<float>(*az);
        if (const auto ema = st.GetDouble(15)) p.emergence = static_cast<float>(*ema);
        if (const auto rect = st.GetDouble(16)) p.rectilinearity = static_cast<float>(*rect);
      }
      if (const auto arid = st.GetInt(17)) p.arid = static_cast<int32_t>(*arid);
      const auto dist = st.GetDouble(18);
      p.distance = dist && *dist != 1246576928.0 ? static_cast<float>(*dist) : -1.0f;
      float* magnitudes[] = {&p.mb, &p.ms, &p.mplp, &p.mpsp, &p.ml};
      for (int i = 0; i < 5; ++i)
        if (const auto m = st.GetDouble(19 + i)) *magnitudes[i] = static_cast<float>(*m);
      if (const auto v = st.GetDouble(24)) p.coda = *v;
      if (const auto v = st.GetDouble(25)) p.energyClass = *v;
      if (const auto v = st.GetDouble(26)) p.mcoda = *v;
      p.chanType = Trimmed(st.GetText(27));
      p.remark = Trimmed(st.GetText(28));
      p.aFilType = Trimmed(st.GetText(29));
      p.pFilType = Trimmed(st.GetText(30));
      if (!types.CanBeDefining(type)) p.defining = 0;
      phases.push_back(std::move(p));
    }
    return phases;
  }

  bool ReadEvent(const std::string& eventId, CurrentEvent& e,
                 std::vector<SEISMIC_PHASE>& phases) override {
    const std::string id(Trim(eventId));
    odbc::Statement st = ws_.databases().main().Query(
        StrFormat("select LAT, LON, DEPTH, ORIGINTIME, ORID, MB, MS, MBUNC, MSUNC, %s from ORIGIN "
                  "where EVENTID='%s'",
                  ws_.databases().CommentColumn(), SqlEscape(id).c_str()));
    if (!st.Fetch()) return false;
    const auto lat = st.GetDouble(1), lon = st.GetDouble(2), depth = st.GetDouble(3);
    e.originLat = static_cast<float>(lat.value_or(45.0));
    e.originLon = static_cast<float>(lon.value_or(45.0));
    e.originDepth = static_cast<float>(depth.value_or(-1.0));
    e.originTime = st.GetDouble(4).value_or(0.0);
    e.originValid = lat && lon && depth ? 1 : 0;
    const auto orid = st.GetInt(5);
    e.eventMb = static_cast<float>(st.GetDouble(6).value_or(kNoMagnitude));
    e.eventMs = static_cast<float>(st.GetDouble(7).value_or(kNoMagnitude));
    e.eventMbUnc = static_cast<float>(st.GetDouble(8).value_or(kNoMagnitude));
    e.eventMsUnc = static_cast<float>(st.GetDouble(9).value_or(kNoMagnitude));
    e.eventComment = st.GetText(10).value_or("");
    e.eventId = PadEventId(id);
    e.orid = orid ? static_cast<int32_t>(*orid) : -1;
    phases = LoadArrivals(id);
    return true;
  }

  bool LoadEvent(const std::string& eventId) override {
    CurrentEvent e = ws_.event();
    std::vector<SEISMIC_PHASE> phases;
    if (!ReadEvent(eventId, e, phases)) return false;
    if (e.orid < 0) e.orid = static_cast<int32_t>(ws_.AllocateId("orid"));
    ws_.phases().RemoveAll();
    for (const SEISMIC_PHASE& p : phases) ws_.phases().Add(p);
    ws_.event() = e;
    return true;
  }

  std::vector<std::string> EventsOfPeriod(double from, double to) override {
    const long f = static_cast<long>(from), t = static_cast<long>(to);
    odbc::Statement st = ws_.databases().main().Query(StrFormat(
        "select ORIGIN.EVENTID, min(ORIGIN.ORIGINTIME) from ORIGIN left join ARRIVAL on "
        "ARRIVAL.EVENTID = ORIGIN.EVENTID where (ARRIVAL.ITIME >= %ld and ARRIVAL.ITIME <= %ld) "
        "or (ORIGIN.ORIGINTIME >= %ld and ORIGIN.ORIGINTIME <= %ld) group by ORIGIN.EVENTID "
        "order by min(ORIGIN.ORIGINTIME)",
        f, t, f, t));
    std::vector<std::string> ids;
    while (st.Fetch())
      if (const auto id = st.GetText(1)) ids.emplace_back(Trim(*id));
    return ids;
  }

  void SaveEvent() override {
    CurrentEvent& e = ws_.event();
    if (e.orid == -1) e.orid = static_cast<int32_t>(ws_.AllocateId("orid"));
    for (SEISMIC_PHASE& p : ws_.phases())
      if (p.arid < 0) p.arid = static_cast<int32_t>(ws_.AllocateId("arid"));
    const std::string id = Quoted(std::string(Trim(e.eventId)));
    const std::time_t now = std::time(nullptr);
    char stamp[32];
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    odbc::Connection& db = ws_.databases().main();
    const bool mb = e.eventMb != 999 && e.eventMb != kNoMagnitude;
    const bool ms = e.eventMs != 999 && e.eventMs != kNoMagnitude;
    db.BeginTransaction();
    try {
      db.Execute("delete from ORIGIN where EVENTID=" + id);
      db.Execute(StrFormat(
          "insert into ORIGIN (EVENTID, ORID, LAT, LON, DEPTH, ORIGINTIME, MB, MS, MBUNC, MSUNC, "
          "%s, LDDATE) values (%s, %d, %s, %s, %s, %s, %s, %s, %s, %s, %s, {ts '%s'})",
          ws_.databases().CommentColumn(), id.c_str(), e.orid,
          Real(e.originLat, e.originValid).c_str(), Real(e.originLon, e.originValid).c_str(),
          Real(e.originDepth, e.originDepth >= 0).c_str(),
          Real(e.originTime, e.originTime > 0).c_str(), Real(e.eventMb, mb).c_str(),
          Real(e.eventMs, ms).c_str(), Real(e.eventMbUnc, mb).c_str(),
          Real(e.eventMsUnc, ms).c_str(), Quoted(e.eventComment).c_str(), stamp));
      db.Execute("delete from ARRIVAL where EVENTID=" + id);
      for (const SEISMIC_PHASE& p : ws_.phases())
        if (p.active) db.Execute(ArrivalInsert(id, p, stamp));
      db.Commit();
    } catch (...) {
      db.Rollback();
      throw;
    }
  }

 private:
  std::string ArrivalInsert(const std::string& id, const SEISMIC_PHASE& p, const char* stamp) {
    const BulletinSource names = SourceOf(ws_);
    const std::string sta = names.StationCode(p);
    const std::string chan = names.ChannelName(p);
    const bool amp = p.hasAmplitude != 0, pol = p.hasPolarization != 0;
    return StrFormat(
        "insert into ARRIVAL (EVENTID, STA, CHAN, IPHASE, ITIME, IM_EM, FM, DELTIM, WGT, LDDATE, "
        "FLAG, CODA, REGCLASS, MCODA, AMPL, PER, AMPTIME, RESIDUALS, AZIMUTH, EMA, RECT, ARID, "
        "DIST, MB, MS, MPLP, MPSP, ML, CHANTYPE, REMARK, AFILTYPE, PFILTYPE) values (%s, %s, %s, "
        "%s, %s, '%c', '%c', %s, %d, {ts '%s'}, %d, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %d, "
        "%s, %s, %s, %s, %s, %s, %s, %s, %s, %s)",
        id.c_str(), Quoted(sta).c_str(), Quoted(chan).c_str(),
        Quoted(ws_.phaseTypes().Name(p.phaseType)).c_str(), Real(p.time, true).c_str(),
        OnsetCode(p.onset), FirstMotionCode(p.firstMotion), Real(p.deltim, true).c_str(), p.weight,
        stamp, p.defining, Real(p.coda, p.coda > 0).c_str(),
        Real(p.energyClass, p.energyClass > 0).c_str(), Real(p.mcoda, p.mcoda > 0).c_str(),
        Real(p.amplitude, amp).c_str(), Real(p.period, amp).c_str(), Real(p.ampTime, amp).c_str(),
        Real(p.residual, p.hasResidual).c_str(), Real(p.azimuth, pol).c_str(),
        Real(p.emergence, pol).c_str(), Real(p.rectilinearity, pol).c_str(), p.arid,
        Real(p.distance, p.distance > 0).c_str(), Real(p.mb, p.mb > 0).c_str(),
        Real(p.ms, p.ms > 0).c_str(), Real(p.mplp, p.mplp > 0).c_str(),
        Real(p.mpsp, p.mpsp > 0).c_str(), Real(p.ml, p.ml > 0).c_str(), Quoted(p.chanType).c_str(),
        Quoted(p.remark).c_str(), Quoted(p.aFilType).c_str(), Quoted(p.pFilType).c_str());
  }

  Workstation& ws_;
};

}  // namespace

std::unique_ptr<EventStore> MakeSqlEventStore(Workstation& ws) {
  return std::make_unique<SqlEventStore>(ws);
}

}  // namespace nuv
