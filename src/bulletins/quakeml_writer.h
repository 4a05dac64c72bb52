#pragma once
// QuakeML 1.2 (basic event description) export: for each event its origin
// with uncertainty and confidence ellipse, network and station magnitudes,
// amplitudes, picks and arrivals with residuals. Resource identifiers are
// built from the event identifier and each phase's station, channel and
// phase name, so exporting the same event again gives the same identifiers.

#include <string>
#include <vector>

#include "bulletins/bulletin_source.h"

namespace nuv {

inline constexpr const char* kQuakeMlNamespace = "http://quakeml.org/xmlns/quakeml/1.2";
inline constexpr const char* kBedNamespace = "http://quakeml.org/xmlns/bed/1.2";

// The document of `events`; `now` is the creation time. Throws
// std::runtime_error when the XML library fails.
std::string FormatQuakeMl(const std::vector<BulletinSource>& events, double now);

// A resource identifier "smi:nuv/<kind>/<parts joined by '/'>", every
// character a QuakeML identifier does not allow replaced by '_'.
std::string QuakeMlId(const std::string& kind, const std::vector<std::string>& parts);

}  // namespace nuv
