#include "catalogue/secondary_event_load.h"

#include <optional>

#include "db/dialect.h"
#include "phases/seismic_phase.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

uint8_t FirstMotionOf(const std::optional<std::string>& fm) {
  const char c = fm && !fm->empty() ? (*fm)[0] : ' ';
  switch (c) {
    case 'c':
      return 5;
    case 'd':
      return 6;
    case 'u':
      return 7;
    case 'r':
      return 8;
    default:
      return 4;
  }
}

double Valid(const std::optional<double>& v, double null, double fallback) {
  return v && *v != null ? *v : fallback;
}

}  // namespace

std::string SecondaryArrivalsQuery(SecondaryTables tables, long orid, int dialect) {
  if (tables == SecondaryTables::Css)
    return StrFormat(
        "select arrival.STA, arrival.CHAN, arrival.IPHASE, arrival.TIME, arrival.DELTIM, "
        "arrival.ARID, arrival.AZIMUTH, arrival.SLOW, arrival.EMA, arrival.FM, arrival.AMP, "
        "arrival.PER, arrival.QUAL from arrival, assoc where arrival.arid=assoc.arid and "
        "assoc.orid=%ld",
        orid);
  // The outer join "(+)" is Oracle's; the other databases write it as a
  // LEFT JOIN.
  if (dialect == kDialectOracle)
    return StrFormat(
        "select arrival_alert.sta, arrival_alert.chan, arrival_alert.iphase, arrival_alert.time, "
        "assoc_alert.timeres, arrival_alert.arid, arrival_alert.azimuth, arrival_alert.slow, "
        "arrival_alert.ema, arrival_alert.fm, arrival_alert.amp, arrival_alert.per, "
        "arrival_alert.qual,stamag_alert.magnitude  from arrival_alert,assoc_alert,stamag_alert "
        "where arrival_alert.arid=assoc_alert.arid and assoc_alert.orid=%ld and "
        "stamag_alert.arid(+)=arrival_alert.arid",
        orid);
  return StrFormat(
      "select arrival_alert.sta, arrival_alert.chan, arrival_alert.iphase, arrival_alert.time, "
      "assoc_alert.timeres, arrival_alert.arid, arrival_alert.azimuth, arrival_alert.slow, "
      "arrival_alert.ema, arrival_alert.fm, arrival_alert.amp, arrival_alert.per, "
      "arrival_alert.qual, stamag_alert.magnitude from arrival_alert inner join assoc_alert on "
      "arrival_alert.arid=assoc_alert.arid left join stamag_alert on "
      "stamag_alert.arid=arrival_alert.arid where assoc_alert.orid=%ld",
      orid);
}

std::string SecondaryOriginQuery(SecondaryTables tables, long orid) {
  return StrFormat("select lat, lon, depth, time, mb, ms from %s where orid=%ld",
                   tables == SecondaryTables::Css ? "origin" : "origin_alert", orid);
}

int LoadSecondaryEvent(Workstation& ws, SecondaryTables tables, long orid) {
  const bool alert = tables == SecondaryTables::Alert;
  odbc::Connection& css = ws.databases().css();
  const int dialect = RecogniseDialect(css.DbmsName());
  std::vector<SEISMIC_PHASE> phases;
  odbc::Statement st = css.Query(SecondaryArrivalsQuery(tables, orid, dialect));
  while (st.Fetch()) {
    const auto sta = st.GetText(1), chan = st.GetText(2), phase = st.GetText(3);
    const auto time = st.GetDouble(4);
    if (!sta || !phase || !time || (!alert && !chan)) continue;
    const int station = ws.stations().FindStationExact(Trim(*sta));
    if (station < 0) continue;
    int channel = ws.stations().FindChannel(station, Trim(chan.value_or("")));
    if (channel < 0 && alert) channel = 0;
    const int type = ws.phaseTypes().IndexOf(std::string(Trim(*phase)));
    if (channel < 0 || type < 0) continue;
    SEISMIC_PHASE p;
    p.station = station, p.channel = channel, p.phaseType = type;
    p.SetTime(*time);
    if (alert) {
      if (const auto res = st.GetDouble(5))
        p.residual = static_cast<float>(*res), p.hasResidual = 1;
      if (const auto mag = st.GetDouble(14)) p.mb = static_cast<float>(*mag);
      p.defining = ws.phaseTypes().HasTravelTimes(type) ? 1 : 0;
    } else if (const auto deltim = st.GetDouble(5)) {
      p.deltim = *deltim;
    }
    const auto amp = st.GetDouble(11), per = st.GetDouble(12);
    if (amp && per && *amp > 0) {
      p.amplitude = static_cast<float>(*amp / 1000);
      p.period = static_cast<float>(*per);
      p.hasAmplitude = 1;
      p.ampTime = *time + *per;
    }
    if (const auto az = st.GetDouble(7); az && *az != -1) {
      p.azimuth = static_cast<float>(*az > 180 || *az < 0 ? *az - 360 : *az);
      p.hasPolarization = 1;
    }
    if (const auto slow = st.GetDouble(8))
      p.slowness = static_cast<float>(*slow), p.hasSlowness = 1;
    p.firstMotion = FirstMotionOf(st.GetText(10));
    p.onset = OnsetFromText(st.GetText(13).value_or(""));
    p.weight = 1;
    phases.push_back(p);
  }
  odbc::Statement origin = css.Query(SecondaryOriginQuery(tables, orid));
  std::optional<CurrentEvent> read;
  if (origin.Fetch()) {
    CurrentEvent e = ws.event();
    const auto lat = origin.GetDouble(1), lon = origin.GetDouble(2), depth = origin.GetDouble(3),
               time = origin.GetDouble(4);
    e.originValid = lat && lon && depth && time ? 1 : 0;
    e.originLat = static_cast<float>(Valid(lat, -999.0, 45.0));
    e.originLon = static_cast<float>(Valid(lon, -999.0, 45.0));
    e.originDepth = static_cast<float>(Valid(depth, -999.0, 0.0));
    e.originTime = Valid(time, -9999999999.999, 0.0);
    e.eventMb = static_cast<float>(Valid(origin.GetDouble(5), -999.0, kNoMagnitude));
    e.eventMs = static_cast<float>(Valid(origin.GetDouble(6), -999.0, kNoMagnitude));
    read = e;
  }
  // Everything is read: now the current event changes.
  {
    PhaseChangeGroup group(ws.phases());
    ws.phases().RemoveAll();
    for (const SEISMIC_PHASE& p : phases) ws.phases().Add(p);
  }
  if (read) ws.event() = *read;
  ws.event().orid = static_cast<int32_t>(orid);
  return static_cast<int>(phases.size());
}

}  // namespace nuv
