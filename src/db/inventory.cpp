#include "db/inventory.h"

#include <ctime>

#include "platform/odbc.h"
#include "platform/strformat.h"
#include "platform/user_prompts.h"

namespace nuv {
namespace {

// The selection window starts at the local date and time of loading and lasts one minute.
SelectionWindow SelectionAtLoading() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  SelectionWindow window;
  window.year = local.tm_year + 1900;
  window.month = local.tm_mon + 1;
  window.day = local.tm_mday;
  window.hour = local.tm_hour;
  window.minute = local.tm_min;
  window.second = local.tm_sec;
  window.millisecond = 0;
  window.lengthHours = 0;
  window.lengthMinutes = 1;
  window.lengthSeconds = 0;
  return window;
}

}  // namespace

std::string LimitText(std::string text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t cut = limit;
  // Step back over continuation bytes so no character is split.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  text.resize(cut);
  return text;
}

void LoadStationTable(odbc::Connection& connection, StationTable& table) {
  table.Clear();
  try {
    odbc::Statement statement = connection.Query(
        "select sta, lat, lon, elev, ngroups, nindex, refsta, dnorth, deast from site");
    const SelectionWindow selection = SelectionAtLoading();
    while (statement.Fetch()) {
      const auto sta = statement.GetText(1);
      const auto lat = statement.GetDouble(2);
      const auto lon = statement.GetDouble(3);
      const auto elev = statement.GetDouble(4);
      const auto ngroups = statement.GetInt(5);
      const auto nindex = statement.GetInt(6);
      const auto refsta = statement.GetText(7);
      const auto dnorth = statement.GetDouble(8);
      const auto deast = statement.GetDouble(9);
      if (!sta || !lat || !lon || !elev || !ngroups) continue;
      CScreenFields station;
      station.code = LimitText(*sta, kStationCodeLength);
      station.ngroups = static_cast<int>(*ngroups);
      station.nindex = nindex ? static_cast<int>(*nindex) : kUnnumberedStation;
      station.lat = static_cast<float>(*lat);
      station.lon = static_cast<float>(*lon);
      station.elev = static_cast<float>(*elev);
      station.refsta = refsta ? *refsta : "";
      station.dnorth = dnorth ? static_cast<float>(*dnorth) : 0.0f;
      station.deast = deast ? static_cast<float>(*deast) : 0.0f;
      station.selection = selection;
      table.records().push_back(std::move(station));
    }
  } catch (const odbc::Error&) {
    table.Clear();
    return;
  }
  for (CScreenFields& station : table.records()) LoadStationChannels(connection, station);
}

void LoadStationChannels(odbc::Connection& connection, CScreenFields& station) {
  station.channels = {};
  try {
    odbc::Statement statement = connection.Query(
        StrFormat("select chan, calibfile, ngroup, chanindex, sps, lat, lon, edeph, lcode from "
                  "sitechan where sta='%s'",
                  SqlEscape(station.code).c_str()));
    while (statement.Fetch()) {
      const auto chan = statement.GetText(1);
      const auto calibfile = statement.GetText(2);
      const auto ngroup = statement.GetInt(3);
      const auto chanindex = statement.GetInt(4);
      const auto sps = statement.GetDouble(5);
      const auto lat = statement.GetDouble(6);
      const auto lon = statement.GetDouble(7);
      const auto edeph = statement.GetDouble(8);
      const auto lcode = statement.GetText(9);
      if (!chan || !ngroup || !chanindex || !sps) continue;
      const long long index = (*ngroup - 1) * 3 + *chanindex;
      if (index < 0 || index >= kChannelsPerStation) continue;
      ChannelEntry& entry = station.channels[static_cast<size_t>(index)];
      entry.name = LimitText(*chan, kChannelNameLength);
      entry.calibFile = calibfile ? LimitText(*calibfile, kCalibFileLength) : "";
      entry.rate = *sps;
      entry.component = static_cast<int>(*chanindex);
      entry.lcode = lcode ? *lcode : kNoLocationCode;
      if (!lat || !lon || !edeph) {
        entry.lat = station.lat;
        entry.lon = station.lon;
        entry.elev = station.elev;
      } else {
        entry.lat = static_cast<float>(*lat);
        entry.lon = static_cast<float>(*lon);
        entry.elev = static_cast<float>(*edeph);
      }
    }
  } catch (const odbc::Error&) {
    station.channels = {};
  }
}

std::vector<SeismoNetwork> LoadNetworks(odbc::Connection& connection) {
  std::vector<SeismoNetwork> networks;
  try {
    odbc::Statement statement = connection.Query("select NETNAME, NETLIST from NETWORKS");
    while (statement.Fetch()) {
      const auto name = statement.GetText(1);
      const auto list = statement.GetText(2);
      if (!name || !list) continue;
      networks.push_back(
          {LimitText(*name, kNetworkNameLength), LimitText(*list, kNetworkListLength)});
    }
  } catch (const odbc::Error&) {
    networks.clear();
  }
  return networks;
}

bool SaveNetworks(odbc::Connection& connection, const std::vector<SeismoNetwork>& networks,
                  UserPrompts& prompts) {
  try {
    connection.BeginTransaction();
  } catch (const odbc::Error& error) {
    prompts.ShowError(error.what());
    return false;
  }
  try {
    connection.Execute("delete from NETWORKS");
    for (const SeismoNetwork& network : networks)
      connection.Execute(StrFormat("insert into NETWORKS (NETNAME, NETLIST) values ('%s','%s')",
                                   SqlEscape(network.name).c_str(),
                                   SqlEscape(network.list).c_str()));
    connection.Commit();
    return true;
  } catch (const odbc::Error& error) {
    try {
      connection.Rollback();
    } catch (const odbc::Error&) {
      // The rollback's own failure adds nothing the analyst can act on.
    }
    prompts.ShowError(error.what());
    return false;
  }
}

std::vector<ControlledRegion> LoadControlledRegions(odbc::Connection& connection) {
  std::vector<ControlledRegion> regions;
  try {
    odbc::Statement statement =
        connection.Query("select LAT1, LON1, LAT2, LON2, NAME from CONTREG");
    while (statement.Fetch()) {
      const auto lat1 = statement.GetDouble(1);
      const auto lon1 = statement.GetDouble(2);
      const auto lat2 = statement.GetDouble(3);
      const auto lon2 = statement.GetDouble(4);
      const auto name = statement.GetText(5);
      if (!lat1 || !lon1 || !lat2 || !lon2 || !name) continue;
      regions.push_back({LimitText(*name, kRegionNameLength), *lat1, *lon1, *lat2, *lon2});
    }
  } catch (const odbc::Error&) {
    regions.clear();
  }
  return regions;
}

std::vector<SystemEvent> LoadSystemEvents(odbc::Connection& connection, const std::string& sta,
                                          long from, long to) {
  std::vector<SystemEvent> events;
  odbc::Statement statement = connection.Query(
      StrFormat("select STA, TBEGIN, EVENT_TYPE from EVENTLIST where (tbegin between %ld and %ld) "
                "and sta='%s'",
                from, to, SqlEscape(sta).c_str()));
  while (statement.Fetch()) {
    SystemEvent event;
    event.sta = statement.GetText(1).value_or("");
    const auto tbegin = statement.GetDouble(2);
    if (!tbegin) continue;
    event.tbegin = *tbegin;
    event.eventType = static_cast<int>(statement.GetInt(3).value_or(0));
    events.push_back(std::move(event));
  }
  return events;
}

}  // namespace nuv
