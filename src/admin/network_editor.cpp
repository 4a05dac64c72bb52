#include "admin/network_editor.h"

#include "archive/disk_loop.h"
#include "platform/strformat.h"
#include "workstation/workstation.h"

namespace nuv {

std::string JoinStationList(const std::vector<std::string>& codes) {
  std::string list;
  for (const std::string& code : codes) list += code + ";";
  return list;
}

NetworkEditor::NetworkEditor(const StationTable& stations,
                             const std::vector<SeismoNetwork>& networks)
    : stations_(stations) {
  for (const SeismoNetwork& network : networks)
    groups_.push_back({network.name, NetworkMemberCodes(stations, network.list)});
}

int NetworkEditor::FindGroup(const std::string& name) const {
  for (size_t i = 0; i < groups_.size(); ++i)
    if (groups_[i].name == name) return static_cast<int>(i);
  return -1;
}

bool NetworkEditor::NameUsable(const std::string& name, int except) const {
  if (Trim(name).empty()) return false;
  const int found = FindGroup(name);
  return found < 0 || found == except;
}

bool NetworkEditor::AddMember(int group, const std::string& station) {
  if (group < 0 || group >= static_cast<int>(groups_.size())) return false;
  const int index = stations_.FindStation(station);
  if (index < 0) return false;
  std::vector<std::string>& members = groups_[static_cast<size_t>(group)].members;
  const std::string& code = stations_[index].code;
  for (const std::string& member : members)
    if (member == code) return false;
  members.push_back(code);
  return true;
}

bool NetworkEditor::RemoveMember(int group, int member) {
  if (group < 0 || group >= static_cast<int>(groups_.size())) return false;
  std::vector<std::string>& members = groups_[static_cast<size_t>(group)].members;
  if (member < 0 || member >= static_cast<int>(members.size())) return false;
  members.erase(members.begin() + member);
  return true;
}

bool NetworkEditor::CreateGroup(const std::string& name) {
  if (!NameUsable(name, -1)) return false;
  groups_.push_back({name, {}});
  return true;
}

bool NetworkEditor::RenameGroup(int group, const std::string& name) {
  if (group < 0 || group >= static_cast<int>(groups_.size()) || !NameUsable(name, group))
    return false;
  groups_[static_cast<size_t>(group)].name = name;
  return true;
}

bool NetworkEditor::DeleteGroup(int group) {
  if (group < 0 || group >= static_cast<int>(groups_.size())) return false;
  groups_.erase(groups_.begin() + group);
  return true;
}

std::vector<SeismoNetwork> NetworkEditor::Networks() const {
  std::vector<SeismoNetwork> networks;
  for (const NetworkGroup& group : groups_)
    networks.push_back({group.name, JoinStationList(group.members)});
  return networks;
}

bool SaveNetworkList(Workstation& ws, const std::vector<SeismoNetwork>& networks) {
  for (const SeismoNetwork& network : networks) {
    if (network.name.size() > kNetworkNameLength) {
      ws.prompts().ShowError(
          StrFormat("Слишком длинное имя группы станций (более %zu символов): %s",
                    kNetworkNameLength, network.name.c_str()));
      return false;
    }
    if (network.list.size() > kNetworkListLength) {
      ws.prompts().ShowError(
          StrFormat("Слишком длинный список станций группы %s (более %zu символов)",
                    network.name.c_str(), kNetworkListLength));
      return false;
    }
  }
  if (!SaveNetworks(ws.databases().main(), networks, ws.prompts())) return false;
  ws.networks() = networks;
  return true;
}

}  // namespace nuv
