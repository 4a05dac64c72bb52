#include "workstation/workstation.h"

namespace nuv {

void LoadTravelTimeTables(Workstation& workstation) {
  std::string error;
  if (!workstation.phaseTypes().Load(TravelTimeDirectory(workstation.config()), &error))
    workstation.prompts().ShowError(error);
}

EventContext EventContextOf(Workstation& w) {
  return EventContext{w.databases(), w.stations(), w.phaseTypes(),         w.phases(),
                      w.event(),     w.prompts(),  w.config().localLastId, w.config().saveToCssDb};
}

}  // namespace nuv
