#pragma once
// What the event persistence works on: the connections, the station table,
// the phase-type table, the current phase list and event, the two settings
// that steer identifiers and the CSS save, and the prompts. The workstation
// hands these out (EventContextOf in workstation/); tests may build their own.

namespace nuv {

class Databases;
class StationTable;
class PhaseTypeTable;
class NUVPhases;
struct CurrentEvent;
class UserPrompts;

struct EventContext {
  Databases& databases;
  const StationTable& stations;
  const PhaseTypeTable& types;
  NUVPhases& phases;
  CurrentEvent& event;
  UserPrompts& prompts;
  bool localLastId = false;  // identifiers from the main database's LASTID
  bool saveToCss = true;     // the CSS database also receives every save
};

}  // namespace nuv
