#pragma once
// The directory map as its editor changes it: pairs of a catalogue name (as
// it stands in wfdisc.dir) and a local directory, names unique, written back
// to NUV.INI [DIRSMAP] after every change.

#include <string>
#include <vector>

#include "archive/archive_paths.h"

namespace nuv {

namespace odbc {
class Connection;
}
class ProfileFile;

// Replaces the pair with the same catalogue name, or adds one at the end;
// the directory is kept with "/" separators, as the start-up reads it.
void SetDirectoryMapEntry(DirectoryMap& map, const std::string& name, const std::string& dir);
// Removes the pair of `name`; false when there is none.
bool DeleteDirectoryMapEntry(DirectoryMap& map, const std::string& name);

// [DIRSMAP] # the number of pairs, NAME<i> and DIR<i> (i from 0) in the
// map's order. False when NUV.INI could not be written.
bool WriteDirectoryMap(ProfileFile& ini, const DirectoryMap& map);
// The message for a map that could not be written.
std::string DirectoryMapWriteFailedText(const ProfileFile& ini);

// The catalogue names offered by the editor: "SELECT DISTINCT DIR FROM
// WFDISC" on the CSS database; empty when the query fails or there is no
// CSS database.
std::vector<std::string> LoadCatalogueNames(odbc::Connection* css);

}  // namespace nuv
