#pragma once
// The current event as an IMS1.0 bulletin (event line, origin block,
// magnitude block, arrival block) in fixed columns.

#include <string>

#include "bulletins/bulletin_source.h"

namespace nuv {

inline constexpr const char* kImsAuthor = "RADIVOZ";

// The whole bulletin text of one event in this system's REB layout.
std::string FormatRebBulletin(const BulletinSource& source);
// The event as a standard IMS1.0 short bulletin message: BEGIN IMS1.0,
// MSG_TYPE DATA, MSG_ID, DATA_TYPE BULLETIN IMS1.0:short, the bulletin
// title, the event, origin, magnitude and phase blocks in the standard
// columns (arrival times in milliseconds), STOP.
std::string FormatIms1Bulletin(const BulletinSource& source);
// Writes it to `path`; false (and a beep through `prompts`) when the file
// cannot be created.
bool WriteRebFile(const BulletinSource& source, const std::string& path, UserPrompts& prompts);

}  // namespace nuv
