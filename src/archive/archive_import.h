#pragma once
// Import of CSS 3.0 wfdisc file sets into the archive: every record of a
// known station and channel becomes a WFD file below the data directory,
// registered in FILELIST, and the channel spans are collected for the
// waveform window.

#include <span>
#include <string>
#include <vector>

#include "archive/data_block.h"
#include "archive/import_report.h"
#include "platform/odbc.h"

namespace nuv {

class StationTable;
class UserPrompts;

// Where imported files go and who is asked when a row cannot be written.
struct ImportTarget {
  odbc::Connection& connection;  // main database (FILELIST)
  const StationTable& stations;  // data of unknown stations or channels is refused
  std::string dataDir;
  bool useTend = false;
  UserPrompts& prompts;
  int dialect = 0;  // of `connection`, for the texts of its statements
};

// One contiguous run of samples of one channel, to be stored as a WFD file.
struct WfdRun {
  std::string station, channel;  // as the source writes them (the header keeps them)
  // FILELIST's STA and CH: the station table's own spelling, so that the
  // waveform window, which asks by the table's codes, finds the rows.
  std::string indexStation, indexChannel;
  std::string lcode;  // FILELIST.LCODE; empty for NULL
  std::string creator = "CSS2NUV_import";
  double start = 0, rate = 0, calib = 1, calper = 1;
  std::span<const float> samples;
};

// Writes the WFD file of a run below the data directory (station and channel
// in upper case in its name) and registers it in FILELIST; the name and the
// samples go to `report`. A name that already holds another recording (a
// FILELIST row with another start, or a file whose bytes differ from the
// new ones: a shorter or changed recording of the same second) is kept, and
// the run goes to the first free copy name ("_1", "_2", ...), reported in
// report.keptBeside unless this import wrote that name itself; the same
// recording imported again replaces its file and row. When the row cannot
// be written the file written for it is removed and the analyst is asked
// "Error of insert record in NUV-DB (filelist -> %s)\nContinue?"; Yes
// refuses the run in `report` and returns false, No throws ArchiveError with
// the database's text.
bool StoreWfdRun(const ImportTarget& target, const WfdRun& run, ImportReport& report);

// The station of the table that a source's code names: the station with
// exactly that code, else the one whose code differs only in letter case.
// -1 when there is none or several such, with `why` saying which.
int FindImportStation(const StationTable& stations, const std::string& code, std::string& why);

// Imports one wfdisc file. Records of stations or channels the station table
// does not know, and records without samples, are refused in `report` with
// the reason. Throws ArchiveError with the message that stops the import
// (kNoDataDirectoryMessage before anything is read or written when no data
// directory is configured, "Ошибка открытия файла NAME", a read error with
// the system's text, "Не могу конвертировать данные типа %s", "Не могу
// создать файл '%s'", a database error the analyst chose not to continue
// after); what was imported before stays imported. Two records of a channel
// that start in the same whole second get two files (the second named with
// "_1" and so on), never one file for both.
void ImportWfdiscFile(const ImportTarget& target, const std::string& path, CXChanArray& spans,
                      ImportReport& report);

// Imports every file of the folder whose name matches "*.wfd*" (letter case
// ignored), in name order.
void ImportWfdiscFolder(const ImportTarget& target, const std::string& folder, CXChanArray& spans,
                        ImportReport& report);

// The account of a wfdisc import (ImportSummary with the wfdisc files read).
std::string WfdiscImportSummary(const ImportReport& report);

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
