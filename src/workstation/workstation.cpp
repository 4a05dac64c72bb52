#include "workstation/workstation.h"

namespace nuv {

void LoadTravelTimeTables(Workstation& workstation) {
  workstation.phaseTypes().Load(TravelTimeDirectory(workstation.config()));
}

}  // namespace nuv
