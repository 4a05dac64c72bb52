#include "workstation/workstation.h"

namespace nuv {

void LoadTravelTimeTables(Workstation& workstation) {
  workstation.phaseTypes().Load(TravelTimeDirectory(workstation.config()));
}

EventContext EventContextOf(Workstation& w) {
  return EventContext{w.databases(), w.stations(), w.phaseTypes(),         w.phases(),
                      w.event(),     w.prompts(),  w.config().localLastId, w.config().saveToCssDb};
}

}  // namespace nuv
