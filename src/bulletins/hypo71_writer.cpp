#include <fstream>
#include <sstream>

#include "bulletins/bulletin_time.h"
#include "bulletins/fixed_columns.h"
#include "bulletins/phase_list_formats.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

char Hypo71Motion(uint8_t fm) {
  static const char kCodes[] = {'U', 'D', '+', '-'};
  return fm < 4 ? kCodes[fm] : '?';
}

// 0-based card columns.
void At(ColumnLine& line, int column, std::string_view text, int room) {
  line.Put(column + 1, text, room);
}

std::string Card(const BulletinSource& s, const SEISMIC_PHASE& p,
                 const std::map<std::string, std::string>& names) {
  ColumnLine line(79);
  const std::string code = s.StationCode(p);
  const auto found = names.find(ToUpperAscii(code + " " + s.ChannelName(p)));
  At(line, 0, found != names.end() ? found->second : code, 4);
  At(line, 4, p.onset == 1 ? "I" : "E", 1);
  At(line, 5, "P", 1);
  At(line, 6, std::string(1, Hypo71Motion(p.firstMotion)), 1);
  At(line, 7, std::string(1, WeightCode(p.weight)), 1);
  const BulletinTime t = SplitBulletinTime(p.time, 100, false);
  At(line, 9,
     StrFormat("%02d%02d%02d%02d%02d%02d.%02d", ((t.year % 100) + 100) % 100, t.month, t.day,
               t.hour, t.minute, t.second, t.fraction),
     15);
  if (p.hasAmplitude) {
    At(line, 43, StrFormat("%4f", static_cast<double>(p.amplitude) * 100.0), 4);
    At(line, 24, FitNumber("%5.2f", p.period, 5), 5);
  }
  if (const SEISMIC_PHASE* sp = s.phases.Find(p.station, p.channel, 1)) {
    const BulletinTime st = SplitBulletinTime(sp->time, 100, false);
    const int seconds = st.second + (st.minute != t.minute ? 60 : 0);
    line.PutFitting(32, StrFormat("%02d.%02d", seconds, st.fraction), 5);
    At(line, 36, sp->onset == 1 ? "I" : sp->onset == 0 ? "E" : " ", 1);
    At(line, 37, "S", 1);
    At(line, 38, sp->firstMotion <= 4 ? std::string(1, Hypo71Motion(sp->firstMotion)) : " ", 1);
    At(line, 39, std::string(1, WeightCode(sp->weight)), 1);
    if (sp->hasAmplitude)
      At(line, 47, StrFormat("%4f", static_cast<double>(sp->amplitude) * 100.0), 4);
  }
  At(line, 51, "176", 3);
  if (p.coda > 0) At(line, 69, StrFormat("%f", p.coda), 5);
  return line.str();
}

}  // namespace

std::map<std::string, std::string> ReadHypo71Stations(const std::string& path) {
  std::map<std::string, std::string> names;
  std::ifstream in(path);
  std::string station, channel, name;
  while (in >> station >> channel >> name) names[ToUpperAscii(station + " " + channel)] = name;
  return names;
}

std::string FormatHypo71(const BulletinSource& source,
                         const std::map<std::string, std::string>& names) {
  std::string out;
  for (const SEISMIC_PHASE& p : source.phases)
    if (p.phaseType == 0) out += Card(source, p, names) + "\r\n";
  return out;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out << text;
  // The last buffer goes to the disk at the close; a full disk shows there.
  out.close();
  return !out.fail();
}

}  // namespace nuv
