#include "bulletins/arr_file.h"

#include <cmath>
#include <ctime>
#include <fstream>

#include "bulletins/fixed_columns.h"
#include "platform/strformat.h"
#include "platform/time_base.h"

namespace nuv {
namespace {

// 0-based column placement of the record.
void At(ColumnLine& line, int column, std::string_view text, int room) {
  line.Put(column + 1, text, room);
}

std::string Float(const char* format, double value, int room, const char* null) {
  const std::string text = FitNumber(format, value, room);
  return text.empty() ? std::string(null) : text;
}

char FirstMotionLetter(uint8_t fm) {
  switch (fm) {
    case 5:
      return 'c';
    case 6:
      return 'd';
    case 7:
      return 'u';
    case 8:
      return 'r';
    default:
      return '-';
  }
}

std::string LocalDate(double t) {
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::time_t seconds = static_cast<std::time_t>(t);
  std::tm local{};
  localtime_r(&seconds, &local);
  return StrFormat("%d-%3s-%d", local.tm_mday, kMonths[local.tm_mon % 12], local.tm_year + 1900);
}

}  // namespace

std::string FormatArrLine(const BulletinSource& s, const SEISMIC_PHASE& p, double writtenAt) {
  ColumnLine line(kArrLineWidth);
  At(line, 0, StrFormat("%3s", s.StationCode(p).c_str()), 6);
  At(line, 7, Float("%17.5f", p.time, 17, "-9999999999.99999"), 17);
  At(line, 25, "      -1", 8);
  At(line, 34, FitInteger("%07lld", JulianDateOfEpoch(p.time), 8), 8);
  At(line, 43, "-1", 8);
  At(line, 52, "-1", 8);
  At(line, 61, s.ChannelName(p), 8);
  At(line, 70, s.PhaseName(p), 8);
  At(line, 79, "-", 1);
  At(line, 81, Float("%6.3f", p.deltim, 6, "-1.000"), 6);
  const double azimuth = p.azimuth < 0 ? p.azimuth + 360.0 : p.azimuth;
  At(line, 88, p.hasPolarization ? Float("%7.2f", azimuth, 7, "  -1.00") : "  -1.00", 7);
  At(line, 96, "  -1.00", 7);
  At(line, 104, "  -1.00", 7);
  At(line, 112, "  -1.00", 7);
  At(line, 120, p.hasPolarization ? Float("%7.2f", p.emergence, 7, "  -1.00") : "  -1.00", 7);
  At(line, 128, " -1.000", 7);
  if (p.hasAmplitude) {
    const double nm = static_cast<double>(p.amplitude) * 1000.0;
    At(line, 136, Float("%10.1f", nm, 10, "      -1.0"), 10);
    At(line, 147, Float("%7.2f", p.period, 7, "  -1.00"), 7);
    const double logat = std::log10(nm / p.period);
    At(line, 155, Float("%7.2f", std::isfinite(logat) ? logat : -1.0, 7, "  -1.00"), 7);
  } else {
    At(line, 136, "      -1.0", 10);
    At(line, 147, "  -1.00", 7);
    At(line, 155, "  -1.00", 7);
  }
  At(line, 163, "-", 1);
  At(line, 165, std::string(1, FirstMotionLetter(p.firstMotion)), 1);
  At(line, 168, "     -1.00", 10);
  At(line, 179, p.onset == 1 ? "i" : "e", 1);
  At(line, 181, kArrAuthor, 15);
  At(line, 197, "      -1", 8);
  At(line, 206, LocalDate(writtenAt), 17);
  return line.str();
}

std::string FormatArrFile(const BulletinSource& source, double writtenAt) {
  std::string out;
  for (const SEISMIC_PHASE& p : source.phases) out += FormatArrLine(source, p, writtenAt) + "\n";
  return out;
}

bool WriteArrFile(const BulletinSource& source, const std::string& path, UserPrompts& prompts,
                  double writtenAt) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out << FormatArrFile(source, writtenAt);
  if (!out) {
    prompts.ShowError(StrFormat("Ошибка открытия файла  '%s'", path.c_str()));
    return false;
  }
  return true;
}

std::vector<SEISMIC_PHASE> ParseArrText(std::string_view text, const StationTable& stations,
                                        const PhaseTypeTable& types,
                                        std::vector<SkippedLine>& skipped, std::string& failure) {
  std::vector<SEISMIC_PHASE> phases;
  LineReader reader(text);
  std::string_view line;
  // 0-based columns of the record, inclusive.
  auto field = [&](int first, int last) { return Columns(line, first + 1, last + 1); };
  while (reader.Next(line)) {
    if (IsBlankField(line)) continue;
    const std::string sta(Trim(field(0, 5))), chan(Trim(field(61, 68))), phase(Trim(field(70, 77)));
    const auto time = ReadNumber(field(7, 23));
    if (sta.empty() || chan.empty() || phase.empty() || !time || !std::isfinite(*time) ||
        std::fabs(*time) > 1e12) {
      failure = StrFormat("Строка %d файла фаз не прочитана", reader.number());
      return {};
    }
    const int type = types.IndexOf(phase);
    if (type < 0) {
      skipped.push_back({reader.number(), StrFormat("фаза %s неизвестна", phase.c_str())});
      continue;
    }
    SEISMIC_PHASE p;
    p.phaseType = type;
    p.SetTime(*time);
    const double deltim = ReadNumber(field(81, 86)).value_or(-1);
    p.deltim = deltim > 0 ? deltim : 2.0;
    const double azimuth = ReadNumber(field(88, 94)).value_or(-1);
    if (azimuth != -1) {
      p.azimuth = static_cast<float>(azimuth < 0 || azimuth > 180 ? azimuth - 360 : azimuth);
      p.hasPolarization = 1;
    }
    const double ema = ReadNumber(field(120, 126)).value_or(-1);
    if (ema != -1) p.emergence = static_cast<float>(ema);
    const double amp = ReadNumber(field(136, 145)).value_or(-1);
    const double per = ReadNumber(field(147, 153)).value_or(-1);
    if (amp > 0 && per > 0) {
      p.amplitude = static_cast<float>(amp / 1000.0);
      p.period = static_cast<float>(per);
      p.hasAmplitude = 1;
    }
    const std::string_view fm = field(165, 165), onset = field(179, 179);
    const char f = fm.empty() ? ' ' : fm[0];
    p.firstMotion = f == 'c' ? 5 : f == 'd' ? 6 : f == 'u' ? 7 : f == 'r' ? 8 : 4;
    p.onset = onset.empty() ? 0 : onset[0] == '-' ? 3 : OnsetFromText(onset);
    p.weight = 1;
    p.defining = types.CanBeDefining(type) ? 1 : 0;
    size_t before = phases.size();
    bool known = false;
    for (int s = 0; s < stations.size(); ++s) {
      if (stations[s].code != sta) continue;
      known = true;
      for (int c = 0; c < kChannelsPerStation; ++c) {
        const ChannelEntry& channel = stations[s].channels[static_cast<size_t>(c)];
        if (!channel.used() || !EqualsNoCase(channel.name, chan)) continue;
        SEISMIC_PHASE copy = p;
        copy.station = s;
        copy.channel = c;
        phases.push_back(std::move(copy));
      }
    }
    if (!known)
      skipped.push_back({reader.number(), StrFormat("станция %s неизвестна", sta.c_str())});
    else if (phases.size() == before)
      skipped.push_back(
          {reader.number(), StrFormat("у станции %s нет канала %s", sta.c_str(), chan.c_str())});
  }
  return phases;
}

BulletinReadResult ReadArrFile(Workstation& ws, const std::string& path, bool replace) {
  BulletinReadResult result;
  const auto text = ReadWholeFile(path);
  if (!text) {
    result.message = StrFormat("Ошибка открытия файла: %s", path.c_str());
    return result;
  }
  const std::vector<SEISMIC_PHASE> phases =
      ParseArrText(*text, ws.stations(), ws.phaseTypes(), result.skipped, result.message);
  if (!result.message.empty()) return result;
  if (replace) ws.phases().RemoveAll();
  for (const SEISMIC_PHASE& p : phases) ws.phases().Add(p);
  result.ok = true;
  result.phasesAdded = static_cast<int>(phases.size());
  return result;
}

}  // namespace nuv
