#pragma once
// The in-memory station table: one CScreenFields record per SITE row, in the
// order the rows arrived, each with 24 channel entries. A channel is
// addressed everywhere by (station index, channel index 0..23), channel index
// = (NGROUP - 1) * 3 + CHANINDEX.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace nuv {

inline constexpr int kChannelsPerStation = 24;
inline constexpr const char* kNoLocationCode = "??";
inline constexpr int kUnnumberedStation = 999999999;

// Whether a location code says "none": "??" (the table's mark for a NULL
// LCODE), an empty text or blanks (a SITECHAN row with LCODE '', which some
// databases cannot tell from NULL).
bool IsNoLocationCode(std::string_view lcode);

struct ChannelEntry {
  std::string name;       // empty = unused entry
  std::string calibFile;  // "" when NULL
  float lat = 0, lon = 0, elev = 0;
  double rate = 0;
  int component = 0;  // CHANINDEX
  std::string lcode = kNoLocationCode;

  bool used() const { return !name.empty(); }
};

// The selection time window of a station (used by channel selection).
struct SelectionWindow {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0, millisecond = 0;
  int lengthHours = 0, lengthMinutes = 1, lengthSeconds = 0;

  double StartEpoch() const;
  double LengthSeconds() const;
  void SetStartEpoch(double t);
  // Splits a length into hours (modulo 99), minutes and seconds.
  void SetLengthSeconds(double seconds);
};

struct CScreenFields {
  std::string code;  // up to 19 characters
  int ngroups = 0;
  int nindex = kUnnumberedStation;
  float lat = 0, lon = 0, elev = 0;
  std::string refsta;  // "" when NULL
  float dnorth = 0, deast = 0;
  std::array<ChannelEntry, kChannelsPerStation> channels;
  SelectionWindow selection;
};

class StationTable {
 public:
  int size() const { return static_cast<int>(stations_.size()); }
  bool empty() const { return stations_.empty(); }
  CScreenFields& operator[](int index) { return stations_[static_cast<size_t>(index)]; }
  const CScreenFields& operator[](int index) const { return stations_[static_cast<size_t>(index)]; }
  std::vector<CScreenFields>& records() { return stations_; }
  const std::vector<CScreenFields>& records() const { return stations_; }
  void Clear() { stations_.clear(); }

  // First station whose code matches without regard to case; -1 for "" or none.
  int FindStation(std::string_view code) const;
  // Case-sensitive match; -1 when absent.
  int FindStationExact(std::string_view code) const;
  // First used entry (every one of the 24 is looked at: an empty entry may
  // stand between used ones) whose name matches without regard to case and
  // that has no location code; -1 otherwise.
  int FindChannel(int station, std::string_view name) const;
  // Same, matching name and location code (without regard to case or blanks
  // around them; every spelling of "none" matches every other); -1 otherwise.
  int FindChannel(int station, std::string_view name, std::string_view lcode) const;

 private:
  std::vector<CScreenFields> stations_;
};

}  // namespace nuv
