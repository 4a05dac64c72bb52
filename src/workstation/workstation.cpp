#include "workstation/workstation.h"

namespace nuv {

void LoadTravelTimeTables(Workstation& workstation) {
  std::string error;
  if (!workstation.phaseTypes().Load(TravelTimeDirectory(workstation.config()), &error))
    workstation.prompts().ShowError(error);
}

}  // namespace nuv
