#include "bulletins/css_records.h"

#include <cmath>
#include <ctime>

#include "bulletins/fixed_columns.h"
#include "phases/css_result_save.h"
#include "platform/strformat.h"
#include "platform/time_base.h"

namespace nuv {
namespace {

double F(double value, int room, int precision, double null) {
  return std::isfinite(value) ? FitOrNull(value, room, precision, null) : null;
}
long L(long value, int room) {
  return static_cast<long>(FitOrNull(static_cast<long long>(value), room, -1));
}

std::string Qual(const SEISMIC_PHASE& p, bool byOnset) {
  if (!byOnset) return p.onset == 1 ? "i" : "e";
  static const char* kCodes[] = {"e", "i", "w", "-"};
  return p.onset < 4 ? kCodes[p.onset] : "-";
}

bool HasAmplitude(const SEISMIC_PHASE& p, const CssPhaseOptions& o) {
  if (!p.hasAmplitude) return false;
  return !o.needPositiveAmplitude || (p.amplitude > 0 && p.period > 0);
}

double SeAz(const SEISMIC_PHASE& p) {
  return p.azimuth < 0 ? p.azimuth + 360.0 : p.azimuth;
}

}  // namespace

std::string CssLddate(double now) {
  const std::time_t seconds = static_cast<std::time_t>(now);
  std::tm t{};
  localtime_r(&seconds, &t);
  return StrFormat("%02d:%02d:%02d %02d.%02d.%02d", t.tm_hour, t.tm_min, t.tm_sec, t.tm_mday,
                   t.tm_mon + 1, ((t.tm_year + 1900 - 2000) % 100 + 100) % 100);
}

std::string FormatCssOrigin(const CssOrigin& o, const std::string& lddate) {
  return StrFormat(
      "%9.4f %9.4f %9.4f %17.5lf %8ld %8ld %8ld %4ld %4ld %4ld %8ld %8ld %-7.7s %9.4f %1s %7.2f "
      "%8ld %7.2f %8ld %7.2f %8ld %-15.15s %-15.15s %8ld %-17.17s\n",
      F(o.lat, 9, 4, -999.0), F(o.lon, 9, 4, -999.0), F(o.depth, 9, 4, -999.0),
      F(o.time, 17, 5, -999999999.999), L(o.orid, 8), L(o.evid, 8), L(o.jdate, 8), L(o.nass, 4),
      L(o.ndef, 4), L(o.ndp, 4), L(o.grn, 8), L(o.srn, 8), o.etype.c_str(),
      F(o.depdp, 9, 4, -999.0), o.dtype.substr(0, 1).c_str(), F(o.mb, 7, 2, -1.0), L(o.mbid, 8),
      F(o.ms, 7, 2, -1.0), L(o.msid, 8), F(o.ml, 7, 2, -1.0), L(o.mlid, 8), o.algorithm.c_str(),
      o.auth.c_str(), L(o.commid, 8), lddate.c_str());
}

std::string FormatCssArrival(const BulletinSource& s, const SEISMIC_PHASE& p, long arid,
                             const CssPhaseOptions& o, const std::string& lddate) {
  double azimuth = -1.0, ema = -1.0, amp = -1.0, per = -1.0, logat = -1.0;
  if (p.hasPolarization) {
    azimuth = SeAz(p);
    ema = p.emergence;
  }
  if (HasAmplitude(p, o)) {
    amp = static_cast<double>(p.amplitude) * 1000.0;
    per = p.period;
    if (amp > 0 && per > 0) logat = std::log10(amp / per);
  }
  return StrFormat(
      "%-6.6s %17.5f %8ld %8ld %8ld %8ld %-8.8s %-8.8s %1s %6.3f %7.2f %7.2f %7.2f %7.2f %7.2f "
      "%7.3f %10.1f %7.2f %7.2f %1s %-2.2s %10.2f %1s %-15.15s %8ld %-17.17s\n",
      s.StationCode(p).c_str(), F(p.time, 17, 5, -9999999999.999), L(arid, 8),
      L(JulianDateOfEpoch(p.time), 8), -1L, -1L, ToLowerAscii(s.ChannelName(p)).c_str(),
      s.PhaseName(p).c_str(), "-", F(p.deltim, 6, 3, -1.0), F(azimuth, 7, 2, -1.0), -1.0, -1.0,
      -1.0, F(ema, 7, 2, -1.0), -1.0, F(amp, 10, 1, -1.0), F(per, 7, 2, -1.0), F(logat, 7, 2, -1.0),
      "-", CssFirstMotionCode(p.firstMotion), -1.0, Qual(p, o.qualByOnset).c_str(), kCssAuthor, -1L,
      lddate.c_str());
}

std::string FormatCssAssoc(const BulletinSource& s, const SEISMIC_PHASE& p, long arid,
                           const CssPhaseOptions& o, const std::string& lddate) {
  const double delta = p.distance > 0 ? p.distance : -1.0;
  const double seaz = p.hasPolarization ? SeAz(p) : -999.0;
  // The weight 0 (best) .. 4 (worst) of the pick as a CSS weight 1 .. 0.2.
  const double wgt = (5.0 - p.weight) / 5.0;
  return StrFormat(
      "%8ld %8ld %-6.6s %-8.8s %4.1f %8.3f %7.2f %7.2f %8.3f %1s %7.1f %1s %7.2f %1s %7.1f %6.3f "
      "%-15.15s %8ld %-17.17s\n",
      L(arid, 8), L(o.orid, 8), s.StationCode(p).c_str(), s.PhaseName(p).c_str(), -1.0,
      F(delta, 8, 3, -1.0), F(seaz, 7, 2, -999.0), -999.0, -999.0, "d", -999.0, "-", -999.0, "-",
      -999.0, F(wgt, 6, 3, -1.0), "-", -1L, lddate.c_str());
}

std::string FormatCssStamag(const BulletinSource& s, const SEISMIC_PHASE& p, long arid,
                            const CssPhaseOptions& o, const std::string& lddate) {
  // Only a phase with one of these magnitudes has a stamag record; its local
  // magnitude alone does not make one.
  if (!(p.mb > 0 || p.ms > 0 || p.mcoda > 0 || p.mplp > 0 || p.mpsp > 0)) return "";
  const char* type = "-";
  double magnitude = -999.0;
  const std::pair<const char*, double> candidates[] = {{"Mb", p.mb},       {"Ms", p.ms},
                                                       {"Mcoda", p.mcoda}, {"MPSP", p.mpsp},
                                                       {"MPLP", p.mplp},   {"ML", p.ml}};
  for (const auto& [name, value] : candidates)
    if (value > 0) {
      type = name;
      magnitude = value;
    }
  return StrFormat("%8ld %-6.6s %8ld %8ld %8ld %-8.8s %-6.6s %7.2f %7.2f %-15.15s %8ld %-17.17s\n",
                   -1L, s.StationCode(p).c_str(), L(arid, 8), L(o.orid, 8), -1L, "-", type,
                   F(magnitude, 7, 2, -999.0), -1.0, kCssAuthor, -1L, lddate.c_str());
}

std::string FormatCssAmplitude(const BulletinSource& s, const SEISMIC_PHASE& p, long arid,
                               const CssPhaseOptions& o, const std::string& lddate) {
  if (!HasAmplitude(p, o)) return "";
  return StrFormat(
      "%8ld %8ld %8ld %-8.8s %11.2f %7.2f %10.2f %17.5f %17.5f %7.2f %7.3f %-8.8s %-15.15s %1s "
      "%1s %-15.15s %-17.17s\n",
      -1L, L(arid, 8), -1L, s.ChannelName(p).c_str(),
      F(static_cast<double>(p.amplitude) * 1000.0, 11, 2, -1.0), F(p.period, 7, 2, -1.0), -1.0,
      F(p.ampTime, 17, 5, -9999999999.999), -1.0, -999.0, -1.0, "-", "nm", "-", "y", kCssAuthor,
      lddate.c_str());
}

CssOrigin CssOriginOfEvent(const BulletinSource& s, long orid) {
  CssOrigin o;
  const CurrentEvent& e = s.event;
  if (e.originValid) {
    o.lat = e.originLat;
    o.lon = e.originLon;
    o.depth = e.originDepth;
    o.time = e.originTime;
    o.jdate = JulianDateOfEpoch(e.originTime);
    o.algorithm = kCssAuthor;
    if (e.eventMb != kNoMagnitude) o.mb = e.eventMb;
    if (e.eventMs != kNoMagnitude) o.ms = e.eventMs;
  }
  o.orid = orid;
  o.nass = s.phases.Count();
  o.ndef = 0;
  for (const SEISMIC_PHASE& p : s.phases) o.ndef += p.defining ? 1 : 0;
  o.ndp = 0;
  o.auth = kCssAuthor;
  return o;
}

}  // namespace nuv
