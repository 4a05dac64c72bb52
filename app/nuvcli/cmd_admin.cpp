// Administration on the command line: the network list, the controlled
// regions, the directory map and the deletion of old files from the disk loop.

#include <cmath>
#include <fstream>

#include "admin/directory_map.h"
#include "admin/network_editor.h"
#include "admin/region_list.h"
#include "archive/disk_loop.h"
#include "archive/index_listing.h"
#include "cli.h"
#include "platform/strformat.h"

namespace nuv::cli {
namespace {

Workstation& WithMainDatabase(Session& session) {
  Workstation& ws = session.workstation();
  if (!ws.databases().mainOpen())
    throw CliError("Ошибка инициализации интерфейса к базе данных NUV");
  return ws;
}

nlohmann::json NetworksJson(const StationTable& stations,
                            const std::vector<SeismoNetwork>& networks) {
  nlohmann::json list = nlohmann::json::array();
  for (const SeismoNetwork& network : networks)
    list.push_back({{"name", network.name},
                    {"list", network.list},
                    {"stations", NetworkMemberCodes(stations, network.list)}});
  return list;
}

nlohmann::json RunNetworksList(Session& session, const Args& args) {
  if (!args.empty()) throw CliError("usage: networks list");
  Workstation& ws = WithMainDatabase(session);
  return NetworksJson(ws.stations(), ws.networks());
}

// FILE: [{"name": "NET", "stations": ["STA", ...]}, ...], saved in that order.
nlohmann::json RunNetworksSave(Session& session, const Args& args) {
  if (args.size() != 1) throw CliError("usage: networks save FILE");
  std::ifstream in(args[0]);
  if (!in) throw CliError("cannot open " + args[0]);
  nlohmann::json groups;
  try {
    groups = nlohmann::json::parse(in);
  } catch (const std::exception& e) {
    throw CliError(args[0] + ": " + e.what());
  }
  if (!groups.is_array()) throw CliError(args[0] + ": a list of networks is expected");
  Workstation& ws = WithMainDatabase(session);
  NetworkEditor editor(ws.stations(), {});
  for (const nlohmann::json& group : groups) {
    if (!group.is_object() || !group.contains("name") || !group["name"].is_string())
      throw CliError(args[0] + ": every network needs a \"name\"");
    const std::string name = group["name"];
    if (!editor.CreateGroup(name))
      throw CliError(
          StrFormat("Имя группы станций пусто или уже используется: \"%s\"", name.c_str()));
    const nlohmann::json members = group.value("stations", nlohmann::json::array());
    if (!members.is_array()) throw CliError(args[0] + ": \"stations\" must be a list");
    for (const nlohmann::json& member : members) {
      const std::string code = member.is_string() ? member.get<std::string>() : member.dump();
      if (ws.stations().FindStation(code) < 0)
        throw CliError(StrFormat("Станция %s отсутствует в списке станций", code.c_str()));
      if (!editor.AddMember(editor.FindGroup(name), code))
        throw CliError(
            StrFormat("Станция %s дважды входит в группу %s", code.c_str(), name.c_str()));
    }
  }
  if (!SaveNetworkList(ws, editor.Networks())) throw CliError("the network list was not saved");
  return NetworksJson(ws.stations(), ws.networks());
}

nlohmann::json RegionJson(const ControlledRegion& region) {
  return {{"name", region.name},
          {"lat1", region.lat1},
          {"lon1", region.lon1},
          {"lat2", region.lat2},
          {"lon2", region.lon2}};
}

nlohmann::json RegionsJson(const std::vector<ControlledRegion>& regions) {
  nlohmann::json list = nlohmann::json::array();
  for (const ControlledRegion& region : regions) list.push_back(RegionJson(region));
  return list;
}

nlohmann::json RunRegionsList(Session& session, const Args& args) {
  if (!args.empty()) throw CliError("usage: regions list");
  return RegionsJson(WithMainDatabase(session).regions());
}

double RegionValue(const std::string& text, const char* what) {
  const double value = ParseDouble(text, what);
  if (!std::isfinite(value)) throw CliError(std::string("not a finite number for ") + what);
  return value;
}

nlohmann::json RunRegionsAdd(Session& session, const Args& args) {
  if (args.size() != 5) throw CliError("usage: regions add NAME LAT1 LON1 LAT2 LON2");
  const ControlledRegion region{args[0], RegionValue(args[1], "LAT1"), RegionValue(args[2], "LON1"),
                                RegionValue(args[3], "LAT2"), RegionValue(args[4], "LON2")};
  if (Trim(region.name).empty()) throw CliError("the region name must not be empty");
  Workstation& ws = WithMainDatabase(session);
  if (RegionNameTaken(ws.regions(), region.name)) throw CliError(kRegionExists);
  if (!AddRegion(ws.databases().main(), ws.regions(), region, ws.prompts()))
    throw CliError("the region was not added");
  return RegionJson(region);
}

nlohmann::json RunRegionsDelete(Session& session, const Args& args) {
  if (args.size() != 1) throw CliError("usage: regions delete NAME");
  Workstation& ws = WithMainDatabase(session);
  for (size_t i = 0; i < ws.regions().size(); ++i) {
    if (ws.regions()[i].name != args[0]) continue;
    const nlohmann::json deleted = RegionJson(ws.regions()[i]);
    if (!DeleteRegion(ws.databases().main(), ws.regions(), i, ws.prompts()))
      throw CliError("the region was not deleted");
    return deleted;
  }
  throw CliError("no controlled region named " + args[0]);
}

nlohmann::json DirsMapJson(const DirectoryMap& map) {
  nlohmann::json list = nlohmann::json::array();
  for (const auto& [name, dir] : map) list.push_back({{"name", name}, {"dir", dir}});
  return list;
}

void WriteBack(Workstation& ws) {
  if (!WriteDirectoryMap(ws.ini(), ws.config().dirsMap))
    throw CliError(DirectoryMapWriteFailedText(ws.ini()));
}

nlohmann::json RunDirsMapList(Session& session, const Args& args) {
  if (!args.empty()) throw CliError("usage: dirsmap list");
  return DirsMapJson(session.workstation().config().dirsMap);
}

nlohmann::json RunDirsMapSet(Session& session, const Args& args) {
  if (args.size() != 2) throw CliError("usage: dirsmap set NAME DIR");
  if (args[0].empty()) throw CliError("the catalogue name must not be empty");
  Workstation& ws = session.workstation();
  SetDirectoryMapEntry(ws.config().dirsMap, args[0], args[1]);
  WriteBack(ws);
  return DirsMapJson(ws.config().dirsMap);
}

nlohmann::json RunDirsMapDelete(Session& session, const Args& args) {
  if (args.size() != 1) throw CliError("usage: dirsmap delete NAME");
  Workstation& ws = session.workstation();
  if (!DeleteDirectoryMapEntry(ws.config().dirsMap, args[0]))
    throw CliError("no directory map entry named " + args[0]);
  WriteBack(ws);
  return DirsMapJson(ws.config().dirsMap);
}

// The whole-second end of --before (the deletion takes TBEGIN below it), or
// the end of the calendar without it.
long BeforeBound(Args& args) {
  constexpr long kEndOfCalendar = 253402300799L;  // 9999-12-31 23:59:59
  const auto before = TakeOption(args, "--before");
  if (!before) return kEndOfCalendar;
  const double t = ParseDouble(*before, "--before");
  if (!(t >= 0 && t <= kEndOfCalendar)) throw CliError("--before out of range: " + *before);
  return static_cast<long>(std::floor(t));
}

// The rows the deletion of [0, to) would take, and the others of the station.
std::string DiskLoopRowsFilter(const std::string& station, long to) {
  return StrFormat("sta='%s' and tbegin>=0 and tbegin<%ld", SqlEscape(station).c_str(), to);
}

bool Deletable(const IndexRow& row) {
  return !row.foff || *row.foff == 512;
}

nlohmann::json RunDiskLoopList(Session& session, const Args& input) {
  Args args = input;
  const long to = BeforeBound(args);
  if (args.size() != 1) throw CliError("usage: disk-loop list STA [--before T]");
  Workstation& ws = WithMainDatabase(session);
  const std::string& dataDir = ws.config().dataDir;
  nlohmann::json list = nlohmann::json::array();
  for (const IndexRow& row :
       ListIndexRows(ws.databases().main(), false, DiskLoopRowsFilter(args[0], to))) {
    nlohmann::json entry = {{"station", row.station},
                            {"channel", row.channel},
                            {"start", DiskLoopStartText(row.begin)},
                            {"begin", row.begin},
                            {"duration", row.duration},
                            {"rate", row.rate},
                            {"path", row.path},
                            {"creator", row.creator},
                            {"foff", row.foff ? nlohmann::json(*row.foff) : nlohmann::json()},
                            {"deletable", Deletable(row)}};
    if (HasDataDirectory(dataDir) || IsAbsoluteFileListPath(row.path))
      entry["file"] = FileListFullPath(dataDir, row.path);
    list.push_back(std::move(entry));
  }
  return list;
}

nlohmann::json RunDiskLoopDelete(Session& session, const Args& input) {
  Args args = input;
  const char* usage = "usage: disk-loop delete STA|--network NET [--before T] [--yes]";
  if (TakeFlag(args, "--yes")) session.prompts().defaultAnswer = PromptAnswer::Yes;
  const auto network = TakeOption(args, "--network");
  const long to = BeforeBound(args);
  if (args.size() != (network ? 0u : 1u)) throw CliError(usage);
  Workstation& ws = WithMainDatabase(session);
  if (!HasDataDirectory(ws.config().dataDir)) throw CliError(kNoDataDirectory);
  const DiskLoopTarget target{ws.databases().main(), ws.config().dataDir, ws.prompts(),
                              ws.databases().dialect()};
  std::optional<std::vector<std::string>> deleted;
  std::vector<std::string> stations;
  if (network) {
    const SeismoNetwork* found = nullptr;
    for (const SeismoNetwork& candidate : ws.networks())
      if (candidate.name == *network) found = &candidate;
    if (!found) throw CliError("no network named " + *network);
    stations = NetworkMemberCodes(ws.stations(), found->list);
    deleted = DeleteNetworkInterval(target, ws.stations(), found->name, found->list, 0, to);
  } else {
    stations = {args[0]};
    deleted = DeleteStationInterval(target, args[0], 0, to);
  }
  if (!deleted) throw CliError("nothing deleted: the deletion was not confirmed (give --yes)");
  size_t remaining = 0;
  for (const std::string& station : stations)
    for (const IndexRow& row :
         ListIndexRows(ws.databases().main(), false, DiskLoopRowsFilter(station, to)))
      remaining += Deletable(row) ? 1 : 0;
  if (remaining > 0)
    throw CliError(StrFormat("удалено файлов: %zu, не удалено: %zu", deleted->size(), remaining));
  return {{"deleted", *deleted}, {"count", deleted->size()}};
}

}  // namespace

std::vector<Command> AdminCommands() {
  return {
      {"networks list", " the network list with the member stations found in the station table",
       RunNetworksList},
      {"networks save",
       "FILE  replace the network list by FILE ([{\"name\":..,\"stations\":[..]}])",
       RunNetworksSave},
      {"regions list", " the controlled regions", RunRegionsList},
      {"regions add", "NAME LAT1 LON1 LAT2 LON2  add a controlled region", RunRegionsAdd},
      {"regions delete", "NAME  delete a controlled region", RunRegionsDelete},
      {"dirsmap list", " the directory map of NUV.INI [DIRSMAP]", RunDirsMapList},
      {"dirsmap set", "NAME DIR  map catalogue NAME to the local directory DIR", RunDirsMapSet},
      {"dirsmap delete", "NAME  remove the mapping of catalogue NAME", RunDirsMapDelete},
      {"disk-loop list", "STA [--before T]  the station's FILELIST rows (TBEGIN below T)",
       RunDiskLoopList},
      {"disk-loop delete",
       "STA|--network NET [--before T] [--yes]  delete the files and rows with TBEGIN below T",
       RunDiskLoopDelete},
  };
}

}  // namespace nuv::cli
