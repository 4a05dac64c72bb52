#include "db/station_table.h"

#include <cmath>

#include "platform/strformat.h"
#include "platform/time_base.h"

namespace nuv {

double SelectionWindow::StartEpoch() const {
  return CalendarToEpoch(year, month, day, hour, minute, second) + millisecond / 1000.0;
}

double SelectionWindow::LengthSeconds() const {
  return lengthHours * 3600.0 + lengthMinutes * 60.0 + lengthSeconds;
}

void SelectionWindow::SetStartEpoch(double t) {
  const CalendarTime c = EpochToCalendar(t);
  year = c.year;
  month = c.month;
  day = c.day;
  hour = c.hour;
  minute = c.minute;
  second = static_cast<int>(c.second);
  millisecond = static_cast<int>(std::lround((c.second - second) * 1000.0));
  if (millisecond > 999) millisecond = 999;
}

void SelectionWindow::SetLengthSeconds(double seconds) {
  const long total = static_cast<long>(seconds);
  lengthHours = static_cast<int>((total / 3600) % 99);
  lengthMinutes = static_cast<int>((total % 3600) / 60);
  lengthSeconds = static_cast<int>(total % 60);
}

bool IsNoLocationCode(std::string_view lcode) {
  const std::string_view code = Trim(lcode);
  return code.empty() || code == kNoLocationCode;
}

namespace {

bool SameLocationCode(std::string_view a, std::string_view b) {
  const bool noneA = IsNoLocationCode(a);
  const bool noneB = IsNoLocationCode(b);
  if (noneA || noneB) return noneA && noneB;
  return EqualsNoCase(Trim(a), Trim(b));
}

}  // namespace

int StationTable::FindStation(std::string_view code) const {
  if (code.empty()) return -1;
  for (size_t i = 0; i < stations_.size(); ++i)
    if (EqualsNoCase(stations_[i].code, code)) return static_cast<int>(i);
  return -1;
}

int StationTable::FindStationExact(std::string_view code) const {
  for (size_t i = 0; i < stations_.size(); ++i)
    if (stations_[i].code == code) return static_cast<int>(i);
  return -1;
}

int StationTable::FindChannel(int station, std::string_view name) const {
  return FindChannel(station, name, kNoLocationCode);
}

int StationTable::FindChannel(int station, std::string_view name, std::string_view lcode) const {
  if (name.empty() || station < 0 || station >= size()) return -1;
  const auto& channels = stations_[static_cast<size_t>(station)].channels;
  for (int i = 0; i < kChannelsPerStation; ++i)
    if (channels[i].used() && EqualsNoCase(channels[i].name, name) &&
        SameLocationCode(channels[i].lcode, lcode))
      return i;
  return -1;
}

}  // namespace nuv
