#pragma once
// FILELIST rows of the archive's own files: registering an imported WFD
// file, removing the rows of a file, and the deletion of old files from the
// disk loop (the rolling archive on disk).

#include <optional>
#include <string>

#include "platform/odbc.h"

namespace nuv {

class UserPrompts;

// A file to register: the WFD file `relativeName` ("STA/hhmmss-ddmmyyyy.CHAN")
// of one channel.
struct RegisteredFile {
  std::string relativeName;
  std::string station;
  std::string channel;
  double start = 0;
  double duration = 0;
  double rate = 0;
  double calib = 0;
  double calper = 0;
  std::string lcode;                       // LCODE; empty for NULL
  std::string creator = "CSS2NUV_import";  // CREATER
};

// Writes the FILELIST row of a WFD file (STA and CH in upper case, GAIN 1,
// DATATYPE 3, FOFF 512, CREATER and LCODE from `file`, LDDATE now, TEND only
// with `useTend`). Rows of an earlier import of the same file are
// replaced in the same transaction, so importing twice leaves one row.
// Throws odbc::Error with the driver's text; nothing changes then.
void RegisterFile(odbc::Connection& connection, bool useTend, const RegisteredFile& file);

// "delete from FILELIST where CPATH like '%s'" with every "/" and "\" of the
// statement turned into "%" (so rows written with either separator go). On a
// database error shows "Ошибка базы данных: Error of delete record in NUV-DB
// (FILELIST -> PATH)\n" and the driver's text, and returns false.
bool RemoveFileRows(odbc::Connection& connection, const std::string& path, UserPrompts& prompts);

// Deletes one disk-loop file and its FILELIST rows as one step: the rows
// "CPATH='%s' and ((FOFF = 512) OR (FOFF is NULL))" go together with the file
// below the data directory. A file that exists but cannot be deleted keeps
// its rows ("Ошибка удаления файла %s", warning); a database error shows the
// driver's text and leaves file and rows as they were. A row whose FOFF is
// neither 512 nor NULL points into a shared multi-channel file and is never
// touched. Returns true when the rows were deleted.
bool DeleteDiskLoopFile(odbc::Connection& connection, const std::string& dataDir,
                        const std::string& cpath, std::optional<long long> foff,
                        UserPrompts& prompts);

// The station procedure of the disk loop: every row of the station with
// from <= TBEGIN < to (whole seconds) whose FOFF is 512 or NULL, deleted by
// the rule above. Returns the number of rows deleted. A failing query shows
// the driver's text.
int DeleteStationFiles(odbc::Connection& connection, const std::string& dataDir,
                       const std::string& station, long from, long to, UserPrompts& prompts);

}  // namespace nuv
