#pragma once
// The phase-list exchange formats of other processing programs: HYPO71
// phase cards, the КЕДРО summary file and the ODR2 file. Each writer takes
// the list in time order and the current origin; none changes anything.

#include <map>
#include <string>

#include "bulletins/bulletin_source.h"

namespace nuv {

// "stations.71": triples of station code, channel name and HYPO71 name;
// the key is "STATION CHANNEL" upper-cased. Empty when the file is missing.
std::map<std::string, std::string> ReadHypo71Stations(const std::string& path);

// 79-column cards ended by CR LF, one per phase of the first phase type.
std::string FormatHypo71(const BulletinSource& source,
                         const std::map<std::string, std::string>& names);
std::string FormatKedro(const BulletinSource& source);
std::string FormatOdr2(const BulletinSource& source);

// The reference time of КЕДРО and ODR2: the origin time when the origin is
// valid, else the earliest defining phase of the types 0, 2 or 3 (0 when none).
double ReferenceTime(const BulletinSource& source);

// Writes `text` as bytes; false when the file cannot be created.
bool WriteTextFile(const std::string& path, const std::string& text);

}  // namespace nuv
