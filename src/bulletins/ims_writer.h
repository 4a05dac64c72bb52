#pragma once
// The current event as an IMS1.0 bulletin (event line, origin block,
// magnitude block, arrival block) in fixed columns.

#include <string>

#include "bulletins/bulletin_source.h"

namespace nuv {

inline constexpr const char* kImsAuthor = "RADIVOZ";

// The whole bulletin text of one event.
std::string FormatRebBulletin(const BulletinSource& source);
// Writes it to `path`; false (and a beep through `prompts`) when the file
// cannot be created.
bool WriteRebFile(const BulletinSource& source, const std::string& path, UserPrompts& prompts);

}  // namespace nuv
