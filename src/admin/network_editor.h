#pragma once
// The network list as the network editor changes it: groups with their
// member stations, checked as they are edited, and the save that replaces
// NETWORKS and the workstation's list together.

#include <string>
#include <vector>

#include "db/inventory.h"

namespace nuv {

class Workstation;

struct NetworkGroup {
  std::string name;
  std::vector<std::string> members;  // station codes as the station table spells them
};

// The station list of a network: every member's code followed by ";".
std::string JoinStationList(const std::vector<std::string>& codes);

class NetworkEditor {
 public:
  // The groups of `networks` in order, each with its members found in the
  // station table (unknown codes and blanks left out, as the tree shows them).
  NetworkEditor(const StationTable& stations, const std::vector<SeismoNetwork>& networks);

  const std::vector<NetworkGroup>& groups() const { return groups_; }
  // Index of the group named `name`; -1 when there is none.
  int FindGroup(const std::string& name) const;

  // Each returns false (nothing changed) when the action does not apply: an
  // index out of range, a station the table does not hold or that is a
  // member already, a name that is empty or used by another group.
  bool AddMember(int group, const std::string& station);
  bool RemoveMember(int group, int member);
  bool CreateGroup(const std::string& name);
  bool RenameGroup(int group, const std::string& name);
  bool DeleteGroup(int group);

  // The network list the groups give, in order.
  std::vector<SeismoNetwork> Networks() const;

 private:
  bool NameUsable(const std::string& name, int except) const;

  const StationTable& stations_;
  std::vector<NetworkGroup> groups_;
};

// Saves `networks` with the transactional save of NETWORKS and, when it
// succeeds, makes them the workstation's list. A name over 127 characters or
// a station list over 4999 would come back cut short: it is refused with a
// message before anything is written. Database errors: the driver's text.
bool SaveNetworkList(Workstation& ws, const std::vector<SeismoNetwork>& networks);

}  // namespace nuv
