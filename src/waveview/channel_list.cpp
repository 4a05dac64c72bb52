#include "waveview/channel_list.h"

#include <cmath>

#include "platform/strformat.h"
#include "waveview/waveform_time.h"

namespace nuv {

namespace {

std::string ListKey(const std::string& name) {
  return StrFormat("%s\\%s", kChannelListsKey, name.c_str());
}

}  // namespace

std::vector<std::string> ChannelListNames(const SettingsStore& store) {
  return store.SubKeys(kChannelListsKey);
}

bool IsValidChannelListName(const std::string& name) {
  const std::string_view trimmed = Trim(name);
  return !trimmed.empty() && name.find('\\') == std::string::npos &&
         name.find('/') == std::string::npos;
}

bool SaveChannelList(SettingsStore& store, const std::string& name,
                     const std::vector<ChannelListEntry>& entries) {
  if (!IsValidChannelListName(name)) return false;
  const std::string key = ListKey(name);
  store.DeleteKey(key);
  if (!store.CreateKey(key)) return false;
  for (size_t i = 0; i < entries.size(); ++i) {
    const ChannelListEntry& e = entries[i];
    const std::string sub = StrFormat("%s\\%d\\", key.c_str(), static_cast<int>(i));
    if (!store.CreateKey(sub)) return false;
    if (!store.SetString(sub, "STA", e.sta) || !store.SetString(sub, "CHAN", e.chan) ||
        !store.SetString(sub, "ACTIVEWINDOW", e.activeWindow) ||
        !store.SetString(sub, "BEAM", e.beam) ||
        !store.SetString(sub, "MAINWINDOW", e.mainWindow) ||
        !store.SetString(sub, "LCODE", e.lcode))
      return false;
  }
  return true;
}

std::vector<ChannelListEntry> LoadChannelList(const SettingsStore& store, const std::string& name) {
  std::vector<ChannelListEntry> out;
  if (!IsValidChannelListName(name)) return out;
  const std::string key = ListKey(name);
  if (!store.KeyExists(key)) return out;
  for (const std::string& sub : store.SubKeys(key)) {
    const std::string path = key + "\\" + sub;
    ChannelListEntry e;
    e.key = sub;
    e.sta = store.GetString(path, "STA").value_or("");
    e.chan = store.GetString(path, "CHAN").value_or("");
    e.activeWindow = store.GetString(path, "ACTIVEWINDOW").value_or("0");
    e.beam = store.GetString(path, "BEAM").value_or("0");
    e.mainWindow = store.GetString(path, "MAINWINDOW").value_or("0");
    e.lcode = store.GetString(path, "LCODE").value_or(kNoLocationCode);
    out.push_back(std::move(e));
  }
  return out;
}

bool DeleteChannelList(SettingsStore& store, const std::string& name) {
  if (!IsValidChannelListName(name)) return false;
  return store.DeleteKey(ListKey(name));
}

std::string ChannelListSummary(const std::vector<ChannelListEntry>& entries) {
  std::string text;
  for (const ChannelListEntry& e : entries) {
    if (!text.empty()) text += ", ";
    text += e.sta + " " + e.chan;
  }
  return text;
}

std::optional<ChannelRef> ResolveChannelListEntry(const StationTable& stations,
                                                  const ChannelListEntry& entry) {
  const int station = stations.FindStation(entry.sta);
  if (station < 0 || entry.chan.empty()) return std::nullopt;
  const int channel = stations.FindChannel(station, entry.chan, entry.lcode);
  if (channel < 0) return std::nullopt;
  return ChannelRef{station, channel};
}

std::string TimeWindowKey(const std::string& station, const std::string& channel) {
  return StrFormat("NUV\\Time\\%s\\%s", station.c_str(), channel.c_str());
}

bool SaveTimeWindow(SettingsStore& store, const std::string& station, const std::string& channel,
                    double start, double length) {
  if (station.empty() || channel.empty()) return false;
  const std::string key = TimeWindowKey(station, channel);
  return store.SetDouble(key, "Tbegin", start) && store.SetDouble(key, "Tqty", length);
}

std::optional<TimeWindow> LoadTimeWindow(const SettingsStore& store, const std::string& station,
                                         const std::string& channel) {
  if (station.empty() || channel.empty()) return std::nullopt;
  const std::string key = TimeWindowKey(station, channel);
  const std::optional<double> start = store.GetDouble(key, "Tbegin");
  const std::optional<double> length = store.GetDouble(key, "Tqty");
  if (!start || !length) return std::nullopt;
  // A damaged entry (not a number, an empty or negative length, a start a
  // window time cannot hold) counts as missing.
  if (!CWaveformTime::CanHold(*start) || !std::isfinite(*length) || *length <= 0)
    return std::nullopt;
  return TimeWindow{*start, *length};
}

}  // namespace nuv
