#pragma once
// Named channel lists (window profiles) and the remembered time window of
// every channel, both in the per-user settings store.
//
//   NUV\waveforms-\<list>\<position>   STA, CHAN, ACTIVEWINDOW, BEAM, MAINWINDOW, LCODE
//   NUV\Time\<station>\<channel>       Tbegin, Tqty (8-byte doubles)

#include <optional>
#include <string>
#include <vector>

#include "db/station_table.h"
#include "platform/settings_store.h"

namespace nuv {

inline constexpr const char* kChannelListsKey = "NUV\\waveforms-";

struct ChannelListEntry {
  std::string key;  // subkey name: the pane's position when saved
  std::string sta, chan;
  std::string activeWindow = "0", beam = "0", mainWindow = "0";
  std::string lcode = kNoLocationCode;

  bool IsActive() const { return activeWindow.rfind('1', 0) == 0; }
  bool IsBeam() const { return beam.rfind('1', 0) == 0; }
  bool IsMain() const { return mainWindow.rfind('1', 0) == 0; }
};

// Names of the saved lists, in the store's order.
std::vector<std::string> ChannelListNames(const SettingsStore& store);
// True when `name` can name a list (not empty, no key separator).
bool IsValidChannelListName(const std::string& name);
// Replaces the list: the key is deleted with its subkeys and written anew,
// one subkey "%d" per entry in order. False when the store cannot be written.
bool SaveChannelList(SettingsStore& store, const std::string& name,
                     const std::vector<ChannelListEntry>& entries);
// The entries in the store's subkey order (name order, as text); STA and
// CHAN empty when missing, the flags "0" and LCODE "??" by default.
std::vector<ChannelListEntry> LoadChannelList(const SettingsStore& store, const std::string& name);
bool DeleteChannelList(SettingsStore& store, const std::string& name);
// "CHAN STA, ..." text listing a list's channels for the load dialog.
std::string ChannelListSummary(const std::vector<ChannelListEntry>& entries);

// Station and channel of an entry in the inventory (both by name without
// regard to case, the location code must match too); nullopt when any fails.
struct ChannelRef {
  int station = -1;
  int channel = -1;
};
std::optional<ChannelRef> ResolveChannelListEntry(const StationTable& stations,
                                                  const ChannelListEntry& entry);

// The remembered time window of a channel.
struct TimeWindow {
  double start = 1.0;
  double length = 3600;
};
std::string TimeWindowKey(const std::string& station, const std::string& channel);
bool SaveTimeWindow(SettingsStore& store, const std::string& station, const std::string& channel,
                    double start, double length);
std::optional<TimeWindow> LoadTimeWindow(const SettingsStore& store, const std::string& station,
                                         const std::string& channel);

}  // namespace nuv
