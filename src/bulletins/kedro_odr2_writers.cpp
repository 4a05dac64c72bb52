#include <limits>
#include <vector>

#include "bulletins/bulletin_time.h"
#include "bulletins/fixed_columns.h"
#include "bulletins/phase_list_formats.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

const SEISMIC_PHASE* FirstOf(const BulletinSource& s, int station, const char* channel,
                             const char* phase) {
  for (const SEISMIC_PHASE& p : s.phases)
    if (p.station == station && s.ChannelName(p) == channel && s.PhaseName(p) == phase) return &p;
  return nullptr;
}

// The largest defining amplitude among the phases of `names` on `channels`.
const SEISMIC_PHASE* LargestAmplitude(const BulletinSource& s, int station,
                                      std::initializer_list<const char*> names,
                                      std::initializer_list<const char*> channels) {
  const SEISMIC_PHASE* best = nullptr;
  for (const char* name : names)
    for (const char* channel : channels) {
      const SEISMIC_PHASE* p = FirstOf(s, station, channel, name);
      if (p && p->defining && p->hasAmplitude && (!best || p->amplitude > best->amplitude))
        best = p;
    }
  return best;
}

int TwoDigitYear(int year) {
  return (((year < 2000 ? year - 1900 : year - 2000) % 100) + 100) % 100;
}

}  // namespace

double ReferenceTime(const BulletinSource& s) {
  if (s.event.originValid) return s.event.originTime;
  double t = std::numeric_limits<double>::max();
  for (const SEISMIC_PHASE& p : s.phases)
    if (p.defining && (p.phaseType == 0 || p.phaseType == 2 || p.phaseType == 3) && p.time < t)
      t = p.time;
  return t == std::numeric_limits<double>::max() ? 0.0 : t;
}

std::string FormatKedro(const BulletinSource& s) {
  const BulletinTime t = SplitBulletinTime(ReferenceTime(s), 10, false);
  std::string out = StrFormat("%02d-%02d-%02d\n", t.day, t.month, ((t.year % 100) + 100) % 100);
  out += StrFormat("F%5.2fL%5.2fT%02d-%02d-%02d.%1dK\n", s.event.originLat, s.event.originLon,
                   t.hour, t.minute, t.second, t.fraction);
  const std::pair<const char*, const char*> names[] = {
      {"P", "P"}, {"Pg", "PC"}, {"S", "S"}, {"Sg", "SC"}};
  for (int station = 0; station < s.stations.size(); ++station) {
    std::string times;
    for (const auto& [name, label] : names)
      for (const char* channel : {"N-S", "E-W", "Z"}) {
        const SEISMIC_PHASE* p = FirstOf(s, station, channel, name);
        if (!p || !p->defining) continue;
        const BulletinTime pt = SplitBulletinTime(p->time, 10, true);
        times += StrFormat("%1c%s%02d-%02d-%02d.%1d", p->onset == 1 ? 'I' : 'E', label, pt.hour,
                           pt.minute, pt.second, pt.fraction);
      }
    if (times.empty()) continue;
    std::string amplitudes, periods;
    for (const SEISMIC_PHASE* p : {LargestAmplitude(s, station, {"S", "Sg"}, {"N-S", "E-W"}),
                                   LargestAmplitude(s, station, {"P", "Pg"}, {"Z"})}) {
      if (!p) continue;
      const std::string channel = s.ChannelName(*p);
      amplitudes += StrFormat("%s%5s", channel.c_str(),
                              StrFormat("%5.4f", p->amplitude).substr(0, 5).c_str());
      periods += StrFormat("%s%.1f", channel.c_str(), p->period);
    }
    out += StrFormat("%3s", s.stations[station].code.c_str()) + times + amplitudes + "K\n";
    if (!periods.empty()) out += periods + "\n";
  }
  out += "KKK\n";
  return out;
}

std::string FormatOdr2(const BulletinSource& s) {
  const BulletinTime t = SplitBulletinTime(ReferenceTime(s), 10, false);
  std::string out = StrFormat("%02d%02d%02d\n0 33.\n", t.day, t.month, TwoDigitYear(t.year));
  const BulletinTime origin = SplitBulletinTime(s.event.originTime, 10, false);
  int index = -1;
  for (const SEISMIC_PHASE& p : s.phases) {
    ++index;
    const std::string& name = s.PhaseName(p);
    if (!p.defining || (name != "P" && name != "PKiKP" && name != "PKP")) continue;
    // The station field has four columns; a longer code would shift the times.
    const std::string code = ToLowerAscii(s.StationCode(p)).substr(0, 4);
    const BulletinTime pt = SplitBulletinTime(p.time, 10, false);
    std::string line =
        StrFormat("%-4s%02d%02d%02d%1d", code.c_str(), pt.hour, pt.minute, pt.second, pt.fraction);
    if (s.event.originValid && index == 0)
      line +=
          StrFormat(" %02d%02d%02d%1d", origin.hour, origin.minute, origin.second, origin.fraction);
    else
      line += "        ";
    float ms = p.ms;
    if (ms <= 0)
      for (const SEISMIC_PHASE& other : s.phases)
        if (other.station == p.station && other.ms > 0) {
          ms = other.ms;
          break;
        }
    if (ms > 0) line += StrFormat(" Ms %2.1f", ms);
    if (p.mb > 0) line += StrFormat(" Mb %2.1f", p.mb);
    if (p.mpsp > 0) line += StrFormat(" Mb %2.1f", p.mpsp);
    out += line + "\n";
  }
  out += "@@@@\n";
  return out;
}

}  // namespace nuv
