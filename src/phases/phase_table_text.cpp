#include "phases/phase_table_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "db/station_table.h"
#include "phases/phase_types.h"
#include "platform/number_field.h"
#include "platform/strformat.h"
#include "platform/time_base.h"

namespace nuv {
namespace {

const ChannelEntry* Channel(const SEISMIC_PHASE& p, const StationTable& stations) {
  if (p.station < 0 || p.station >= stations.size() || p.channel < 0 ||
      p.channel >= kChannelsPerStation)
    return nullptr;
  return &stations[p.station].channels[static_cast<size_t>(p.channel)];
}

std::string TimeText(double time) {
  // Rounded to hundredths as a whole, so 59.996 s shows the next minute
  // rather than a hundredths field of 100.
  const double rounded = std::floor(time * 100.0 + 0.5) / 100.0;
  const CalendarTime c = EpochToCalendar(rounded);
  const int whole = static_cast<int>(std::floor(c.second));
  const int hundredths = static_cast<int>(std::lround((c.second - whole) * 100.0)) % 100;
  return StrFormat("%02d:%02d:%02d.%02d %02d/%02d/%04d", c.hour, c.minute, whole, hundredths, c.day,
                   c.month, c.year);
}

std::string IfPositive(double value, const char* format) {
  return value > 0 ? StrFormat(format, value) : std::string();
}

// The number typed in a cell; false for a text that is not one.
bool ParseNumber(const std::string& text, double& value) {
  const std::optional<double> typed = ParseNumberField(text);
  if (typed) value = *typed;
  return typed.has_value();
}

}  // namespace

const std::vector<std::string>& PhaseTableHeadings() {
  static const std::vector<std::string> headings = {
      "Станция", "Канал",     "Код расп.", "Фаза",   "Вступление", "Время",
      "Невязка", "Амплитуда", "Период",    "Азимут", "Обр.Азим.",  "Расст. до эпицентра(град.)",
      "Mb",      "Ms",        "MPLP",      "MPSP",   "ML",         "Класс",
      "CODA",    "Mcoda"};
  return headings;
}

std::string PhaseCellText(const SEISMIC_PHASE& p, int column, const StationTable& stations,
                          const PhaseTypeTable& types) {
  const ChannelEntry* channel = Channel(p, stations);
  switch (column) {
    case 0:
      return p.station >= 0 && p.station < stations.size() ? stations[p.station].code : "";
    case 1:
      return channel ? channel->name : "";
    case 2:
      return channel ? channel->lcode : "";
    case 3:
      return types.Name(p.phaseType);
    case 4:
      return {OnsetCode(p.onset), FirstMotionCode(p.firstMotion), WeightCode(p.weight)};
    case 5:
      return TimeText(p.time);
    case 6:
      return p.hasResidual ? StrFormat("%.3f", p.residual) : "";
    case 7:
      return p.hasAmplitude ? StrFormat("%.4f", p.amplitude) : "";
    case 8:
      return p.hasAmplitude ? StrFormat("%.2f", p.period) : "";
    case 9:
      return p.hasPolarization ? StrFormat("%.1f", p.azimuth) : "";
    case 10:
      return p.backAzimuth > -1 ? StrFormat("%.03f", p.backAzimuth) : "";
    case 11:
      return IfPositive(p.distance, "%.03f");
    case 12:
      return IfPositive(p.mb, "%.1f");
    case 13:
      return IfPositive(p.ms, "%.1f");
    case 14:
      return IfPositive(p.mplp, "%.1f");
    case 15:
      return IfPositive(p.mpsp, "%.1f");
    case 16:
      return IfPositive(p.ml, "%.1f");
    case 17:
      return IfPositive(p.energyClass, "%.03f");
    case 18:
      return IfPositive(p.coda, "%.1f");
    case 19:
      return IfPositive(p.mcoda, "%.1f");
    default:
      return "";
  }
}

bool IsEditableColumn(int column) {
  return column >= 7 && column <= 18 && column != 10;
}

bool ApplyCellEdit(SEISMIC_PHASE& p, int column, const std::string& text) {
  if (!IsEditableColumn(column)) return false;
  const bool empty = Trim(text).empty();
  double value = 0;
  if (!empty && !ParseNumber(text, value)) return false;
  const float v = static_cast<float>(value);
  switch (column) {
    case 7:
    case 8:
      if (empty) {
        p.hasAmplitude = 0;
        break;
      }
      // A period of 0 would later divide by zero (A/T of the magnitudes).
      if (value <= 0) return false;
      if (!p.hasAmplitude) {
        p.hasAmplitude = 1;
        (column == 7 ? p.period : p.amplitude) = 1;
      }
      (column == 7 ? p.amplitude : p.period) = v;
      break;
    case 9:
      p.azimuth = empty ? -1.0f : v;
      p.hasPolarization = empty ? 0 : 1;
      break;
    case 11:
      p.distance = empty ? -1.0f : v;
      break;
    case 12:
      p.mb = empty ? -1.0f : v;
      break;
    case 13:
      p.ms = empty ? -1.0f : v;
      break;
    case 14:
      p.mplp = empty ? -1.0f : v;
      break;
    case 15:
      p.mpsp = empty ? -1.0f : v;
      break;
    case 16:
      p.ml = empty ? -1.0f : v;
      break;
    case 17:
      p.energyClass = empty ? -1.0 : value;
      break;
    case 18:
      p.coda = empty ? -1.0 : value;
      break;
  }
  p.active = 1;
  return true;
}

std::vector<int> SortOrder(const std::vector<const SEISMIC_PHASE*>& phases, int column,
                           const StationTable& stations, const PhaseTypeTable& types) {
  std::vector<int> order(phases.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  const auto text = [&](int i, int c) {
    return PhaseCellText(*phases[static_cast<size_t>(i)], c, stations, types);
  };
  const auto time = [&](int i) { return phases[static_cast<size_t>(i)]->time; };
  std::function<bool(int, int)> less;
  switch (column) {
    case 0:
      less = [&](int a, int b) {
        const std::string sa = text(a, 0), sb = text(b, 0);
        return sa != sb ? sa < sb : time(a) < time(b);
      };
      break;
    case 1:
      less = [&](int a, int b) {
        const std::string ca = text(a, 1), cb = text(b, 1), sa = text(a, 0), sb = text(b, 0);
        if (ca != cb) return ca < cb;
        return sa != sb ? sa < sb : time(a) < time(b);
      };
      break;
    case 3:
      less = [&](int a, int b) { return text(a, 3) < text(b, 3); };
      break;
    case 5:
      less = [&](int a, int b) { return time(a) < time(b); };
      break;
    case 11:
      less = [&](int a, int b) {
        const float da = phases[static_cast<size_t>(a)]->distance;
        const float db = phases[static_cast<size_t>(b)]->distance;
        if ((da > 0) != (db > 0)) return da > 0;  // rows without a distance last
        return da > 0 && da < db;
      };
      break;
    default:
      return order;
  }
  std::stable_sort(order.begin(), order.end(), less);
  return order;
}

DefiningMark MarkOf(const SEISMIC_PHASE& p) {
  if (p.defining) return DefiningMark::Checked;
  return p.active ? DefiningMark::Unchecked : DefiningMark::Neutral;
}

void ToggleDefining(SEISMIC_PHASE& p, const PhaseTypeTable& types) {
  p.defining = !p.defining && types.CanBeDefining(p.phaseType) ? 1 : 0;
  p.active = 1;
}

}  // namespace nuv
