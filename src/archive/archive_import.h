#pragma once
// Import of CSS 3.0 wfdisc file sets into the archive: every record of a
// known station and channel becomes a WFD file below the data directory,
// registered in FILELIST, and the channel spans are collected for the
// waveform window.

#include <span>
#include <string>
#include <vector>

#include "archive/data_block.h"
#include "platform/odbc.h"

namespace nuv {

class StationTable;
class UserPrompts;

// Where imported files go and who is asked when a row cannot be written.
struct ImportTarget {
  odbc::Connection& connection;  // main database (FILELIST)
  const StationTable& stations;  // records of unknown stations or channels are skipped
  std::string dataDir;
  bool useTend = false;
  UserPrompts& prompts;
};

// One contiguous run of samples of one channel, to be stored as a WFD file.
struct WfdRun {
  std::string station, channel;  // as the source writes them (the header keeps them)
  std::string lcode;             // FILELIST.LCODE; empty for NULL
  std::string creator = "CSS2NUV_import";
  double start = 0, rate = 0, calib = 1, calper = 1;
  std::span<const float> samples;
};

// Writes the WFD file of a run below the data directory (station and channel
// in upper case in its name) and registers it in FILELIST. When the row
// cannot be written the analyst is asked "Error of insert record in NUV-DB
// (filelist -> %s)\nContinue?"; No throws ArchiveError with the database's
// text. Returns the file's relative name.
std::string StoreWfdRun(const ImportTarget& target, const WfdRun& run);

// Imports one wfdisc file. Throws ArchiveError with the message that stops
// the import ("Ошибка открытия файла NAME", "Не могу конвертировать данные
// типа %s", "Не могу создать файл '%s'", a database error the analyst chose
// not to continue after); what was imported before stays imported.
void ImportWfdiscFile(const ImportTarget& target, const std::string& path, CXChanArray& spans);

// Imports every file of the folder whose name matches "*.wfd*" (letter case
// ignored), in name order.
void ImportWfdiscFolder(const ImportTarget& target, const std::string& folder, CXChanArray& spans);

// The whole content of a file to import. Throws ArchiveError "Ошибка
// открытия файла NAME" when it cannot be read.
std::string ReadImportFile(const std::string& path);

// The regular files of a folder, full names in name order. Throws
// ArchiveError "Ошибка открытия каталога NAME" when it cannot be listed.
std::vector<std::string> RegularFilesOf(const std::string& folder);

// The data file a wfdisc record names: the wfdisc file's directory, then
// `dir` and "/" (left out when `dir` is "." or empty; an absolute `dir` is
// taken as it is), then `dfile`.
std::string WfdiscDataFilePath(const std::string& wfdiscDirectory, const std::string& dir,
                               const std::string& dfile);

}  // namespace nuv
