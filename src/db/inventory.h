#pragma once
// Loading the reference lists of the main database: the station table from
// SITE and SITECHAN, the network list from NETWORKS, the controlled regions
// from CONTREG and the data-acquisition marks of EVENTLIST; and saving the
// network list.

#include <string>
#include <vector>

#include "db/station_table.h"

namespace nuv {

namespace odbc {
class Connection;
}
class UserPrompts;

inline constexpr size_t kStationCodeLength = 19;
inline constexpr size_t kChannelNameLength = 15;
inline constexpr size_t kCalibFileLength = 63;
inline constexpr size_t kNetworkNameLength = 127;
inline constexpr size_t kNetworkListLength = 4999;
inline constexpr size_t kRegionNameLength = 4095;

// A network (station group): its name and its station codes separated by ";".
struct SeismoNetwork {
  std::string name;
  std::string list;
};

// A controlled region: a latitude-longitude rectangle with a name.
struct ControlledRegion {
  std::string name;
  double lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0;
};

// A mark of the data-acquisition system on a station's recording.
struct SystemEvent {
  std::string sta;
  double tbegin = 0;
  int eventType = 0;
};

// Fills `table` from SITE (rows with NULL sta, lat, lon, elev or ngroups
// skipped; NULL nindex gives 999999999, NULL refsta "", NULL offsets 0) and
// then each station's channels from SITECHAN. Every station's selection
// window is set to the local time of loading with a length of one minute. A
// failing station query leaves the table empty; a failing channel query
// leaves that station's channels empty. Nothing is shown.
void LoadStationTable(odbc::Connection& connection, StationTable& table);
// Loads the channel entries of one station (the SITECHAN rules: NULL chan,
// ngroup, chanindex or sps skipped; index (ngroup-1)*3+chanindex outside
// 0..23 skipped; a later row overwrites; NULL calibfile ""; NULL lcode "??";
// any NULL sensor coordinate gives the station's position).
void LoadStationChannels(odbc::Connection& connection, CScreenFields& station);

// "select NETNAME, NETLIST from NETWORKS"; rows with a NULL are skipped; a
// failing query gives an empty list.
std::vector<SeismoNetwork> LoadNetworks(odbc::Connection& connection);
// Replaces the NETWORKS rows by `networks` in one transaction. On a database
// error the transaction is rolled back, the driver's text is shown and the
// result is false.
bool SaveNetworks(odbc::Connection& connection, const std::vector<SeismoNetwork>& networks,
                  UserPrompts& prompts);

// "select LAT1, LON1, LAT2, LON2, NAME from CONTREG"; rows with any NULL are
// skipped; a failing query gives an empty list.
std::vector<ControlledRegion> LoadControlledRegions(odbc::Connection& connection);

// The EVENTLIST marks of station `sta` with TBEGIN between `from` and `to`
// (whole seconds, both included). Throws odbc::Error.
std::vector<SystemEvent> LoadSystemEvents(odbc::Connection& connection, const std::string& sta,
                                          long from, long to);

// Cuts `text` to at most `limit` bytes without splitting a UTF-8 character.
std::string LimitText(std::string text, size_t limit);

}  // namespace nuv
