#pragma once
// Import of miniSEED 2 files into the archive: every continuous run of a
// channel the station table knows becomes WFD files below the data
// directory, registered in FILELIST like the wfdisc import's files. Runs of
// unknown stations or channels are reported, never added to the inventory.

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "archive/archive_import.h"
#include "archive/mseed_reader.h"

namespace nuv {

inline constexpr const char* kMseedCreator = "MSEED2NUV_import";

// Files never cross 00:00 or 12:00 UTC: the segment assembly looks for
// files that begin at most 12 hours before the window it fills.
inline constexpr double kMseedPieceSeconds = 43200;

// The pieces [first, last) of a run's samples, cut where a sample falls on
// or after a multiple of kMseedPieceSeconds.
std::vector<std::pair<size_t, size_t>> SplitIntoPieces(const MseedTrace& trace);

// sourceFiles counts the files that held miniSEED; refusals name the SEED
// channel ("NET.STA.LOC.CHAN").
struct MseedImportReport : ImportReport {
  std::vector<std::string> notMseed;        // files of a folder without miniSEED data
  std::map<std::string, std::string> used;  // "NET.STA.LOC.CHAN" -> "STA CHAN" it was stored as
};

// Imports one miniSEED file. A run is stored under the inventory's station
// (the code matched as FindImportStation does, written as the table spells
// it) and channel of the same name and location code; a channel listed
// without location code takes the data of one location code of the import
// (LCODE NULL), and a second location code of the same channel is refused
// rather than mixed in. Channels the table does not know are refused with
// the reason. Throws ArchiveError when the file cannot be read, holds no
// miniSEED or has a damaged record (nothing of it is stored then), or when
// writing stops the import; files stored before stay.
void ImportMseedFile(const ImportTarget& target, const std::string& path, CXChanArray& spans,
                     MseedImportReport& report);

// Imports every regular file of the folder that holds miniSEED, in name
// order; the others are listed in report.notMseed.
void ImportMseedFolder(const ImportTarget& target, const std::string& folder, CXChanArray& spans,
                       MseedImportReport& report);

// The account of a miniSEED import (ImportSummary with the miniSEED files
// read and the files of the folder that held none).
std::string MseedImportSummary(const MseedImportReport& report);

}  // namespace nuv
