#pragma once
// The current event as JSON: identifier, comment, orid, origin and the
// phases in list order with the fields of the phase record (station,
// channel and phase by their codes and names).

#include <nlohmann/json.hpp>

#include "workstation/workstation.h"

namespace nuv::cli {

nlohmann::json EventToJson(Workstation& workstation);
// Replaces the current event and list with the file's; throws CliError for
// unknown stations, channels or phase names and for malformed values.
void EventFromJson(const nlohmann::json& json, Workstation& workstation);

}  // namespace nuv::cli
