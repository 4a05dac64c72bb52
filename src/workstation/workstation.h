#pragma once
// The application object of the core: it owns the configuration, the NUV.INI
// profile, the per-user store and the prompts, and (as the subsystems land)
// the connections, the station table, the phase-type table, the phase list
// and the current event. It is passed by reference to whoever needs them;
// tests build as many independent ones as they like.

#include <vector>

#include "db/databases.h"
#include "db/inventory.h"
#include "db/station_table.h"
#include "phases/current_event.h"
#include "phases/event_context.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "platform/config.h"
#include "platform/profile_file.h"
#include "platform/settings_store.h"
#include "platform/user_prompts.h"

namespace nuv {

class Workstation {
 public:
  Workstation(Config config, UserPrompts& prompts)
      : config_(std::move(config)),
        ini_(config_.IniPath()),
        store_(config_.StorePath()),
        prompts_(&prompts) {
    // Every phase added to the current list gets its arrival id from LASTID.
    phases_.SetIdAllocator([this] { return static_cast<int32_t>(AllocateId("arid")); });
  }
  Workstation(const Workstation&) = delete;
  Workstation& operator=(const Workstation&) = delete;

  Config& config() { return config_; }
  const Config& config() const { return config_; }
  ProfileFile& ini() { return ini_; }
  SettingsStore& store() { return store_; }
  UserPrompts& prompts() { return *prompts_; }
  void SetPrompts(UserPrompts& prompts) { prompts_ = &prompts; }
  PhaseTypeTable& phaseTypes() { return phaseTypes_; }
  NUVPhases& phases() { return phases_; }
  CurrentEvent& event() { return event_; }

  // Both connections, the dialect and identifier allocation.
  Databases& databases() { return databases_; }
  // The station table (SITE and SITECHAN), the network list and the
  // controlled regions, loaded once after the connections are opened.
  StationTable& stations() { return stations_; }
  const StationTable& stations() const { return stations_; }
  std::vector<SeismoNetwork>& networks() { return networks_; }
  std::vector<ControlledRegion>& regions() { return regions_; }

  // The next identifier of LASTID counter `key` ("orid", "arid", ...), from
  // the database the LOCALLASTID setting names; -1 when none was allocated.
  long long AllocateId(const std::string& key) {
    return databases_.AllocateId(key, config_.localLastId);
  }

 private:
  Config config_;
  ProfileFile ini_;
  SettingsStore store_;
  UserPrompts* prompts_;
  Databases databases_;
  StationTable stations_;
  std::vector<SeismoNetwork> networks_;
  std::vector<ControlledRegion> regions_;
  PhaseTypeTable phaseTypes_;
  NUVPhases phases_;
  CurrentEvent event_;
};

// The pieces the event persistence works on, with the workstation's
// LOCALLASTID and SAVETOCSSDB settings.
EventContext EventContextOf(Workstation& workstation);

// Frees and rebuilds the workstation's phase-type table with every
// travel-time table of the selected set (start-up and a change of set).
void LoadTravelTimeTables(Workstation& workstation);

}  // namespace nuv
