#include "waveview/pick_insert.h"

#include <algorithm>
#include <cstdio>

#include "platform/number_field.h"
#include "platform/time_base.h"
#include "waveview/channel_selection.h"

namespace nuv {

std::optional<double> ParseInsertTime(const std::string& text) {
  // Hours and minutes, then the seconds with a decimal point or comma.
  int h = 0, m = 0, used = 0;
  if (std::sscanf(text.c_str(), "%2d%*[:, ]%2d%*[:, ]%n", &h, &m, &used) != 2 || used == 0)
    return std::nullopt;
  const std::optional<double> typed = ParseNumberField(std::string_view(text).substr(used));
  if (!typed) return std::nullopt;
  const float s = static_cast<float>(*typed);
  if (h < 0 || h > 23 || m < 0 || m > 59 || !(s >= 0 && s < 60)) return std::nullopt;
  return h * 3600.0 + m * 60.0 + static_cast<double>(s);
}

InsertPhaseOutcome MakeInsertedPhase(const StationTable& stations, const PhaseTypeTable& types,
                                     const InsertPhaseFields& f) {
  InsertPhaseOutcome out;
  std::string date = f.date;
  std::replace(date.begin(), date.end(), '-', '/');
  std::replace(date.begin(), date.end(), '.', '/');
  const std::optional<DateFields> d = ParseDateField(date);
  if (!d) {
    out.refusal = InsertPhaseRefusal::kBadDate;
    return out;
  }
  if (f.station < 0 || f.station >= stations.size()) {
    out.refusal = InsertPhaseRefusal::kNoStation;
    return out;
  }
  const std::optional<double> seconds = ParseInsertTime(f.time);
  if (!seconds) {
    out.refusal = InsertPhaseRefusal::kBadTime;
    return out;
  }
  // The name alone decides, whatever the location code.
  int channel = -1;
  const auto& channels = stations[f.station].channels;
  for (int i = 0; i < kChannelsPerStation; ++i)
    if (channels[static_cast<size_t>(i)].used() &&
        channels[static_cast<size_t>(i)].name == f.channelName) {
      channel = i;
      break;
    }
  const int type = types.IndexOf(f.phaseName);
  if (channel < 0 || type < 0) {
    out.refusal = InsertPhaseRefusal::kNotFound;
    return out;
  }
  SEISMIC_PHASE& p = out.phase;
  p.station = f.station;
  p.channel = channel;
  p.phaseType = type;
  p.SetTime(CalendarToEpoch(d->year, d->month, d->day, 0, 0, 0) + *seconds);
  p.onset = f.onset;
  p.firstMotion = f.firstMotion;
  p.weight = f.weight;
  p.active = 1;
  p.defining = types.HasTravelTimes(type) ? 1 : 0;
  return out;
}

std::string InsertPhaseMessage(InsertPhaseRefusal refusal) {
  switch (refusal) {
    case InsertPhaseRefusal::kBadDate:
      return "Введите правильную дату";
    case InsertPhaseRefusal::kNoStation:
      return "Выберите сейсмическую станцию";
    case InsertPhaseRefusal::kBadTime:
      return "Введено ошибочное время";
    default:
      return {};
  }
}

}  // namespace nuv
