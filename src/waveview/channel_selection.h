#pragma once
// Channel selection: the selection matrix, the station tree shown by the
// selection dialogs, the reading of their date, time and length fields, the
// channel-name pattern and the remembered last choice in NUV.INI.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "db/station_table.h"
#include "platform/profile_file.h"

namespace nuv {

// A time window chosen in the archive browser or accepted in a selection
// dialog: start and duration in seconds.
struct ArchiveSegment {
  double start = 0;
  double duration = 0;
};

// 24 x station-count flags; [channel][station] set = that channel is shown.
class SelectionMatrix {
 public:
  void Resize(int stations);
  int stations() const { return static_cast<int>(cells_.size()); }
  bool Get(int channel, int station) const;
  void Set(int channel, int station, bool on);
  void Clear();
  void ClearStation(int station);
  int Count() const;
  // The set cells as (station, channel), stations in table order and
  // channels 0..23 within each.
  std::vector<std::pair<int, int>> SetCells() const;

 private:
  std::vector<std::vector<bool>> cells_;  // [station][channel]
};

// A node of the station tree.
struct StationTreeNode {
  std::string text;
  int station = -1;  // -1 for a root
  int channel = -1;  // >= 0 for a channel node
  std::vector<StationTreeNode> children;
};

// The first root "Сейсмические станции" lists every station in table order;
// then one root per network (name, ";"-separated station codes) lists its
// members found in the table, in list order. With `withChannels` every
// station node has one child per channel ("%s %2s": name, location code) up
// to the first empty channel name.
std::vector<StationTreeNode> BuildStationTree(
    const StationTable& stations, const std::vector<std::pair<std::string, std::string>>& networks,
    bool withChannels);

// Field readers of the selection dialogs (the classic scan formats).
struct TimeOfDay {
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};
struct DateFields {
  int day = 1, month = 1, year = 2000;
};
struct LengthFields {
  int hours = 0, minutes = 0, seconds = 0;
};
// nullopt when the text does not hold a valid time of day.
std::optional<TimeOfDay> ParseTimeField(const std::string& text);
std::optional<DateFields> ParseDateField(const std::string& text);
LengthFields ParseLengthField(const std::string& text);

// Field texts of a station's selection window.
std::string DateFieldText(const SelectionWindow& w);    // "%02d/%02d/%04d"
std::string TimeFieldText(const SelectionWindow& w);    // "%02d:%02d:%02d.%03d"
std::string LengthFieldText(const SelectionWindow& w);  // "%02d:%02d:%02d"

// Stores the three field texts into a station's window. False (window kept)
// when the time or the date is not valid.
bool StoreSelectionFields(SelectionWindow& window, const std::string& date, const std::string& time,
                          const std::string& length);

// "*" and "?" wildcards, compared in lower case.
bool MatchChannelPattern(const std::string& name, const std::string& pattern);

// The remembered choice in NUV.INI, section "SELECT STATION".
struct RememberedChoice {
  std::string groupName;
  std::string stationName;
};
RememberedChoice ReadRememberedChoice(const ProfileFile& ini);
void WriteRememberedChoice(ProfileFile& ini, const RememberedChoice& choice);

}  // namespace nuv
