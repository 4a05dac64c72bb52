#pragma once
// Import of CSS 3.0 wfdisc file sets into the archive: every record of a
// known station and channel becomes a WFD file below the data directory,
// registered in FILELIST, and the channel spans are collected for the
// waveform window.

#include <string>

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
  int dialect = 0;  // of `connection`, for the texts of its statements
};

// Imports one wfdisc file. Throws ArchiveError with the message that stops
// the import (kNoDataDirectoryMessage before anything is read or written when
// no data directory is configured, "Ошибка открытия файла NAME", a read
// error with the system's text, "Не могу конвертировать данные типа %s",
// "Не могу создать файл '%s'", a database error the analyst chose not to
// continue after); what was imported before stays imported. Two records of a
// channel that start in the same whole second get two files (the second
// named with "_1" and so on), never one file for both.
void ImportWfdiscFile(const ImportTarget& target, const std::string& path, CXChanArray& spans);

// Imports every file of the folder whose name matches "*.wfd*" (letter case
// ignored), in name order.
void ImportWfdiscFolder(const ImportTarget& target, const std::string& folder, CXChanArray& spans);

// The data file a wfdisc record names: the wfdisc file's directory, then
// `dir` and "/" (left out when `dir` is "." or empty; an absolute `dir` is
// taken as it is), then `dfile`.
std::string WfdiscDataFilePath(const std::string& wfdiscDirectory, const std::string& dir,
                               const std::string& dfile);

}  // namespace nuv
