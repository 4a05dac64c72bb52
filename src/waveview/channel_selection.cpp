#include "waveview/channel_selection.h"

#include <cstdio>

#include "platform/strformat.h"
#include "platform/time_base.h"

namespace nuv {

void SelectionMatrix::Resize(int stations) {
  cells_.resize(static_cast<size_t>(std::max(0, stations)),
                std::vector<bool>(kChannelsPerStation, false));
}

bool SelectionMatrix::Get(int channel, int station) const {
  if (station < 0 || station >= stations() || channel < 0 || channel >= kChannelsPerStation)
    return false;
  return cells_[static_cast<size_t>(station)][static_cast<size_t>(channel)];
}

void SelectionMatrix::Set(int channel, int station, bool on) {
  if (station < 0 || channel < 0 || channel >= kChannelsPerStation) return;
  if (station >= stations()) Resize(station + 1);
  cells_[static_cast<size_t>(station)][static_cast<size_t>(channel)] = on;
}

void SelectionMatrix::Clear() {
  for (auto& row : cells_) row.assign(kChannelsPerStation, false);
}

void SelectionMatrix::ClearStation(int station) {
  if (station >= 0 && station < stations())
    cells_[static_cast<size_t>(station)].assign(kChannelsPerStation, false);
}

int SelectionMatrix::Count() const {
  int n = 0;
  for (const auto& row : cells_)
    for (bool b : row) n += b ? 1 : 0;
  return n;
}

std::vector<std::pair<int, int>> SelectionMatrix::SetCells() const {
  std::vector<std::pair<int, int>> out;
  for (int s = 0; s < stations(); ++s)
    for (int c = 0; c < kChannelsPerStation; ++c)
      if (cells_[static_cast<size_t>(s)][static_cast<size_t>(c)]) out.emplace_back(s, c);
  return out;
}

namespace {

StationTreeNode StationNode(const StationTable& stations, int index, bool withChannels) {
  StationTreeNode node;
  node.text = stations[index].code;
  node.station = index;
  if (withChannels) {
    for (int c = 0; c < kChannelsPerStation; ++c) {
      const ChannelEntry& ch = stations[index].channels[static_cast<size_t>(c)];
      if (!ch.used()) continue;
      StationTreeNode leaf;
      leaf.text = StrFormat("%s %2s", ch.name.c_str(), ch.lcode.c_str());
      leaf.station = index;
      leaf.channel = c;
      node.children.push_back(std::move(leaf));
    }
  }
  return node;
}

}  // namespace

std::vector<StationTreeNode> BuildStationTree(
    const StationTable& stations, const std::vector<std::pair<std::string, std::string>>& networks,
    bool withChannels) {
  std::vector<StationTreeNode> roots;
  StationTreeNode all;
  all.text = "Сейсмические станции";
  for (int i = 0; i < stations.size(); ++i)
    all.children.push_back(StationNode(stations, i, withChannels));
  roots.push_back(std::move(all));
  for (const auto& [name, list] : networks) {
    StationTreeNode net;
    net.text = name;
    size_t from = 0;
    while (from <= list.size()) {
      size_t to = list.find(';', from);
      if (to == std::string::npos) to = list.size();
      const std::string code(Trim(std::string_view(list).substr(from, to - from)));
      const int index = stations.FindStation(code);
      if (index >= 0) net.children.push_back(StationNode(stations, index, withChannels));
      from = to + 1;
    }
    roots.push_back(std::move(net));
  }
  return roots;
}

std::optional<TimeOfDay> ParseTimeField(const std::string& text) {
  TimeOfDay t;
  const int n = std::sscanf(text.c_str(), "%2d%*[:,// ]%2d%*[:,// ]%2d%*[.,]%3d", &t.hour,
                            &t.minute, &t.second, &t.millisecond);
  if (n < 3) return std::nullopt;
  if (n < 4) t.millisecond = 0;
  if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59 ||
      t.millisecond < 0 || t.millisecond > 999)
    return std::nullopt;
  return t;
}

std::optional<DateFields> ParseDateField(const std::string& text) {
  DateFields d;
  const int n = std::sscanf(text.c_str(), "%2d%*[:,// ]%2d%*[:,// ]%4d", &d.day, &d.month, &d.year);
  if (n < 3 || d.month < 1 || d.month > 12 || d.day < 1 || d.year < 1) return std::nullopt;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int last = kDays[d.month - 1] + (d.month == 2 && IsLeapYear(d.year) ? 1 : 0);
  if (d.day > last) return std::nullopt;
  return d;
}

LengthFields ParseLengthField(const std::string& text) {
  LengthFields l;
  const int n =
      std::sscanf(text.c_str(), "%2d%*[:, ]%2d%*[:, ]%2d", &l.hours, &l.minutes, &l.seconds);
  if (n < 1) l.hours = 0;
  if (n < 2) l.minutes = 0;
  if (n < 3) l.seconds = 0;
  if (l.hours < 0) l.hours = 0;
  if (l.minutes < 0) l.minutes = 0;
  if (l.seconds < 0) l.seconds = 0;
  return l;
}

std::string DateFieldText(const SelectionWindow& w) {
  return StrFormat("%02d/%02d/%04d", w.day, w.month, w.year);
}

std::string TimeFieldText(const SelectionWindow& w) {
  return StrFormat("%02d:%02d:%02d.%03d", w.hour, w.minute, w.second, w.millisecond);
}

std::string LengthFieldText(const SelectionWindow& w) {
  return StrFormat("%02d:%02d:%02d", w.lengthHours, w.lengthMinutes, w.lengthSeconds);
}

bool StoreSelectionFields(SelectionWindow& window, const std::string& date, const std::string& time,
                          const std::string& length) {
  const std::optional<TimeOfDay> t = ParseTimeField(time);
  const std::optional<DateFields> d = ParseDateField(date);
  if (!t || !d) return false;
  const LengthFields l = ParseLengthField(length);
  window.day = d->day;
  window.month = d->month;
  window.year = d->year;
  window.hour = t->hour;
  window.minute = t->minute;
  window.second = t->second;
  window.millisecond = t->millisecond;
  window.lengthHours = l.hours;
  window.lengthMinutes = l.minutes;
  window.lengthSeconds = l.seconds;
  return true;
}

namespace {

bool Match(const char* s, const char* p) {
  // Iterative wildcard match with one backtrack point per "*".
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*s) {
    if (*p == '?' || (*p && *p == *s)) {
      ++s;
      ++p;
    } else if (*p == '*') {
      star = p++;
      resume = s;
    } else if (star) {
      p = star + 1;
      s = ++resume;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return *p == 0;
}

}  // namespace

bool MatchChannelPattern(const std::string& name, const std::string& pattern) {
  return Match(ToLowerAscii(name).c_str(), ToLowerAscii(pattern).c_str());
}

RememberedChoice ReadRememberedChoice(const ProfileFile& ini) {
  return {ini.GetString("SELECT STATION", "GROUP NAME", "", 128),
          ini.GetString("SELECT STATION", "STATION NAME", "", 10)};
}

void WriteRememberedChoice(ProfileFile& ini, const RememberedChoice& choice) {
  ini.WriteString("SELECT STATION", "GROUP NAME", choice.groupName);
  ini.WriteString("SELECT STATION", "STATION NAME", choice.stationName);
}

}  // namespace nuv
